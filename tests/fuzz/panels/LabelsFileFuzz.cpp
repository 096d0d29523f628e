// Runs the labels file reader over arbitrary bytes. The first byte gives the length (0 to 31) of the
// address that tags are matched against, taken from the bytes after it; the rest is the file. Every
// label must stay terminated within its 8 bytes and hold printable characters only.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "panels/LabelsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string address;
    size_t start = 0;
    if (size > 0) {
        const size_t length = data[0] % 32;
        start = 1 + (length < size - 1 ? length : size - 1);
        address.assign(reinterpret_cast<const char*>(data + 1), start - 1);
    }
    LabelBanks labels;
    SetDefaultLabels(labels);
    CLabelsReader reader(labels, address);
    for (size_t i = start; i < size; ++i) {
        reader.Feed(data[i]);
    }
    for (const auto& bank : labels) {
        for (const auto& label : bank) {
            size_t n = 0;
            while (n < sizeof label && label[n] != '\0') {
                const unsigned char c = static_cast<unsigned char>(label[n]);
                if (c < 32 || c > 126) {
                    std::abort();
                }
                ++n;
            }
            if (n >= sizeof label) {
                std::abort(); // no terminator within the field
            }
        }
    }
    return 0;
}
