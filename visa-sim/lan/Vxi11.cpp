#include "Vxi11.h"

namespace visasim::lan {

namespace {
template <typename T>
ArgumentCheck DecodeAs(XdrReader& reader, CoreArguments* arguments) {
    T value;
    if (!Decode(reader, &value)) {
        return ArgumentCheck::Garbage;
    }
    *arguments = std::move(value);
    return ArgumentCheck::Ok;
}
} // namespace

ArgumentCheck DecodeCoreArguments(uint32_t procedure, XdrReader& reader, CoreArguments* arguments) {
    using namespace vxi11;
    switch (procedure) {
    case kNullProcedure:
    case kDestroyIntrChan:
        *arguments = std::monostate{};
        return reader.Done() ? ArgumentCheck::Ok : ArgumentCheck::Garbage;
    case kCreateLink:
        return DecodeAs<CreateLinkParms>(reader, arguments);
    case kDeviceWrite:
        return DecodeAs<DeviceWriteParms>(reader, arguments);
    case kDeviceRead:
        return DecodeAs<DeviceReadParms>(reader, arguments);
    case kDeviceReadStb:
    case kDeviceTrigger:
    case kDeviceClear:
    case kDeviceRemote:
    case kDeviceLocal:
        return DecodeAs<DeviceGenericParms>(reader, arguments);
    case kDeviceLock:
        return DecodeAs<DeviceLockParms>(reader, arguments);
    case kDeviceUnlock:
    case kDestroyLink:
        return DecodeAs<DeviceLink>(reader, arguments);
    case kDeviceEnableSrq:
        return DecodeAs<DeviceEnableSrqParms>(reader, arguments);
    case kDeviceDocmd:
        return DecodeAs<DeviceDocmdParms>(reader, arguments);
    case kCreateIntrChan:
        return DecodeAs<DeviceRemoteFunc>(reader, arguments);
    default:
        return ArgumentCheck::UnknownProcedure;
    }
}

void EncodeCoreArguments(XdrWriter& writer, const CoreArguments& arguments) {
    std::visit(
        [&](const auto& value) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(value)>, std::monostate>) {
                Encode(writer, value);
            }
        },
        arguments);
}

} // namespace visasim::lan
