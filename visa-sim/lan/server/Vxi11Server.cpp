#include "Vxi11Server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>

namespace visasim::lan {

namespace {

using namespace vxi11;

// Room for the call header (credentials up to their bound) and device_write's other arguments.
constexpr size_t kHeaderRoom = 4096;
// Abort and portmapper calls are a few words.
constexpr size_t kSmallRecord = 2048;
// Connections each service takes beyond --max-links, so that a client over the limit of links is told
// so by create_link (out of resources) rather than dropped.
constexpr int kSpareConnections = 8;

void Log(const std::string& line) {
    std::fprintf(stderr, "visa-sim-vxi11d: %s\n", line.c_str());
}

std::string PeerText(int fd) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
        return "a peer";
    }
    return Ipv4Text(ntohl(peer.sin_addr.s_addr)) + ":" + std::to_string(ntohs(peer.sin_port));
}

// A procedure's results when it failed with `error`: the error, then the rest of its result structure
// empty.
void EncodeError(XdrWriter& writer, uint32_t procedure, int32_t error) {
    writer.Int(error);
    switch (procedure) {
    case kCreateLink:
        writer.Int(0);
        writer.Word(0);
        writer.Word(0);
        break;
    case kDeviceWrite:
    case kDeviceReadStb:
        writer.Word(0);
        break;
    case kDeviceRead:
        writer.Int(0);
        writer.Bytes({});
        break;
    case kDeviceDocmd:
        writer.Bytes({});
        break;
    default:
        break;
    }
}

int32_t LidOf(const CoreArguments& arguments) {
    return std::visit(
        [](const auto& value) -> int32_t {
            if constexpr (requires { value.lid; }) {
                return value.lid;
            } else {
                return 0;
            }
        },
        arguments);
}

// Serves the calls of one program on a connection until it ends or sends what is no RPC call.
// `handle(header, arguments, reply)` adds the results to the reply, whose accepted header is in place.
template <typename Handle, typename Send>
std::string ServeCalls(RecordStream& stream, uint32_t program, uint32_t version, Handle handle, Send send) {
    std::vector<uint8_t> record;
    while (true) {
        switch (stream.Receive(&record, kNoDeadline, Vxi11Server::kStallLimit)) {
        case RecordStream::Received::Record:
            break;
        case RecordStream::Received::TooLarge:
            return "a record over the size limit";
        case RecordStream::Received::Stalled:
            return "silent for 10 s in the middle of a record";
        default:
            return {};
        }
        XdrReader reader(record);
        CallHeader header;
        CallCheck check = ReadCallHeader(reader, &header);
        if (check == CallCheck::NotACall) {
            return "bytes that are no RPC call";
        }
        XdrWriter reply;
        if (check != CallCheck::Call) {
            WriteDeniedReply(reply, header.xid, check);
        } else if (header.program != program) {
            WriteAcceptedReply(reply, header.xid, AcceptStat::ProgUnavail);
        } else if (header.version != version) {
            WriteAcceptedReply(reply, header.xid, AcceptStat::ProgMismatch, version, version);
        } else {
            WriteAcceptedReply(reply, header.xid, AcceptStat::Success);
            auto outcome =
                header.procedure == kNullProcedure
                    ? (reader.Done() ? Vxi11Server::Outcome::Reply : Vxi11Server::Outcome::GarbageArgs)
                    : handle(header, reader, reply);
            if (outcome == Vxi11Server::Outcome::Answered) {
                continue;
            }
            if (outcome != Vxi11Server::Outcome::Reply) {
                reply = XdrWriter();
                WriteAcceptedReply(reply, header.xid,
                                   outcome == Vxi11Server::Outcome::ProcUnavail ? AcceptStat::ProcUnavail
                                                                                : AcceptStat::GarbageArgs);
            }
        }
        if (!send(reply.Data())) {
            return "the reply could not be sent (a peer taking nothing for 10 s, or gone)";
        }
    }
}

} // namespace

struct Vxi11Server::Connection {
    Connection(Fd fd, const StopSignal* stop) : stream(std::move(fd), kMaxRecvSize + kHeaderRoom, stop) {}
    bool Send(const std::vector<uint8_t>& message) {
        std::lock_guard lock(sendMutex);
        return stream.Send(message, kNoDeadline, kStallLimit);
    }

    RecordStream stream;
    std::mutex sendMutex; // the link's thread and an abort both answer on it
    // Only the connection's own thread uses these.
    std::optional<DeviceRemoteFunc> interruptChannel;
    std::vector<int32_t> lids;
};

struct Vxi11Server::Link {
    int32_t lid = 0;
    Devices::Session session;
    std::shared_ptr<Connection> connection;
    bool srqEnabled = false;
    std::string srqHandle;
    // The call in progress. Whoever answers it first (the link's thread, or an abort) says so here, so
    // that it is answered once.
    std::mutex callMutex;
    bool inCall = false;
    bool answered = false;
    CallHeader call;
    std::atomic<bool> aborted{false};
};

Vxi11Server::Vxi11Server(Devices& devices, ServerSetup setup, const StopSignal& stop)
    : m_devices(devices), m_setup(std::move(setup)), m_stop(stop) {}

Vxi11Server::~Vxi11Server() {
    ReapWorkers(true);
}

bool Vxi11Server::Bind(std::string* problem, bool* portmapper) {
    *portmapper = false;
    auto add = [&](uint16_t port, Service service) -> bool {
        std::string error;
        Fd fd = ListenTcp(m_setup.listen, port, &error);
        if (!fd) {
            *problem = "cannot listen on " + Ipv4Text(m_setup.listen) + ":" + std::to_string(port) + " (" +
                       error + ")";
            return false;
        }
        m_listeners.emplace_back();
        m_listeners.back().fd = std::move(fd);
        m_listeners.back().service = service;
        return true;
    };
    if (!add(0, Service::Core) || !add(0, Service::Abort)) {
        return false;
    }
    m_corePort = LocalPort(m_listeners.front().fd.Get());
    m_abortPort = LocalPort(m_listeners.back().fd.Get());
    if (!m_setup.ownPortmapper) {
        return true;
    }
    *portmapper = true;
    if (!add(portmap::kPort, Service::Portmap)) {
        return false;
    }
    if (m_setup.discoverable) {
        // Broadcasts reach only a socket bound to no address: one kept to the listen address's interface.
        bool wildcard = m_setup.listen != 0 && !IsLoopback(m_setup.listen);
        std::string error;
        m_udp = BindUdp(wildcard ? 0 : m_setup.listen, portmap::kPort,
                        wildcard ? InterfaceOf(m_setup.listen) : "", &error);
        if (!m_udp) {
            *problem =
                "cannot answer the portmapper on UDP " + Ipv4Text(m_setup.listen) + ":111 (" + error + ")";
            return false;
        }
    }
    *portmapper = false;
    return true;
}

bool Vxi11Server::Allowed(uint32_t peer) const {
    for (const Network& network : m_setup.allow) {
        if (network.Contains(peer)) {
            return true;
        }
    }
    return false;
}

void Vxi11Server::Run() {
    std::vector<pollfd> entries;
    for (Listener& listener : m_listeners) {
        entries.push_back({listener.fd.Get(), POLLIN, 0});
    }
    if (m_udp) {
        entries.push_back({m_udp.Get(), POLLIN, 0});
    }
    entries.push_back({m_stop.WaitFd(), POLLIN, 0});
    while (true) {
        if (poll(entries.data(), entries.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            Log(std::string("poll: ") + std::strerror(errno));
            break;
        }
        if (entries.back().revents != 0) {
            break;
        }
        size_t index = 0;
        for (Listener& listener : m_listeners) {
            if (entries[index++].revents != 0) {
                Accept(listener);
            }
        }
        if (m_udp && entries[index].revents != 0) {
            AnswerUdp();
        }
        ReapWorkers(false);
    }
    for (Listener& listener : m_listeners) {
        listener.fd.Reset();
    }
    m_udp.Reset();
    ReapWorkers(true);
}

void Vxi11Server::Accept(Listener& listener) {
    while (true) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        Fd fd(accept4(listener.fd.Get(), reinterpret_cast<sockaddr*>(&peer), &length,
                      SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return; // EAGAIN: none left; anything else: try again when poll says so
        }
        uint32_t address = ntohl(peer.sin_addr.s_addr);
        if (!Allowed(address)) {
            Log("refused " + Ipv4Text(address) + ": not in the allowed networks");
            continue;
        }
        if (listener.connections >= m_setup.maxLinks + kSpareConnections) {
            Log("refused " + Ipv4Text(address) + ": too many connections");
            continue;
        }
        int on = 1;
        setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ++listener.connections;
        Worker& worker = m_workers.emplace_back();
        try {
            worker.thread = std::thread([this, &listener, &worker, client = std::move(fd)]() mutable {
                ServeConnection(listener, std::move(client));
                --listener.connections;
                worker.done = true;
            });
        } catch (const std::system_error& error) {
            Log("refused " + Ipv4Text(address) + ": no thread for it (" + error.what() + ")");
            m_workers.pop_back();
            --listener.connections;
        }
    }
}

void Vxi11Server::ReapWorkers(bool all) {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (all || it->done) {
            it->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

void Vxi11Server::ServeConnection(Listener& listener, Fd fd) {
    std::string peer = PeerText(fd.Get());
    std::string dropped;
    auto report = [&] {
        if (!dropped.empty()) {
            Log("dropped " + peer + ": " + dropped);
        }
    };
    if (listener.service == Service::Core) {
        auto connection = std::make_shared<Connection>(std::move(fd), &m_stop);
        dropped = ServeCalls(
            connection->stream, kCoreProgram, kVersion,
            [&](const CallHeader& header, XdrReader& reader, XdrWriter& reply) {
                CoreArguments arguments;
                switch (DecodeCoreArguments(header.procedure, reader, &arguments)) {
                case ArgumentCheck::UnknownProcedure:
                    return Outcome::ProcUnavail;
                case ArgumentCheck::Garbage:
                    return Outcome::GarbageArgs;
                case ArgumentCheck::Ok:
                    break;
                }
                return CoreCall(connection, header, arguments, reply);
            },
            [&](const std::vector<uint8_t>& message) { return connection->Send(message); });
        report();
        for (int32_t lid : connection->lids) {
            if (auto link = FindLink(lid)) {
                DestroyLink(link);
            }
        }
        connection->stream.Shutdown(); // at once, though an abort may still hold the connection
    } else {
        RecordStream stream(std::move(fd), kSmallRecord, &m_stop);
        auto send = [&](const std::vector<uint8_t>& message) {
            return stream.Send(message, kNoDeadline, kStallLimit);
        };
        auto handle = [&](const CallHeader& header, XdrReader& reader, XdrWriter& reply) {
            return listener.service == Service::Abort ? AbortCall(header, reader, reply)
                                                      : PortmapCall(header, reader, reply);
        };
        dropped = listener.service == Service::Abort
                      ? ServeCalls(stream, kAbortProgram, kVersion, handle, send)
                      : ServeCalls(stream, portmap::kProgram, portmap::kVersion, handle, send);
        report();
    }
}

Vxi11Server::Outcome Vxi11Server::CoreCall(const std::shared_ptr<Connection>& connection,
                                           const CallHeader& header, const CoreArguments& arguments,
                                           XdrWriter& reply) {
    switch (header.procedure) {
    case kCreateLink: {
        CreateLinkResp resp;
        resp.error = CreateLink(connection, std::get<CreateLinkParms>(arguments), &resp);
        Encode(reply, resp);
        return Outcome::Reply;
    }
    case kCreateIntrChan:
        // Remembered for the service requests the interrupt channel is to carry.
        reply.Int(connection->interruptChannel ? kChannelAlreadyEstablished : kNoError);
        if (!connection->interruptChannel) {
            connection->interruptChannel = std::get<DeviceRemoteFunc>(arguments);
        }
        return Outcome::Reply;
    case kDestroyIntrChan:
        reply.Int(connection->interruptChannel ? kNoError : kChannelNotEstablished);
        connection->interruptChannel.reset();
        return Outcome::Reply;
    default:
        break;
    }
    std::shared_ptr<Link> link = FindLink(LidOf(arguments));
    if (!link || link->connection != connection) {
        EncodeError(reply, header.procedure, kInvalidLink);
        return Outcome::Reply;
    }
    if (header.procedure == kDestroyLink) {
        DestroyLink(link);
        std::erase(connection->lids, link->lid);
        reply.Int(kNoError);
        return Outcome::Reply;
    }
    {
        std::lock_guard lock(link->callMutex);
        link->inCall = true;
        link->answered = false;
        link->aborted = false;
        link->call = header;
    }
    Outcome outcome = LinkCall(*link, header, arguments, reply);
    std::lock_guard lock(link->callMutex);
    link->inCall = false;
    return link->answered ? Outcome::Answered : outcome;
}

Vxi11Server::Outcome Vxi11Server::LinkCall(Link& link, const CallHeader& header,
                                           const CoreArguments& arguments, XdrWriter& reply) {
    Interrupted interrupted = [&] { return link.aborted.load() || m_stop.Raised(); };
    Devices::Session& session = link.session;
    auto access = [&](int32_t flags, uint32_t lockTimeout) {
        int32_t error = m_devices.Access(session.device, link.lid, flags, lockTimeout, interrupted);
        if (error != kNoError) {
            EncodeError(reply, header.procedure, error);
        }
        return error == kNoError;
    };
    switch (header.procedure) {
    case kDeviceWrite: {
        const auto& parms = std::get<DeviceWriteParms>(arguments);
        if (parms.data.size() > kMaxRecvSize) {
            EncodeError(reply, header.procedure, kParameterError);
        } else if (access(parms.flags, parms.lockTimeout)) {
            Encode(reply, m_devices.Write(session, parms));
        }
        return Outcome::Reply;
    }
    case kDeviceRead: {
        const auto& parms = std::get<DeviceReadParms>(arguments);
        if (access(parms.flags, parms.lockTimeout)) {
            Encode(reply, m_devices.Read(session, parms, interrupted));
        }
        return Outcome::Reply;
    }
    case kDeviceReadStb:
    case kDeviceTrigger:
    case kDeviceClear:
    case kDeviceRemote:
    case kDeviceLocal: {
        const auto& parms = std::get<DeviceGenericParms>(arguments);
        if (!access(parms.flags, parms.lockTimeout)) {
            return Outcome::Reply;
        }
        if (header.procedure == kDeviceReadStb) {
            Encode(reply, m_devices.ReadStb(session));
        } else if (header.procedure == kDeviceTrigger) {
            reply.Int(m_devices.Trigger(session, parms.ioTimeout));
        } else if (header.procedure == kDeviceClear) {
            reply.Int(m_devices.Clear(session));
        } else {
            reply.Int(kNoError); // the simulated instruments have no local front panel to lock out
        }
        return Outcome::Reply;
    }
    case kDeviceLock: {
        const auto& parms = std::get<DeviceLockParms>(arguments);
        uint32_t wait = (parms.flags & kWaitLock) ? parms.lockTimeout : 0;
        reply.Int(m_devices.Lock(session, link.lid, wait, interrupted));
        return Outcome::Reply;
    }
    case kDeviceUnlock:
        reply.Int(m_devices.Unlock(session, link.lid));
        return Outcome::Reply;
    case kDeviceEnableSrq: {
        const auto& parms = std::get<DeviceEnableSrqParms>(arguments);
        link.srqEnabled = parms.enable;
        link.srqHandle = parms.handle;
        reply.Int(kNoError);
        return Outcome::Reply;
    }
    case kDeviceDocmd:
        EncodeError(reply, header.procedure, kOperationNotSupported);
        return Outcome::Reply;
    default:
        return Outcome::ProcUnavail;
    }
}

int32_t Vxi11Server::CreateLink(const std::shared_ptr<Connection>& connection, const CreateLinkParms& parms,
                                CreateLinkResp* resp) {
    auto device = m_devices.Find(parms.device);
    if (!device) {
        return kDeviceNotAccessible;
    }
    auto link = std::make_shared<Link>();
    link->connection = connection;
    {
        std::lock_guard lock(m_linksMutex);
        if (m_links.size() >= static_cast<size_t>(m_setup.maxLinks)) {
            return kOutOfResources;
        }
        while (m_links.count(m_nextLid) || m_nextLid <= 0) {
            m_nextLid = m_nextLid <= 0 ? 1 : m_nextLid + 1;
        }
        link->lid = m_nextLid++;
        m_links.emplace(link->lid, link);
    }
    int32_t error = m_devices.OpenSession(*device, &link->session);
    if (error == kNoError && parms.lockDevice) {
        error = m_devices.Lock(link->session, link->lid, parms.lockTimeout, [&] { return m_stop.Raised(); });
    }
    if (error != kNoError) {
        DestroyLink(link);
        return error;
    }
    connection->lids.push_back(link->lid);
    resp->lid = link->lid;
    resp->abortPort = m_abortPort;
    resp->maxRecvSize = kMaxRecvSize;
    return kNoError;
}

void Vxi11Server::DestroyLink(const std::shared_ptr<Link>& link) {
    if (link->session.vi != VI_NULL) {
        m_devices.Unlock(link->session, link->lid);
        m_devices.CloseSession(&link->session);
    }
    std::lock_guard lock(m_linksMutex);
    m_links.erase(link->lid);
}

std::shared_ptr<Vxi11Server::Link> Vxi11Server::FindLink(int32_t lid) {
    std::lock_guard lock(m_linksMutex);
    auto it = m_links.find(lid);
    return it == m_links.end() ? nullptr : it->second;
}

Vxi11Server::Outcome Vxi11Server::AbortCall(const CallHeader& header, XdrReader& arguments,
                                            XdrWriter& reply) {
    DeviceLink parms;
    if (header.procedure != kDeviceAbort) {
        return Outcome::ProcUnavail;
    }
    if (!Decode(arguments, &parms)) {
        return Outcome::GarbageArgs;
    }
    std::shared_ptr<Link> link = FindLink(parms.lid);
    if (!link) {
        reply.Int(kInvalidLink);
        return Outcome::Reply;
    }
    std::optional<CallHeader> call;
    {
        std::lock_guard lock(link->callMutex);
        if (link->inCall && !link->answered) {
            link->answered = true;
            link->aborted = true;
            call = link->call;
        }
    }
    if (call) {
        // The aborted call is answered here and now: its thread may be inside the library for a while
        // yet (a slow instrument), and drops its own reply when it comes back.
        XdrWriter aborted;
        WriteAcceptedReply(aborted, call->xid, AcceptStat::Success);
        EncodeError(aborted, call->procedure, kAbort);
        link->connection->Send(aborted.Data());
    }
    reply.Int(kNoError);
    return Outcome::Reply;
}

Vxi11Server::Outcome Vxi11Server::PortmapCall(const CallHeader& header, XdrReader& arguments,
                                              XdrWriter& reply) const {
    std::vector<Mapping> mappings = {{portmap::kProgram, portmap::kVersion, portmap::kTcp, portmap::kPort},
                                     {kCoreProgram, kVersion, portmap::kTcp, m_corePort}};
    if (m_udp) {
        mappings.push_back({portmap::kProgram, portmap::kVersion, portmap::kUdp, portmap::kPort});
    }
    if (header.procedure == portmap::kGetPort) {
        Mapping wanted;
        if (!Decode(arguments, &wanted)) {
            return Outcome::GarbageArgs;
        }
        uint32_t port = 0;
        for (const Mapping& mapping : mappings) {
            if (mapping.program == wanted.program && mapping.version == wanted.version &&
                mapping.protocol == wanted.protocol) {
                port = mapping.port;
            }
        }
        reply.Word(port);
        return Outcome::Reply;
    }
    if (header.procedure == portmap::kDump) {
        if (!arguments.Done()) {
            return Outcome::GarbageArgs;
        }
        for (const Mapping& mapping : mappings) {
            reply.Bool(true);
            Encode(reply, mapping);
        }
        reply.Bool(false);
        return Outcome::Reply;
    }
    return Outcome::ProcUnavail; // no SET, UNSET or CALLIT: nobody registers here
}

void Vxi11Server::AnswerUdp() {
    uint8_t datagram[kSmallRecord];
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    ssize_t size = recvfrom(m_udp.Get(), datagram, sizeof datagram, MSG_DONTWAIT,
                            reinterpret_cast<sockaddr*>(&peer), &length);
    if (size <= 0 || !Allowed(ntohl(peer.sin_addr.s_addr))) {
        return;
    }
    // GETPORT only, and only to a well-formed call: nothing else is answered on UDP, so that a forged
    // or broadcast datagram gets no reply it did not ask for.
    XdrReader reader(datagram, static_cast<size_t>(size));
    CallHeader header;
    if (ReadCallHeader(reader, &header) != CallCheck::Call || header.program != portmap::kProgram ||
        header.version != portmap::kVersion || header.procedure != portmap::kGetPort) {
        return;
    }
    XdrWriter reply;
    WriteAcceptedReply(reply, header.xid, AcceptStat::Success);
    if (PortmapCall(header, reader, reply) == Outcome::Reply) {
        sendto(m_udp.Get(), reply.Data().data(), reply.Size(), MSG_DONTWAIT,
               reinterpret_cast<sockaddr*>(&peer), length);
    }
}

} // namespace visasim::lan
