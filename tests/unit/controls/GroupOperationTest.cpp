// The position rules of clicks and keys and the description of a group, without a window.
#include <gtest/gtest.h>

#include "controls/GroupOperation.h"

namespace {

GroupKeyAction Move(int position) {
    return {GroupKeyAction::Move, position};
}

TEST(GroupOperation, ForwardAndBackWrapAroundAndLeaveNoPosition) {
    // Four-position switch: the last wraps to 0 and back; no position goes to 0 forward, to 3 back.
    EXPECT_EQ(ActionForKey(3, 3, GroupKey::Forward), Move(0));
    EXPECT_EQ(ActionForKey(3, -1, GroupKey::Forward), Move(0));
    EXPECT_EQ(ActionForKey(3, 1, GroupKey::Forward), Move(2));
    EXPECT_EQ(ActionForKey(3, 0, GroupKey::Back), Move(3));
    EXPECT_EQ(ActionForKey(3, -1, GroupKey::Back), Move(3));
    EXPECT_EQ(ActionForKey(3, 2, GroupKey::Back), Move(1));
    // A type 1 attenuator (ten steps) at 90 dB goes forward to 0 dB; Home and End.
    EXPECT_EQ(ActionForKey(1, 9, GroupKey::Forward), Move(0));
    EXPECT_EQ(ActionForKey(1, 4, GroupKey::First), Move(0));
    EXPECT_EQ(ActionForKey(1, 4, GroupKey::Last), Move(9));
    EXPECT_EQ(ActionForKey(4, 0, GroupKey::Last), Move(5));
}

TEST(GroupOperation, DigitsActAsAClickOnThatElement) {
    EXPECT_EQ(ActionForKey(0, 0, GroupKey::Digit, 9), Move(9));
    EXPECT_EQ(ActionForKey(0, 9, GroupKey::Digit, 9), Move(9));  // an attenuator sends its step again
    EXPECT_EQ(ActionForKey(3, 2, GroupKey::Digit, 2), Move(-1)); // the closed contact opens
    EXPECT_EQ(ActionForKey(3, 2, GroupKey::Digit, 1), Move(1));
    // Digits the group does not have beep.
    EXPECT_EQ(ActionForKey(3, 2, GroupKey::Digit, 4).kind, GroupKeyAction::Beep);
    EXPECT_EQ(ActionForKey(2, 0, GroupKey::Digit, 8).kind, GroupKeyAction::Beep);
    EXPECT_EQ(ActionForKey(4, 0, GroupKey::Digit, 6).kind, GroupKeyAction::Beep);
}

TEST(GroupOperation, GroupsOfNoKnownTypeAndOtherKeysAreIgnored) {
    for (int type : {-1, -2, -3}) {
        EXPECT_EQ(ActionForKey(type, -1, GroupKey::Forward).kind, GroupKeyAction::Ignore);
        EXPECT_EQ(ActionForKey(type, -1, GroupKey::Digit, 0).kind, GroupKeyAction::Ignore);
    }
    EXPECT_EQ(ActionForKey(3, 0, GroupKey::Other).kind, GroupKeyAction::Ignore);
}

TEST(GroupOperation, DescriptionNamesGroupDeviceAndState) {
    EXPECT_EQ(GroupDescription(3, 3, 2), "Group 3, four-position switch, contact 2 closed");
    EXPECT_EQ(GroupDescription(4, 4, -1), "Group 4, six-position switch, all contacts open");
    EXPECT_EQ(GroupDescription(0, 0, 5), "Group 0, attenuator, 5 dB");
    EXPECT_EQ(GroupDescription(1, 1, 9), "Group 1, attenuator, 90 dB");
    EXPECT_EQ(GroupDescription(2, 2, -1), "Group 2, attenuator, attenuation unknown");
    EXPECT_EQ(GroupDescription(5, -3, -1), "Group 5, no device reported");
    // A group whose state could not be read is neither open nor at a step.
    EXPECT_EQ(GroupDescription(3, 3, -1, true), "Group 3, four-position switch, state unknown");
    EXPECT_EQ(GroupDescription(0, 1, -1, true), "Group 0, attenuator, state unknown");
}

} // namespace
