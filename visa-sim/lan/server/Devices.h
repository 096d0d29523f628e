// The bench's instruments as VXI-11 devices. Each link gets a VISA session of its own, opened through
// the simulated library's public VISA functions in this process, so the instruments, their state files
// and the file locks are the library's own and a panel on this machine sees what a network client does.
// This class adds what VXI-11 has and VISA does not do here: device names, one exclusive lock per
// device among the links, and reads that wait for a reply within the call's time-out.
#pragma once

#include "Bench.h"
#include "Vxi11.h"

#include "visa.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace visasim::lan {

// The VXI-11 names of the bench's resources, in bench order: "inst0", "inst1", ... for the VXI and
// GPIB-VXI resources, "gpib0,9" or "gpib0,9,3" for GPIB ones, and each resource's lan_name besides.
std::vector<std::vector<std::string>> DeviceNames(const Bench& bench);

// Asked again and again while a call waits: true when the call is to end now (aborted, or the server
// is stopping).
using Interrupted = std::function<bool()>;

class Devices {
public:
    // The bench as the server read it; the library reads the same file (VISA_SIM_BENCH).
    explicit Devices(const Bench& bench);
    ~Devices();
    Devices(const Devices&) = delete;
    Devices& operator=(const Devices&) = delete;

    // Opens the library's resource manager; on failure *problem says why.
    bool Open(std::string* problem);

    std::optional<size_t> Find(const std::string& name) const;
    const std::string& ResourceName(size_t device) const { return m_bench.resources[device].name; }

    // A link's session and the attributes last set on it.
    struct Session {
        ViSession vi = VI_NULL;
        size_t device = 0;
        std::optional<ViUInt32> timeout;
        std::optional<bool> sendEnd;
        std::optional<int> termChar; // -1: no term char
        // What reads are made into, kept between them: grown as asked, never cleared (a read of a few
        // bytes that asks for megabytes touches a few bytes of it).
        std::unique_ptr<char[]> readBuffer;
        size_t readBufferSize = 0;
    };
    int32_t OpenSession(size_t device, Session* session);
    void CloseSession(Session* session);

    // The device lock. Lock waits for it at most waitMs; Access waits (with the waitlock flag, at most
    // lockTimeout) until no other link holds it, as every operation on the device must.
    int32_t Lock(Session& session, int32_t lid, uint32_t waitMs, const Interrupted& interrupted);
    int32_t Unlock(Session& session, int32_t lid);
    int32_t Access(size_t device, int32_t lid, int32_t flags, uint32_t lockTimeout,
                   const Interrupted& interrupted);

    DeviceWriteResp Write(Session& session, const DeviceWriteParms& parms);
    // Waits for the reply at most io_timeout.
    DeviceReadResp Read(Session& session, const DeviceReadParms& parms, const Interrupted& interrupted);
    DeviceReadStbResp ReadStb(Session& session);
    int32_t Trigger(Session& session, uint32_t ioTimeout);
    int32_t Clear(Session& session);

    // The most a read gives in one reply.
    static constexpr uint32_t kMaxReadSize = 2 << 20;

private:
    void SetTimeout(Session& session, ViUInt32 timeout);
    // Waits, holding m_lockMutex by `lock`, until no link but `lid` holds the device's lock.
    int32_t WaitFree(std::unique_lock<std::mutex>& lock, size_t device, int32_t lid, uint32_t waitMs,
                     const Interrupted& interrupted);

    Bench m_bench;
    std::vector<std::vector<std::string>> m_names;
    ViSession m_rm = VI_NULL;
    std::mutex m_lockMutex;
    std::condition_variable m_released; // a device lock was released
    std::vector<int32_t> m_holders;     // per device: the link holding its lock, 0 for none
};

} // namespace visasim::lan
