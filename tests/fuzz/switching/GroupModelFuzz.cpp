// Card option lists and route state replies of any content, as the module may send them. The first byte
// chooses the device code the route reply is decoded for (3, 4, or another); the rest is the reply, in a
// heap block of exactly its size so that a read past its terminator is caught. Every group must end with
// a code of a known device, a group the list does not reach keeps its code, and a decoded position must
// be the one closed channel the reply names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "switching/GroupModel.h"

namespace {

bool KnownCode(int code) {
    return code >= kDeviceNotReported && code < kTypeNameCount;
}

void CheckRouteReply(int code, const char* reply) {
    const int position = DecodeRouteReply(code, reply);
    const int count = IsSwitch(code) ? PositionCount(code) : 0;
    if (position < -1 || position >= count) {
        std::abort();
    }
    if (position < 0) {
        return;
    }
    // "0,1,0,0": one digit per channel, 1 only at the position, commas between.
    for (int channel = 0; channel < count; ++channel) {
        if (reply[2 * channel] != (channel == position ? '1' : '0') ||
            (channel + 1 < count && reply[2 * channel + 1] != ',')) {
            std::abort();
        }
    }
}

void CheckTypeList(const char* list) {
    const GroupValues before = {0, 1, 2, 3, 4, kDeviceNotReported};
    GroupValues types = before;
    ParseTypeList(types, list);
    int reached = 1;
    for (const char* p = list; *p != '\0'; ++p) {
        reached += *p == ',' ? 1 : 0;
    }
    for (int g = 0; g < kGroupCount; ++g) {
        if (!KnownCode(types[g]) || (g >= reached && types[g] != before[g])) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int codes[] = {kDeviceSwitch4, kDeviceSwitch6, kDeviceAttenuatorA, kDeviceUnknownSwitch};
    const int code = codes[data[0] % 4];
    auto text = std::make_unique<char[]>(size);
    std::memcpy(text.get(), data + 1, size - 1);
    text[size - 1] = '\0';
    CheckRouteReply(code, text.get());
    CheckTypeList(text.get());
    return 0;
}
