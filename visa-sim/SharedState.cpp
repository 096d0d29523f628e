#include "SharedState.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace visasim {

SharedState::SharedState(std::unique_ptr<StateStore> store, Owner& owner)
    : m_store(std::move(store)), m_owner(owner) {}

bool SharedState::Begin() {
    bool locked = m_store && m_store->Lock();
    if (locked) {
        Synchronise();
    }
    return locked;
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
