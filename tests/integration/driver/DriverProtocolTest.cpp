// The driver's exchanges with a module over VISA, checked against a scripted VISA library that logs every
// message: the commands each entry point sends, error-query detection, time-outs, reply decoding and
// buffer bounds, sessions and argument checks.
#include "rqk4712v.h"

#include "ScriptedVisa.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

ScriptedVisa& Visa() {
    static ScriptedVisa visa = [] {
        setenv("RQK4712V_VISA_LIBRARY", SCRIPTED_VISA_PATH, 1);
        return ScriptedVisa::Load(SCRIPTED_VISA_PATH);
    }();
    return visa;
}

class DriverProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        Visa().Reset();
        openBefore = Visa().OpenSessions();
        ASSERT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::8::INSTR"), VI_FALSE, VI_FALSE, &vi), VI_SUCCESS);
        ASSERT_NE(vi, (ViSession)VI_NULL);
    }
    void TearDown() override {
        if (vi != VI_NULL) {
            EXPECT_EQ(rqk4712v_close(vi), VI_SUCCESS);
        }
        EXPECT_EQ(Visa().OpenSessions(), openBefore) << "sessions left open";
    }
    std::string Log() const { return Visa().Log(); }

    ViSession vi = VI_NULL;
    int openBefore = 0;
};

TEST_F(DriverProtocol, InitWithoutResetOrIdQuerySendsNothingAndSetsTheTimeOut) {
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Visa().Timeout(), (ViUInt32)RQK4712V_DEFAULT_TIMEOUT);
    EXPECT_EQ(Visa().OpenSessions(), openBefore + 2); // the resource manager and the instrument
}

TEST_F(DriverProtocol, InitWithResetSendsRstThenCls) {
    ViSession second = VI_NULL;
    ASSERT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_FALSE, VI_TRUE, &second), VI_SUCCESS);
    EXPECT_EQ(Log(), "*RST|*CLS");
    EXPECT_NE(second, vi);
    EXPECT_EQ(rqk4712v_close(second), VI_SUCCESS);
}

TEST_F(DriverProtocol, IdQueryAcceptsTheModuleAndASwitchboxHoldingTheCard) {
    Visa().Reply("*IDN?", "QUILLON-VANTERA,K4712V,1234,A.11.01");
    ViSession s = VI_NULL;
    ASSERT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_TRUE, VI_FALSE, &s), VI_SUCCESS);
    EXPECT_EQ(Log(), "*IDN?");
    EXPECT_EQ(rqk4712v_close(s), VI_SUCCESS);

    Visa().Reset();
    Visa().Reply("*IDN?", "QUILLON-VANTERA,SWITCHBOX,77,B.01.00");
    Visa().Reply("SYST:CTYP? 1", "OTHER-MAKER,X1,0,A");
    Visa().Reply("SYST:CTYP? 2", "QUILLON-VANTERA,K4712V,0,A.01.00");
    ASSERT_EQ(rqk4712v_init(const_cast<ViChar*>("GPIB0::9::INSTR"), VI_TRUE, VI_TRUE, &s), VI_SUCCESS);
    EXPECT_EQ(Log(), "*IDN?|SYST:CTYP? 1|SYST:CTYP? 2|*RST|*CLS");
    EXPECT_EQ(rqk4712v_close(s), VI_SUCCESS);
}

TEST_F(DriverProtocol, IdQueryMismatchFailsAndLeavesNothingOpen) {
    const int open = Visa().OpenSessions();
    ViSession s = 77;
    Visa().Reply("*IDN?", "OTHER-MAKER,K4712V,1,A");
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_TRUE, VI_TRUE, &s),
              VI_ERROR_FAIL_ID_QUERY);
    EXPECT_EQ(s, (ViSession)VI_NULL);
    EXPECT_EQ(Log(), "*IDN?") << "no reset after a failed identity check";

    // A model whose name only begins like the module's is another instrument.
    Visa().Reset();
    Visa().Reply("*IDN?", "QUILLON-VANTERA,K4712VX,1,A");
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_TRUE, VI_FALSE, &s),
              VI_ERROR_FAIL_ID_QUERY);

    // A switchbox whose cards are of another type, then end.
    Visa().Reset();
    Visa().Reply("*IDN?", "QUILLON-VANTERA,SWITCHBOX,77,B.01.00");
    Visa().Reply("SYST:CTYP? 1", "OTHER-MAKER,X1,0,A");
    Visa().Reply("SYST:CTYP? 2", "NONE");
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("GPIB0::9::INSTR"), VI_TRUE, VI_FALSE, &s),
              VI_ERROR_FAIL_ID_QUERY);
    EXPECT_EQ(Log(), "*IDN?|SYST:CTYP? 1|SYST:CTYP? 2");

    // An identity that never comes.
    Visa().Reset();
    Visa().Reply("*IDN?", "<TIMEOUT>");
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_TRUE, VI_FALSE, &s), VI_ERROR_TMO);
    EXPECT_EQ(s, (ViSession)VI_NULL);

    // A resource that does not exist.
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("MISSING::INSTR"), VI_FALSE, VI_FALSE, &s),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(s, (ViSession)VI_NULL);
    EXPECT_EQ(Visa().OpenSessions(), open);
}

TEST_F(DriverProtocol, InitChecksItsArguments) {
    ViSession s = 5;
    EXPECT_EQ(rqk4712v_init(nullptr, VI_FALSE, VI_FALSE, &s), VI_ERROR_PARAMETER1);
    EXPECT_EQ(s, (ViSession)VI_NULL);
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>(""), VI_FALSE, VI_FALSE, &s), VI_ERROR_PARAMETER1);
    std::string longName(300, 'A');
    EXPECT_EQ(rqk4712v_init(longName.data(), VI_FALSE, VI_FALSE, &s), VI_ERROR_PARAMETER1);
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), 2, VI_FALSE, &s), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_FALSE, 2, &s), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::9::INSTR"), VI_FALSE, VI_FALSE, nullptr),
              VI_ERROR_PARAMETER4);
    EXPECT_EQ(Log(), "");
}

TEST_F(DriverProtocol, CommandsAreSentInTheModulesSyntax) {
    EXPECT_EQ(rqk4712v_routClos(vi, 123), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_routOpen(vi, 1220), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_routOpenList(vi, const_cast<ViChar*>("120:123")), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_routOpenList(vi, const_cast<ViChar*>("(@100,112)")), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_atten(vi, 12, 2, 30), VI_SUCCESS);
    EXPECT_EQ(rqk4712v_systCopt(vi, 1, const_cast<ViChar*>("QZATNA01,,,QZSWTA01,QZSWTB01,")), VI_SUCCESS);
    EXPECT_EQ(Log(), "ROUT:CLOS (@123)|ROUT:OPEN (@1220)|ROUT:OPEN (@120:123)|ROUT:OPEN (@100,112)|"
                     "ROUT:ATT 12,2,30|SYST:COPT 1,\"QZATNA01,,,QZSWTA01,QZSWTB01,\"");
}

TEST_F(DriverProtocol, DetectionReadsTheEventStatusAfterEachCommand) {
    Visa().Reply("*ESR?", "0");
    EXPECT_EQ(rqk4712v_routClos(vi, 123), VI_SUCCESS);
    EXPECT_EQ(Log(), "ROUT:CLOS (@123)") << "detection starts off";

    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    Visa().Reset();
    Visa().Reply("*ESR?", "0");
    EXPECT_EQ(rqk4712v_routClos(vi, 123), VI_SUCCESS);
    EXPECT_EQ(Log(), "ROUT:CLOS (@123)|*ESR?");

    // Command, execution, device-dependent and query errors are reported; operation complete and power on
    // are not errors.
    for (const char* esr : {"32", "16", "8", "4", "+20"}) {
        Visa().Reset();
        Visa().Reply("*ESR?", esr);
        EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 5), RQK4712V_INSTR_ERROR_DETECTED) << esr;
    }
    for (const char* esr : {"1", "128", "129"}) {
        Visa().Reset();
        Visa().Reply("*ESR?", esr);
        EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 5), VI_SUCCESS) << esr;
    }

    // A query keeps its reply and still reports the error.
    Visa().Reset();
    Visa().Reply("ROUT:CLOS? (@120:123)", "0,1,0,0");
    Visa().Reply("*ESR?", "16");
    char reply[256];
    EXPECT_EQ(rqk4712v_routClosList_Q(vi, const_cast<ViChar*>("120:123"), reply),
              RQK4712V_INSTR_ERROR_DETECTED);
    EXPECT_STREQ(reply, "0,1,0,0");
    EXPECT_EQ(Log(), "ROUT:CLOS? (@120:123)|*ESR?");

    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_FALSE), VI_SUCCESS);
    Visa().Reset();
    Visa().Reply("*ESR?", "16");
    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 5), VI_SUCCESS);
    EXPECT_EQ(Log(), "ROUT:ATT 1,0,5");
}

TEST_F(DriverProtocol, TimeOutsAreReturnedAsSuchWithoutAStatusQuery) {
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    Visa().Reply("*ESR?", "16");
    Visa().Reply("ROUT:ATT? 1,0", "<TIMEOUT>");
    ViInt16 value = 99;
    EXPECT_EQ(rqk4712v_atten_Q(vi, 1, 0, &value), VI_ERROR_TMO);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(Log(), "ROUT:ATT? 1,0");

    Visa().Reset();
    Visa().FailWrites(VI_ERROR_TMO);
    EXPECT_EQ(rqk4712v_routClos(vi, 123), VI_ERROR_TMO);
    EXPECT_EQ(Log(), "");

    // The status query itself timing out is a time-out too.
    Visa().Reset();
    Visa().Reply("*ESR?", "<TIMEOUT>");
    EXPECT_EQ(rqk4712v_routClos(vi, 123), VI_ERROR_TMO);
}

TEST_F(DriverProtocol, TimeOutIsSetOnTheVisaSession) {
    EXPECT_EQ(rqk4712v_timeOut(vi, 2000), VI_SUCCESS);
    EXPECT_EQ(Visa().Timeout(), 2000u);
    EXPECT_EQ(rqk4712v_timeOut(vi, 0), VI_SUCCESS);
    EXPECT_EQ(Visa().Timeout(), 0u);
    EXPECT_EQ(rqk4712v_timeOut(vi, -1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(Visa().Timeout(), 0u);
}

TEST_F(DriverProtocol, OverlongRepliesAreCutToTheBufferAndReadToTheirEnd) {
    std::string type = "QUILLON-VANTERA,K4712V," + std::string(3000, '7');
    Visa().Reply("SYST:CTYP? 1", type.c_str());
    Visa().Reply("SYST:COPT? 1", ("\"" + std::string(300, 'Q') + "\"").c_str());
    Visa().Reply("*OPC?", "1");

    char buffer[256 + 16];
    std::memset(buffer, '#', sizeof(buffer));
    ASSERT_EQ(rqk4712v_systCtyp_Q(vi, 1, buffer), VI_SUCCESS);
    EXPECT_EQ(std::strlen(buffer), 255u);
    EXPECT_EQ(std::string(buffer), type.substr(0, 255));
    EXPECT_EQ(buffer[256], '#');

    std::memset(buffer, '#', sizeof(buffer));
    ASSERT_EQ(rqk4712v_systCopt_Q(vi, 1, buffer), VI_SUCCESS);
    EXPECT_EQ(std::string(buffer), std::string(99, 'Q'));
    EXPECT_EQ(buffer[100], '#');

    // The rest of the long replies was consumed: the next query reads its own reply.
    ViInt16 opc = 0;
    EXPECT_EQ(rqk4712v_opc_Q(vi, &opc), VI_SUCCESS);
    EXPECT_EQ(opc, 1);
}

TEST_F(DriverProtocol, ErrorQueueEntriesKeepTheirSign) {
    ASSERT_EQ(rqk4712v_errorQueryDetect(vi, VI_TRUE), VI_SUCCESS);
    Visa().Reply("*ESR?", "32");
    Visa().Reply("SYST:ERR?", "-113,\"Undefined header\"");
    Visa().Reply("SYST:ERR?", "0,\"No error\"");
    ViInt32 code = 0;
    char message[256];
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, -113);
    EXPECT_STREQ(message, "Undefined header");
    ASSERT_EQ(rqk4712v_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, 0);
    EXPECT_STREQ(message, "No error");
    EXPECT_EQ(Log(), "SYST:ERR?|SYST:ERR?") << "reading the queue is not checked for errors";

    Visa().Reset();
    Visa().Reply("SYST:ERR?", "garbage");
    code = 5;
    EXPECT_EQ(rqk4712v_error_query(vi, &code, message), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(code, 5);
    EXPECT_STREQ(message, "");
}

TEST_F(DriverProtocol, SelfTestGivesTheCodeAndTheModulesText) {
    Visa().Reply("*TST?", "0");
    Visa().Reply("DIAG:TEST:MESS?", "\"Self test passed\"");
    ViInt16 result = -1;
    char message[256];
    ASSERT_EQ(rqk4712v_self_test(vi, &result, message), VI_SUCCESS);
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(message, "Self test passed");
    EXPECT_EQ(Log(), "*TST?|DIAG:TEST:MESS?");

    Visa().Reset();
    Visa().Reply("*TST?", "3");
    Visa().Reply("DIAG:TEST:MESS?", ("\"" + std::string(400, 'F') + "\"").c_str());
    char bounded[256 + 8];
    std::memset(bounded, '#', sizeof(bounded));
    ASSERT_EQ(rqk4712v_self_test(vi, &result, bounded), VI_SUCCESS);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(std::strlen(bounded), 255u);
    EXPECT_EQ(bounded[256], '#');

    Visa().Reset();
    Visa().Reply("*TST?", "70000");
    EXPECT_EQ(rqk4712v_self_test(vi, &result, message), VI_ERROR_INV_RESPONSE);
    EXPECT_STREQ(message, "");
}

TEST_F(DriverProtocol, NumericQueriesAndStatusByte) {
    Visa().Reply("ROUT:ATT? 3,4", "70");
    Visa().Reply("*OPC?", "1");
    Visa().StatusByte(0x44);
    ViInt16 value = 0;
    ASSERT_EQ(rqk4712v_atten_Q(vi, 3, 4, &value), VI_SUCCESS);
    EXPECT_EQ(value, 70);
    ASSERT_EQ(rqk4712v_opc_Q(vi, &value), VI_SUCCESS);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(rqk4712v_readStatusByte_Q(vi, &value), VI_SUCCESS);
    EXPECT_EQ(value, 0x44);

    Visa().Reset();
    Visa().Reply("ROUT:ATT? 3,4", "ten");
    value = 12;
    EXPECT_EQ(rqk4712v_atten_Q(vi, 3, 4, &value), VI_ERROR_INV_RESPONSE);
    EXPECT_EQ(value, 12);
}

TEST_F(DriverProtocol, RouteStateRepliesAreCheckedBeforeTheyReachTheCaller) {
    Visa().Reply("ROUT:CLOS? (@1220:1225)", "0,0,0,0,0,1");
    char reply[256];
    ASSERT_EQ(rqk4712v_routClosList_Q(vi, const_cast<ViChar*>("1220:1225"), reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "0,0,0,0,0,1");
    for (const char* bad : {"", "0,1,", "0,2,0,0", "QUILLON", "01,0"}) {
        Visa().Reset();
        Visa().Reply("ROUT:CLOS? (@1220:1225)", bad);
        std::strcpy(reply, "old");
        EXPECT_EQ(rqk4712v_routClosList_Q(vi, const_cast<ViChar*>("1220:1225"), reply), VI_ERROR_INV_RESPONSE)
            << bad;
        EXPECT_STREQ(reply, "");
    }
}

TEST_F(DriverProtocol, ArgumentsOutOfRangeAreRefusedBeforeAnythingIsSent) {
    char text[256];
    ViInt16 value = 0;
    ViInt32 code = 0;
    EXPECT_EQ(rqk4712v_routClos(vi, 99), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routClos(vi, 126), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routOpen(vi, 160), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routOpen(vi, 10000), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routOpenList(vi, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routOpenList(vi, const_cast<ViChar*>("120:123);*RST;(@1")), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routClosList_Q(vi, const_cast<ViChar*>("120\n*RST"), text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_routClosList_Q(vi, const_cast<ViChar*>("120:123"), nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCopt(vi, 0, const_cast<ViChar*>(",,,,,")), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_systCopt(vi, 1, const_cast<ViChar*>("A\",\"B")), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCopt(vi, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCopt_Q(vi, 100, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_systCopt_Q(vi, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_systCtyp_Q(vi, -1, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_systCtyp_Q(vi, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_atten(vi, 0, 0, 0), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 6, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_atten(vi, 1, -1, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, 91), VI_ERROR_PARAMETER4);
    EXPECT_EQ(rqk4712v_atten(vi, 1, 0, -10), VI_ERROR_PARAMETER4);
    EXPECT_EQ(rqk4712v_atten_Q(vi, 100, 0, &value), VI_ERROR_PARAMETER2);
    EXPECT_EQ(rqk4712v_atten_Q(vi, 1, 6, &value), VI_ERROR_PARAMETER3);
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
    EXPECT_EQ(rqk4712v_error_message(vi, VI_ERROR_TMO, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(Log(), "");
}

TEST_F(DriverProtocol, UnknownSessionsAreRefusedEverywhere) {
    for (ViSession bad : {(ViSession)VI_NULL, vi + 1000, (ViSession)0xFFFFFFFFu}) {
        char text[256] = "stale";
        char text2[256] = "stale";
        ViInt16 value = 0;
        ViInt32 code = 0;
        EXPECT_EQ(rqk4712v_timeOut(bad, 1000), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_errorQueryDetect(bad, VI_TRUE), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routClos(bad, 123), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routOpen(bad, 123), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routOpenList(bad, const_cast<ViChar*>("120:123")), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(rqk4712v_routClosList_Q(bad, const_cast<ViChar*>("120:123"), text), VI_ERROR_INV_OBJECT);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(rqk4712v_systCopt(bad, 1, const_cast<ViChar*>(",,,,,")), VI_ERROR_INV_OBJECT);
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
    EXPECT_EQ(Log(), "");
}

TEST_F(DriverProtocol, ClosedSessionsAreUnknown) {
    EXPECT_EQ(rqk4712v_close(vi), VI_SUCCESS);
    EXPECT_EQ(Visa().OpenSessions(), openBefore) << "close releases the resource manager session too";
    EXPECT_EQ(rqk4712v_close(vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(rqk4712v_routClos(vi, 123), VI_ERROR_INV_OBJECT);
    vi = VI_NULL;
}

TEST_F(DriverProtocol, DeviceClearRevisionAndStatusTexts) {
    const int clears = Visa().Clears();
    EXPECT_EQ(rqk4712v2_dcl(vi), VI_SUCCESS);
    EXPECT_EQ(Visa().Clears(), clears + 1);

    Visa().Reply("*IDN?", "QUILLON-VANTERA,K4712V,1234,A.11.01");
    char driver[256];
    char firmware[256];
    ASSERT_EQ(rqk4712v_revision_query(vi, driver, firmware), VI_SUCCESS);
    EXPECT_STREQ(driver, "A.01.00");
    EXPECT_STREQ(firmware, "A.11.01");

    char message[256];
    EXPECT_EQ(rqk4712v_error_message(vi, RQK4712V_INSTR_ERROR_DETECTED, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("nstrument error detected"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(VI_NULL, VI_ERROR_PARAMETER3, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("Parameter 3"), std::string::npos) << message;
    EXPECT_EQ(rqk4712v_error_message(vi, VI_ERROR_FAIL_ID_QUERY, message), VI_SUCCESS);
    EXPECT_NE(std::string(message).find("identification"), std::string::npos) << message;
    // VISA describes its own statuses.
    EXPECT_EQ(rqk4712v_error_message(vi, VI_ERROR_TMO, message), VI_SUCCESS);
    EXPECT_STREQ(message, "Scripted: time-out");
    // A status VISA does not know either.
    EXPECT_EQ(rqk4712v_error_message(vi, (ViStatus)0xBFFC0ABC, message), VI_WARN_UNKNOWN_STATUS);
    EXPECT_NE(std::string(message).find("BFFC0ABC"), std::string::npos) << message;
}

} // namespace
