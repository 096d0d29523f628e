#include <gtest/gtest.h>

#include "app/SfpAppData.h"
#include "instrument/ReportDriverError.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

class ErrorReport : public ::testing::Test {
protected:
    void SetUp() override {
        auto scripted = std::make_unique<CScriptedInstrument>();
        instrument = scripted.get();
        app.m_pInstrument = std::move(scripted);
    }
    CRecordingFacade facade;
    CSfpAppData app;
    CScriptedInstrument* instrument = nullptr;
};

} // namespace

TEST_F(ErrorReport, ShowsEveryQueuedErrorWithABeepUntilTheQueueIsEmpty) {
    instrument->m_errors = {
        {-113, "Undefined header"}, {-222, "Data out of range"}, {-221, "Settings conflict"}};
    ReportDriverError(kStatusInstrumentError);
    EXPECT_EQ(facade.m_beeps, 3);
    EXPECT_EQ(facade.m_messages,
              (std::vector<std::string>{"Instrument reports error: -113  Undefined header",
                                        "Instrument reports error: -222  Data out of range",
                                        "Instrument reports error: -221  Settings conflict"}));
    // Device clear first, then one query per entry and the one that found the queue empty.
    EXPECT_EQ(instrument->m_calls, (std::vector<std::string>{"DeviceClear", "ErrorQuery", "ErrorQuery",
                                                             "ErrorQuery", "ErrorQuery"}));
}

TEST_F(ErrorReport, StopsWhenTheErrorQueryItselfFails) {
    instrument->m_errors = {{-113, "Undefined header"}, {-222, "Data out of range"}};
    instrument->FailOn("ErrorQuery", VI_ERROR_SYSTEM_ERROR, 2);
    ReportDriverError(kStatusInstrumentError);
    EXPECT_EQ(facade.m_messages.size(), 1u);
    EXPECT_EQ(facade.m_beeps, 1);
}

TEST_F(ErrorReport, ShowsAtMostAHundredEntriesOfAQueueThatNeverEmpties) {
    for (int i = 0; i < 150; ++i) {
        instrument->m_errors.push_back({-100 - i, "Command error"});
    }
    ReportDriverError(kStatusInstrumentError);
    EXPECT_EQ(facade.m_messages.size(), static_cast<size_t>(kMaxReportedErrors));
    EXPECT_EQ(facade.m_beeps, kMaxReportedErrors);
}

TEST_F(ErrorReport, TimeOutClearsTheDeviceAndOtherStatusesAreApiFailures) {
    ReportDriverError(kStatusTimeOut);
    EXPECT_EQ(instrument->m_calls, (std::vector<std::string>{"DeviceClear", "ErrorQuery"}));
    ReportDriverError(-1);
    ReportDriverError(kStatusNotSupported);
    EXPECT_EQ(facade.m_messages, (std::vector<std::string>{"Time Out !", "API failure.", "API failure."}));
    EXPECT_EQ(facade.m_beeps, 0);
}

TEST_F(ErrorReport, TimeOutShowsTheQueuedCauseInsteadOfTimeOutUnlessTheQueueQueryTimesOutToo) {
    // A refused query leaves no reply: the cause waits in the error queue, which is emptied.
    instrument->m_errors = {{-221, "Settings conflict"}};
    ReportDriverError(kStatusTimeOut);
    EXPECT_EQ(facade.m_messages,
              std::vector<std::string>{"Instrument reports error: -221  Settings conflict"});
    EXPECT_TRUE(instrument->m_errors.empty());

    // The error query times out as well: one "Time Out !", the one the instrument shows.
    facade.m_messages.clear();
    instrument->m_errors = {{-221, "Settings conflict"}};
    instrument->FailOn("ErrorQuery", kStatusTimeOut);
    ReportDriverError(kStatusTimeOut);
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Time Out !"});
}

TEST_F(ErrorReport, GuardedCallHandsOverTheStatusBeforeTheReportAndEndsTheWaitCursor) {
    instrument->FailOn("QueryOpc", kStatusTimeOut);
    facade.BeginWaitCursor();
    std::int32_t seen = 0;
    size_t messagesSeen = 99;
    const auto failing = [&] { instrument->QueryOpc(); };
    EXPECT_FALSE(CallInstrument(*instrument, failing, WaitCursor::EndOnFailure, [&](std::int32_t status) {
        seen = status;
        messagesSeen = facade.m_messages.size();
    }));
    EXPECT_EQ(seen, kStatusTimeOut);
    EXPECT_EQ(messagesSeen, 0u);
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Time Out !"});
    EXPECT_EQ(facade.m_waitDepth, 0);

    // A call that succeeds reports nothing and leaves the caller's wait cursor alone.
    facade.BeginWaitCursor();
    EXPECT_TRUE(CallInstrument(
        *instrument, [&] { instrument->QueryOpc(); }, WaitCursor::EndOnFailure));
    EXPECT_EQ(facade.m_waitDepth, 1);
    EXPECT_EQ(facade.m_messages.size(), 1u);
}
