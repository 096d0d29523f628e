#include "Rpcbind.h"

#include "Transport.h"
#include "Vxi11.h"

#include <unistd.h>

namespace visasim::lan {

namespace {

constexpr const char* kRpcbindSocket = "/run/rpcbind.sock";
constexpr std::chrono::milliseconds kAnswerTime{2000};

uint32_t Reachable(uint32_t listen) {
    return listen == 0 ? 0x7F000001 : listen;
}

RpcbEntry CoreEntry(uint32_t listen, uint16_t port) {
    std::string address =
        Ipv4Text(listen) + "." + std::to_string(port >> 8) + "." + std::to_string(port & 0xFF);
    return RpcbEntry{vxi11::kCoreProgram, vxi11::kVersion, "tcp", port ? address : "",
                     std::to_string(geteuid())};
}

template <typename Arguments, typename Results>
bool CallRpcbind(uint32_t procedure, const Arguments& arguments, Results* results, std::string* problem) {
    std::string error;
    Fd fd = ConnectLocal(kRpcbindSocket, After(kAnswerTime), nullptr, &error);
    if (!fd) {
        *problem = std::string("rpcbind's socket ") + kRpcbindSocket + ": " + error;
        return false;
    }
    RpcClient client(std::move(fd), 4096);
    if (!client.CallAs(portmap::kProgram, portmap::kRpcbindVersion, procedure, arguments, results,
                       After(kAnswerTime), &error)) {
        *problem = "rpcbind: " + error;
        return false;
    }
    return true;
}

struct Flag {
    bool value = false;
};
template <typename Io>
void Fields(Io& io, Flag& v) {
    io.Bool(v.value);
}
struct Word {
    uint32_t value = 0;
};
template <typename Io>
void Fields(Io& io, Word& v) {
    io.Word(v.value);
}

} // namespace

bool PortmapperAnswers(uint32_t listen) {
    std::string error;
    return static_cast<bool>(
        ConnectTcp(Reachable(listen), portmap::kPort, After(kAnswerTime), nullptr, &error));
}

bool RpcbindRegistration::Register(uint32_t listen, uint16_t port, std::string* problem) {
    Flag done;
    if (!CallRpcbind(portmap::kSet, CoreEntry(listen, port), &done, problem)) {
        return false;
    }
    if (!done.value) {
        // Another registration: asked for through the portmapper's port (rpcbind's GETADDR on its local
        // socket looks among the local transport's registrations only).
        std::string error;
        Word taken;
        Fd fd = ConnectTcp(Reachable(listen), portmap::kPort, After(kAnswerTime), nullptr, &error);
        if (fd) {
            RpcClient portmapper(std::move(fd), 4096);
            portmapper.CallAs(portmap::kProgram, portmap::kVersion, portmap::kGetPort,
                              Mapping{vxi11::kCoreProgram, vxi11::kVersion, portmap::kTcp, 0}, &taken,
                              After(kAnswerTime), &error);
        }
        if (taken.value != 0 && taken.value <= 0xFFFF &&
            ConnectTcp(Reachable(listen), static_cast<uint16_t>(taken.value), After(kAnswerTime), nullptr,
                       &error)) {
            *problem = "another VXI-11 server is registered with rpcbind (port " +
                       std::to_string(taken.value) +
                       "); stop it, or serve another address with --listen and --portmapper own";
            return false;
        }
        Flag unset;
        if (!CallRpcbind(portmap::kUnset, CoreEntry(listen, 0), &unset, problem) ||
            !CallRpcbind(portmap::kSet, CoreEntry(listen, port), &done, problem)) {
            return false;
        }
        if (!done.value) {
            *problem = "rpcbind refused the registration of program 395183";
            return false;
        }
    }
    m_registered = true;
    m_listen = listen;
    return true;
}

RpcbindRegistration::~RpcbindRegistration() {
    if (m_registered) {
        Flag done;
        std::string problem;
        CallRpcbind(portmap::kUnset, CoreEntry(m_listen, 0), &done, &problem);
    }
}

} // namespace visasim::lan
