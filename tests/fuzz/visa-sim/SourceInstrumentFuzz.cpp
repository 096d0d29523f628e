// Source state files of any content: the reader must refuse or accept without crashing, accept only
// settings a source can have, and read back what it writes of them unchanged.
#include "SourceInstrument.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace visasim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string problem;
    auto settings = ReadSourceSettings(text, &problem);
    if (!settings) {
        if (problem.empty())
            std::abort();
        return 0;
    }
    if (!(settings->frequencyHz >= kSourceMinHz && settings->frequencyHz <= kSourceMaxHz &&
          settings->powerDbm >= kSourceMinDbm && settings->powerDbm <= kSourceMaxDbm))
        std::abort();
    std::string written = SourceSettingsText(*settings);
    auto again = ReadSourceSettings(written, &problem);
    if (!again || SourceSettingsText(*again) != written)
        std::abort();
    return 0;
}
