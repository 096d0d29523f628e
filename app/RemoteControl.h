// What other programs may ask of the running panel, apart from the bus that carries the requests: run
// Reset or Refresh, read the facts of the connection and the group state of the main-panel object, and
// learn when the group state has changed. The session-bus endpoint (app/wx/SessionBus) only translates
// between these and bus messages.
//
// Requests arrive on a thread of the bus's own, so that each is answered at once however long the
// user-interface thread is busy: Claim decides there whether an operation may start, and only a claimed
// operation is handed to the user-interface thread, which runs it. A request is refused (Busy) until
// the panel has been shown, while a modal window is open (its nested message loop is running) and while
// another remote operation runs or its error report is still open; it is never run inside a nested
// loop. Properties are answered from the state last taken on the user-interface thread, from any
// thread, so a request for them never waits for an operation either.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "switching/GroupModel.h"

// What changed in the group state since it was last taken.
struct GroupChanges {
    bool types = false;
    bool positions = false;
    bool Any() const { return types || positions; }
};

struct RemoteOutcome {
    enum class Kind { Done, Busy, Failed };
    Kind kind = Kind::Done;
    // Failed: the texts of the operator's error report, one per line.
    std::string message;
    // What the operation changed, taken before the outcome is answered.
    GroupChanges changes;
};

// The properties other programs read: the facts of the connection and the group state.
struct RemoteProperties {
    std::string resourceName;
    bool live = false;
    int cardNumber = 0;
    GroupState groups;
};

class CRemoteControl {
public:
    enum class Operation { Reset, Refresh };
    using Answer = std::function<void(const RemoteOutcome&)>;

    // Any thread: claims the panel for one operation; false (answer Busy) when the panel has not been
    // shown yet, a modal window is open, or another operation holds the claim.
    bool Claim();
    // User-interface thread, after a successful Claim: runs the main window's Reset or Refresh, with its
    // wait cursor and redraw, and hands the outcome to answer as soon as it is known: a failure's error
    // report is held back until then, so its texts go with the answer, and only then waits in its
    // message boxes for the operator. The claim is given back once they are closed. Busy when a modal
    // window has opened since the claim, or there is no main-panel object or instrument to work on.
    void Run(Operation operation, const Answer& answer);

    // User-interface thread: the panel has been shown (true; its state is taken, and requests may
    // start), or is going away (false).
    void SetReady(bool ready);

    // The VISA resource of the live module; empty on the non-live panel.
    static std::string ResourceName();
    // True when a driver session is open.
    static bool Live();
    // The card the panels address.
    static int CardNumber();
    // The group state of the main-panel object; every group unreported (-3) and unknown (-1) when there
    // is none.
    static GroupState Groups();

    // Any thread: the properties as last taken; false (answer Busy) before the panel has been shown.
    bool Properties(RemoteProperties& properties) const;

    // User-interface thread: what changed in the group state since the state last taken, taking it.
    // While the program is busy (or not ready) nothing is taken, so that one operation, however long
    // its modal windows stay open, is reported once, when it has ended.
    GroupChanges TakeChanges();

private:
    GroupChanges Take();

    std::atomic<bool> m_ready = false;
    std::atomic<bool> m_claimed = false;
    mutable std::mutex m_takenLock;
    RemoteProperties m_taken;
};
