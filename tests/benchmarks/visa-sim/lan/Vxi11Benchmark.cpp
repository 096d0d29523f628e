// Speed of visa-sim-vxi11d over loopback, measured with the RPC core's own client: an *IDN? round trip
// (device_write and device_read) beside a bare TCP ping-pong of the same run, a 1 MiB read, how soon an
// abort ends a waiting read, and an *IDN? round trip while other peers wait in a read, stall in the
// middle of a record or send garbage. And the VISA library's VXI-11 client on the same server: *IDN? and
// a 1 MiB read through its C interface, and through pyvisa with the library beside pyvisa's own
// pure-Python backend (@py), timed inside a Python process of their own (pyvisa_peer.py). The program enters
// a network namespace of its own first (as root), so the server's ports are private; the machine's load
// average is in the context lines.
#include "Transport.h"
#include "Vxi11.h"

#include "visa.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace visasim::lan;
using namespace std::chrono_literals;
constexpr uint32_t kLoopback = 0x7F000001;
constexpr size_t kLargeReply = 1 << 20;

bool EnterPrivateNetwork() {
    if (unshare(CLONE_NEWNET) != 0) {
        return false;
    }
    Fd fd(socket(AF_INET, SOCK_DGRAM, 0));
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    if (ioctl(fd.Get(), SIOCGIFFLAGS, &request) != 0) {
        return false;
    }
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    return ioctl(fd.Get(), SIOCSIFFLAGS, &request) == 0;
}

// The server on a bench of a module and a generic instrument whose "DATA?;DATA?" is 1 MiB long (a bench
// file holds at most 1 MiB).
class Server {
public:
    Server() {
        char pattern[] = "/tmp/vxi11-bench-XXXXXX";
        if (!mkdtemp(pattern)) {
            std::abort();
        }
        m_folder = pattern;
        std::ofstream(m_folder + "/bench.yaml")
            << "resources:\n  - name: VXI0::112::INSTR\n    module: {}\n  - name: GPIB0::5::INSTR\n"
               "    generic:\n      replies: {\"DATA?\": \""
            << std::string(kLargeReply / 2 - 1, '7') << "\"}\n";
        int pipeFds[2];
        if (pipe(pipeFds) != 0) {
            std::abort();
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
        std::string bench = m_folder + "/bench.yaml";
        std::string state = m_folder + "/state";
        const char* argv[] = {SFP_VXI11D,    "--bench",     bench.c_str(), "--state",
                              state.c_str(), "--max-links", "64",          nullptr};
        if (posix_spawn(&m_pid, SFP_VXI11D, &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
            std::abort();
        }
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        m_log = Fd(pipeFds[0]);
        std::string line;
        char c = 0;
        while (read(m_log.Get(), &c, 1) == 1 && c != '\n') {
            line += c;
        }
        unsigned core = 0, abort = 0;
        if (std::sscanf(line.c_str(), "listening on %*s core port %u, abort port %u", &core, &abort) != 2) {
            std::fprintf(stderr, "the server did not start: %s\n", line.c_str());
            std::abort();
        }
        m_corePort = static_cast<uint16_t>(core);
        m_abortPort = static_cast<uint16_t>(abort);
        // Its messages (a line per peer dropped) are read away, so it never waits on a full pipe.
        m_drain = std::thread([fd = m_log.Get()] {
            char buffer[4096];
            while (read(fd, buffer, sizeof buffer) > 0) {
            }
        });
    }
    ~Server() {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_drain.join();
        std::filesystem::remove_all(m_folder);
    }
    uint16_t CorePort() const { return m_corePort; }
    uint16_t AbortPort() const { return m_abortPort; }

private:
    std::string m_folder;
    pid_t m_pid = 0;
    Fd m_log;
    std::thread m_drain;
    uint16_t m_corePort = 0;
    uint16_t m_abortPort = 0;
};

Server& TheServer() {
    static Server server;
    return server;
}

Fd Connect(uint16_t port) {
    std::string error;
    Fd fd = ConnectTcp(kLoopback, port, After(5s), nullptr, &error);
    if (!fd) {
        std::fprintf(stderr, "connect: %s\n", error.c_str());
        std::abort();
    }
    return fd;
}

class Link {
public:
    explicit Link(const char* device) : m_client(Connect(TheServer().CorePort()), 4 << 20) {
        CreateLinkResp resp;
        if (!Call(vxi11::kCreateLink, CreateLinkParms{1, false, 0, device}, &resp) || resp.error != 0) {
            std::abort();
        }
        m_lid = resp.lid;
    }
    template <typename Parms, typename Resp>
    bool Call(uint32_t procedure, const Parms& parms, Resp* resp) {
        std::string error;
        return m_client.CallAs(vxi11::kCoreProgram, vxi11::kVersion, procedure, parms, resp, After(30s),
                               &error);
    }
    bool Write(const std::string& message) {
        DeviceWriteResp resp;
        return Call(vxi11::kDeviceWrite, DeviceWriteParms{m_lid, 2000, 0, vxi11::kEnd, message}, &resp) &&
               resp.error == 0;
    }
    // The whole reply, or the error of the read that failed.
    DeviceReadResp Read(uint32_t ioTimeout = 2000) {
        DeviceReadResp whole;
        while (!(whole.reason & vxi11::kReasonEnd)) {
            DeviceReadResp part;
            if (!Call(vxi11::kDeviceRead, DeviceReadParms{m_lid, 4 << 20, ioTimeout, 0, 0, 0}, &part) ||
                part.error) {
                return part;
            }
            whole.data += part.data;
            whole.reason = part.reason;
        }
        return whole;
    }
    bool Query(const std::string& message) {
        XdrWriter write;
        XdrWriter read;
        Encode(write, DeviceWriteParms{m_lid, 2000, 0, vxi11::kEnd, message});
        Encode(read, DeviceReadParms{m_lid, 256, 2000, 0, 0, 0});
        std::string error;
        auto first = m_client.Send(vxi11::kCoreProgram, vxi11::kVersion, vxi11::kDeviceWrite, write.Data(),
                                   After(5s), &error, true);
        auto second = m_client.Send(vxi11::kCoreProgram, vxi11::kVersion, vxi11::kDeviceRead, read.Data(),
                                    After(5s), &error);
        auto written = first ? m_client.Receive(*first, After(5s), &error) : std::nullopt;
        auto reply = second ? m_client.Receive(*second, After(5s), &error) : std::nullopt;
        DeviceReadResp resp;
        XdrReader results = reply ? reply->Results() : XdrReader(nullptr, 0);
        return written && reply && Decode(results, &resp) && resp.error == 0 && resp.data.size() > 20;
    }
    int32_t Lid() const { return m_lid; }

private:
    RpcClient m_client;
    int32_t m_lid = 0;
};

void AddLoadAverage() {
    double load[3] = {};
    if (getloadavg(load, 3) == 3) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
        benchmark::AddCustomContext("load average (1, 5, 15 min) at start", text);
    }
}

// A 64-byte message to an echo process and back: what a round trip between two processes over loopback
// costs at the least (the server is a process of its own too).
void BM_TcpPingPong(benchmark::State& state) {
    std::string error;
    Fd listener = ListenTcp(kLoopback, 0, &error);
    uint16_t port = LocalPort(listener.Get());
    pid_t echo = fork();
    if (echo == 0) {
        WaitFor(listener.Get(), POLLIN, kNoDeadline, nullptr);
        int peer = accept(listener.Get(), nullptr, nullptr);
        int on = 1;
        setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        char buffer[64];
        ssize_t count;
        while ((count = recv(peer, buffer, sizeof buffer, MSG_WAITALL)) > 0) {
            send(peer, buffer, static_cast<size_t>(count), 0);
        }
        _exit(0);
    }
    Fd client = Connect(port);
    int flags = 0; // blocking, as the echo
    ioctl(client.Get(), FIONBIO, &flags);
    char message[64] = "*IDN?\n";
    for (auto _ : state) {
        if (send(client.Get(), message, sizeof message, 0) != sizeof message ||
            recv(client.Get(), message, sizeof message, MSG_WAITALL) != sizeof message) {
            state.SkipWithError("ping-pong failed");
            break;
        }
    }
    client.Reset();
    waitpid(echo, nullptr, 0);
}

// The core channel's null procedure: one RPC round trip through the server, with no instrument.
void BM_NullCall(benchmark::State& state) {
    RpcClient client(Connect(TheServer().CorePort()), 4096);
    std::string error;
    for (auto _ : state) {
        if (!client.Call(vxi11::kCoreProgram, vxi11::kVersion, kNullProcedure, {}, After(5s), &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}

void IdentityRoundTrips(benchmark::State& state, Link& link) {
    for (auto _ : state) {
        if (!link.Write("*IDN?\n") || link.Read().data.rfind("QUILLON-VANTERA,K4712V", 0) != 0) {
            state.SkipWithError("*IDN? failed");
            break;
        }
    }
}

void BM_IdentityRoundTrip(benchmark::State& state) {
    Link link("inst0");
    IdentityRoundTrips(state, link);
}

// device_write and device_read sent together in one segment, their replies awaited together: the query
// in one round trip, as a client may have it (pyvisa-py and lxi wait for each reply before the next call).
void BM_IdentityPipelined(benchmark::State& state) {
    Link link("inst0");
    for (auto _ : state) {
        if (!link.Query("*IDN?\n")) {
            state.SkipWithError("*IDN? failed");
            break;
        }
    }
}

void BM_Read1MiB(benchmark::State& state) {
    Link link("gpib0,5");
    for (auto _ : state) {
        if (!link.Write("DATA?;DATA?\n") || link.Read().data.size() != kLargeReply) {
            state.SkipWithError("DATA? failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeReply));
}

// From the device_abort call to the waiting read's reply (error 23), timed by hand.
void BM_AbortEndsWaitingRead(benchmark::State& state) {
    Link link("inst0");
    RpcClient abort(Connect(TheServer().AbortPort()), 4096);
    for (auto _ : state) {
        std::atomic<Clock::time_point> ended{};
        int32_t error = 0;
        std::thread reader([&] {
            error = link.Read(10000).error;
            ended = Clock::now();
        });
        std::this_thread::sleep_for(2ms); // the read reaches the server; an abort before it ends nothing
        Clock::time_point sent;
        do {
            sent = Clock::now();
            DeviceError answer;
            std::string problem;
            abort.CallAs(vxi11::kAbortProgram, vxi11::kVersion, vxi11::kDeviceAbort, DeviceLink{link.Lid()},
                         &answer, After(5s), &problem);
            for (int i = 0; i < 100 && ended.load() == Clock::time_point{}; ++i) {
                std::this_thread::sleep_for(1ms);
            }
        } while (ended.load() == Clock::time_point{});
        reader.join();
        if (error != vxi11::kAbort) {
            state.SkipWithError("the read did not end with error 23");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(ended.load() - sent).count());
    }
}

// *IDN? on one link while other peers hold their own connections up: 0 a link waiting in a read,
// 1 a peer stalled in the middle of a record, 2 peers sending garbage one after another.
void BM_IdentityWhileOthersMisbehave(benchmark::State& state) {
    std::atomic<bool> done{false};
    std::thread other;
    Fd stalled;
    if (state.range(0) == 0) {
        other = std::thread([&] {
            Link waiting("gpib0,5"); // another device: a device has one output queue for all its links
            while (!done) {
                waiting.Read(500);
            }
        });
    } else if (state.range(0) == 1) {
        stalled = Connect(TheServer().CorePort());
        uint8_t part[8] = {0x80, 0, 0, 100, 1, 2, 3, 4};
        send(stalled.Get(), part, sizeof part, 0);
    } else {
        other = std::thread([&] {
            while (!done) {
                Fd peer = Connect(TheServer().CorePort());
                uint8_t garbage[12] = {0x80, 0, 0, 8, 'G', 'A', 'R', 'B', 'A', 'G', 'E', '!'};
                send(peer.Get(), garbage, sizeof garbage, MSG_NOSIGNAL);
                WaitFor(peer.Get(), POLLIN, After(1s), nullptr); // until the server drops it
            }
        });
    }
    Link link("inst0");
    IdentityRoundTrips(state, link);
    done = true;
    if (other.joinable()) {
        other.join();
    }
}

// A session of the VISA library on a device of the server.
class LibrarySession {
public:
    explicit LibrarySession(const char* device) {
        std::string name = std::string("TCPIP0::127.0.0.1::") + device + "::INSTR";
        TheServer();
        if (viOpenDefaultRM(&m_rm) != VI_SUCCESS ||
            viOpen(m_rm, name.c_str(), VI_NULL, VI_NULL, &m_vi) != VI_SUCCESS) {
            std::abort();
        }
    }
    ~LibrarySession() { viClose(m_rm); }
    // Writes the message and reads the whole reply; its size, 0 on failure.
    size_t Query(const char* message) {
        ViUInt32 count = 0;
        if (viWrite(m_vi, reinterpret_cast<ViConstBuf>(message), static_cast<ViUInt32>(std::strlen(message)),
                    &count) != VI_SUCCESS) {
            return 0;
        }
        size_t size = 0;
        ViStatus status = VI_SUCCESS_MAX_CNT;
        while (status == VI_SUCCESS_MAX_CNT) {
            status =
                viRead(m_vi, m_buffer.data() + size, static_cast<ViUInt32>(m_buffer.size() - size), &count);
            size += count;
        }
        return status == VI_SUCCESS ? size : 0;
    }

private:
    ViSession m_rm = VI_NULL;
    ViSession m_vi = VI_NULL;
    std::vector<unsigned char> m_buffer = std::vector<unsigned char>(kLargeReply + 16);
};

void BM_LibraryIdentity(benchmark::State& state) {
    LibrarySession session("inst0");
    for (auto _ : state) {
        if (session.Query("*IDN?\n") < 20) {
            state.SkipWithError("*IDN? failed");
            break;
        }
    }
}

void BM_LibraryRead1MiB(benchmark::State& state) {
    LibrarySession session("gpib0,5");
    for (auto _ : state) {
        if (session.Query("DATA?;DATA?\n") != kLargeReply) {
            state.SkipWithError("DATA? failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeReply));
}

// pyvisa in a process of its own, with the backend given: argument 0 this library, 1 pyvisa-py (@py);
// the query (0 *IDN?, 1 a 1 MiB reply) timed there.
void BM_Pyvisa(benchmark::State& state) {
    TheServer();
    int toPeer[2];
    int fromPeer[2];
    if (pipe(toPeer) != 0 || pipe(fromPeer) != 0) {
        std::abort();
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toPeer[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromPeer[1], 1);
    posix_spawn_file_actions_addclose(&actions, toPeer[1]);
    posix_spawn_file_actions_addclose(&actions, fromPeer[0]);
    const char* backend = state.range(0) == 0 ? SFP_VISA_SIM_LIBRARY : "@py";
    const char* argv[] = {"/usr/bin/python3", SFP_PYVISA_PEER, backend, "127.0.0.1", nullptr};
    pid_t peer = 0;
    int spawned = posix_spawn(&peer, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        state.SkipWithError("no python3");
        return;
    }
    close(toPeer[0]);
    close(fromPeer[1]);
    FILE* replies = fdopen(fromPeer[0], "r");
    const char* request = state.range(1) == 0 ? "idn\n" : "block\n";
    size_t wanted = state.range(1) == 0 ? 20 : kLargeReply;
    for (auto _ : state) {
        long long nanoseconds = 0;
        size_t size = 0;
        if (write(toPeer[1], request, std::strlen(request)) < 0 ||
            std::fscanf(replies, "%lld %zu", &nanoseconds, &size) != 2 || size < wanted) {
            state.SkipWithError("the pyvisa query failed");
            break;
        }
        state.SetIterationTime(static_cast<double>(nanoseconds) * 1e-9);
    }
    close(toPeer[1]);
    fclose(replies);
    waitpid(peer, nullptr, 0);
}

BENCHMARK(BM_TcpPingPong)->MinTime(1);
BENCHMARK(BM_NullCall)->MinTime(1);
BENCHMARK(BM_IdentityRoundTrip)->MinTime(1);
BENCHMARK(BM_IdentityPipelined)->MinTime(1);
BENCHMARK(BM_Read1MiB)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_AbortEndsWaitingRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_IdentityWhileOthersMisbehave)->DenseRange(0, 2)->MinTime(1);
BENCHMARK(BM_LibraryIdentity)->MinTime(1);
BENCHMARK(BM_LibraryRead1MiB)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Pyvisa)->ArgNames({"backend", "block"})->Args({0, 0})->Args({1, 0})->UseManualTime()->MinTime(1);
BENCHMARK(BM_Pyvisa)
    ->ArgNames({"backend", "block"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

} // namespace

int main(int argc, char** argv) {
    if (!EnterPrivateNetwork()) {
        std::fprintf(stderr, "a network namespace of its own is needed (run as root): %s\n",
                     std::strerror(errno));
        return 77;
    }
    signal(SIGPIPE, SIG_IGN);
    benchmark::Initialize(&argc, argv);
    AddLoadAverage();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
