// The driver against the simulated RQK4712V module of libvisa-sim, loaded through VISA as in production.
// Each test writes its own bench file and keeps the simulated state in its own temporary folder.
#include "rqk4712v.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kCardOptions = "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01";

// One module on VXI, card 1 with the six device types above; attenuators at 5, 30 and 20 dB, the switches on
// channels 2, 4 and 1.
const std::string kModuleBench = std::string(R"(resources:
  - name: VXI0::112::INSTR
    slot: 3
    module:
      firmware: A.11.01
      card:
        number: 1
        options: ")") + kCardOptions +
                                 R"("
        states: [5, 30, 20, 2, 4, 1]
)";

ViChar* Text(const char* text) {
    return const_cast<ViChar*>(text);
}

class DriverModule : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
        char pattern[] = "/tmp/driver-module-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        fs::create_directories(folder / "state");
        setenv("VISA_SIM_STATE", (folder / "state").c_str(), 1);
    }
    void TearDown() override {
        for (ViSession s : sessions) {
            EXPECT_EQ(rqk4712v_close(s), VI_SUCCESS);
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void UseBench(const std::string& yaml) {
        fs::path bench = folder / "driver-bench.yaml";
        std::ofstream(bench) << yaml;
        setenv("VISA_SIM_BENCH", bench.c_str(), 1);
    }

    // Opens a session that the test closes at its end.
    ViSession Open(const char* name, ViBoolean idQuery = VI_FALSE, ViBoolean reset = VI_FALSE) {
        ViSession s = VI_NULL;
        ViStatus status = rqk4712v_init(Text(name), idQuery, reset, &s);
        EXPECT_EQ(status, VI_SUCCESS) << name;
        if (status == VI_SUCCESS) {
            sessions.push_back(s);
        }
        return s;
    }

    // Drains the error queue, giving the codes in order.
    static std::vector<ViInt32> Errors(ViSession vi) {
        std::vector<ViInt32> codes;
        for (int i = 0; i < 40; ++i) {
            ViInt32 code = 0;
            char message[256];
            EXPECT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
            if (code == 0) {
                EXPECT_STREQ(message, "No error");
                break;
            }
            codes.push_back(code);
        }
        return codes;
    }

    static std::string States(ViSession vi, const char* list) {
        char reply[256] = "unset";
        EXPECT_EQ(rqk4712v_routClosList_Q(vi, Text(list), reply), VI_SUCCESS) << list;
        return reply;
    }

    static ViInt16 Attenuation(ViSession vi, ViInt16 group) {
        ViInt16 value = -99;
        EXPECT_EQ(rqk4712v_atten_Q(vi, 1, group, &value), VI_SUCCESS) << group;
        return value;
    }

    fs::path folder;
    std::vector<ViSession> sessions;
};

TEST_F(DriverModule, InitWithoutResetKeepsTheModuleAsItWas) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    EXPECT_EQ(Attenuation(vi, 0), 5);
    EXPECT_EQ(Attenuation(vi, 1), 30);
    EXPECT_EQ(Attenuation(vi, 2), 20);
    EXPECT_EQ(States(vi, "130:133"), "0,0,1,0");
    EXPECT_EQ(States(vi, "140:145"), "0,0,0,0,1,0");
    EXPECT_EQ(States(vi, "150:153"), "0,1,0,0");
}

TEST_F(DriverModule, InitWithResetOpensEveryChannelZeroesAttenuatorsAndClearsErrors) {
    UseBench(kModuleBench + R"(    faults:
      error_queue:
        - code: -300
          text: "Left over"
)");
    ViSession vi = Open("VXI0::112::INSTR", VI_TRUE, VI_TRUE);
    for (ViInt16 group = 0; group < 3; ++group) {
        EXPECT_EQ(Attenuation(vi, group), 0) << group;
    }
    EXPECT_EQ(States(vi, "130:133"), "0,0,0,0");
    EXPECT_EQ(States(vi, "140:145"), "0,0,0,0,0,0");
    EXPECT_TRUE(Errors(vi).empty());
    // The option list survives the reset.
    char options[100];
    ASSERT_EQ(rqk4712v_systCopt_Q(vi, 1, options), VI_SUCCESS);
    EXPECT_STREQ(options, kCardOptions);
}

TEST_F(DriverModule, InitWithoutResetLeavesTheErrorQueue) {
    UseBench(kModuleBench + R"(    faults:
      error_queue:
        - code: -300
          text: "Left over"
)");
    ViSession vi = Open("VXI0::112::INSTR");
    ViInt32 code = 0;
    char message[256];
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, -300);
    EXPECT_STREQ(message, "Left over");
}

TEST_F(DriverModule, IdQueryAcceptsModulesAndSwitchboxesHoldingTheCardOnly) {
    UseBench(kModuleBench + R"(  - name: GPIB0::9::INSTR
    switchbox:
      cards:
        - number: 1
          type: "QUILLON-VANTERA,RELAY16,0,A.01.00"
        - number: 2
          options: "QZSWTA01,QZATNB01,,,,"
  - name: GPIB0::10::INSTR
    switchbox:
      cards:
        - number: 1
          type: "QUILLON-VANTERA,RELAY16,0,A.01.00"
  - name: GPIB0::5::INSTR
    generic:
      identity: "ACME INSTRUMENTS,DMM-200,77,1.3"
  - name: VXI0::40::INSTR
    module: {}
    faults:
      open_fails: true
)");
    Open("VXI0::112::INSTR", VI_TRUE, VI_FALSE);
    ViSession box = Open("GPIB0::9::INSTR", VI_TRUE, VI_TRUE);
    char type[256];
    ASSERT_EQ(rqk4712v_systCtyp_Q(box, 2, type), VI_SUCCESS);
    EXPECT_STREQ(type, "QUILLON-VANTERA,K4712V,0,A.01.00");

    for (const char* other : {"GPIB0::10::INSTR", "GPIB0::5::INSTR"}) {
        ViSession s = 99;
        EXPECT_EQ(rqk4712v_init(Text(other), VI_TRUE, VI_FALSE, &s), VI_ERROR_FAIL_ID_QUERY) << other;
        EXPECT_EQ(s, (ViSession)VI_NULL);
        // Without the identity check the driver opens whatever answers there.
        ViSession unchecked = Open(other);
        EXPECT_NE(unchecked, (ViSession)VI_NULL);
    }
    for (const char* absent : {"VXI0::40::INSTR", "VXI0::77::INSTR", "NOT A RESOURCE"}) {
        ViSession s = 99;
        ViStatus status = rqk4712v_init(Text(absent), VI_FALSE, VI_FALSE, &s);
        EXPECT_LT(status, 0) << absent;
        EXPECT_EQ(s, (ViSession)VI_NULL) << absent;
    }
}

TEST_F(DriverModule, SwitchGroupsCloseOneChannelAtATime) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);

    EXPECT_EQ(rqk4712v_routClos(vi, 130), VI_SUCCESS);
    EXPECT_EQ(States(vi, "130:133"), "1,0,0,0");
    EXPECT_EQ(rqk4712v_routClos(vi, 133), VI_SUCCESS);
    EXPECT_EQ(States(vi, "130:133"), "0,0,0,1") << "closing a channel opens the others of its group";
    EXPECT_EQ(rqk4712v_routOpen(vi, 133), VI_SUCCESS);
    EXPECT_EQ(States(vi, "130:133"), "0,0,0,0");

    EXPECT_EQ(rqk4712v_routClos(vi, 145), VI_SUCCESS);
    EXPECT_EQ(States(vi, "140:145"), "0,0,0,0,0,1");
    EXPECT_EQ(rqk4712v_routOpenList(vi, Text("140:145")), VI_SUCCESS);
    EXPECT_EQ(States(vi, "140:145"), "0,0,0,0,0,0");
    EXPECT_EQ(States(vi, "150:153"), "0,1,0,0") << "other groups untouched";
    EXPECT_EQ(States(vi, "(@151,140)"), "1,0");
    EXPECT_TRUE(Errors(vi).empty());
}

TEST_F(DriverModule, RouteCommandsOutsideTheSwitchesAreModuleErrors) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);

    EXPECT_EQ(rqk4712v_routClos(vi, 100), RQK4712V_INSTR_ERROR_DETECTED); // an attenuator group
    EXPECT_EQ(rqk4712v_routClos(vi, 134), RQK4712V_INSTR_ERROR_DETECTED); // a 4-position switch has no 4
    EXPECT_EQ(rqk4712v_routClos(vi, 230), RQK4712V_INSTR_ERROR_DETECTED); // no card 2
    EXPECT_EQ(rqk4712v_routOpenList(vi, Text("133:140")), RQK4712V_INSTR_ERROR_DETECTED); // crosses groups
    EXPECT_EQ(Errors(vi), (std::vector<ViInt32>{-221, -222, -241, -222}));
    EXPECT_EQ(States(vi, "130:133"), "0,0,1,0") << "a failed command changes nothing";

    // The same with detection off: the calls succeed and the module keeps the errors.
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_FALSE), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_routClos(vi, 100), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_routOpen(vi, 135), VI_SUCCESS);
    EXPECT_EQ(Errors(vi), (std::vector<ViInt32>{-221, -222}));
}

TEST_F(DriverModule, AttenuatorsTakeTheirStepsOnly) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);

    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 11), VI_SUCCESS);
    EXPECT_EQ(Attenuation(vi, 0), 11);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 1, 90), VI_SUCCESS);
    EXPECT_EQ(Attenuation(vi, 1), 90);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 2, 70), VI_SUCCESS);
    EXPECT_EQ(Attenuation(vi, 2), 70);
    EXPECT_TRUE(Errors(vi).empty());

    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 12), RQK4712V_INSTR_ERROR_DETECTED); // 0..11
    EXPECT_EQ(rqk4712v_atten(vi, 1, 1, 15), RQK4712V_INSTR_ERROR_DETECTED); // steps of 10
    EXPECT_EQ(rqk4712v_atten(vi, 1, 2, 80), RQK4712V_INSTR_ERROR_DETECTED); // 0..70
    EXPECT_EQ(rqk4712v_atten(vi, 1, 3, 10), RQK4712V_INSTR_ERROR_DETECTED); // a switch group
    EXPECT_EQ(rqk4712v_atten(vi, 2, 0, 10), RQK4712V_INSTR_ERROR_DETECTED); // no card 2
    EXPECT_EQ(Errors(vi), (std::vector<ViInt32>{-222, -222, -222, -221, -241}));
    EXPECT_EQ(Attenuation(vi, 0), 11);
    EXPECT_EQ(Attenuation(vi, 1), 90);
    EXPECT_EQ(Attenuation(vi, 2), 70);
}

TEST_F(DriverModule, OptionListsAreReadAndWrittenWithoutQuotes) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    char options[100];
    ASSERT_EQ(rqk4712v_systCopt_Q(vi, 1, options), VI_SUCCESS);
    EXPECT_STREQ(options, kCardOptions);

    ASSERT_EQ(rqk4712v_systCopt(vi, 1, Text("QZSWTB01,,UNKNOWN-ATN,UNKNOWN-SW,QZATNC01,")), VI_SUCCESS);
    ASSERT_EQ(rqk4712v_systCopt_Q(vi, 1, options), VI_SUCCESS);
    EXPECT_STREQ(options, "QZSWTB01,,UNKNOWN-ATN,UNKNOWN-SW,QZATNC01,");
    // The new device types rule at once: group 0 is now a six-position switch, group 2 takes 1 dB steps.
    EXPECT_EQ(rqk4712v_routClos(vi, 105), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 2, 37), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 1, 0), RQK4712V_INSTR_ERROR_DETECTED); // nothing on group 1

    EXPECT_EQ(rqk4712v_systCopt(vi, 1, Text("QZATNA01,QZATNA01")), RQK4712V_INSTR_ERROR_DETECTED);
    EXPECT_EQ(rqk4712v_systCopt(vi, 1, Text("QZATNA01,,,,,BOGUS")), RQK4712V_INSTR_ERROR_DETECTED);
    EXPECT_EQ(Errors(vi), (std::vector<ViInt32>{-221, -224, -224}));
    ASSERT_EQ(rqk4712v_systCopt_Q(vi, 1, options), VI_SUCCESS);
    EXPECT_STREQ(options, "QZSWTB01,,UNKNOWN-ATN,UNKNOWN-SW,QZATNC01,");
}

TEST_F(DriverModule, CardTypesIncludingCardsThatAreNotThere) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    char type[256];
    ASSERT_EQ(rqk4712v_systCtyp_Q(vi, 1, type), VI_SUCCESS);
    EXPECT_STREQ(type, "QUILLON-VANTERA,K4712V,0,A.01.00");
    ASSERT_EQ(rqk4712v_systCtyp_Q(vi, 2, type), VI_SUCCESS) << "a missing card is no error";
    EXPECT_EQ(std::string(type).rfind("NONE", 0), 0u) << type;
}

TEST_F(DriverModule, ErrorQueueReachesTheCallerWithItsSign) {
    UseBench(kModuleBench + R"(    faults:
      commands:
        - header: "ROUT:CLOS"
          action: error
          code: -113
          when: 1
        - header: "ROUT:ATT"
          action: error
          code: -300
          when: 1
)");
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_routClos(vi, 130), RQK4712V_INSTR_ERROR_DETECTED);
    EXPECT_EQ(rqk4712v_routClos(vi, 100), RQK4712V_INSTR_ERROR_DETECTED);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 3), RQK4712V_INSTR_ERROR_DETECTED);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 3), VI_SUCCESS);
    ViInt32 code = 0;
    char message[256];
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, -113);
    EXPECT_STREQ(message, "Undefined header");
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, -221);
    EXPECT_STREQ(message, "Settings conflict");
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, -300);
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, 0);
    EXPECT_STREQ(message, "No error");
    // Queue read and event status cleared: the next good command is clean.
    EXPECT_EQ(rqk4712v_routClos(vi, 131), VI_SUCCESS);
    EXPECT_EQ(States(vi, "130:133"), "0,1,0,0");
}

TEST_F(DriverModule, PreloadedErrorsAndQueueOverflow) {
    std::string bench = kModuleBench + "    faults:\n      error_queue:\n";
    for (int i = 0; i < 32; ++i) {
        bench += "        - code: -113\n";
    }
    UseBench(bench);
    ViSession vi = Open("VXI0::112::INSTR");
    std::vector<ViInt32> codes = Errors(vi);
    ASSERT_EQ(codes.size(), 30u);
    EXPECT_EQ(codes.front(), -113);
    EXPECT_EQ(codes.back(), -350);
}

TEST_F(DriverModule, TimeOutsStayTimeOuts) {
    UseBench(kModuleBench + R"(    faults:
      commands:
        - header: "ROUT:ATT?"
          action: timeout
        - header: "ROUT:OPEN"
          action: timeout
)");
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    ViInt16 value = -5;
    EXPECT_EQ(rqk4712v_atten_Q(vi, 1, 0, &value), VI_ERROR_TMO);
    EXPECT_EQ(value, -5);
    // No event status query followed the time-out, and the hung query left no error behind: the next
    // command succeeds with nothing in the queue.
    EXPECT_EQ(rqk4712v_routClos(vi, 130), VI_SUCCESS);
    EXPECT_TRUE(Errors(vi).empty());

    EXPECT_EQ(rqk4712v_routOpen(vi, 130), VI_ERROR_TMO);
    EXPECT_EQ(rqk4712v_routOpenList(vi, Text("130:133")), VI_ERROR_TMO);

    // A query the module refuses gives no reply: a time-out too.
    EXPECT_EQ(rqk4712v_systCopt_Q(vi, 7, reinterpret_cast<ViChar*>(std::string(100, 'x').data())),
              VI_ERROR_TMO);
    EXPECT_EQ(Errors(vi), (std::vector<ViInt32>{-241, -420}));
}

TEST_F(DriverModule, TimeOutValueIsTheSessionsVisaTimeOut) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    void* visa = dlopen(SIM_VISA_PATH, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(visa, nullptr);
    auto getAttribute =
        reinterpret_cast<ViStatus (*)(ViObject, ViAttr, void*)>(dlsym(visa, "viGetAttribute"));
    ASSERT_NE(getAttribute, nullptr);
    ViUInt32 timeout = 0;
    ASSERT_EQ(getAttribute(vi, VI_ATTR_TMO_VALUE, &timeout), VI_SUCCESS);
    EXPECT_EQ(timeout, (ViUInt32)RQK4712V_DEFAULT_TIMEOUT);
    ASSERT_EQ(rqk4712v_timeOut(vi, 2000), VI_SUCCESS);
    ASSERT_EQ(getAttribute(vi, VI_ATTR_TMO_VALUE, &timeout), VI_SUCCESS);
    EXPECT_EQ(timeout, 2000u);
    EXPECT_EQ(rqk4712v_timeOut(vi, -5), VI_ERROR_PARAMETER2);
    // The self-test runs with a longer time-out and gives the session's back.
    ViInt16 result = -1;
    char message[256];
    ASSERT_EQ(rqk4712v_self_test(vi, &result, message), VI_SUCCESS);
    ASSERT_EQ(getAttribute(vi, VI_ATTR_TMO_VALUE, &timeout), VI_SUCCESS);
    EXPECT_EQ(timeout, 2000u);
    dlclose(visa);
}

TEST_F(DriverModule, SelfTestPassAndFail) {
    UseBench(kModuleBench + R"(  - name: VXI0::120::INSTR
    module: {}
    faults:
      self_test:
        code: 7
        message: "Relay K3 of group 2 stuck"
  - name: VXI0::128::INSTR
    module: {}
    faults:
      self_test:
        code: -2
        message: ")" +
             std::string(400, 'L') + R"("
)");
    ViSession good = Open("VXI0::112::INSTR");
    ViSession bad = Open("VXI0::120::INSTR");
    ViSession wordy = Open("VXI0::128::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(bad, VI_TRUE), VI_SUCCESS);
    ViInt16 result = -1;
    char message[256 + 8];
    ASSERT_EQ(rqk4712v_self_test(good, &result, message), VI_SUCCESS);
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(message, "Self test passed");
    ASSERT_EQ(rqk4712v_self_test(bad, &result, message), VI_SUCCESS) << "a failing self-test is a result";
    EXPECT_EQ(result, 7);
    EXPECT_STREQ(message, "Relay K3 of group 2 stuck");
    std::memset(message, '#', sizeof(message));
    ASSERT_EQ(rqk4712v_self_test(wordy, &result, message), VI_SUCCESS);
    EXPECT_EQ(result, -2);
    EXPECT_EQ(std::string(message), std::string(255, 'L'));
    EXPECT_EQ(message[256], '#');
}

TEST_F(DriverModule, StatusByteOperationCompleteAndDeviceClear) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR", VI_FALSE, VI_TRUE);
    ViInt16 value = -1;
    ASSERT_EQ(rqk4712v_readStatusByte_Q(vi, &value), VI_SUCCESS);
    EXPECT_EQ(value & 4, 0) << value;
    ASSERT_EQ(rqk4712v_routClos(vi, 100), VI_SUCCESS); // detection off: the error stays queued
    ASSERT_EQ(rqk4712v_readStatusByte_Q(vi, &value), VI_SUCCESS);
    EXPECT_EQ(value & 4, 4) << "error queue not empty: " << value;
    ASSERT_EQ(rqk4712v_opc_Q(vi, &value), VI_SUCCESS);
    EXPECT_EQ(value, 1);
    // Device clear keeps the error queue and the relays.
    ASSERT_EQ(rqk4712v_routClos(vi, 131), VI_SUCCESS);
    EXPECT_EQ(rqk4712v2_dcl(vi), VI_SUCCESS);
    EXPECT_EQ(Errors(vi), (std::vector<ViInt32>{-221}));
    EXPECT_EQ(States(vi, "130:133"), "0,1,0,0");
}

TEST_F(DriverModule, OverlongRepliesNeverPassTheBuffers) {
    const std::string longType = "QUILLON-VANTERA,K4712V,0,A.01.00" + std::string(300, 'T');
    const std::string longText(400, 'G');
    std::string states = "0";
    for (int i = 1; i < 200; ++i) {
        states += ",1";
    }
    std::string bench = kModuleBench;
    bench += "  - name: VXI0::120::INSTR\n    module:\n      card:\n";
    bench += "        type: \"" + longType + "\"\n";
    bench += "  - name: GPIB0::5::INSTR\n    generic:\n";
    bench += "      identity: \"ACME,DMM-200,77," + longText + "\"\n";
    bench += "      replies:\n";
    bench += "        \"SYST:CTYP? 1\": \"" + longText + "\"\n";
    bench += "        \"SYST:COPT? 1\": '\"" + longText + "\"'\n";
    bench += "        \"SYST:ERR?\": '-350,\"" + longText + "\"'\n";
    bench += "        \"ROUT:CLOS? (@120:123)\": \"" + states + "\"\n";
    bench += "        \"SYST:CTYP? 2\": \"" + std::string(5000, 'H') + "\"\n";
    UseBench(bench);
    ViSession module = Open("VXI0::120::INSTR");
    ViSession generic = Open("GPIB0::5::INSTR");
    char text[256 + 8];

    std::memset(text, '#', sizeof(text));
    ASSERT_EQ(rqk4712v_systCtyp_Q(module, 1, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), longType.substr(0, 255));
    EXPECT_EQ(text[256], '#');

    std::memset(text, '#', sizeof(text));
    ASSERT_EQ(rqk4712v_systCtyp_Q(generic, 1, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), longText.substr(0, 255));
    EXPECT_EQ(text[256], '#');

    std::memset(text, '#', sizeof(text));
    ASSERT_EQ(rqk4712v_systCopt_Q(generic, 1, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), longText.substr(0, 99));
    EXPECT_EQ(text[100], '#');

    std::memset(text, '#', sizeof(text));
    ViInt32 code = 0;
    ASSERT_EQ(rqk4712v_error_query(generic, &code, text), VI_SUCCESS);
    EXPECT_EQ(code, -350);
    EXPECT_EQ(std::string(text), longText.substr(0, 255));
    EXPECT_EQ(text[256], '#');

    std::memset(text, '#', sizeof(text));
    ASSERT_EQ(rqk4712v_routClosList_Q(generic, Text("120:123"), text), VI_SUCCESS);
    EXPECT_EQ(std::strlen(text), 255u);
    EXPECT_EQ(text[256], '#');

    char driver[256];
    std::memset(text, '#', sizeof(text));
    ASSERT_EQ(rqk4712v_revision_query(generic, driver, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), longText.substr(0, 255));
    EXPECT_EQ(text[256], '#');

    // A reply longer than the driver's own reading room is read to its end as well.
    ASSERT_EQ(rqk4712v_systCtyp_Q(generic, 2, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), std::string(255, 'H'));

    // Every long reply was read to its end: the sessions go on normally.
    ASSERT_EQ(rqk4712v_systCtyp_Q(module, 1, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), longType.substr(0, 255));
    ViInt16 opc = 0;
    ASSERT_EQ(rqk4712v_errorQueryDetect(module, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_opc_Q(module, &opc), VI_SUCCESS) << "no query was left unread";
    EXPECT_TRUE(Errors(module).empty());
    ASSERT_EQ(rqk4712v_systCtyp_Q(generic, 1, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), longText.substr(0, 255));
}

TEST_F(DriverModule, RevisionAndStatusTexts) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    char driver[256];
    char firmware[256];
    ASSERT_EQ(rqk4712v_revision_query(vi, driver, firmware), VI_SUCCESS);
    EXPECT_STREQ(driver, "A.01.00");
    EXPECT_STREQ(firmware, "A.11.01");

    char message[256];
    EXPECT_EQ(rqk4712v_error_message(vi, VI_ERROR_TMO, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("imeout"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(vi, RQK4712V_INSTR_ERROR_DETECTED, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("nstrument error detected"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(VI_NULL, VI_ERROR_PARAMETER3, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("Parameter 3"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(VI_NULL, VI_ERROR_FAIL_ID_QUERY, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("identification"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(vi, (ViStatus)0xBFFC0ABC, message), VI_WARN_UNKNOWN_STATUS);
    EXPECT_NE(std::string(message).find("BFFC0ABC"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(vi, VI_ERROR_TMO, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(DriverModule, BadSessionsAndParametersChangeNothing) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    ViSession other = VI_NULL;
    ASSERT_EQ(rqk4712v_init(Text("VXI0::112::INSTR"), VI_FALSE, VI_FALSE, &other), VI_SUCCESS);
    ASSERT_EQ(rqk4712v_close(other), VI_SUCCESS);

    EXPECT_EQ(rqk4712v_routClos(other, 130), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(rqk4712v_atten(other, 1, 0, 3), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(rqk4712v_routClos(0, 130), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(rqk4712v_routClos(vi, 136), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routOpenList(vi, Text("130:133;*RST")), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 95), VI_ERROR_PARAMETER4);
    EXPECT_EQ(rqk4712v_systCopt(vi, 1, Text("\",*RST,\"")), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCopt_Q(vi, 0, nullptr), VI_ERROR_PARAMETER2);

    EXPECT_EQ(Attenuation(vi, 0), 5);
    EXPECT_EQ(States(vi, "130:133"), "0,0,1,0");
    char options[100];
    ASSERT_EQ(rqk4712v_systCopt_Q(vi, 1, options), VI_SUCCESS);
    EXPECT_STREQ(options, kCardOptions);
    EXPECT_TRUE(Errors(vi).empty());
}

TEST_F(DriverModule, MalformedRepliesAreRefused) {
    UseBench(R"bench(resources:
  - name: GPIB0::5::INSTR
    generic:
      identity: "QUILLON-VANTERA,K4712V,1,A.01.00"
      replies:
        "SYST:ERR?": "garbage"
        "ROUT:ATT? 1,0": "ten"
        "*TST?": "70000"
        "ROUT:CLOS? (@120:123)": "0,2,0,0"
        "*OPC?": "99999"
        "SYST:CTYP? 1": null
)bench");
    ViSession vi = Open("GPIB0::5::INSTR", VI_TRUE, VI_FALSE);
    ViInt32 code = 5;
    ViInt16 value = 12;
    char text[256] = "stale";
    EXPECT_EQ(rqk4712v_error_query(vi, &code, text), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(code, 0) << "a caller draining the queue until code 0 must stop";
    EXPECT_STREQ(text, "");
    EXPECT_EQ(rqk4712v_atten_Q(vi, 1, 0, &value), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(value, 12);
    std::strcpy(text, "stale");
    EXPECT_EQ(rqk4712v_self_test(vi, &value, text), VI_ERROR_INV_RESPONSE);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "stale");
    EXPECT_EQ(rqk4712v_routClosList_Q(vi, Text("120:123"), text), VI_ERROR_INV_RESPONSE);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(rqk4712v_opc_Q(vi, &value), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(value, 12);
    std::strcpy(text, "stale");
    EXPECT_EQ(rqk4712v_systCtyp_Q(vi, 1, text), VI_ERROR_TMO) << "a query without a reply";
    EXPECT_STREQ(text, "");
}

TEST_F(DriverModule, InitChecksItsArguments) {
    UseBench(kModuleBench);
    ViSession s = 5;
    EXPECT_EQ(rqk4712v_init(nullptr, VI_FALSE, VI_FALSE, &s), VI_ERROR_PARAMETER1);
    EXPECT_EQ(s, (ViSession)VI_NULL);
    EXPECT_EQ(rqk4712v_init(Text(""), VI_FALSE, VI_FALSE, &s), VI_ERROR_PARAMETER1);
    std::string longName = "VXI0::112::INSTR" + std::string(300, ' ');
    EXPECT_EQ(rqk4712v_init(longName.data(), VI_FALSE, VI_FALSE, &s), VI_ERROR_PARAMETER1);
    EXPECT_EQ(rqk4712v_init(Text("VXI0::112::INSTR"), 2, VI_FALSE, &s), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_init(Text("VXI0::112::INSTR"), VI_FALSE, 2, &s), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_init(Text("VXI0::112::INSTR"), VI_FALSE, VI_TRUE, nullptr), VI_ERROR_PARAMETER4);
    // None of these reached the module: it was not reset.
    ViSession vi = Open("VXI0::112::INSTR");
    EXPECT_EQ(Attenuation(vi, 0), 5);
}

TEST_F(DriverModule, EveryEntryPointRefusesUnknownSessionsAndNullPointers) {
    UseBench(kModuleBench);
    ViSession vi = Open("VXI0::112::INSTR");
    for (ViSession bad : {(ViSession)VI_NULL, vi + 1000, (ViSession)0xFFFFFFFFu}) {
        char text[256] = "stale";
        char text2[256] = "stale";
        ViInt16 value = 0;
        ViInt32 code = 0;
        EXPECT_EQ(rqk4712v_timeOut(bad, 1000), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_errorQueryDetect(bad, VI_TRUE), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routClos(bad, 130), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routOpen(bad, 130), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routOpenList(bad, Text("130:133")), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routClosList_Q(bad, Text("130:133"), text), VI_ERROR_INV_OBJECT);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(rqk4712v_systCopt(bad, 1, Text(",,,,,")), VI_ERROR_INV_OBJECT);
        std::strcpy(text, "stale");
        EXPECT_EQ(rqk4712v_systCopt_Q(bad, 1, text), VI_ERROR_INV_OBJECT);
        EXPECT_STREQ(text, "");
        std::strcpy(text, "stale");
        EXPECT_EQ(rqk4712v_systCtyp_Q(bad, 1, text), VI_ERROR_INV_OBJECT);
        EXPECT_STREQ(text, "");
        std::strcpy(text, "stale");
        EXPECT_EQ(rqk4712v_error_query(bad, &code, text), VI_ERROR_INV_OBJECT);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(rqk4712v_self_test(bad, &value, text), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_readStatusByte_Q(bad, &value), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_opc_Q(bad, &value), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v2_dcl(bad), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_atten(bad, 1, 0, 0), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_atten_Q(bad, 1, 0, &value), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_revision_query(bad, text, text2), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_close(bad), VI_ERROR_INV_OBJECT);
    }

    char text[256];
    ViInt16 value = 0;
    ViInt32 code = 0;
    EXPECT_EQ(rqk4712v_routClosList_Q(vi, nullptr, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routClosList_Q(vi, Text("130:133"), nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_routOpenList(vi, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_systCopt(vi, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCtyp_Q(vi, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCtyp_Q(vi, 100, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 6, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_atten_Q(vi, 0, 0, &value), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_atten_Q(vi, 1, -1, &value), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_atten_Q(vi, 1, 0, nullptr), VI_ERROR_PARAMETER4);
    EXPECT_EQ(rqk4712v_error_query(vi, nullptr, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_error_query(vi, &code, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_self_test(vi, nullptr, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_self_test(vi, &value, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_readStatusByte_Q(vi, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_opc_Q(vi, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_errorQueryDetect(vi, 2), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_revision_query(vi, nullptr, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_revision_query(vi, text, nullptr), VI_ERROR_PARAMETER3);
    // The session survives all of it.
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_opc_Q(vi, &value), VI_SUCCESS);
    EXPECT_TRUE(Errors(vi).empty());
}

} // namespace
