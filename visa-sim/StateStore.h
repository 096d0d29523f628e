// The file in which a simulated instrument keeps its switching state between program runs. Writers
// hold an exclusive lock (flock on a companion ".lock" file) while they read, change and rewrite the
// state; the state file is replaced atomically (a temporary file exchanged with it by rename), so a
// reader that takes the lock never sees half a file. The text carries a checksum, so a damaged file is
// recognised. No file is opened through a symbolic link, and only regular files are read.
#pragma once

#include <string>
#include <string_view>

namespace visasim {

class StateStore {
public:
    // A store whose folder cannot be used is made with the reason (`refusal`): its file is still read
    // when it is there, but its lock is never taken, so nothing is ever written.
    explicit StateStore(std::string path, std::string refusal = {});
    ~StateStore();
    StateStore(const StateStore&) = delete;
    StateStore& operator=(const StateStore&) = delete;

    const std::string& Path() const { return m_path; }

    // Waits at most this long for the lock (VI_TMO_INFINITE has the same value: no bound).
    static constexpr unsigned kWaitForever = 0xFFFFFFFFu;

    // Takes the exclusive lock, waiting at most timeoutMs for another process to release it; Unavailable
    // (with *problem saying why) when the lock file cannot be used. Unlock releases it.
    enum class LockResult { Locked, Unavailable, TimedOut };
    LockResult Lock(unsigned timeoutMs, std::string* problem);
    void Unlock();
    std::string LockPath() const { return m_path + ".lock"; }

    // Missing: no file. Corrupt: a file whose contents fail their check, to be replaced. Unusable:
    // something that is not a regular file of ours (a link, a FIFO, a device, another user's file), which
    // must be left alone. Unreadable: a file that cannot be read now (no permission, no descriptor left,
    // an I/O error); it is not damaged and must be left alone too.
    enum class ReadResult { Missing, Loaded, Corrupt, Unusable, Unreadable };
    // Reads the payload; otherwise *problem says what is wrong.
    ReadResult Read(std::string* payload, std::string* problem) const;
    // Replaces the file with the payload; false (and errno set) when it cannot be written.
    bool Write(const std::string& payload) const;

    // The folder for state files: VISA_SIM_STATE, else $XDG_STATE_HOME/visa-sim, else
    // ~/.local/state/visa-sim; empty when none can be named. Creates it (and its parents) with mode 0700
    // when missing. A folder that other users can write to is refused unless it has the sticky bit (the
    // files in it are then used only when they are ours). On failure *problem explains and the result is
    // empty.
    static std::string StateFolder(std::string* problem);
    // The folder the environment names for state files, whether it can be used or not; empty when none.
    static std::string NamedStateFolder();

private:
    std::string m_path;
    std::string m_refusal;
    int m_lockFd = -1;
};

// Checksum of the state text (FNV-1a, 32 bits).
unsigned StateChecksum(std::string_view text);

// The text of a state file: a header line, the payload and a checksum line.
std::string EncodeStateText(const std::string& payload);
// The payload of a state file's text: Loaded, or Corrupt with *problem saying what is wrong.
StateStore::ReadResult DecodeStateText(std::string_view text, std::string* payload, std::string* problem);

} // namespace visasim
