// Taking one group from one position to another, as a click or a key on the group's control asks: the
// command the change sends, and what a failed command leaves in the group model. The group control
// only finds the new position and shows the outcome.
#pragma once

#include "switching/GroupModel.h"

class CInstrument;

// How a change of position ended.
enum class PositionOutcome {
    Sent,     // the command succeeded (or the group's type needs none): the group stands at the new position
    TimedOut, // the module did not answer: reported, and the group is back at the old position
    ReadBack, // the command failed otherwise: reported, and the group holds what the module reports when
              // read back, or is unknown when that read fails too
};

// Takes group from position from to position to: an attenuator is set to the step of to; a switch closes
// channel to, or opens channel from when to is -1 (none); a group of another type is sent nothing. The
// group's position and unknown flag in groups tell the outcome. A failure is reported (after a time-out
// nothing more is asked of the module). The wait cursor, when asked, covers the command, the report and
// the read-back.
PositionOutcome ApplyGroupPosition(CInstrument& instrument, GroupState& groups, int group, int from, int to,
                                   bool waitCursor = true);
