// The VXI-11 server: the core channel (links to the bench's devices), the abort channel and, when asked,
// the portmapper, each connection served by a thread of its own, so that no link ever waits behind
// another: a read waiting for its reply, a peer stalled in the middle of a record or one sending garbage
// holds up only its own connection. The main thread accepts connections (checking the peer's network
// at once) and answers the portmapper's UDP requests.
#pragma once

#include "Devices.h"
#include "Options.h"
#include "Transport.h"
#include "Vxi11.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace visasim::lan {

struct ServerSetup {
    uint32_t listen = 0x7F000001;
    std::vector<Network> allow;
    int maxLinks = 32;
    bool ownPortmapper = false; // answer the portmapper on the listen address's port 111
    bool discoverable = false;  // ... and its GETPORT on UDP as well
};

class Vxi11Server {
public:
    // The largest device_write a link takes (create_link's maxRecvSize); a record longer than this
    // plus its headers ends the connection.
    static constexpr uint32_t kMaxRecvSize = 1 << 20;
    // A peer silent this long in the middle of a record, or taking no byte of a reply, is dropped.
    static constexpr std::chrono::milliseconds kStallLimit{10000};

    Vxi11Server(Devices& devices, ServerSetup setup, const StopSignal& stop);
    ~Vxi11Server();
    Vxi11Server(const Vxi11Server&) = delete;
    Vxi11Server& operator=(const Vxi11Server&) = delete;

    // Binds the core and abort channels to free ports of the listen address and, for the own
    // portmapper, its port 111; on failure *problem says what could not be bound, and *portmapper whether
    // that was port 111.
    bool Bind(std::string* problem, bool* portmapper);
    uint16_t CorePort() const { return m_corePort; }
    uint16_t AbortPort() const { return m_abortPort; }

    // Serves until the stop signal is raised, then ends every connection and destroys every link.
    void Run();

    // What a handler made of a call.
    enum class Outcome { Reply, Answered, ProcUnavail, GarbageArgs };

private:
    enum class Service { Core, Abort, Portmap };
    struct Listener {
        Fd fd;
        Service service;
        std::atomic<int> connections{0};
    };
    struct Connection;
    struct Link;
    struct Worker {
        std::thread thread;
        std::atomic<bool> done{false};
    };

    bool Allowed(uint32_t peer) const;
    void Accept(Listener& listener);
    void AnswerUdp();
    void ReapWorkers(bool all);

    void ServeConnection(Listener& listener, Fd fd);
    void ServeCore(const std::shared_ptr<Connection>& connection);
    Outcome CoreCall(const std::shared_ptr<Connection>& connection, const CallHeader& header,
                     const CoreArguments& arguments, XdrWriter& reply);
    Outcome LinkCall(Link& link, const CallHeader& header, const CoreArguments& arguments, XdrWriter& reply);
    Outcome AbortCall(const CallHeader& header, XdrReader& arguments, XdrWriter& reply);
    Outcome PortmapCall(const CallHeader& header, XdrReader& arguments, XdrWriter& reply) const;

    int32_t CreateLink(const std::shared_ptr<Connection>& connection, const CreateLinkParms& parms,
                       CreateLinkResp* resp);
    void DestroyLink(const std::shared_ptr<Link>& link);
    std::shared_ptr<Link> FindLink(int32_t lid);

    Devices& m_devices;
    ServerSetup m_setup;
    const StopSignal& m_stop;
    std::list<Listener> m_listeners;
    Fd m_udp;
    uint16_t m_corePort = 0;
    uint16_t m_abortPort = 0;
    std::list<Worker> m_workers;

    std::mutex m_linksMutex;
    std::map<int32_t, std::shared_ptr<Link>> m_links;
    int32_t m_nextLid = 1;
};

} // namespace visasim::lan
