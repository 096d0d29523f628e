// VXI-11, the TCP/IP instrument protocol: its programs, procedures, errors and flags, the structures
// of its calls and replies with their XDR form, and the portmapper's (program 100000 version 2, and the
// rpcbind version 3 registration) that a server and its clients need. Each structure's fields are
// listed once, in wire order, in a function template that both XdrWriter and XdrReader walk.
#pragma once

#include "Rpc.h"
#include "Xdr.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace visasim::lan {

namespace vxi11 {
constexpr uint32_t kCoreProgram = 0x0607AF;
constexpr uint32_t kAbortProgram = 0x0607B0;
constexpr uint32_t kInterruptProgram = 0x0607B1;
constexpr uint32_t kVersion = 1;

enum Procedure : uint32_t {
    kDeviceAbort = 1, // abort program
    kCreateLink = 10,
    kDeviceWrite = 11,
    kDeviceRead = 12,
    kDeviceReadStb = 13,
    kDeviceTrigger = 14,
    kDeviceClear = 15,
    kDeviceRemote = 16,
    kDeviceLocal = 17,
    kDeviceLock = 18,
    kDeviceUnlock = 19,
    kDeviceEnableSrq = 20,
    kDeviceDocmd = 22,
    kDestroyLink = 23,
    kCreateIntrChan = 25,
    kDestroyIntrChan = 26,
};

enum Error : int32_t {
    kNoError = 0,
    kSyntaxError = 1,
    kDeviceNotAccessible = 3,
    kInvalidLink = 4,
    kParameterError = 5,
    kChannelNotEstablished = 6,
    kOperationNotSupported = 8,
    kOutOfResources = 9,
    kLockedByAnotherLink = 11,
    kNoLockHeld = 12,
    kIoTimeout = 15,
    kIoError = 17,
    kInvalidAddress = 21,
    kAbort = 23,
    kChannelAlreadyEstablished = 29,
};

// Operation flags and read reasons.
constexpr int32_t kWaitLock = 1;
constexpr int32_t kEnd = 8;
constexpr int32_t kTermCharSet = 0x80;
constexpr int32_t kReasonRequestCount = 1;
constexpr int32_t kReasonChar = 2;
constexpr int32_t kReasonEnd = 4;

constexpr size_t kMaxName = 256;      // a device name
constexpr size_t kMaxSrqHandle = 40;  // device_enable_srq's handle
constexpr size_t kMaxData = 16 << 20; // what a reply may carry; a server's writes are bounded lower
} // namespace vxi11

namespace portmap {
constexpr uint32_t kProgram = 100000;
constexpr uint32_t kVersion = 2;
constexpr uint32_t kRpcbindVersion = 3;
constexpr uint16_t kPort = 111;
constexpr uint32_t kTcp = 6;
constexpr uint32_t kUdp = 17;
enum Procedure : uint32_t { kSet = 1, kUnset = 2, kGetPort = 3, kDump = 4 };
} // namespace portmap

struct CreateLinkParms {
    int32_t clientId = 0;
    bool lockDevice = false;
    uint32_t lockTimeout = 0;
    std::string device;
    bool operator==(const CreateLinkParms&) const = default;
};
struct CreateLinkResp {
    int32_t error = 0;
    int32_t lid = 0;
    uint32_t abortPort = 0;
    uint32_t maxRecvSize = 0;
};
struct DeviceWriteParms {
    int32_t lid = 0;
    uint32_t ioTimeout = 0;
    uint32_t lockTimeout = 0;
    int32_t flags = 0;
    std::string data;
    bool operator==(const DeviceWriteParms&) const = default;
};
struct DeviceWriteResp {
    int32_t error = 0;
    uint32_t size = 0;
};
struct DeviceReadParms {
    int32_t lid = 0;
    uint32_t requestSize = 0;
    uint32_t ioTimeout = 0;
    uint32_t lockTimeout = 0;
    int32_t flags = 0;
    int32_t termChar = 0;
    bool operator==(const DeviceReadParms&) const = default;
};
struct DeviceReadResp {
    int32_t error = 0;
    int32_t reason = 0;
    std::string data;
};
// device_readstb, device_trigger, device_clear, device_remote, device_local.
struct DeviceGenericParms {
    int32_t lid = 0;
    int32_t flags = 0;
    uint32_t lockTimeout = 0;
    uint32_t ioTimeout = 0;
    bool operator==(const DeviceGenericParms&) const = default;
};
struct DeviceReadStbResp {
    int32_t error = 0;
    uint32_t stb = 0;
};
struct DeviceLockParms {
    int32_t lid = 0;
    int32_t flags = 0;
    uint32_t lockTimeout = 0;
    bool operator==(const DeviceLockParms&) const = default;
};
struct DeviceEnableSrqParms {
    int32_t lid = 0;
    bool enable = false;
    std::string handle;
    bool operator==(const DeviceEnableSrqParms&) const = default;
};
struct DeviceDocmdParms {
    int32_t lid = 0;
    int32_t flags = 0;
    uint32_t ioTimeout = 0;
    uint32_t lockTimeout = 0;
    int32_t cmd = 0;
    bool networkOrder = false;
    int32_t dataSize = 0;
    std::string dataIn;
    bool operator==(const DeviceDocmdParms&) const = default;
};
struct DeviceDocmdResp {
    int32_t error = 0;
    std::string dataOut;
};
struct DeviceRemoteFunc {
    uint32_t hostAddress = 0;
    uint32_t hostPort = 0;
    uint32_t programNumber = 0;
    uint32_t programVersion = 0;
    int32_t programFamily = 0;
    bool operator==(const DeviceRemoteFunc&) const = default;
};
// The one-word arguments and results: a link id, a device error.
struct DeviceLink {
    int32_t lid = 0;
    bool operator==(const DeviceLink&) const = default;
};
struct DeviceError {
    int32_t error = 0;
};

struct Mapping {
    uint32_t program = 0;
    uint32_t version = 0;
    uint32_t protocol = 0;
    uint32_t port = 0;
    bool operator==(const Mapping&) const = default;
};
// GETPORT's result: the port, 0 for a program not registered.
struct PortNumber {
    uint32_t port = 0;
};
// rpcbind's registration (version 3 SET and UNSET); the address is universal ("127.0.0.1.4.1").
struct RpcbEntry {
    uint32_t program = 0;
    uint32_t version = 0;
    std::string netid;
    std::string address;
    std::string owner;
};

// clang-format off
template <typename Io> void Fields(Io& io, CreateLinkParms& v) { io.Int(v.clientId); io.Bool(v.lockDevice); io.Word(v.lockTimeout); io.Bytes(v.device, vxi11::kMaxName); }
template <typename Io> void Fields(Io& io, CreateLinkResp& v) { io.Int(v.error); io.Int(v.lid); io.Word(v.abortPort); io.Word(v.maxRecvSize); }
template <typename Io> void Fields(Io& io, DeviceWriteParms& v) { io.Int(v.lid); io.Word(v.ioTimeout); io.Word(v.lockTimeout); io.Int(v.flags); io.Bytes(v.data, vxi11::kMaxData); }
template <typename Io> void Fields(Io& io, DeviceWriteResp& v) { io.Int(v.error); io.Word(v.size); }
template <typename Io> void Fields(Io& io, DeviceReadParms& v) { io.Int(v.lid); io.Word(v.requestSize); io.Word(v.ioTimeout); io.Word(v.lockTimeout); io.Int(v.flags); io.Int(v.termChar); }
template <typename Io> void Fields(Io& io, DeviceReadResp& v) { io.Int(v.error); io.Int(v.reason); io.Bytes(v.data, vxi11::kMaxData); }
template <typename Io> void Fields(Io& io, DeviceGenericParms& v) { io.Int(v.lid); io.Int(v.flags); io.Word(v.lockTimeout); io.Word(v.ioTimeout); }
template <typename Io> void Fields(Io& io, DeviceReadStbResp& v) { io.Int(v.error); io.Word(v.stb); }
template <typename Io> void Fields(Io& io, DeviceLockParms& v) { io.Int(v.lid); io.Int(v.flags); io.Word(v.lockTimeout); }
template <typename Io> void Fields(Io& io, DeviceEnableSrqParms& v) { io.Int(v.lid); io.Bool(v.enable); io.Bytes(v.handle, vxi11::kMaxSrqHandle); }
template <typename Io> void Fields(Io& io, DeviceDocmdParms& v) { io.Int(v.lid); io.Int(v.flags); io.Word(v.ioTimeout); io.Word(v.lockTimeout); io.Int(v.cmd); io.Bool(v.networkOrder); io.Int(v.dataSize); io.Bytes(v.dataIn, vxi11::kMaxData); }
template <typename Io> void Fields(Io& io, DeviceDocmdResp& v) { io.Int(v.error); io.Bytes(v.dataOut, vxi11::kMaxData); }
template <typename Io> void Fields(Io& io, DeviceRemoteFunc& v) { io.Word(v.hostAddress); io.Word(v.hostPort); io.Word(v.programNumber); io.Word(v.programVersion); io.Int(v.programFamily); }
template <typename Io> void Fields(Io& io, DeviceLink& v) { io.Int(v.lid); }
template <typename Io> void Fields(Io& io, DeviceError& v) { io.Int(v.error); }
template <typename Io> void Fields(Io& io, Mapping& v) { io.Word(v.program); io.Word(v.version); io.Word(v.protocol); io.Word(v.port); }
template <typename Io> void Fields(Io& io, PortNumber& v) { io.Word(v.port); }
template <typename Io> void Fields(Io& io, RpcbEntry& v) { io.Word(v.program); io.Word(v.version); io.Bytes(v.netid, 64); io.Bytes(v.address, 128); io.Bytes(v.owner, 256); }
// clang-format on

template <typename T>
void Encode(XdrWriter& writer, const T& value) {
    Fields(writer, const_cast<T&>(value)); // the writer only reads the fields
}

// Decodes a whole argument or result; false when the bytes do not hold exactly one T.
template <typename T>
bool Decode(XdrReader& reader, T* value) {
    Fields(reader, *value);
    return reader.Done();
}

// The arguments of a core-channel call, decoded by procedure. Procedures without arguments
// (destroy_intr_chan) and the null procedure give std::monostate.
using CoreArguments =
    std::variant<std::monostate, CreateLinkParms, DeviceWriteParms, DeviceReadParms, DeviceGenericParms,
                 DeviceLockParms, DeviceLink, DeviceEnableSrqParms, DeviceDocmdParms, DeviceRemoteFunc>;

enum class ArgumentCheck { Ok, UnknownProcedure, Garbage };
// Decodes the arguments of core procedure `procedure` from the rest of a call.
ArgumentCheck DecodeCoreArguments(uint32_t procedure, XdrReader& reader, CoreArguments* arguments);
// The same arguments written again (a client's call body).
void EncodeCoreArguments(XdrWriter& writer, const CoreArguments& arguments);

} // namespace visasim::lan
