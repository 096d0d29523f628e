// Settings an instrument shares with every program that uses the same bench, through its state file:
// each access takes the file's lock and re-reads the file first, and a change is written back before
// the lock is released. The instrument says how its settings read from and turn into text.
#pragma once

#include "StateStore.h"

#include <memory>
#include <string>

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
    // Runs `body` on the current settings.
    template <typename Body>
    void With(Access access, Body body) {
        bool locked = Begin();
        body();
        End(locked, access == Access::Change);
    }

private:
    bool Begin();
    void End(bool locked, bool changed);
    void Synchronise();
    void Save();

    std::unique_ptr<StateStore> m_store;
    Owner& m_owner;
    std::string m_lastText; // the state text last read from or written to the file
    bool m_haveFileState = false;
};

// The state file of a resource: `<folder>/<state name>.<resource name with :: as __>.state`; none when the
// folder is empty.
std::unique_ptr<StateStore> StateStoreFor(const std::string& folder, const std::string& stateName,
                                          const std::string& resourceName);

} // namespace visasim
