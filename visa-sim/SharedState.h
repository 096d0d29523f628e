// Settings an instrument shares with every program that uses the same bench, through its state file:
// each access takes the file's lock and re-reads the file first, and a change is written back before
// the lock is released. The instrument says how its settings read from and turn into text.
#pragma once

#include "StateStore.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace visasim {

class SharedState {
public:
    class Owner {
    public:
        // Takes the settings from the file's text; on null (no file) goes back to the initial settings.
        // False (with *problem) when the text does not hold settings this instrument can have.
        virtual bool Adopt(const std::string* text, std::string* problem) = 0;
        // The present settings as the file's text.
        virtual std::string Dump() const = 0;
        virtual ~Owner() = default;
    };

    // `store` may be null: the settings then live in this process only.
    SharedState(std::unique_ptr<StateStore> store, Owner& owner);

    enum class Access { Read, Change };
    // Runs `body` on the current settings and gives true, or gives false without running it (or, for a
    // change that could not be saved, with the change undone): when another process holds the lock for
    // longer than the thread's wait budget allows (the budget is marked as run out), or when the state
    // cannot be read, or a change cannot be saved (the budget is marked as failed, and a line on standard
    // error names the file and the reason). When the lock file cannot be used the state file is still
    // read, without the lock; only a change then fails.
    template <typename Body>
    bool With(Access access, Body body) {
        if (!Begin(access)) {
            return false;
        }
        body();
        return End(access);
    }

    // Runs `body` on the settings of several instruments as they are at one moment: the locks of all
    // their state files are taken, in the order given, before the body runs, and held until it is done.
    // False (and `body` not run) as With gives it for any of them.
    template <typename Body>
    static bool ReadTogether(const std::vector<SharedState*>& states, Body body) {
        size_t begun = 0;
        while (begun < states.size() && states[begun]->Begin(Access::Read)) {
            ++begun;
        }
        bool all = begun == states.size();
        if (all) {
            body();
        }
        for (size_t i = 0; i < begun; ++i) {
            states[i]->End(Access::Read);
        }
        return all;
    }

private:
    bool Begin(Access access);
    bool End(Access access);
    bool Synchronise();
    bool Save();
    // Writes the line about the failure on standard error and marks the thread's budget as failed.
    void Fail(const std::string& problem);

    std::unique_ptr<StateStore> m_store;
    Owner& m_owner;
    std::string m_lastText; // the state text last read from or written to the file
    bool m_haveFileState = false;
    bool m_locked = false; // the file's lock is held by this access
};

// What the VISA call a thread serves may still spend on waits for instruments and state locks, and how
// its commands fared: a wait that ran out, or a state that could not be read or saved. The VISA call (or
// the instrument that executes a message) sets it, so that every lock a message needs, its own or one of
// an instrument it asks through the wiring, waits no longer than the call's time-out.
struct WaitBudget {
    unsigned timeoutMs = StateStore::kWaitForever;
    // Fixed at the first wait, so that a message that needs no lock never reads the clock.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    bool ranOut = false;
    bool failed = false;
};
WaitBudget& ThreadWaitBudget();

// What is left of the thread's budget for one more wait, in milliseconds (StateStore::kWaitForever: no
// bound); fixes the deadline when this is the first wait.
unsigned RemainingBudgetMs();
// What is left of the thread's budget, for a budget of its own that an inner part of the call takes: the
// whole of it when nothing has waited yet (the clock is not read then).
unsigned UnspentBudgetMs();
// Whether the thread's budget has run out (then marked so); the first question fixes the deadline.
bool BudgetExpired();
// Takes the mutex, waiting at most what is left of the thread's budget; false (the budget marked as
// run out) when the time is up first.
bool LockWithinBudget(std::unique_lock<std::timed_mutex>& lock);

// Gives the thread a budget of timeoutMs (StateStore::kWaitForever: no bound) for as long as it lives,
// then puts the previous one back.
class WaitBudgetScope {
public:
    explicit WaitBudgetScope(unsigned timeoutMs);
    ~WaitBudgetScope() { ThreadWaitBudget() = m_previous; }
    WaitBudgetScope(const WaitBudgetScope&) = delete;
    WaitBudgetScope& operator=(const WaitBudgetScope&) = delete;
    bool RanOut() const { return ThreadWaitBudget().ranOut; }
    bool Failed() const { return ThreadWaitBudget().failed; }

private:
    WaitBudget m_previous;
};

// The state file of a resource: `<folder>/<state name>.<resource name with :: as __>.state`; none when the
// folder is empty. `refusal` says why the folder cannot be written, when it cannot.
std::unique_ptr<StateStore> StateStoreFor(const std::string& folder, const std::string& stateName,
                                          const std::string& resourceName, const std::string& refusal = {});

} // namespace visasim
