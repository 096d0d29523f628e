#include "Devices.h"

#include "Transport.h"

#include <algorithm>
#include <strings.h>
#include <thread>

namespace visasim::lan {

namespace {

using namespace vxi11;
using std::chrono::milliseconds;

// How often a waiting read looks for its reply, and a lock wait for an abort.
constexpr milliseconds kPollSlice{5};
constexpr ViUInt16 kMessageAvailable = 0x10;

int32_t ErrorOf(ViStatus status) {
    if (status == VI_ERROR_TMO) {
        return kIoTimeout;
    }
    return status < VI_SUCCESS ? kIoError : kNoError;
}

Deadline DeadlineOf(uint32_t timeoutMs) {
    return timeoutMs == VI_TMO_INFINITE ? kNoDeadline : After(milliseconds(timeoutMs));
}

} // namespace

std::vector<std::vector<std::string>> DeviceNames(const Bench& bench) {
    std::vector<std::vector<std::string>> names;
    int instrument = 0;
    for (const ResourceSpec& resource : bench.resources) {
        const ResourceAddress& address = resource.address;
        std::string name;
        if (address.type == InterfaceType::Gpib) {
            name = "gpib" + std::to_string(address.board) + "," + std::to_string(address.primary);
            if (address.secondary >= 0) {
                name += "," + std::to_string(address.secondary);
            }
        } else {
            name = "inst" + std::to_string(instrument++);
        }
        names.push_back({name});
        if (!resource.lanName.empty()) {
            names.back().push_back(resource.lanName);
        }
    }
    return names;
}

Devices::Devices(const Bench& bench)
    : m_bench(bench), m_names(DeviceNames(bench)), m_holders(bench.resources.size(), 0) {}

Devices::~Devices() {
    if (m_rm != VI_NULL) {
        viClose(m_rm);
    }
}

bool Devices::Open(std::string* problem) {
    ViStatus status = viOpenDefaultRM(&m_rm);
    if (status < VI_SUCCESS) {
        *problem = "the simulated VISA library refused to open (status " + std::to_string(status) + ")";
        m_rm = VI_NULL;
        return false;
    }
    return true;
}

std::optional<size_t> Devices::Find(const std::string& name) const {
    for (size_t device = 0; device < m_names.size(); ++device) {
        for (const std::string& own : m_names[device]) {
            if (strcasecmp(own.c_str(), name.c_str()) == 0 && own.size() == name.size()) {
                return device;
            }
        }
    }
    return std::nullopt;
}

int32_t Devices::OpenSession(size_t device, Session* session) {
    session->device = device;
    ViStatus status = viOpen(m_rm, ResourceName(device).c_str(), VI_NULL, VI_NULL, &session->vi);
    return status < VI_SUCCESS ? kDeviceNotAccessible : kNoError;
}

void Devices::CloseSession(Session* session) {
    if (session->vi != VI_NULL) {
        viClose(session->vi);
        session->vi = VI_NULL;
    }
}

int32_t Devices::WaitFree(std::unique_lock<std::mutex>& lock, size_t device, int32_t lid, uint32_t waitMs,
                          const Interrupted& interrupted) {
    Deadline deadline = DeadlineOf(waitMs);
    while (m_holders[device] != 0 && m_holders[device] != lid) {
        if (interrupted()) {
            return kAbort;
        }
        if (Clock::now() >= deadline) {
            return kLockedByAnotherLink;
        }
        m_released.wait_until(lock, std::min(deadline, After(kPollSlice)));
    }
    return kNoError;
}

int32_t Devices::Lock(Session& session, int32_t lid, uint32_t waitMs, const Interrupted& interrupted) {
    std::unique_lock lock(m_lockMutex);
    if (int32_t error = WaitFree(lock, session.device, lid, waitMs, interrupted)) {
        return error;
    }
    // The library is asked too, so that its own locks, where it keeps any, hold for this link as well.
    if (viLock(session.vi, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL) < VI_SUCCESS) {
        return kLockedByAnotherLink;
    }
    m_holders[session.device] = lid;
    return kNoError;
}

int32_t Devices::Unlock(Session& session, int32_t lid) {
    std::lock_guard lock(m_lockMutex);
    if (m_holders[session.device] != lid) {
        return kNoLockHeld;
    }
    viUnlock(session.vi);
    m_holders[session.device] = 0;
    m_released.notify_all();
    return kNoError;
}

int32_t Devices::Access(size_t device, int32_t lid, int32_t flags, uint32_t lockTimeout,
                        const Interrupted& interrupted) {
    std::unique_lock lock(m_lockMutex);
    return WaitFree(lock, device, lid, (flags & kWaitLock) ? lockTimeout : 0, interrupted);
}

void Devices::SetTimeout(Session& session, ViUInt32 timeout) {
    if (session.timeout != timeout) {
        viSetAttribute(session.vi, VI_ATTR_TMO_VALUE, timeout);
        session.timeout = timeout;
    }
}

DeviceWriteResp Devices::Write(Session& session, const DeviceWriteParms& parms) {
    SetTimeout(session, parms.ioTimeout);
    bool end = (parms.flags & kEnd) != 0;
    if (session.sendEnd != end) {
        viSetAttribute(session.vi, VI_ATTR_SEND_END_EN, end ? VI_TRUE : VI_FALSE);
        session.sendEnd = end;
    }
    ViUInt32 written = 0;
    ViStatus status = viWrite(session.vi, reinterpret_cast<ViConstBuf>(parms.data.data()),
                              static_cast<ViUInt32>(parms.data.size()), &written);
    return DeviceWriteResp{ErrorOf(status), written};
}

DeviceReadResp Devices::Read(Session& session, const DeviceReadParms& parms, const Interrupted& interrupted) {
    DeviceReadResp resp;
    if (parms.requestSize == 0) {
        resp.reason = kReasonRequestCount;
        return resp;
    }
    // The status byte's message-available bit says whether a reply waits, without what a read of
    // nothing does to the instrument (it notes an unterminated query): the read is made once a reply
    // is there, or once at the time-out to give the instrument's own answer to it.
    Deadline deadline = DeadlineOf(parms.ioTimeout);
    while (true) {
        ViUInt16 stb = 0;
        if (viReadSTB(session.vi, &stb) < VI_SUCCESS) {
            resp.error = kIoError;
            return resp;
        }
        if (stb & kMessageAvailable) {
            break;
        }
        if (interrupted()) {
            resp.error = kAbort;
            return resp;
        }
        Clock::time_point now = Clock::now();
        if (now >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(kPollSlice, deadline - now));
    }
    int termChar = (parms.flags & kTermCharSet) ? (parms.termChar & 0xFF) : -1;
    if (session.termChar != termChar) {
        viSetAttribute(session.vi, VI_ATTR_TERMCHAR_EN, termChar >= 0 ? VI_TRUE : VI_FALSE);
        if (termChar >= 0) {
            viSetAttribute(session.vi, VI_ATTR_TERMCHAR, static_cast<ViAttrState>(termChar));
        }
        session.termChar = termChar;
    }
    uint32_t count = std::min(parms.requestSize, kMaxReadSize);
    if (session.readBufferSize < count) {
        session.readBuffer = std::make_unique_for_overwrite<char[]>(count);
        session.readBufferSize = count;
    }
    ViUInt32 got = 0;
    ViStatus status = viRead(session.vi, reinterpret_cast<ViBuf>(session.readBuffer.get()), count, &got);
    resp.data.assign(session.readBuffer.get(), got);
    resp.error = ErrorOf(status);
    if (resp.error != kNoError) {
        return resp;
    }
    if (status == VI_SUCCESS) {
        resp.reason = kReasonEnd;
    } else if (status == VI_SUCCESS_TERM_CHAR) {
        ViUInt16 stb = 0;
        viReadSTB(session.vi, &stb);
        resp.reason = kReasonChar | ((stb & kMessageAvailable) ? 0 : kReasonEnd);
    }
    if (got == parms.requestSize) {
        resp.reason |= kReasonRequestCount;
    }
    return resp;
}

DeviceReadStbResp Devices::ReadStb(Session& session) {
    ViUInt16 stb = 0;
    ViStatus status = viReadSTB(session.vi, &stb);
    return DeviceReadStbResp{ErrorOf(status), static_cast<uint32_t>(stb & 0xFF)};
}

int32_t Devices::Trigger(Session& session, uint32_t ioTimeout) {
    SetTimeout(session, ioTimeout);
    return ErrorOf(viAssertTrigger(session.vi, VI_TRIG_PROT_DEFAULT));
}

int32_t Devices::Clear(Session& session) {
    return ErrorOf(viClear(session.vi));
}

} // namespace visasim::lan
