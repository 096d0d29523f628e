// The file in which a simulated instrument keeps its switching state between program runs. Writers
// hold an exclusive lock (flock on a companion ".lock" file) while they read, change and rewrite the
// state; the state file is replaced atomically (a temporary file exchanged with it by rename), so a
// reader never sees half a file. The text carries a checksum, so a damaged file is recognised.
#pragma once

#include <string>

namespace visasim {

class StateStore {
public:
    explicit StateStore(std::string path);
    ~StateStore();
    StateStore(const StateStore&) = delete;
    StateStore& operator=(const StateStore&) = delete;

    const std::string& Path() const { return m_path; }

    // Takes and releases the exclusive lock; Lock is false when the lock file cannot be used.
    bool Lock();
    void Unlock();

    enum class ReadResult { Missing, Loaded, Corrupt };
    // Reads the payload; on Corrupt *problem says what is wrong.
    ReadResult Read(std::string* payload, std::string* problem) const;
    // Replaces the file with the payload; false (and errno set) when it cannot be written.
    bool Write(const std::string& payload) const;

    // The folder for state files: VISA_SIM_STATE, else $XDG_STATE_HOME/visa-sim, else
    // ~/.local/state/visa-sim; empty when none can be named. Creates it (and its parents) when missing;
    // on failure *problem explains and the result is empty.
    static std::string StateFolder(std::string* problem);

private:
    std::string m_path;
    int m_lockFd = -1;
};

// Checksum of the state text (FNV-1a, 32 bits).
unsigned StateChecksum(const std::string& text);

} // namespace visasim
