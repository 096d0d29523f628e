#include "StateStore.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace visasim {
namespace {

constexpr const char* kHeader = "visa-sim state 1\n";
constexpr size_t kMaxFileSize = 1 << 20;

bool MakeFolders(const std::string& path) {
    std::string partial;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        partial = path.substr(0, slash);
        if (!partial.empty() && mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        pos = slash + 1;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The kind, owner, link count and size of an open file. No time stamp is asked for: a file system that
// keeps finer times for files whose times were looked at would then update them at every change, which
// costs a sixth of a state change.
bool Describe(int fd, struct statx* info) {
    return statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MODE | STATX_UID | STATX_NLINK | STATX_SIZE,
                 info) == 0;
}

// Why an open file is not one to use: empty when it is a regular file of this user.
std::string Unfit(const struct statx& info) {
    if (!S_ISREG(info.stx_mode)) {
        return "it is not a regular file";
    }
    static const uid_t self = geteuid();
    if (info.stx_uid != self) {
        return "it belongs to another user";
    }
    return {};
}

} // namespace

unsigned StateChecksum(std::string_view text) {
    unsigned hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

std::string EncodeStateText(const std::string& payload) {
    char checksum[32];
    std::snprintf(checksum, sizeof checksum, "checksum %08x\n", StateChecksum(payload));
    return std::string(kHeader) + payload + checksum;
}

StateStore::ReadResult DecodeStateText(std::string_view text, std::string* payload, std::string* problem) {
    const size_t headerSize = std::strlen(kHeader);
    if (text.compare(0, headerSize, kHeader) != 0) {
        *problem = "it does not begin with \"visa-sim state 1\"";
        return StateStore::ReadResult::Corrupt;
    }
    // The last line is "checksum XXXXXXXX".
    size_t lastLine = text.rfind("checksum ");
    if (lastLine == std::string::npos || lastLine < headerSize || text.size() != lastLine + 18 ||
        text.back() != '\n' || (lastLine > 0 && text[lastLine - 1] != '\n')) {
        *problem = "it has no checksum line";
        return StateStore::ReadResult::Corrupt;
    }
    std::string_view body = text.substr(headerSize, lastLine - headerSize);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%08x", StateChecksum(body));
    if (text.compare(lastLine + 9, 8, expected) != 0) {
        *problem = "its checksum does not match its content";
        return StateStore::ReadResult::Corrupt;
    }
    *payload = std::string(body);
    return StateStore::ReadResult::Loaded;
}

StateStore::StateStore(std::string path, std::string refusal)
    : m_path(std::move(path)), m_refusal(std::move(refusal)) {}

StateStore::~StateStore() {
    if (m_lockFd >= 0) {
        close(m_lockFd);
    }
}

StateStore::LockResult StateStore::Lock(unsigned timeoutMs, std::string* problem) {
    if (!m_refusal.empty()) {
        *problem = m_refusal;
        return LockResult::Unavailable;
    }
    if (m_lockFd < 0) {
        m_lockFd = open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (m_lockFd < 0) {
            const int error = errno;
            *problem = "its lock file " + LockPath() + " cannot be opened (" +
                       (error == ELOOP ? "it is a symbolic link" : std::strerror(error)) + ")";
            return LockResult::Unavailable;
        }
        struct statx info {};
        std::string unfit = Describe(m_lockFd, &info) ? Unfit(info) : std::strerror(errno);
        if (!unfit.empty()) {
            close(m_lockFd);
            m_lockFd = -1;
            *problem = "its lock file " + LockPath() + " cannot be used (" + unfit + ")";
            return LockResult::Unavailable;
        }
    }
    // The lock is free almost always: one try without waiting. Otherwise try again after short pauses
    // that grow to a few milliseconds, until the time-out has passed.
    const int operation = timeoutMs == kWaitForever ? LOCK_EX : LOCK_EX | LOCK_NB;
    if (flock(m_lockFd, operation) == 0) {
        return LockResult::Locked;
    }
    int error = errno;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::chrono::microseconds pause(50);
    for (; error == EINTR || error == EWOULDBLOCK; error = errno) {
        if (error == EWOULDBLOCK) {
            Clock::time_point now = Clock::now();
            if (now >= deadline) {
                return LockResult::TimedOut;
            }
            std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
            pause = std::min(pause * 2, std::chrono::microseconds(4000));
        }
        if (flock(m_lockFd, operation) == 0) {
            return LockResult::Locked;
        }
    }
    *problem = "its lock file " + LockPath() + " cannot be locked (" + std::strerror(error) + ")";
    return LockResult::Unavailable;
}

void StateStore::Unlock() {
    if (m_lockFd >= 0) {
        flock(m_lockFd, LOCK_UN);
    }
}

StateStore::ReadResult StateStore::Read(std::string* payload, std::string* problem) const {
    // Not blocking, so that a FIFO of that name cannot hold the reader up before it is refused.
    int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return ReadResult::Missing;
        }
        *problem = error == ELOOP ? "it is a symbolic link" : std::strerror(error);
        return error == ELOOP ? ReadResult::Unusable : ReadResult::Unreadable;
    }
    struct statx info {};
    if (!Describe(fd, &info)) {
        *problem = std::strerror(errno);
        close(fd);
        return ReadResult::Unreadable;
    }
    *problem = Unfit(info);
    if (!problem->empty()) {
        close(fd);
        return ReadResult::Unusable;
    }
    std::string text;
    if (static_cast<size_t>(info.stx_size) <= kMaxFileSize) {
        char buffer[4096];
        while (text.size() <= kMaxFileSize) {
            ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                *problem = std::strerror(errno);
                close(fd);
                return ReadResult::Unreadable;
            }
            if (got == 0) {
                break;
            }
            text.append(buffer, static_cast<size_t>(got));
        }
    }
    close(fd);
    if (static_cast<size_t>(info.stx_size) > kMaxFileSize || text.size() > kMaxFileSize) {
        *problem = "the file is too large";
        return ReadResult::Corrupt;
    }
    return DecodeStateText(text, payload, problem);
}

bool StateStore::Write(const std::string& payload) const {
    std::string text = EncodeStateText(payload);
    // Only the holder of the lock writes, so one temporary name serves every process. The new state is
    // written into it and then exchanged with the state file in one atomic rename; the previous state
    // stays behind under the temporary name and is overwritten next time. Replacing a file by a plain
    // rename makes ext4 push the new file's data to disk first, which costs a hundred times more, and
    // removing and creating the temporary file each time costs three times more than rewriting it.
    // What is found under the temporary name is rewritten only when it is that left-behind state: a
    // regular file of this user with no other name. Anything else is removed, never followed, and the
    // file created anew, which fails rather than write through a link planted meanwhile.
    std::string temporary = m_path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        struct statx info {};
        if (!Describe(fd, &info) || !Unfit(info).empty() || info.stx_nlink != 1) {
            close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        if (unlink(temporary.c_str()) != 0 && errno != ENOENT) {
            return false;
        }
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t wrote = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            int saved = errno;
            close(fd);
            errno = saved;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    if (ftruncate(fd, static_cast<off_t>(text.size())) != 0 || close(fd) != 0) {
        return false;
    }
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, m_path.c_str(), RENAME_EXCHANGE) == 0) {
        return true;
    }
    // No state file yet, or a file system without exchange: an ordinary rename.
    return rename(temporary.c_str(), m_path.c_str()) == 0;
}

std::string StateStore::NamedStateFolder() {
    const char* explicitFolder = std::getenv("VISA_SIM_STATE");
    const char* xdg = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (explicitFolder && *explicitFolder) {
        return explicitFolder;
    }
    if (xdg && *xdg == '/') {
        return std::string(xdg) + "/visa-sim";
    }
    if (home && *home) {
        return std::string(home) + "/.local/state/visa-sim";
    }
    return {};
}

std::string StateStore::StateFolder(std::string* problem) {
    std::string folder = NamedStateFolder();
    if (folder.empty()) {
        *problem = "neither VISA_SIM_STATE, XDG_STATE_HOME nor HOME names a folder";
        return {};
    }
    if (!MakeFolders(folder)) {
        *problem = "the folder " + folder + " cannot be created (" + std::strerror(errno) + ")";
        return {};
    }
    // Another user who can write to the folder could replace the files in it; in a folder with the
    // sticky bit (such as /tmp) only their owner can, and only files of this user are used.
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 &&
        (info.st_mode & S_ISVTX) == 0) {
        *problem = "the folder " + folder + " can be written by other users";
        return {};
    }
    return folder;
}

} // namespace visasim
