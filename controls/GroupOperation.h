// How the operator moves a group, without a window: the position rules that a click and a key share,
// what each key does to a focused group control, and the text that describes a group to the desktop's
// accessibility layer (what a screen reader reads).
#pragma once

#include <string>

// The position after a click on the common element: the next one; the last wraps to 0, and no position
// (-1) advances to 0. count is the type's position count (at least 1).
int NextPosition(int count, int pos);
// The position before: 0 and no position go to the last one.
int PreviousPosition(int count, int pos);
// The position after a click on element k of a group of the given type at position pos: k, except that
// the closed contact of a switch opens (-1).
int ChosenPosition(int type, int pos, int k);

// The keys a focused group control answers, as the window layer names them.
enum class GroupKey {
    Other,   // any other key: the control passes it on
    Forward, // Space, +, Right, Up: as a click on the common element
    Back,    // -, Left, Down: one position back
    Digit,   // 0 to 9: as a click on that element
    First,   // Home: position 0
    Last,    // End: the last position
};

// What a key does to a group.
struct GroupKeyAction {
    enum Kind {
        Ignore, // passed on; nothing is sent
        Beep,   // the group has no such element: a beep, nothing is sent
        Move,   // the group goes to position, exactly as a click there would take it
    };
    Kind kind = Ignore;
    int position = -1;
    bool operator==(const GroupKeyAction&) const = default;
};

// The action of a key on a group of the given type at position pos; digit is the digit of a Digit key.
// A group of no known type ignores every key.
GroupKeyAction ActionForKey(int type, int pos, GroupKey key, int digit = 0);

// The description of a group for the accessibility layer: its number, its device and its state, as in
// "Group 3, four-position switch, contact 2 closed", "Group 3, four-position switch, all contacts open"
// or "Group 0, attenuator, 5 dB"; a group whose state could not be read is "Group 3, four-position
// switch, state unknown".
std::string GroupDescription(int group, int type, int pos, bool unknown = false);
