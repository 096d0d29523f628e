#include "StateStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
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
        if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        pos = slash + 1;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

unsigned StateChecksum(const std::string& text) {
    unsigned hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

StateStore::StateStore(std::string path) : m_path(std::move(path)) {}

StateStore::~StateStore() {
    if (m_lockFd >= 0) {
        close(m_lockFd);
    }
}

bool StateStore::Lock() {
    if (m_lockFd < 0) {
        m_lockFd = open((m_path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_lockFd < 0) {
            return false;
        }
    }
    while (flock(m_lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

void StateStore::Unlock() {
    if (m_lockFd >= 0) {
        flock(m_lockFd, LOCK_UN);
    }
}

StateStore::ReadResult StateStore::Read(std::string* payload, std::string* problem) const {
    int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? ReadResult::Missing : (*problem = std::strerror(errno), ReadResult::Corrupt);
    }
    std::string text;
    char buffer[4096];
    while (true) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > kMaxFileSize) {
            break;
        }
    }
    close(fd);
    if (text.size() > kMaxFileSize) {
        *problem = "the file is too large";
        return ReadResult::Corrupt;
    }
    const size_t headerSize = std::strlen(kHeader);
    if (text.compare(0, headerSize, kHeader) != 0) {
        *problem = "it does not begin with \"visa-sim state 1\"";
        return ReadResult::Corrupt;
    }
    // The last line is "checksum XXXXXXXX".
    size_t lastLine = text.rfind("checksum ");
    if (lastLine == std::string::npos || lastLine < headerSize || text.size() != lastLine + 18 ||
        text.back() != '\n' || (lastLine > 0 && text[lastLine - 1] != '\n')) {
        *problem = "it has no checksum line";
        return ReadResult::Corrupt;
    }
    std::string body = text.substr(headerSize, lastLine - headerSize);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%08x", StateChecksum(body));
    if (text.compare(lastLine + 9, 8, expected) != 0) {
        *problem = "its checksum does not match its content";
        return ReadResult::Corrupt;
    }
    *payload = std::move(body);
    return ReadResult::Loaded;
}

bool StateStore::Write(const std::string& payload) const {
    char checksum[32];
    std::snprintf(checksum, sizeof checksum, "checksum %08x\n", StateChecksum(payload));
    std::string text = std::string(kHeader) + payload + checksum;
    // Only the holder of the lock writes, so one temporary name serves every process. The new state is
    // written into it and then exchanged with the state file in one atomic rename; the previous state
    // stays behind under the temporary name and is overwritten next time. Replacing a file by a plain
    // rename makes ext4 push the new file's data to disk first, which costs a hundred times more.
    std::string temporary = m_path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
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

std::string StateStore::StateFolder(std::string* problem) {
    std::string folder;
    const char* explicitFolder = std::getenv("VISA_SIM_STATE");
    const char* xdg = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (explicitFolder && *explicitFolder) {
        folder = explicitFolder;
    } else if (xdg && *xdg == '/') {
        folder = std::string(xdg) + "/visa-sim";
    } else if (home && *home) {
        folder = std::string(home) + "/.local/state/visa-sim";
    }
    if (folder.empty()) {
        *problem = "neither VISA_SIM_STATE, XDG_STATE_HOME nor HOME names a folder";
        return {};
    }
    if (!MakeFolders(folder)) {
        *problem = "the folder " + folder + " cannot be created (" + std::strerror(errno) + ")";
        return {};
    }
    return folder;
}

} // namespace visasim
