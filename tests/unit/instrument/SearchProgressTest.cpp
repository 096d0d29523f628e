#include <gtest/gtest.h>

#include "instrument/SearchProgress.h"
#include "tests/support/RecordingFacade.h"

namespace {

using namespace std::chrono_literals;

// A search whose clock the test moves on.
class SearchProgress : public ::testing::Test {
protected:
    CSearchProgress::Clock::time_point now{};
    CRecordingFacade facade;
    CSearchProgress progress{[this] { return now; }};
};

} // namespace

TEST_F(SearchProgress, ShownOnceOlderThanASecondAtMostTenTimesASecond) {
    EXPECT_TRUE(progress.Resource(0, 30, "GPIB0::1::INSTR"));
    now += 1000ms;
    EXPECT_TRUE(progress.Resource(1, 30, "GPIB0::2::INSTR")); // one second is not more than one
    EXPECT_TRUE(facade.m_log.empty());
    now += 1ms;
    EXPECT_TRUE(progress.Resource(6, 30, "GPIB0::14::INSTR"));
    now += 99ms;
    EXPECT_TRUE(progress.Resource(7, 30, "GPIB0::15::INSTR"));
    now += 1ms;
    EXPECT_TRUE(progress.Resource(8, 30, "GPIB0::16::INSTR"));
    progress.End();
    progress.End();
    EXPECT_EQ(facade.m_log,
              (std::vector<std::string>{
                  "progress: Searching for the module: resource 7 of 30, GPIB0::14::INSTR (6/30)",
                  "progress: Searching for the module: resource 9 of 30, GPIB0::16::INSTR (8/30)",
                  "end progress"}));
}

TEST_F(SearchProgress, CancelHoldsAndAQuickSearchNeverOpensTheWindow) {
    {
        CSearchProgress quick([this] { return now; });
        EXPECT_TRUE(quick.Resource(0, 2, "VXI0::1::INSTR"));
    }
    EXPECT_TRUE(facade.m_log.empty());
    facade.CancelProgressAt(1);
    now += 2s;
    EXPECT_FALSE(progress.Resource(3, 5, "GPIB0::4::INSTR"));
    EXPECT_FALSE(progress.Resource(4, 5, "GPIB0::5::INSTR")); // too soon to ask again: still cancelled
}
