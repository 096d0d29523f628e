// Feeds arbitrary module replies and caller texts through the driver's text decoding: nothing may read or
// write outside its buffers, and every result must be terminated within its size.
#include "ReplyText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

static void CheckTerminated(const char* buffer, size_t size) {
    if (std::memchr(buffer, '\0', size) == nullptr) {
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* reply = text.c_str();

    char option[100];
    RqkUnquote(option, sizeof(option), reply);
    CheckTerminated(option, sizeof(option));

    int32_t code = 0;
    char message[256];
    RqkParseErrorEntry(reply, &code, message, sizeof(message));
    CheckTerminated(message, sizeof(message));

    char firmware[256];
    RqkIdentityFirmware(reply, firmware, sizeof(firmware));
    CheckTerminated(firmware, sizeof(firmware));

    char list[64];
    if (RqkWrapChannelList(reply, list, sizeof(list))) {
        // What is sent holds channels, ranges and separators only: never a second command.
        for (const char* p = list + 2; *(p + 1) != '\0'; ++p) {
            if (std::strchr("0123456789,: \t", *p) == nullptr) {
                std::abort();
            }
        }
    }
    CheckTerminated(list, sizeof(list));

    int64_t value = 0;
    if (RqkParseInteger(reply, -32768, 32767, &value) && (value < -32768 || value > 32767)) {
        std::abort();
    }

    char copy[256];
    std::strncpy(copy, reply, sizeof(copy) - 1);
    copy[sizeof(copy) - 1] = '\0';
    RqkTrimEnd(copy);
    return 0;
}
