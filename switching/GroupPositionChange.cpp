#include "switching/GroupPositionChange.h"

#include <cstdint>

#include "instrument/Instrument.h"
#include "instrument/ReportDriverError.h"
#include "platform/Facade.h"
#include "switching/GroupStateReading.h"

PositionOutcome ApplyGroupPosition(CInstrument& instrument, GroupState& groups, int group, int from, int to,
                                   bool waitCursor) {
    if (group < 0 || group >= kGroupCount) {
        return PositionOutcome::Sent;
    }
    const CWaitCursor wait(waitCursor);
    const int type = groups.types[group];
    std::int32_t failure = 0;
    const bool sent = CallInstrument(
        instrument,
        [&] {
            if (IsAttenuator(type)) {
                instrument.SetAttenuation(static_cast<short>(group),
                                          static_cast<short>(AttenuationFromPosition(type, to)));
            } else if (IsSwitch(type)) {
                const int card = instrument.GetCardNumber();
                if (to == -1) {
                    instrument.OpenRoute(ChannelNumber(card, group, from));
                } else {
                    instrument.CloseRoute(ChannelNumber(card, group, to));
                }
            }
        },
        WaitCursor::Untouched,
        [&](std::int32_t status) {
            // Before the report is shown, the group holds the position before the change.
            failure = status;
            groups.positions[group] = from;
        });
    if (sent) {
        groups.positions[group] = to;
        groups.unknown[group] = false;
        return PositionOutcome::Sent;
    }
    if (failure == kStatusTimeOut) {
        return PositionOutcome::TimedOut;
    }
    // The module answers: the group shows what it holds rather than what the command asked for.
    ReportReadingFailure(ReadGroupsBack(instrument, groups, OneGroup(group)));
    return PositionOutcome::ReadBack;
}
