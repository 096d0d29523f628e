// Program messages of any content, into the parser and through a module, a switchbox and a wired station
// of source and meter: nothing may crash, the cards must keep their rules (one closed channel per switch
// group at most) and the source its limits.
#include "CardInstrument.h"
#include "MeterInstrument.h"
#include "ScpiParser.h"
#include "SourceInstrument.h"

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
  - {name: GPIB0::19::INSTR, source: {power: -10}}
  - {name: GPIB0::13::INSTR, meter: {}}
wiring:
  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 group 1 in]
  - [VXI0::112::INSTR card 1 group 1 out, GPIB0::9::INSTR card 12 group 0 common]
  - [GPIB0::9::INSTR card 12 group 0 channel 5, GPIB0::13::INSTR in]
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
    // Several messages in one input, separated by line feeds, sent to fresh instruments, each in turn.
    std::vector<std::unique_ptr<Instrument>> instruments;
    for (const ResourceSpec& resourceSpec : FuzzBench().resources)
        instruments.push_back(CreateInstrument(resourceSpec, "", ""));
    ConnectStation(FuzzBench(), instruments);
    for (const auto& instrument : instruments) {
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
        if (instrument->ErrorCount() > 30)
            std::abort();
        if (auto* cards = dynamic_cast<CardInstrument*>(instrument.get())) {
            for (const CardState& card : cards->Cards()) {
                if (card.IsK4712() && !card.CheckSettings().empty())
                    std::abort(); // a command left a setting its group cannot have
            }
        } else if (auto* source = dynamic_cast<SourceInstrument*>(instrument.get())) {
            const SourceSettings& settings = source->Settings();
            if (!(settings.frequencyHz >= kSourceMinHz && settings.frequencyHz <= kSourceMaxHz &&
                  settings.powerDbm >= kSourceMinDbm && settings.powerDbm <= kSourceMaxDbm))
                std::abort();
        }
    }
    return 0;
}
