// A session's calls on the network go one at a time over its core channel (a VXI-11 link on a TCP
// connection of its own). Every wait has a deadline: a call asks the device to give up at the session's
// time-out (io_timeout), sends device_abort on the abort channel when no reply has come half a second
// later, and when even that brings no reply by one second past its time-out closes the link (the
// session then answers VI_ERROR_CONN_LOST). Closing the session wakes a call still waiting at once.
#include "NetworkSession.h"

#include "Transport.h"
#include "Vxi11.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>

namespace visasim {
namespace {

using namespace lan;
using namespace std::chrono_literals;

constexpr auto kAbortAfter = 500ms; // past a call's time-out, device_abort is sent
constexpr auto kGiveUpAfter = 1s;   // past a call's time-out, the link is closed
constexpr size_t kReplyBound = vxi11::kMaxData + 1024;
constexpr uint32_t kSmallestChunk = 1024; // for a device that gives no max_recv_size
constexpr uint32_t kLargestChunk = 1 << 20;

// A VXI-11 device error as a VISA status.
ViStatus FromDeviceError(int32_t error) {
    switch (error) {
    case vxi11::kNoError:
        return VI_SUCCESS;
    case vxi11::kDeviceNotAccessible:
        return VI_ERROR_RSRC_NFOUND;
    case vxi11::kLockedByAnotherLink:
        return VI_ERROR_RSRC_LOCKED;
    case vxi11::kNoLockHeld:
        return VI_ERROR_SESN_NLOCKED;
    case vxi11::kIoTimeout:
        return VI_ERROR_TMO;
    case vxi11::kAbort:
        return VI_ERROR_ABORT;
    default:
        return VI_ERROR_IO;
    }
}

// The time a call has: from its start, its time-out (none for VI_TMO_INFINITE).
class CallTime {
public:
    explicit CallTime(ViUInt32 timeoutMs)
        : m_infinite(timeoutMs == VI_TMO_INFINITE),
          m_end(Clock::now() + std::chrono::milliseconds(timeoutMs)) {}
    bool Infinite() const { return m_infinite; }
    Deadline End() const { return m_infinite ? kNoDeadline : m_end; }
    Deadline AbortAt() const { return m_infinite ? kNoDeadline : m_end + kAbortAfter; }
    Deadline GiveUpAt() const { return m_infinite ? kNoDeadline : m_end + kGiveUpAfter; }
    bool Over() const { return !m_infinite && Clock::now() >= m_end; }
    // What is left of the time-out, as io_timeout and lock_timeout give it to the device.
    uint32_t LeftMs() const {
        if (m_infinite) {
            return VI_TMO_INFINITE;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_end - Clock::now()).count();
        return static_cast<uint32_t>(std::max<long long>(left, 0));
    }

private:
    bool m_infinite;
    Deadline m_end;
};

class NetworkSession final : public Session {
public:
    NetworkSession(ViSession rm, ResourceAddress address) : Session(rm), m_address(std::move(address)) {}
    ~NetworkSession() override { Close(); }

    ViStatus Open(bool lock, ViUInt32 lockTimeout) {
        bool infinite = lock && lockTimeout == VI_TMO_INFINITE;
        Deadline deadline =
            infinite ? kNoDeadline
                     : After(std::chrono::milliseconds(uint64_t{kOpenTimeoutMs} + (lock ? lockTimeout : 0)));
        auto failed = [&](const std::string& why) {
            std::fprintf(stderr, "visa-sim: %s: %s\n", CanonicalName(m_address).c_str(), why.c_str());
            return Clock::now() >= deadline ? VI_ERROR_TMO : VI_ERROR_RSRC_NFOUND;
        };
        std::string error;
        auto ip = ResolveIpv4(m_address.host, deadline, &error);
        if (!ip) {
            return failed(error);
        }
        m_ip = *ip;
        Fd portmapperFd = ConnectTcp(m_ip, portmap::kPort, deadline, &m_stop, &error);
        if (!portmapperFd) {
            return failed("portmapper: " + error);
        }
        RpcClient portmapper(std::move(portmapperFd), 1024, &m_stop);
        PortNumber core;
        if (!portmapper.CallAs(portmap::kProgram, portmap::kVersion, portmap::kGetPort,
                               Mapping{vxi11::kCoreProgram, vxi11::kVersion, portmap::kTcp, 0}, &core,
                               deadline, &error)) {
            return failed("portmapper: " + error);
        }
        if (core.port == 0 || core.port > 0xFFFF) {
            return failed("no VXI-11 server there");
        }
        Fd coreFd = ConnectTcp(m_ip, static_cast<uint16_t>(core.port), deadline, &m_stop, &error);
        if (!coreFd) {
            return failed("core channel: " + error);
        }
        m_core = std::make_unique<RpcClient>(std::move(coreFd), kReplyBound, &m_stop);
        CreateLinkParms parms{static_cast<int32_t>(getpid()), lock, lock ? lockTimeout : 0, m_address.device};
        CreateLinkResp link;
        if (!m_core->CallAs(vxi11::kCoreProgram, vxi11::kVersion, vxi11::kCreateLink, parms, &link, deadline,
                            &error)) {
            m_core.reset();
            return failed("create_link: " + error);
        }
        if (link.error != vxi11::kNoError) {
            m_core.reset();
            return FromDeviceError(link.error);
        }
        m_lid = link.lid;
        m_abortPort = static_cast<uint16_t>(link.abortPort & 0xFFFF);
        m_chunk = link.maxRecvSize == 0 ? kSmallestChunk : std::min(link.maxRecvSize, kLargestChunk);
        m_locks = lock ? 1 : 0;
        return VI_SUCCESS;
    }

    ViStatus Write(ViConstBuf buf, ViUInt32 count, ViUInt32* written) override {
        if (!buf && count > 0) {
            return VI_ERROR_USER_BUF;
        }
        SessionSettings settings = Settings();
        CallTime time(settings.timeout);
        return OnLink(time, [&]() -> ViStatus {
            size_t sent = 0;
            do {
                size_t chunk = std::min<size_t>(count - sent, m_chunk);
                bool last = sent + chunk == count;
                DeviceWriteParms parms{m_lid, time.LeftMs(), 0, last && settings.sendEnd ? vxi11::kEnd : 0,
                                       std::string(reinterpret_cast<const char*>(buf) + sent, chunk)};
                DeviceWriteResp resp;
                ViStatus status = Call(vxi11::kDeviceWrite, parms, &resp, time);
                if (status != VI_SUCCESS) {
                    return status;
                }
                if (resp.error != vxi11::kNoError) {
                    return FromDeviceError(resp.error);
                }
                if (resp.size > chunk || (resp.size == 0 && chunk > 0)) {
                    return VI_ERROR_IO; // a device that takes nothing, or more than it was given
                }
                sent += resp.size;
                *written = static_cast<ViUInt32>(sent);
            } while (sent < count);
            return VI_SUCCESS;
        });
    }

    ViStatus Read(ViBuf buf, ViUInt32 count, ViUInt32* read) override {
        if (!buf && count > 0) {
            return VI_ERROR_USER_BUF;
        }
        SessionSettings settings = Settings();
        CallTime time(settings.timeout);
        return OnLink(time, [&]() -> ViStatus {
            size_t got = 0;
            while (true) {
                DeviceReadParms parms{m_lid,
                                      static_cast<uint32_t>(count - got),
                                      time.LeftMs(),
                                      0,
                                      settings.termCharEnabled ? vxi11::kTermCharSet : 0,
                                      settings.termChar};
                DeviceReadResp resp;
                ViStatus status = Call(vxi11::kDeviceRead, parms, &resp, time);
                if (status != VI_SUCCESS) {
                    return status;
                }
                size_t taken = std::min<size_t>(resp.data.size(), count - got);
                if (taken > 0) {
                    std::memcpy(buf + got, resp.data.data(), taken);
                }
                got += taken;
                *read = static_cast<ViUInt32>(got);
                if (resp.error != vxi11::kNoError) {
                    return FromDeviceError(resp.error);
                }
                if (taken < resp.data.size()) {
                    return VI_ERROR_IO; // a device that gives more than it was asked for
                }
                if (resp.reason & vxi11::kReasonEnd) {
                    return VI_SUCCESS;
                }
                if (resp.reason & vxi11::kReasonChar) {
                    return VI_SUCCESS_TERM_CHAR;
                }
                if (got == count || (resp.reason & vxi11::kReasonRequestCount)) {
                    return VI_SUCCESS_MAX_CNT;
                }
                if (time.Over()) {
                    return VI_ERROR_TMO; // a device that gives pieces without saying why they end
                }
            }
        });
    }

    ViStatus ReadStatusByte(ViUInt16* status) override {
        if (!status) {
            return VI_ERROR_USER_BUF;
        }
        CallTime time(Settings().timeout);
        return OnLink(time, [&]() -> ViStatus {
            DeviceReadStbResp resp;
            ViStatus result = Call(vxi11::kDeviceReadStb, Generic(time), &resp, time);
            if (result == VI_SUCCESS && (result = FromDeviceError(resp.error)) == VI_SUCCESS) {
                *status = static_cast<ViUInt16>(resp.stb & 0xFF);
            }
            return result;
        });
    }

    ViStatus Clear() override { return Simple(vxi11::kDeviceClear); }
    ViStatus AssertTrigger() override { return Simple(vxi11::kDeviceTrigger); }

    // Locks nest, as VISA's do: only the first takes the device's lock and only the last release gives it
    // back.
    ViStatus Lock(ViAccessMode type, ViUInt32 timeout, ViConstKeyId, ViChar accessKey[]) override {
        if (type != VI_EXCLUSIVE_LOCK) {
            return VI_ERROR_INV_LOCK_TYPE; // a VXI-11 device has one kind of lock
        }
        CallTime time(timeout);
        return OnLink(time, [&]() -> ViStatus {
            if (accessKey) {
                accessKey[0] = '\0';
            }
            if (m_locks > 0) {
                ++m_locks;
                return VI_SUCCESS_NESTED_EXCLUSIVE;
            }
            DeviceError resp;
            ViStatus status = Call(vxi11::kDeviceLock,
                                   DeviceLockParms{m_lid, vxi11::kWaitLock, time.LeftMs()}, &resp, time);
            if (status == VI_SUCCESS && (status = FromDeviceError(resp.error)) == VI_SUCCESS) {
                m_locks = 1;
            }
            return status;
        });
    }

    ViStatus Unlock() override {
        CallTime time(Settings().timeout);
        return OnLink(time, [&]() -> ViStatus {
            if (m_locks == 0) {
                return VI_ERROR_SESN_NLOCKED;
            }
            if (m_locks > 1) {
                --m_locks;
                return VI_SUCCESS_NESTED_EXCLUSIVE;
            }
            DeviceError resp;
            ViStatus status = Call(vxi11::kDeviceUnlock, DeviceLink{m_lid}, &resp, time);
            if (status == VI_SUCCESS && (status = FromDeviceError(resp.error)) == VI_SUCCESS) {
                m_locks = 0;
            }
            return status;
        });
    }

protected:
    ViStatus ResourceAttribute(ViAttr attribute, void* value) const override {
        switch (attribute) {
        case VI_ATTR_INTF_TYPE:
            return Put<ViUInt16>(value, VI_INTF_TCPIP);
        case VI_ATTR_INTF_NUM:
            return Put<ViUInt16>(value, m_address.board);
        case VI_ATTR_RSRC_NAME:
            return PutText(value, CanonicalName(m_address));
        case VI_ATTR_RSRC_CLASS:
            return PutText(value, "INSTR");
        case VI_ATTR_TCPIP_ADDR:
            return PutText(value, Ipv4Text(m_ip));
        case VI_ATTR_TCPIP_HOSTNAME:
            return PutText(value, m_address.host);
        case VI_ATTR_TCPIP_DEVICE_NAME:
            return PutText(value, m_address.device);
        case VI_ATTR_RSRC_LOCK_STATE:
            return Put<ViAccessMode>(value, m_locks > 0 ? VI_EXCLUSIVE_LOCK : VI_NO_LOCK);
        default:
            return LibraryAttribute(attribute, value);
        }
    }

    // Destroys the link; a call still waiting on it is woken first and ends.
    void Closed() override {
        std::unique_lock lock(m_callMutex, std::try_to_lock);
        if (!lock) {
            m_stop.Raise();
            lock.lock();
        }
        if (m_core) {
            ViUInt32 timeout = std::min(Settings().timeout, kOpenTimeoutMs);
            CallTime time(timeout);
            DeviceError resp;
            Call(vxi11::kDestroyLink, DeviceLink{m_lid}, &resp, time);
            m_core.reset();
        }
    }

private:
    // Runs `work` with the core channel to itself, taken within the call's time-out.
    template <typename Work>
    ViStatus OnLink(const CallTime& time, Work work) {
        std::unique_lock lock(m_callMutex, std::defer_lock);
        if (time.Infinite()) {
            lock.lock();
        } else if (!lock.try_lock_until(time.End())) {
            return VI_ERROR_TMO;
        }
        if (IsClosed()) {
            return VI_ERROR_INV_OBJECT;
        }
        if (!m_core) {
            return VI_ERROR_CONN_LOST;
        }
        return work();
    }

    DeviceGenericParms Generic(const CallTime& time) const { return {m_lid, 0, 0, time.LeftMs()}; }

    ViStatus Simple(uint32_t procedure) {
        CallTime time(Settings().timeout);
        return OnLink(time, [&]() -> ViStatus {
            DeviceError resp;
            ViStatus status = Call(procedure, Generic(time), &resp, time);
            return status == VI_SUCCESS ? FromDeviceError(resp.error) : status;
        });
    }

    // One call on the core channel, under m_callMutex. VI_SUCCESS with the results in *resp, whose error
    // the caller maps; VI_ERROR_TMO when the link was closed for want of a reply, VI_ERROR_CONN_LOST when
    // the connection ended, VI_ERROR_IO for a reply that is none.
    template <typename Parms, typename Resp>
    ViStatus Call(uint32_t procedure, const Parms& parms, Resp* resp, const CallTime& time) {
        XdrWriter writer;
        Encode(writer, parms);
        std::string error;
        std::optional<RpcClient::Reply> reply;
        bool aborted = false;
        if (auto xid = m_core->Send(vxi11::kCoreProgram, vxi11::kVersion, procedure, writer.Data(),
                                    time.GiveUpAt(), &error)) {
            reply = m_core->Receive(*xid, time.AbortAt(), &error);
            if (!reply && m_core->LastFailure() == RpcClient::Failure::TimedOut) {
                aborted = Abort(time.GiveUpAt());
                reply = m_core->Receive(*xid, time.GiveUpAt(), &error);
            }
        }
        if (!reply) {
            RpcClient::Failure failure = m_core->LastFailure();
            m_core.reset();
            std::fprintf(stderr, "visa-sim: %s: link closed: %s\n", CanonicalName(m_address).c_str(),
                         error.c_str());
            return failure == RpcClient::Failure::TimedOut  ? VI_ERROR_TMO
                   : failure == RpcClient::Failure::Stopped ? VI_ERROR_INV_OBJECT
                                                            : VI_ERROR_CONN_LOST;
        }
        XdrReader reader = reply->Results();
        if (reply->status != ReplyStatus::Success || !Decode(reader, resp)) {
            return VI_ERROR_IO;
        }
        if (aborted && resp->error == vxi11::kAbort) {
            resp->error = vxi11::kIoTimeout; // ended by this call's own abort: it timed out
        }
        return VI_SUCCESS;
    }

    // Sends device_abort for the link on the abort channel; true when it was answered.
    bool Abort(Deadline deadline) {
        std::string error;
        Fd fd = ConnectTcp(m_ip, m_abortPort, deadline, &m_stop, &error);
        if (!fd) {
            return false;
        }
        RpcClient abort(std::move(fd), 1024, &m_stop);
        DeviceError resp;
        return abort.CallAs(vxi11::kAbortProgram, vxi11::kVersion, vxi11::kDeviceAbort, DeviceLink{m_lid},
                            &resp, deadline, &error);
    }

    const ResourceAddress m_address;
    uint32_t m_ip = 0;
    StopSignal m_stop; // raised when the session is closed
    int32_t m_lid = 0;
    uint16_t m_abortPort = 0;
    uint32_t m_chunk = kSmallestChunk; // the most a device_write carries (the device's max_recv_size)
    std::timed_mutex m_callMutex;      // one call at a time on the core channel; guards what follows
    std::unique_ptr<RpcClient> m_core; // none once the link is closed
    std::atomic<unsigned> m_locks{0};  // exclusive locks held, nested
};

} // namespace

ViStatus OpenNetworkSession(ViSession rm, const ResourceAddress& address, ViAccessMode mode,
                            ViUInt32 openTimeout, std::shared_ptr<Session>* session) {
    if (mode & VI_SHARED_LOCK) {
        return VI_ERROR_INV_LOCK_TYPE;
    }
    auto opened = std::make_shared<NetworkSession>(rm, address);
    ViStatus status = opened->Open(mode & VI_EXCLUSIVE_LOCK, openTimeout);
    if (status == VI_SUCCESS) {
        *session = std::move(opened);
    }
    return status;
}

} // namespace visasim
