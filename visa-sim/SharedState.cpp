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
    WaitBudget& budget = ThreadWaitBudget();
    budget = WaitBudget{timeoutMs, std::nullopt, false};
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

StateStore::LockResult SharedState::Begin() {
    if (!m_store) {
        return StateStore::LockResult::Unavailable;
    }
    StateStore::LockResult lock = m_store->Lock(RemainingBudgetMs());
    if (lock == StateStore::LockResult::TimedOut) {
        std::fprintf(stderr,
                     "visa-sim: the state lock %s is held by another process beyond the time-out; the "
                     "command timed out\n",
                     m_store->LockPath().c_str());
        ThreadWaitBudget().ranOut = true;
    } else if (lock == StateStore::LockResult::Locked) {
        Synchronise();
    }
    return lock;
}

void SharedState::End(bool locked, bool changed) {
    if (!locked) {
        return;
    }
    if (changed) {
        Save();
    }
    if (m_store) {
        m_store->Unlock();
    }
}

void SharedState::Synchronise() {
    std::string text;
    std::string problem;
    switch (m_store->Read(&text, &problem)) {
    case StateStore::ReadResult::Missing:
        if (m_haveFileState) {
            m_owner.Adopt(nullptr, &problem);
            m_haveFileState = false;
            m_lastText.clear();
        }
        return;
    case StateStore::ReadResult::Loaded:
        if (m_haveFileState && text == m_lastText) {
            return;
        }
        if (m_owner.Adopt(&text, &problem)) {
            m_lastText = std::move(text);
            m_haveFileState = true;
            return;
        }
        break;
    case StateStore::ReadResult::Corrupt:
        break;
    case StateStore::ReadResult::Unusable:
        std::fprintf(stderr, "visa-sim: state file %s is refused (%s); the state is kept in memory only\n",
                     m_store->Path().c_str(), problem.c_str());
        m_store.reset();
        return;
    }
    std::fprintf(stderr, "visa-sim: state file %s is corrupt (%s); using the bench's initial state\n",
                 m_store->Path().c_str(), problem.c_str());
    m_owner.Adopt(nullptr, &problem);
    m_haveFileState = false;
    Save();
}

void SharedState::Save() {
    if (!m_store) {
        return;
    }
    std::string text = m_owner.Dump();
    if (m_haveFileState && text == m_lastText) {
        return;
    }
    if (!m_store->Write(text)) {
        std::fprintf(stderr,
                     "visa-sim: state file %s cannot be written (%s); the state is kept in memory only\n",
                     m_store->Path().c_str(), std::strerror(errno));
        m_store.reset();
        return;
    }
    m_lastText = std::move(text);
    m_haveFileState = true;
}

std::unique_ptr<StateStore> StateStoreFor(const std::string& folder, const std::string& stateName,
                                          const std::string& resourceName) {
    if (folder.empty()) {
        return nullptr;
    }
    std::string file;
    for (char c : resourceName) {
        file += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return std::make_unique<StateStore>(folder + "/" + stateName + "." + file + ".state");
}

} // namespace visasim
