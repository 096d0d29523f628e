// State file texts of any content: the reader must refuse or accept without crashing, and accept only
// the exact text the writer makes of what it accepted, so that a damaged file is never taken for good.
#include "StateStore.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace visasim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string payload;
    std::string problem;
    StateStore::ReadResult result = DecodeStateText(text, &payload, &problem);
    if (result == StateStore::ReadResult::Loaded ? EncodeStateText(payload) != text : problem.empty()) {
        std::abort();
    }
    return 0;
}
