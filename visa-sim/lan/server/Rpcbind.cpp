#include "Rpcbind.h"

#include "Transport.h"
#include "Vxi11.h"

#include <unistd.h>

namespace visasim::lan {

namespace {

constexpr const char* kRpcbindSocket = "/run/rpcbind.sock";
constexpr std::chrono::milliseconds kAnswerTime{2000};
constexpr uint32_t kGetAddress = 3; // rpcbind version 3's GETADDR

uint32_t Reachable(uint32_t listen) {
    return listen == 0 ? 0x7F000001 : listen;
}

RpcbEntry CoreEntry(uint32_t listen, uint16_t port) {
    std::string address =
        Ipv4Text(listen) + "." + std::to_string(port >> 8) + "." + std::to_string(port & 0xFF);
    return RpcbEntry{vxi11::kCoreProgram, vxi11::kVersion, "tcp", port ? address : "",
                     std::to_string(geteuid())};
}

// The port of a universal address ("127.0.0.1.4.1" is port 1025); 0 for none.
uint16_t PortOf(const std::string& universal) {
    size_t last = universal.rfind('.');
    size_t before =
        last == std::string::npos || last == 0 ? std::string::npos : universal.rfind('.', last - 1);
    if (before == std::string::npos) {
        return 0;
    }
    int high = std::atoi(universal.substr(before + 1, last - before - 1).c_str());
    int low = std::atoi(universal.substr(last + 1).c_str());
    return static_cast<uint16_t>((high & 0xFF) << 8 | (low & 0xFF));
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
struct Text {
    std::string value;
};
template <typename Io>
void Fields(Io& io, Text& v) {
    io.Bytes(v.value, 128);
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
        Text holder;
        if (!CallRpcbind(kGetAddress, CoreEntry(listen, 0), &holder, problem)) {
            return false;
        }
        std::string error;
        uint16_t taken = PortOf(holder.value);
        if (taken != 0 && ConnectTcp(Reachable(listen), taken, After(kAnswerTime), nullptr, &error)) {
            *problem = "another VXI-11 server is registered with rpcbind (port " + std::to_string(taken) +
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
