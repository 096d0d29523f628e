#include "SharedState.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace visasim {

SharedState::SharedState(std::unique_ptr<StateStore> store, Owner& owner)
    : m_store(std::move(store)), m_owner(owner) {}

WaitBudget& ThreadWaitBudget() {
    static thread_local WaitBudget budget;
    return budget;
}

WaitBudgetScope::WaitBudgetScope(unsigned timeoutMs) : m_previous(ThreadWaitBudget()) {
    ThreadWaitBudget() = WaitBudget{timeoutMs, std::nullopt, false, false};
}

unsigned RemainingBudgetMs() {
    WaitBudget& budget = ThreadWaitBudget();
    if (budget.timeoutMs == StateStore::kWaitForever) {
        return StateStore::kWaitForever;
    }
    auto now = std::chrono::steady_clock::now();
    if (!budget.deadline) {
        budget.deadline = now + std::chrono::milliseconds(budget.timeoutMs);
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*budget.deadline - now).count();
    return static_cast<unsigned>(std::clamp<long long>(left, 0, budget.timeoutMs));
}

unsigned UnspentBudgetMs() {
    const WaitBudget& budget = ThreadWaitBudget();
    return budget.deadline ? RemainingBudgetMs() : budget.timeoutMs;
}

bool BudgetExpired() {
    WaitBudget& budget = ThreadWaitBudget();
    if (budget.timeoutMs == StateStore::kWaitForever) {
        return false;
    }
    auto now = std::chrono::steady_clock::now();
    if (!budget.deadline) {
        budget.deadline = now + std::chrono::milliseconds(budget.timeoutMs);
    }
    budget.ranOut = budget.ranOut || now >= *budget.deadline;
    return budget.ranOut;
}

bool LockWithinBudget(std::unique_lock<std::timed_mutex>& lock) {
    if (lock.try_lock()) {
        return true;
    }
    unsigned left = RemainingBudgetMs();
    if (left == StateStore::kWaitForever) {
        lock.lock();
        return true;
    }
    if (lock.try_lock_for(std::chrono::milliseconds(left))) {
        return true;
    }
    ThreadWaitBudget().ranOut = true;
    return false;
}

void SharedState::Fail(const std::string& problem) {
    std::fprintf(stderr, "visa-sim: state file %s %s\n", m_store->Path().c_str(), problem.c_str());
    ThreadWaitBudget().failed = true;
}

bool SharedState::Begin(Access access) {
    if (!m_store) {
        return true;
    }
    std::string problem;
    switch (m_store->Lock(RemainingBudgetMs(), &problem)) {
    case StateStore::LockResult::Locked:
        m_locked = true;
        if (!Synchronise()) {
            End(Access::Read);
            return false;
        }
        return true;
    case StateStore::LockResult::TimedOut:
        std::fprintf(stderr,
                     "visa-sim: the state lock %s is held by another process beyond the time-out; the "
                     "command timed out\n",
                     m_store->LockPath().c_str());
        ThreadWaitBudget().ranOut = true;
        return false;
    case StateStore::LockResult::Unavailable:
        break;
    }
    // Without the lock the file can still be read (it is only ever replaced whole), but not written.
    if (access == Access::Change) {
        Fail("cannot be written: " + problem + "; the command is not carried out");
        return false;
    }
    return Synchronise();
}

bool SharedState::End(Access access) {
    bool saved = access == Access::Read || Save();
    if (m_locked) {
        m_store->Unlock();
        m_locked = false;
    }
    return saved;
}

bool SharedState::Synchronise() {
    std::string text;
    std::string problem;
    // Read without the lock, the file may be replaced while it is read, which looks like damage; a second
    // look tells.
    for (int attempt = 0;; ++attempt) {
        switch (m_store->Read(&text, &problem)) {
        case StateStore::ReadResult::Missing:
            if (m_haveFileState) {
                m_owner.Adopt(nullptr, &problem);
                m_haveFileState = false;
                m_lastText.clear();
            }
            return true;
        case StateStore::ReadResult::Loaded:
            if (m_haveFileState && text == m_lastText) {
                return true;
            }
            if (m_owner.Adopt(&text, &problem)) {
                m_lastText = std::move(text);
                m_haveFileState = true;
                return true;
            }
            break;
        case StateStore::ReadResult::Corrupt:
            if (!m_locked && attempt < 2) {
                continue;
            }
            break;
        case StateStore::ReadResult::Unusable:
            Fail("is refused (" + problem + "); the command is not carried out");
            return false;
        case StateStore::ReadResult::Unreadable:
            Fail("cannot be read (" + problem + "); the command is not carried out");
            return false;
        }
        break;
    }
    if (!m_locked) {
        Fail("is corrupt (" + problem +
             ") and cannot be replaced without its lock; the command is not carried out");
        return false;
    }
    std::fprintf(stderr, "visa-sim: state file %s is corrupt (%s); using the bench's initial state\n",
                 m_store->Path().c_str(), problem.c_str());
    m_owner.Adopt(nullptr, &problem);
    m_haveFileState = false;
    m_lastText.clear();
    return Save();
}

bool SharedState::Save() {
    if (!m_store) {
        return true;
    }
    std::string text = m_owner.Dump();
    if (m_haveFileState && text == m_lastText) {
        return true;
    }
    if (!m_store->Write(text)) {
        Fail(std::string("cannot be written (") + std::strerror(errno) + "); the command is not carried out");
        // The settings go back to what the file holds.
        std::string ignored;
        m_owner.Adopt(m_haveFileState ? &m_lastText : nullptr, &ignored);
        return false;
    }
    m_lastText = std::move(text);
    m_haveFileState = true;
    return true;
}

std::unique_ptr<StateStore> StateStoreFor(const std::string& folder, const std::string& stateName,
                                          const std::string& resourceName, const std::string& refusal) {
    if (folder.empty()) {
        return nullptr;
    }
    std::string file;
    for (char c : resourceName) {
        file += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return std::make_unique<StateStore>(folder + "/" + stateName + "." + file + ".state", refusal);
}

} // namespace visasim
