#include "Transport.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace visasim::lan {

namespace {

constexpr size_t kReceiveChunk = 64 * 1024;

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

sockaddr_in Ipv4Socket(uint32_t address, uint16_t port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(port);
    socketAddress.sin_addr.s_addr = htonl(address);
    return socketAddress;
}

// Waits for a connect() in progress and gives its outcome.
bool FinishConnect(int fd, Deadline deadline, const StopSignal* stop, std::string* error) {
    WaitResult waited = WaitFor(fd, POLLOUT, deadline, stop);
    if (waited != WaitResult::Ready) {
        *error = waited == WaitResult::TimedOut ? "connect: timed out" : "connect: given up";
        return false;
    }
    int problem = 0;
    socklen_t length = sizeof problem;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &problem, &length) != 0 || problem != 0) {
        errno = problem;
        *error = Reason("connect");
        return false;
    }
    return true;
}

Fd Connect(int family, const sockaddr* address, socklen_t length, Deadline deadline, const StopSignal* stop,
           std::string* error) {
    Fd fd(socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) {
        *error = Reason("socket");
        return {};
    }
    if (connect(fd.Get(), address, length) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            *error = Reason("connect");
            return {};
        }
        if (!FinishConnect(fd.Get(), deadline, stop, error)) {
            return {};
        }
    }
    return fd;
}

} // namespace

Deadline After(std::chrono::milliseconds timeout) {
    return Clock::now() + timeout;
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Reset();
        m_fd = other.Release();
    }
    return *this;
}

int Fd::Release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

void Fd::Reset() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

StopSignal::StopSignal() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_read = Fd(fds[0]);
        m_write = Fd(fds[1]);
    }
}

void StopSignal::Raise() const {
    char byte = 1;
    ssize_t written = write(m_write.Get(), &byte, 1); // a full pipe is raised already
    (void)written;
}

bool StopSignal::Raised() const {
    pollfd entry{m_read.Get(), POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

WaitResult WaitFor(int fd, short events, Deadline deadline, const StopSignal* stop) {
    pollfd entries[2] = {{fd, events, 0}, {stop ? stop->WaitFd() : -1, POLLIN, 0}};
    while (true) {
        int timeout = -1;
        if (deadline != kNoDeadline) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
        }
        int ready = poll(entries, stop ? 2 : 1, timeout);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitResult::Failed;
        }
        if (stop && entries[1].revents != 0) {
            return WaitResult::Stopped;
        }
        if (ready > 0) {
            // An error or hang-up is reported as ready: the next call on the socket says what happened.
            return WaitResult::Ready;
        }
        if (deadline != kNoDeadline && Clock::now() >= deadline) {
            return WaitResult::TimedOut;
        }
    }
}

std::optional<uint32_t> ParseIpv4(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return ntohl(address.s_addr);
}

std::string Ipv4Text(uint32_t address) {
    in_addr raw{htonl(address)};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &raw, text, sizeof text);
    return text;
}

std::optional<uint32_t> ResolveIpv4(const std::string& host, Deadline deadline, std::string* error) {
    if (auto address = ParseIpv4(host)) {
        return address;
    }
    // getaddrinfo() has no time-out of its own: it runs on a thread that owns its half of the outcome.
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        int status = 0;
        uint32_t address = 0;
    };
    auto outcome = std::make_shared<Outcome>();
    try {
        std::thread([outcome, host] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* found = nullptr;
            int status = getaddrinfo(host.c_str(), nullptr, &hints, &found);
            std::lock_guard lock(outcome->mutex);
            outcome->status = status;
            if (status == 0) {
                outcome->address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
                freeaddrinfo(found);
            }
            outcome->finished = true;
            outcome->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        *error = "no thread for the host look-up";
        return std::nullopt;
    }
    std::unique_lock lock(outcome->mutex);
    auto finished = [&] { return outcome->finished; };
    if (deadline == kNoDeadline) {
        outcome->done.wait(lock, finished);
    } else if (!outcome->done.wait_until(lock, deadline, finished)) {
        *error = "looking " + host + " up: timed out";
        return std::nullopt;
    }
    if (outcome->status != 0) {
        *error = "looking " + host + " up: " + gai_strerror(outcome->status);
        return std::nullopt;
    }
    return outcome->address;
}

bool IsLoopback(uint32_t address) {
    return (address >> 24) == 127;
}

Fd ListenTcp(uint32_t address, uint16_t port, std::string* error) {
    Fd fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    int on = 1;
    sockaddr_in socketAddress = Ipv4Socket(address, port);
    if (!fd || setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(fd.Get(), reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0 ||
        listen(fd.Get(), 64) != 0) {
        *error = Reason(fd ? "bind" : "socket");
        return {};
    }
    return fd;
}

Fd BindUdp(uint32_t address, uint16_t port, const std::string& interfaceName, std::string* error) {
    Fd fd(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    sockaddr_in socketAddress = Ipv4Socket(address, port);
    if (fd && !interfaceName.empty() &&
        setsockopt(fd.Get(), SOL_SOCKET, SO_BINDTODEVICE, interfaceName.c_str(),
                   static_cast<socklen_t>(interfaceName.size())) != 0) {
        *error = Reason("SO_BINDTODEVICE");
        return {};
    }
    if (!fd || bind(fd.Get(), reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0) {
        *error = Reason(fd ? "bind" : "socket");
        return {};
    }
    return fd;
}

uint16_t LocalPort(int fd) {
    sockaddr_in socketAddress{};
    socklen_t length = sizeof socketAddress;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&socketAddress), &length) != 0) {
        return 0;
    }
    return ntohs(socketAddress.sin_port);
}

Fd ConnectTcp(uint32_t address, uint16_t port, Deadline deadline, const StopSignal* stop,
              std::string* error) {
    sockaddr_in socketAddress = Ipv4Socket(address, port);
    Fd fd = Connect(AF_INET, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress, deadline,
                    stop, error);
    int on = 1;
    if (fd) {
        setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

Fd ConnectLocal(const std::string& path, Deadline deadline, const StopSignal* stop, std::string* error) {
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    if (path.size() >= sizeof socketAddress.sun_path) {
        *error = "socket path too long";
        return {};
    }
    std::memcpy(socketAddress.sun_path, path.c_str(), path.size() + 1);
    return Connect(AF_UNIX, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress, deadline, stop,
                   error);
}

RecordStream::RecordStream(Fd fd, size_t recordBound, const StopSignal* stop)
    : m_fd(std::move(fd)), m_stop(stop), m_assembler(recordBound), m_buffer(kReceiveChunk) {}

RecordStream::Received RecordStream::Receive(std::vector<uint8_t>* record, Deadline deadline,
                                             std::chrono::milliseconds stall) {
    while (true) {
        m_begin += m_assembler.Feed(m_buffer.data() + m_begin, m_end - m_begin);
        if (m_assembler.Status() == RecordAssembler::State::TooLarge) {
            return Received::TooLarge;
        }
        if (m_assembler.Status() == RecordAssembler::State::Complete) {
            *record = m_assembler.Take();
            return Received::Record;
        }
        m_begin = m_end = 0;
        bool started = m_assembler.Started();
        Deadline wait = started ? std::min(deadline, After(stall)) : deadline;
        switch (WaitFor(m_fd.Get(), POLLIN, wait, m_stop)) {
        case WaitResult::Ready:
            break;
        case WaitResult::TimedOut:
            return started && Clock::now() < deadline ? Received::Stalled : Received::TimedOut;
        case WaitResult::Stopped:
            return Received::Stopped;
        case WaitResult::Failed:
            return Received::Failed;
        }
        ssize_t count = recv(m_fd.Get(), m_buffer.data(), m_buffer.size(), 0);
        if (count == 0) {
            return Received::Closed;
        }
        if (count < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            return errno == ECONNRESET ? Received::Closed : Received::Failed;
        }
        m_end = static_cast<size_t>(count);
    }
}

bool RecordStream::Send(const std::vector<uint8_t>& message, Deadline deadline,
                        std::chrono::milliseconds stall, bool more) {
    uint32_t mark = htonl(RecordMark(message.size()));
    size_t total = sizeof mark + message.size();
    size_t sent = 0;
    while (sent < total) {
        iovec parts[2];
        int count = 0;
        if (sent < sizeof mark) {
            parts[count++] = {reinterpret_cast<char*>(&mark) + sent, sizeof mark - sent};
        }
        size_t bodySent = sent > sizeof mark ? sent - sizeof mark : 0;
        parts[count++] = {const_cast<uint8_t*>(message.data()) + bodySent, message.size() - bodySent};
        msghdr header{};
        header.msg_iov = parts;
        header.msg_iovlen = static_cast<size_t>(count);
        ssize_t written = sendmsg(m_fd.Get(), &header, MSG_NOSIGNAL | (more ? MSG_MORE : 0));
        if (written > 0) {
            sent += static_cast<size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (WaitFor(m_fd.Get(), POLLOUT, std::min(deadline, After(stall)), m_stop) != WaitResult::Ready) {
            return false;
        }
    }
    return true;
}

void RecordStream::Shutdown() {
    shutdown(m_fd.Get(), SHUT_RDWR);
}

RpcClient::RpcClient(Fd fd, size_t replyBound, const StopSignal* stop)
    : m_stream(std::move(fd), replyBound, stop), m_stop(stop),
      m_xid(static_cast<uint32_t>(Clock::now().time_since_epoch().count())) {}

namespace {
// A client waits for its peer as long as the call's deadline allows, whether or not bytes trickle in.
std::chrono::milliseconds StallFor(Deadline deadline) {
    return deadline == kNoDeadline
               ? std::chrono::hours(24)
               : std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
}
} // namespace

std::optional<uint32_t> RpcClient::Send(uint32_t program, uint32_t version, uint32_t procedure,
                                        const std::vector<uint8_t>& arguments, Deadline deadline,
                                        std::string* error, bool more) {
    CallHeader header{++m_xid, program, version, procedure};
    XdrWriter writer;
    writer.Reserve(arguments.size() + 48);
    WriteCallHeader(writer, header);
    std::vector<uint8_t> message = writer.Take();
    message.insert(message.end(), arguments.begin(), arguments.end());
    if (!m_stream.Send(message, deadline, StallFor(deadline), more)) {
        m_failure = m_stop && m_stop->Raised() ? Failure::Stopped
                    : Clock::now() >= deadline ? Failure::TimedOut
                                               : Failure::Lost;
        *error = "the call could not be sent";
        return std::nullopt;
    }
    return header.xid;
}

std::optional<RpcClient::Reply> RpcClient::Receive(uint32_t xid, Deadline deadline, std::string* error) {
    Reply reply;
    while (true) {
        switch (m_stream.Receive(&reply.record, deadline, StallFor(deadline))) {
        case RecordStream::Received::Record:
            break;
        case RecordStream::Received::TimedOut:
        case RecordStream::Received::Stalled:
            m_failure = Failure::TimedOut;
            *error = "no reply in time";
            return std::nullopt;
        case RecordStream::Received::Stopped:
            m_failure = Failure::Stopped;
            *error = "given up";
            return std::nullopt;
        case RecordStream::Received::TooLarge:
            m_failure = Failure::Lost;
            *error = "the reply is too large";
            return std::nullopt;
        default:
            m_failure = Failure::Lost;
            *error = "the connection ended";
            return std::nullopt;
        }
        XdrReader reader(reply.record);
        uint32_t replyXid = 0;
        reply.status = ReadReplyHeader(reader, &replyXid);
        if (replyXid == xid) {
            reply.results = reply.record.size() - reader.Remaining();
            return reply;
        }
        // A late reply to an earlier call given up on: skip it.
    }
}

std::optional<RpcClient::Reply> RpcClient::Call(uint32_t program, uint32_t version, uint32_t procedure,
                                                const std::vector<uint8_t>& arguments, Deadline deadline,
                                                std::string* error) {
    auto xid = Send(program, version, procedure, arguments, deadline, error);
    return xid ? Receive(*xid, deadline, error) : std::nullopt;
}

} // namespace visasim::lan
