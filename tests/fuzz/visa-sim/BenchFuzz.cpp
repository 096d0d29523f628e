// Bench files of any content: the loader must refuse or accept without crashing, name the source in its
// refusal, and every accepted bench must make working instruments.
#include "Bench.h"
#include "Instrument.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace visasim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto bench = LoadBenchText(text, "fuzz.yaml", &error);
    if (!bench) {
        if (error.rfind("fuzz.yaml", 0) != 0)
            std::abort();
        return 0;
    }
    for (const ResourceSpec& resourceSpec : bench->resources) {
        auto instrument = CreateInstrument(resourceSpec, "", "");
        for (const char* message :
             {"*IDN?", "SYST:CTYP? 1", "SYST:COPT? 1", "ROUT:CLOS (@100)", "*TST?", "SYST:ERR?"}) {
            instrument->Write(message);
            instrument->Consume(instrument->Pending().size());
        }
    }
    return 0;
}
