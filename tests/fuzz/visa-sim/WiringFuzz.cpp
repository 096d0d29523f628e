// Port texts of any content, one a line, against a station's instruments: the reader must refuse or
// accept without crashing, give back a port that its own text names again, and the wiring made of the
// accepted ports, two by two, must be checked without crashing.
#include "Bench.h"
#include "Wiring.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace visasim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<PortOwner> owners = [] {
        std::string error;
        auto bench = LoadBenchText(R"(
resources:
  - {name: GPIB0::19::INSTR, source: {}}
  - {name: VXI0::112::INSTR, module: {card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-SW"}}}
  - name: GPIB0::9::INSTR
    switchbox: {cards: [{number: 1, type: "OTHER,CARD"}, {number: 12, options: "QZSWTB01,QZATNA01,,,,"}]}
  - {name: GPIB0::5::INSTR, generic: {}}
  - {name: GPIB0::13::INSTR, meter: {}}
)",
                                   "fuzz", &error);
        if (!bench) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return PortOwners(bench->resources);
    }();
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<Connection> wiring;
    std::optional<Port> pending;
    size_t start = 0;
    for (int line = 1; start <= input.size(); ++line) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        std::string problem;
        auto port = ParsePort(std::string_view(input).substr(start, end - start), owners, &problem);
        start = end + 1;
        if (!port) {
            if (problem.empty())
                std::abort();
            continue;
        }
        auto again = ParsePort(PortText(*port, owners), owners, &problem);
        if (!again || !(*again == *port))
            std::abort();
        if (pending) {
            wiring.push_back(Connection{*pending, *port, line});
            pending.reset();
        } else {
            pending = port;
        }
    }
    CheckWiring(wiring, owners);
    return 0;
}
