// The cables of a wired station: which port of which instrument is joined to which, and the power each
// meter receives through them given the instruments' present settings. No files and no YAML here: the
// bench reader gives the resources, the instruments give their settings.
#pragma once

#include "CardModel.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace visasim {

enum class PortKind { SourceOut, MeterIn, Channel, Common, AttenuatorIn, AttenuatorOut };

struct Port {
    size_t resource = 0; // index of the instrument in the bench
    PortKind kind = PortKind::SourceOut;
    int card = 0;
    int group = 0;
    int channel = 0; // Channel only

    bool operator<(const Port& other) const;
    bool operator==(const Port& other) const;
};

struct Connection {
    Port a;
    Port b;
    int line = 0; // where the connection is written in the bench file
};

// What a port may be attached to: the instrument kinds that have ports and, for those holding cards, the
// cards as the bench first sets them up.
struct PortOwner {
    enum class Kind { Source, Meter, Cards, Other } kind = Kind::Other;
    std::string name;             // canonical resource name
    std::vector<CardState> cards; // Cards only
};

// Reads "<resource> out", "<resource> in", "<resource> card C group G channel K", "... common", "... in"
// and "... out". The resource is looked up by its name in any spelling. On a problem gives nothing and
// sets *problem.
std::optional<Port> ParsePort(std::string_view text, const std::vector<PortOwner>& owners,
                              std::string* problem);

// "GPIB0::19::INSTR out", "VXI0::112::INSTR card 1 group 3 channel 2": the port as a bench file names it.
std::string PortText(const Port& port, const std::vector<PortOwner>& owners);

// Checks a whole wiring: no port on two connections, and no loop. A loop is a chain of connections
// that, entering each group by one port and leaving it by a port the group can join to it (a switch's
// common and any of its channels, an attenuator's input and output), comes back to a port it passed.
// Gives the problem and the line of the connection it was found on; nothing when the wiring is sound.
struct WiringProblem {
    int line = 0;
    std::string message;
};
std::optional<WiringProblem> CheckWiring(const std::vector<Connection>& wiring,
                                         const std::vector<PortOwner>& owners);

// What the simulated source can be set to.
constexpr double kSourceMinHz = 1e3;
constexpr double kSourceMaxHz = 40e9;
constexpr double kSourceMinDbm = -130;
constexpr double kSourceMaxDbm = 25;

struct SourceSettings {
    double frequencyHz = 1e9;
    double powerDbm = 0;
    bool output = false;
};

// The settings of the station at one moment: the cards of each card-holding instrument and the settings
// of each source, keyed by the instrument's index in the bench.
struct StationSettings {
    std::map<size_t, std::vector<CardState>> cards;
    std::map<size_t, SourceSettings> sources;
};

// The power (dBm) of every source signal that arrives at the meter's input: a source with its output on,
// less the attenuation of every attenuator on the way, through switch groups whose channel on the way is
// closed. A group whose device is not what its port needs (its option changed since) carries nothing.
std::vector<double> ArrivingPowers(const std::vector<Connection>& wiring, size_t meter,
                                   const StationSettings& settings);

// Powers in dBm added as powers (in mW) and given back in dBm.
double AddPowers(const std::vector<double>& powersDbm);

} // namespace visasim
