// The command line of visa-sim-vxi11d and what it leaves to be found out: the client networks accepted
// by default are those of the interface that holds the listen address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace visasim::lan {

struct Network {
    uint32_t address = 0; // host byte order, host bits cleared
    int prefix = 32;
    bool Contains(uint32_t host) const;
};

enum class PortmapperMode { Auto, Own, Rpcbind };

struct ServerOptions {
    std::string bench; // empty: VISA_SIM_BENCH, else the library's default bench
    std::string state; // empty: VISA_SIM_STATE or the library's default folder
    uint32_t listen = 0x7F000001;
    std::vector<Network> allow; // empty: the listen address's own networks
    PortmapperMode portmapper = PortmapperMode::Auto;
    bool discoverable = false;
    int maxLinks = 32;
};

enum class CommandLine { Run, Help, Version, Refused };
// Reads the arguments after the program's name; on Refused *problem says why.
CommandLine ParseServerOptions(const std::vector<std::string>& arguments, ServerOptions* options,
                               std::string* problem);
extern const char* const kServerUsage;

// "192.168.1.0/24", "10.0.0.7" (one host).
std::optional<Network> ParseNetwork(const std::string& text);
// The networks of the interfaces holding `listen` (every interface's for 0.0.0.0; 127.0.0.0/8 for a
// loopback address).
std::vector<Network> OwnNetworks(uint32_t listen);
// The name of the interface holding `address`; empty when none does.
std::string InterfaceOf(uint32_t address);

} // namespace visasim::lan
