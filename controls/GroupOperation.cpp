#include "controls/GroupOperation.h"

#include "switching/GroupModel.h"

int NextPosition(int count, int pos) {
    return pos < 0 || pos + 1 >= count ? 0 : pos + 1;
}

int PreviousPosition(int count, int pos) {
    return pos <= 0 || pos >= count ? count - 1 : pos - 1;
}

int ChosenPosition(int type, int pos, int k) {
    return k == pos && IsSwitch(type) ? -1 : k;
}

GroupKeyAction ActionForKey(int type, int pos, GroupKey key, int digit) {
    const int n = PositionCount(type);
    if (n <= 0) {
        return {};
    }
    switch (key) {
    case GroupKey::Forward:
        return {GroupKeyAction::Move, NextPosition(n, pos)};
    case GroupKey::Back:
        return {GroupKeyAction::Move, PreviousPosition(n, pos)};
    case GroupKey::Digit:
        if (digit < 0 || digit >= n) {
            return {GroupKeyAction::Beep, pos};
        }
        return {GroupKeyAction::Move, ChosenPosition(type, pos, digit)};
    case GroupKey::First:
        return {GroupKeyAction::Move, 0};
    case GroupKey::Last:
        return {GroupKeyAction::Move, n - 1};
    case GroupKey::Other:
        break;
    }
    return {};
}
