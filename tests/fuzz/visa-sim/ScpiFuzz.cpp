// Program messages of any content, into the parser and through a module and a switchbox: nothing may
// crash, and the module must keep its rules (one closed channel per switch group at most).
#include "CardInstrument.h"
#include "ScpiParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace visasim;

namespace {

const Bench& FuzzBench() {
    static const Bench bench = [] {
        std::string error;
        auto loaded = LoadBenchText(R"(
resources:
  - name: VXI0::112::INSTR
    module:
      card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-SW"}
  - name: GPIB0::9::INSTR
    switchbox:
      cards:
        - {number: 1, type: "OTHER,CARD"}
        - {number: 12, options: "QZSWTB01,UNKNOWN-ATN,,,,"}
)",
                                    "fuzz", &error);
        if (!loaded)
            std::abort();
        return *loaded;
    }();
    return bench;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    for (const ScpiCommand& command : ParseScpiMessage(input)) {
        for (const ScpiParameter& parameter : command.parameters) {
            int error = 0;
            if (parameter.kind == ScpiParameter::Kind::ChannelList)
                ExpandChannelList(parameter.text, &error);
            WholeNumber(parameter);
        }
    }
    // Several messages in one input, separated by line feeds, sent to fresh instruments.
    static const std::vector<ResourceSpec>& specs = FuzzBench().resources;
    for (const ResourceSpec& resourceSpec : specs) {
        auto instrument = CreateInstrument(resourceSpec, "", "");
        size_t start = 0;
        while (start <= input.size()) {
            size_t end = input.find('\n', start);
            if (end == std::string::npos)
                end = input.size();
            instrument->Write(std::string_view(input).substr(start, end - start));
            instrument->Consume(instrument->Pending().size() / 2);
            instrument->StatusByte();
            start = end + 1;
        }
        auto* cards = dynamic_cast<CardInstrument*>(instrument.get());
        for (const CardState& card : cards->Cards()) {
            if (!card.IsK4712())
                continue;
            if (!card.CheckSettings().empty())
                std::abort(); // a command left a setting its group cannot have
        }
        if (instrument->ErrorCount() > 30)
            std::abort();
    }
    return 0;
}
