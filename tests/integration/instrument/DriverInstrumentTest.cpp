// The driver-backed instrument over the real driver library and the simulated module, with the
// library loaded by the program's own loader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/SfpAppData.h"
#include "instrument/DriverInstrument.h"
#include "instrument/ReportDriverError.h"
#include "platform/UserException.h"
#include "switching/GroupStateReading.h"
#include "tests/integration/instrument/SimulatedBench.h"
#include "tests/support/RecordingFacade.h"

namespace fs = std::filesystem;

namespace {

const std::string kModule = R"(resources:
  - name: VXI0::112::INSTR
    slot: 3
    module:
      card:
        options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"
        states: [5, 30, 20, 2, 4, 1]
)";

class DriverInstrument : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bench.Made());
        ASSERT_TRUE(library.Load(DRIVER_PATH));
        app.m_cardNumber = 1;
        app.m_resourceName = "VXI0::112::INSTR";
    }
    void TearDown() override {
        app.m_pInstrument.reset(); // closes the session
    }

    // Opens the module of the bench as the connection does: init, time-out, error-query detection on.
    CDriverInstrument& Open(const std::string& bench) {
        m_bench.Use(bench);
        auto init = library.Function<DriverInitFn>("rqk4712v_init");
        DriverSession session = 0;
        char name[] = "VXI0::112::INSTR";
        EXPECT_EQ(init(name, 0, 0, &session), 0);
        library.Function<DriverTimeOutFn>("rqk4712v_timeOut")(session, 2000);
        library.Function<DriverErrorQueryDetectFn>("rqk4712v_errorQueryDetect")(session, 1);
        app.m_pInstrument = std::make_unique<CDriverInstrument>(session, library);
        return static_cast<CDriverInstrument&>(*app.m_pInstrument);
    }

    // Runs the operation; gives the status it left, and whether it raised.
    template <typename F>
    std::pair<std::int32_t, bool> Run(CInstrument& instrument, F operation) {
        bool raised = false;
        try {
            operation();
        } catch (const CUserException&) {
            raised = true;
        }
        return {instrument.GetLastStatus(), raised};
    }

    CSimulatedBench m_bench{"sfp-driver-instrument"};
    CDynamicLibrary library;
    CRecordingFacade facade;
    CSfpAppData app;
};

} // namespace

TEST_F(DriverInstrument, OperationsStoreTheStatusAndRaiseOnFailure) {
    CDriverInstrument& instrument = Open(kModule);
    EXPECT_EQ(Run(instrument, [&] { instrument.CloseRoute(132); }), std::make_pair(0, false));
    // Group 2 drives an attenuator: the module refuses, the driver reports its error queue.
    EXPECT_EQ(Run(instrument, [&] { instrument.CloseRoute(121); }),
              std::make_pair(kStatusInstrumentError, true));
    ReportDriverError(instrument.GetLastStatus());
    EXPECT_EQ(facade.m_messages,
              std::vector<std::string>{"Instrument reports error: -221  Settings conflict"});
    EXPECT_EQ(facade.m_beeps, 1);
    EXPECT_EQ(instrument.QueryOpc(), 1);
    EXPECT_EQ(instrument.ReadStatusByte() & 0x04, 0); // the report emptied the error queue
    char list[] = "130:133";
    EXPECT_EQ(Run(instrument, [&] { instrument.OpenRouteList(list); }), std::make_pair(0, false));
    EXPECT_STREQ(list, "130:133");
}

TEST_F(DriverInstrument, SetAttenuationSendsTheCardOfTheMoment) {
    CDriverInstrument& instrument = Open(kModule);
    app.m_cardNumber = 2; // a card the module does not hold
    EXPECT_TRUE(Run(instrument, [&] { instrument.SetAttenuation(1, 30); }).second);
    app.m_cardNumber = 1;
    EXPECT_EQ(Run(instrument, [&] { instrument.SetAttenuation(1, 70); }), std::make_pair(0, false));
    const GroupStateReading reading = ReadGroupStates(instrument, {0, 1, 2, 3, 4, 3});
    EXPECT_EQ(reading.positions[1], 7);
    EXPECT_EQ(reading.positions[0], 5);
    EXPECT_EQ(reading.positions[4], 4);
}

TEST_F(DriverInstrument, TextsAreEmptiedBeforeTheCall) {
    CDriverInstrument& instrument = Open(kModule + R"(    faults:
      commands:
        - header: "SYST:COPT?"
          action: timeout
        - header: "SYST:CTYP?"
          action: timeout
)");
    char text[kTextBufferSize] = "left over";
    EXPECT_EQ(Run(instrument, [&] { instrument.QueryCardOption(1, text); }),
              std::make_pair(kStatusTimeOut, true));
    EXPECT_STREQ(text, "");
    std::snprintf(text, sizeof(text), "left over");
    EXPECT_TRUE(Run(instrument, [&] { instrument.QueryCardType(1, text); }).second);
    EXPECT_STREQ(text, "");
}

TEST_F(DriverInstrument, ErrorQueryNeverRaisesAndReportsItsTimeOut) {
    CDriverInstrument& instrument = Open(kModule + R"(    faults:
      error_queue:
        - {code: -113}
      commands:
        - header: "SYST:ERR"
          action: timeout
          when: 2
)");
    std::int32_t code = 0;
    char message[kTextBufferSize] = "x";
    instrument.ErrorQuery(&code, message);
    EXPECT_EQ(code, -113);
    EXPECT_STREQ(message, "Undefined header");
    instrument.ErrorQuery(&code, message);
    EXPECT_EQ(instrument.GetLastStatus(), kStatusTimeOut);
    EXPECT_STREQ(message, "");
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Time Out !"});
}

TEST_F(DriverInstrument, SelfTestTextHasTheCodeAndTheMessage) {
    CDriverInstrument& instrument = Open(kModule);
    char result[kSelfTestBufferSize];
    instrument.SelfTest(result);
    EXPECT_STREQ(result, "0, Self test passed");
    app.m_pInstrument.reset();
    CDriverInstrument& failing =
        Open(kModule + "    faults:\n      self_test: {code: 3, message: \"Relay K3 stuck\"}\n");
    failing.SelfTest(result);
    EXPECT_STREQ(result, "3, Relay K3 stuck");
}

TEST_F(DriverInstrument, ReadGroupStatesReadsAllSixGroupsAndMarksTheFailedOnes) {
    // The last group's query fails: the groups before it are read, and it raises nothing.
    CDriverInstrument& instrument = Open(kModule + R"(    faults:
      commands:
        - header: "ROUT:CLOS?"
          action: timeout
          when: 3
)");
    const GroupValues types = {0, 1, 2, 3, 3, 3};
    GroupStateReading reading;
    EXPECT_EQ(Run(instrument, [&] { reading = ReadGroupStates(instrument, types); }),
              std::make_pair(kStatusTimeOut, false));
    EXPECT_EQ(reading.calls, 6);
    EXPECT_EQ(reading.unread, OneGroup(5));
    // A failure before the last group is marked as well, and the later groups are read.
    app.m_pInstrument.reset();
    CDriverInstrument& second = Open(kModule + R"(    faults:
      commands:
        - header: "ROUT:ATT?"
          action: timeout
          when: 1
)");
    reading = ReadGroupStates(second, types);
    EXPECT_EQ(reading.unread, OneGroup(0));
    EXPECT_EQ(reading.positions[0], -1);
    EXPECT_EQ(reading.positions[1], 3);
    EXPECT_EQ(reading.positions[2], 2);
    EXPECT_EQ(reading.positions[3], 2);
    EXPECT_EQ(reading.positions[5], 1);
}

TEST_F(DriverInstrument, LibraryWithoutTheEntryPointsFailsWithoutHarm) {
    CDynamicLibrary partial;
    ASSERT_TRUE(partial.Load(PARTIAL_VISA_PATH));
    app.m_pInstrument = std::make_unique<CDriverInstrument>(1, partial);
    CInstrument& instrument = *app.m_pInstrument;
    EXPECT_EQ(Run(instrument, [&] { instrument.CloseRoute(123); }),
              std::make_pair(kStatusNotSupported, true));
    char text[kSelfTestBufferSize] = "x";
    EXPECT_TRUE(Run(instrument, [&] { instrument.QueryCardType(1, text); }).second);
    EXPECT_STREQ(text, "");
    instrument.DeviceClear();
    instrument.Close();
    std::int32_t code = 7;
    instrument.ErrorQuery(&code, text);
    EXPECT_EQ(instrument.GetLastStatus(), kStatusNotSupported);
    ReportDriverError(kStatusNotSupported);
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"API failure."});
}
