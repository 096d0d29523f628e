// Sockets for ONC RPC: IPv4 TCP (and UDP for the portmapper), and the local socket rpcbind listens on.
// Every socket is non-blocking and every wait is a poll() with a deadline that also watches a stop
// signal, so no call waits longer than its caller allows and a shutdown wakes every thread at once.
// Signals are never blocked; an interrupted poll() is resumed with the time left.
#pragma once

#include "Rpc.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace visasim::lan {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;
constexpr Deadline kNoDeadline = Deadline::max();
Deadline After(std::chrono::milliseconds timeout);

// A file descriptor owned alone.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : m_fd(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int Release();
    void Reset();

private:
    int m_fd = -1;
};

// Set once, seen by every wait that watches it from then on: a pipe that is never drained. Raise is
// safe in a signal handler.
class StopSignal {
public:
    StopSignal();
    void Raise() const;
    bool Raised() const;
    int WaitFd() const { return m_read.Get(); }

private:
    Fd m_read;
    Fd m_write;
};

enum class WaitResult { Ready, TimedOut, Stopped, Failed };
// Waits until `fd` has one of `events` (POLLIN, POLLOUT), the deadline passes or `stop` is raised.
WaitResult WaitFor(int fd, short events, Deadline deadline, const StopSignal* stop);

// IPv4 addresses in host byte order.
std::optional<uint32_t> ParseIpv4(const std::string& text);
std::string Ipv4Text(uint32_t address);
bool IsLoopback(uint32_t address);

// Looks a host name or dotted address up (IPv4 only) within the deadline. The look-up of a name runs on
// a thread of its own, which a caller past its deadline leaves to end alone.
std::optional<uint32_t> ResolveIpv4(const std::string& host, Deadline deadline, std::string* error);

// A listening TCP socket, a bound UDP socket; on failure nothing and *error says why.
Fd ListenTcp(uint32_t address, uint16_t port, std::string* error);
// A UDP socket given an interface takes only what arrives on it.
Fd BindUdp(uint32_t address, uint16_t port, const std::string& interfaceName, std::string* error);
// The port a bound socket got.
uint16_t LocalPort(int fd);
// Connects within the deadline.
Fd ConnectTcp(uint32_t address, uint16_t port, Deadline deadline, const StopSignal* stop, std::string* error);
Fd ConnectLocal(const std::string& path, Deadline deadline, const StopSignal* stop, std::string* error);

// Record-marked RPC messages over a connected stream socket. A record is awaited until the deadline;
// once its first byte has come, a peer silent for `stall` is given up. Sends likewise give up on a peer
// that takes nothing for `stall`.
class RecordStream {
public:
    RecordStream(Fd fd, size_t recordBound, const StopSignal* stop);

    enum class Received { Record, Closed, TooLarge, Stalled, TimedOut, Stopped, Failed };
    Received Receive(std::vector<uint8_t>* record, Deadline deadline, std::chrono::milliseconds stall);
    // With `more`, the message waits to go out with the next one (one segment for both).
    bool Send(const std::vector<uint8_t>& message, Deadline deadline, std::chrono::milliseconds stall,
              bool more = false);

    int Socket() const { return m_fd.Get(); }
    // Ends the connection at once, waking a thread waiting on it (the descriptor stays until destroyed).
    void Shutdown();

private:
    Fd m_fd;
    const StopSignal* m_stop;
    RecordAssembler m_assembler;
    std::vector<uint8_t> m_buffer; // bytes received beyond the records taken so far
    size_t m_begin = 0;
    size_t m_end = 0;
};

// A synchronous RPC client over a record stream: one call at a time, each with its deadline.
class RpcClient {
public:
    RpcClient(Fd fd, size_t replyBound, const StopSignal* stop = nullptr);

    struct Reply {
        ReplyStatus status = ReplyStatus::Malformed;
        std::vector<uint8_t> record;
        size_t results = 0; // where the results begin in the record
        XdrReader Results() const { return XdrReader(record.data() + results, record.size() - results); }
    };
    // Sends the call and waits for its reply. Nothing when the connection failed or the deadline passed
    // (*error says which); the client is then unusable.
    std::optional<Reply> Call(uint32_t program, uint32_t version, uint32_t procedure,
                              const std::vector<uint8_t>& arguments, Deadline deadline, std::string* error);
    // The two halves of Call, so that several calls may be on their way at once (a write and the read
    // of its reply in one round trip): a server answers a connection's calls in their order, and the
    // replies are to be received in that order too (a reply before the one awaited is skipped). A call
    // sent with `more` goes out with the next one.
    std::optional<uint32_t> Send(uint32_t program, uint32_t version, uint32_t procedure,
                                 const std::vector<uint8_t>& arguments, Deadline deadline, std::string* error,
                                 bool more = false);
    std::optional<Reply> Receive(uint32_t xid, Deadline deadline, std::string* error);

    // Why the last Send, Receive or Call failed: its deadline passed, the stop signal was raised, or the
    // connection ended (or broke, or carried what is no reply).
    enum class Failure { None, TimedOut, Stopped, Lost };
    Failure LastFailure() const { return m_failure; }

    template <typename Arguments, typename Results>
    bool CallAs(uint32_t program, uint32_t version, uint32_t procedure, const Arguments& arguments,
                Results* results, Deadline deadline, std::string* error);

private:
    RecordStream m_stream;
    const StopSignal* m_stop;
    uint32_t m_xid;
    Failure m_failure = Failure::None;
};

// Forwards to Vxi11.h's Encode/Decode, which the caller includes.
template <typename Arguments, typename Results>
bool RpcClient::CallAs(uint32_t program, uint32_t version, uint32_t procedure, const Arguments& arguments,
                       Results* results, Deadline deadline, std::string* error) {
    XdrWriter writer;
    Encode(writer, arguments);
    auto reply = Call(program, version, procedure, writer.Data(), deadline, error);
    if (!reply) {
        return false;
    }
    XdrReader reader = reply->Results();
    if (reply->status != ReplyStatus::Success || !Decode(reader, results)) {
        *error = reply->status == ReplyStatus::Success ? "malformed results" : "call not accepted";
        return false;
    }
    return true;
}

} // namespace visasim::lan
