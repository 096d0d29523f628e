#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/SfpAppData.h"
#include "instrument/Instrument.h"
#include "platform/UserException.h"
#include "switching/GroupModel.h"
#include "switching/GroupStateReading.h"
#include "tests/support/RecordingFacade.h"

namespace {

// Module answers by group (attenuation) and by channel list (route state), with a status per call.
class FakeModule {
public:
    GroupStateQueries Queries() {
        GroupStateQueries q;
        q.queryAttenuation = [this](short card, short group, short* value) {
            calls.push_back("atten " + std::to_string(card) + " " + std::to_string(group));
            if (!Silent()) {
                *value = attenuation[group];
            }
            return NextStatus();
        };
        q.queryClosedList = [this](char* list, char* reply) {
            calls.push_back(std::string("list ") + list);
            if (!Silent()) {
                std::snprintf(reply, kRouteReplySize, "%s", replies[list].c_str());
            }
            return NextStatus();
        };
        return q;
    }

    bool Silent() const { return silent.count(calls.size() - 1) != 0; }
    std::int32_t NextStatus() {
        const size_t n = calls.size() - 1;
        return n < statuses.size() ? statuses[n] : 0;
    }

    std::map<int, short> attenuation;
    std::map<std::string, std::string> replies;
    std::vector<std::int32_t> statuses; // by call number; 0 beyond
    std::set<size_t> silent;            // call numbers that write nothing
    std::vector<std::string> calls;
};

std::vector<int> Positions(const GroupValues& p) {
    return {p.begin(), p.end()};
}

class GroupStateReadingTest : public ::testing::Test {
protected:
    CRecordingFacade facade;
    CSfpAppData app;
    FakeModule module;
};

} // namespace

TEST_F(GroupStateReadingTest, EachTypeIsAskedItsOwnWay) {
    const GroupValues types = {0, 1, 2, 3, 4, -2};
    module.attenuation = {{0, 11}, {1, 90}, {2, 70}};
    module.replies = {{"330:333", "0,0,1,0"}, {"340:345", "0,0,0,0,1,0"}};
    const GroupStateReading r = ReadGroupPositions(3, types, module.Queries());
    EXPECT_TRUE(r.cardInRange);
    EXPECT_EQ(module.calls, (std::vector<std::string>{"atten 3 0", "atten 3 1", "atten 3 2", "list 330:333",
                                                      "list 340:345"}));
    EXPECT_EQ(r.calls, 5);
    EXPECT_EQ(Positions(r.positions), (std::vector<int>{11, 9, 7, 2, 4, -1}));
    EXPECT_FALSE(r.Failed());
}

TEST_F(GroupStateReadingTest, SixPositionSwitchOfCardThreeGroupFive) {
    const GroupValues types = {-3, -3, -3, -3, -3, 4};
    module.replies = {{"350:355", "0,0,0,0,1,0"}};
    EXPECT_EQ(ReadGroupPositions(3, types, module.Queries()).positions[5], 4);
    module.replies = {{"350:355", "1,1,0,0,0,0"}};
    EXPECT_EQ(ReadGroupPositions(3, types, module.Queries()).positions[5], -1);
    module.replies = {{"350:355", "0,0,0,1"}};
    EXPECT_EQ(ReadGroupPositions(3, types, module.Queries()).positions[5], -1);
}

TEST_F(GroupStateReadingTest, CardOutOfRangeAsksNothingAndStoresNothing) {
    const GroupValues types = {0, 1, 2, 3, 4, 3};
    for (short card : {short{0}, short{100}, short{-1}}) {
        const GroupStateReading r = ReadGroupPositions(card, types, module.Queries());
        EXPECT_FALSE(r.cardInRange) << card;
        EXPECT_EQ(r.calls, 0) << card;
    }
    EXPECT_TRUE(module.calls.empty());

    // Cards 1 and 99 are read.
    ReadGroupPositions(1, types, module.Queries());
    ReadGroupPositions(99, types, module.Queries());
    EXPECT_EQ(module.calls.size(), 12u);
    EXPECT_EQ(module.calls[11], "list 9950:9953");
}

TEST_F(GroupStateReadingTest, EveryGroupIsReadAndEachFailedQueryMarksItsGroup) {
    const GroupValues types = {0, 1, 3, 0, 0, 0};
    module.attenuation = {{0, 1}, {1, 20}, {3, 4}, {4, 5}, {5, 6}};
    module.replies = {{"120:123", "0,0,1,0"}};

    // Early failures: every group is still read. A group whose query failed without an answer is
    // unread; one whose query answered but reported an error queued earlier shows the answer.
    module.statuses = {VI_SUCCESS, kStatusTimeOut, kStatusInstrumentError}; // the later calls succeed
    module.silent = {1};
    GroupStateReading reading = ReadGroupPositions(1, types, module.Queries());
    EXPECT_EQ(module.calls.size(), 6u);
    EXPECT_EQ(reading.lastStatus, VI_SUCCESS);
    EXPECT_EQ(Positions(reading.positions), (std::vector<int>{1, -1, 2, 4, 5, 6}));
    EXPECT_EQ(reading.unread, OneGroup(1));
    EXPECT_EQ(reading.firstFailure, kStatusTimeOut);

    // A failure of the last call keeps every group read before it.
    module.calls.clear();
    module.statuses = {VI_SUCCESS, VI_SUCCESS, VI_SUCCESS, VI_SUCCESS, VI_SUCCESS, kStatusTimeOut};
    module.silent = {5};
    reading = ReadGroupPositions(1, types, module.Queries());
    EXPECT_EQ(Positions(reading.positions), (std::vector<int>{1, 2, 2, 4, 5, -1}));
    EXPECT_EQ(reading.unread, OneGroup(5));
}

TEST_F(GroupStateReadingTest, AWarningStatusIsNoFailure) {
    module.attenuation = {{0, 40}};
    module.statuses = {VI_WARN_UNKNOWN_STATUS};
    const GroupStateReading reading = ReadGroupPositions(1, {1, -3, -3, -3, -3, -3}, module.Queries());
    EXPECT_EQ(reading.lastStatus, VI_WARN_UNKNOWN_STATUS);
    EXPECT_EQ(reading.positions[0], 4);
}
