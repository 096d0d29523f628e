// The core channel's registration with a running rpcbind, made through rpcbind's local socket (the only
// way it takes registrations unless started with -i or -L): rpcbind version 3 SET for TCP, UNSET when
// the server ends. A registration another live server holds is never taken over; one whose port no
// longer answers (a server that died) is.
#pragma once

#include <cstdint>
#include <string>

namespace visasim::lan {

// Whether something answers on port 111 of the listen address (of 127.0.0.1 for 0.0.0.0).
bool PortmapperAnswers(uint32_t listen);

class RpcbindRegistration {
public:
    RpcbindRegistration() = default;
    ~RpcbindRegistration();
    RpcbindRegistration(const RpcbindRegistration&) = delete;
    RpcbindRegistration& operator=(const RpcbindRegistration&) = delete;

    // Registers the core channel at listen:port; on failure *problem says why.
    bool Register(uint32_t listen, uint16_t port, std::string* problem);

private:
    bool m_registered = false;
    uint32_t m_listen = 0;
};

} // namespace visasim::lan
