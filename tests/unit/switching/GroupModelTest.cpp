#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "switching/GroupModel.h"
#include "tests/support/RecordingFacade.h"

namespace {

std::vector<int> Types(const CPan1Obj& panel) {
    return {panel.m_nGroupType.begin(), panel.m_nGroupType.end()};
}

void SetTypes(CPan1Obj& panel, std::vector<int> types) {
    for (int g = 0; g < kGroupCount; ++g) {
        panel.m_nGroupType[g] = types[static_cast<size_t>(g)];
    }
}

// A copy of the text in a heap block of exactly its size, so that AddressSanitizer catches any read
// past the terminator.
std::unique_ptr<char[]> Exact(const char* text) {
    const size_t size = std::strlen(text) + 1;
    auto copy = std::make_unique<char[]>(size);
    std::memcpy(copy.get(), text, size);
    return copy;
}

class TypeListTest : public ::testing::Test {
protected:
    CRecordingFacade facade;
    CSfpAppData app;
    CPan1Obj panel;
};

} // namespace

TEST_F(TypeListTest, EmptyEntriesAndCommasAloneChangeNothing) {
    SetTypes(panel, {0, 1, 2, 3, 4, -3});
    ParseTypeList(panel.m_nGroupType, ",,,,,");
    EXPECT_EQ(Types(panel), (std::vector<int>{0, 1, 2, 3, 4, -3}));
    ParseTypeList(panel.m_nGroupType, "");
    EXPECT_EQ(Types(panel), (std::vector<int>{0, 1, 2, 3, 4, -3}));
}

TEST_F(TypeListTest, EveryNameGivesItsCodeInGroupOrder) {
    ParseTypeList(panel.m_nGroupType, "QZSWTB01,QZSWTB01,QZSWTB01,QZSWTB01,QZSWTB01,QZSWTB01");
    EXPECT_EQ(Types(panel), (std::vector<int>(6, 4)));
    ParseTypeList(panel.m_nGroupType, "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-SW");
    EXPECT_EQ(Types(panel), (std::vector<int>{0, 1, 2, 3, 4, -2}));
}

TEST_F(TypeListTest, UnknownNamesAndEmptyEntries) {
    SetTypes(panel, {4, 4, 4, 0, 1, 2});
    ParseTypeList(panel.m_nGroupType, "UNKNOWN-ATN,UNKNOWN-SW,QZATNC01,,,");
    EXPECT_EQ(Types(panel), (std::vector<int>{-1, -2, 2, 0, 1, 2}));
}

TEST_F(TypeListTest, ComparisonIsACaseSensitivePrefix) {
    ParseTypeList(panel.m_nGroupType, "qzatna01,QZATNA01K,QZSWTA0,QZSWTA01 ,UNKNOWN-ATNX,Uknown-SW");
    EXPECT_EQ(Types(panel), (std::vector<int>{-3, 0, -3, 3, -1, -3}));
}

TEST_F(TypeListTest, ShortListStopsAtItsEnd) {
    SetTypes(panel, {-3, -3, 4, 4, 4, 4});
    auto list = Exact("QZATNB01,QZSWTA01");
    ParseTypeList(panel.m_nGroupType, list.get());
    EXPECT_EQ(Types(panel), (std::vector<int>{1, 3, 4, 4, 4, 4}));

    auto single = Exact("QZATNC01");
    ParseTypeList(panel.m_nGroupType, single.get());
    EXPECT_EQ(Types(panel), (std::vector<int>{2, 3, 4, 4, 4, 4}));

    // A name cut short by the end of the list matches nothing.
    auto cut = Exact("QZATN");
    ParseTypeList(panel.m_nGroupType, cut.get());
    EXPECT_EQ(Types(panel), (std::vector<int>{2, 3, 4, 4, 4, 4}));
}

TEST_F(TypeListTest, ExtraEntriesBeyondSixAreIgnored) {
    ParseTypeList(panel.m_nGroupType, "QZATNA01,QZATNA01,QZATNA01,QZATNA01,QZATNA01,QZSWTA01,QZSWTB01");
    EXPECT_EQ(Types(panel), (std::vector<int>{0, 0, 0, 0, 0, 3}));
}

TEST(DeviceTypes, AttenuationConversion) {
    EXPECT_EQ(PositionFromAttenuation(kDeviceAttenuatorB, 90), 9);
    EXPECT_EQ(PositionFromAttenuation(kDeviceAttenuatorA, 11), 11);
    EXPECT_EQ(PositionFromAttenuation(kDeviceAttenuatorC, 70), 7);
    EXPECT_EQ(PositionFromAttenuation(kDeviceAttenuatorC, 79), 7); // truncated
    EXPECT_EQ(PositionFromAttenuation(kDeviceSwitch4, 30), -1);
    EXPECT_EQ(PositionFromAttenuation(kDeviceUnknownAttenuator, 30), -1);
    EXPECT_EQ(AttenuationFromPosition(kDeviceAttenuatorA, 3), 3);
    EXPECT_EQ(AttenuationFromPosition(kDeviceAttenuatorB, 3), 30);
    EXPECT_EQ(AttenuationFromPosition(kDeviceAttenuatorC, 7), 70);
}

TEST(Channels, NumbersAndWholeGroupLists) {
    EXPECT_EQ(ChannelNumber(1, 2, 3), 123);
    EXPECT_EQ(ChannelNumber(12, 5, 0), 1250);

    char list[kChannelListSize];
    ASSERT_TRUE(FormatGroupChannelList(kDeviceSwitch4, 1, 2, list, sizeof list));
    EXPECT_STREQ(list, "120:123");
    ASSERT_TRUE(FormatGroupChannelList(kDeviceSwitch6, 1, 2, list, sizeof list));
    EXPECT_STREQ(list, "120:125");
    ASSERT_TRUE(FormatGroupChannelList(kDeviceSwitch4, 12, 2, list, sizeof list));
    EXPECT_STREQ(list, "1220:1223");
    ASSERT_TRUE(FormatGroupChannelList(kDeviceSwitch6, 12, 0, list, sizeof list));
    EXPECT_STREQ(list, "1200:1205");

    EXPECT_FALSE(FormatGroupChannelList(kDeviceAttenuatorA, 1, 2, list, sizeof list));
    EXPECT_STREQ(list, "");

    // A small buffer is filled and terminated, never overrun.
    char small[5];
    FormatGroupChannelList(kDeviceSwitch4, 12, 2, small, sizeof small);
    EXPECT_STREQ(small, "1220");
}

TEST(RouteReplies, ExactlyOneClosedChannelIsThePosition) {
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "1,0,0,0"), 0);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "0,1,0,0"), 1);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "0,0,1,0"), 2);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "0,0,0,1"), 3);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, "1,0,0,0,0,0"), 0);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, "0,0,0,0,1,0"), 4);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, "0,0,0,0,0,1"), 5);
    // Only the first 7 or 11 characters count.
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "0,0,1,0\n"), 2);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, "0,1,0,0,0,0,junk"), 1);
}

TEST(RouteReplies, AnythingElseIsMinusOne) {
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "0,0,0,0"), -1);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "1,1,0,0"), -1);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, "1,1,0,0,0,0"), -1);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, "1,0,0,1"), -1);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, "1,0,0,0,0,1"), -1);
    // A four-channel answer to a six-channel list is too short.
    auto four = Exact("0,0,0,1");
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch6, four.get()), -1);
    auto shortReply = Exact("1,0,0");
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, shortReply.get()), -1);
    auto empty = Exact("");
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, empty.get()), -1);
    EXPECT_EQ(DecodeRouteReply(kDeviceSwitch4, nullptr), -1);
    EXPECT_EQ(DecodeRouteReply(kDeviceAttenuatorA, "1,0,0,0"), -1);
}
