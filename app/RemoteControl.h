// What other programs may ask of the running panel, apart from the bus that carries the requests: run
// Reset or Refresh, read the facts of the connection and the group state of the main-panel object, and
// learn when the group state has changed. The session-bus endpoint (app/wx/SessionBus) only translates
// between these and bus messages.
//
// A request that arrives while a modal window is open (its nested message loop is running) or while
// another remote operation runs is refused at once, never run inside the nested loop.
#pragma once

#include <string>

#include "switching/GroupModel.h"

struct RemoteOutcome {
    enum class Kind { Done, Busy, Failed };
    Kind kind = Kind::Done;
    // Failed: the texts the operator was shown about the failure, one per line.
    std::string message;
};

class CRemoteControl {
public:
    // The main window's Reset and Refresh, with their wait cursor, redraw and error report, unless the
    // program is busy.
    RemoteOutcome Reset();
    RemoteOutcome Refresh();

    // True while no operation may start: a modal window is open, a remote operation runs, or there is
    // no main-panel object or instrument (start-up or shutdown).
    bool IsBusy() const;

    // The VISA resource of the live module; empty on the non-live panel.
    static std::string ResourceName();
    // True when a driver session is open.
    static bool Live();
    // The card the panels address.
    static int CardNumber();
    // The group state of the main-panel object; every group unreported (-3) and unknown (-1) when there
    // is none.
    static GroupState Groups();

    struct Changes {
        bool types = false;
        bool positions = false;
        bool Any() const { return types || positions; }
    };
    // What changed in the group state since the state last taken; the first call takes the state and
    // reports nothing. While the program is busy nothing is taken, so that one operation, however long
    // its modal windows stay open, is reported once, when it has ended.
    Changes TakeChanges();

private:
    RemoteOutcome Run(bool (*command)());

    bool m_running = false;
    bool m_taken = false;
    GroupState m_takenState;
};
