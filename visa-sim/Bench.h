// A bench: the simulated instruments a VISA client finds, read from a YAML bench file (docs/bench-file.md)
// or taken from the built-in default bench.
#pragma once

#include "CardModel.h"
#include "ResourceName.h"
#include "Wiring.h"

#include <optional>
#include <string>
#include <vector>

namespace visasim {

struct CommandFault {
    enum class Action { Timeout, Error };
    std::string headerPrefix; // upper case, no leading colon
    Action action = Action::Error;
    int code = -240;
    std::string text;   // error text; the standard text of the code when empty
    int occurrence = 0; // fires on this occurrence only (1 = first); 0 = every time
};

struct FaultSpec {
    bool openFails = false;
    unsigned latencyMs = 0;
    std::vector<std::pair<int, std::string>> errorQueue; // preloaded entries, oldest first
    int selfTestCode = 0;
    std::string selfTestMessage = "Self test passed";
    std::vector<CommandFault> commands;
};

struct GenericReply {
    std::string command;              // the command as sent, compared case-insensitively, spaces folded
    std::optional<std::string> reply; // no reply for a command that only has to be accepted
};

enum class DeviceKind { Module, Switchbox, Generic, Source, Meter };

struct ResourceSpec {
    ResourceAddress address;
    std::string name; // canonical
    int slot = -1;    // VXI slot (VXI, GPIB-VXI)
    int manufacturerId = -1;
    int modelCode = -1;
    DeviceKind kind = DeviceKind::Module;
    std::string identity;         // *IDN? reply
    std::vector<CardState> cards; // module: one; switchbox: any number
    std::vector<GenericReply> replies;
    SourceSettings source;      // a source's settings at start
    double noiseFloorDbm = -90; // what a meter reads when no signal arrives
    FaultSpec faults;
    std::string lanName; // a VXI-11 device name of its own, besides "inst0" or "gpib0,9"; empty for none
    int line = 0;        // where the resource begins in the bench file
};

struct Bench {
    std::string source;    // the file, or "built-in default bench"
    std::string stateName; // names the state files of this bench
    std::vector<ResourceSpec> resources;
    std::vector<Connection> wiring; // cables between the instruments' ports
    // Instruments on the network the bench names (`lan: {}`), which viFindRsrc lists beside the simulated
    // ones and viOpen reaches over VXI-11 like any TCPIP name: canonical names, in bench order.
    std::vector<std::string> networkResources;
};

// What the wiring needs to know of the bench's resources, one entry per resource in bench order.
std::vector<PortOwner> PortOwners(const std::vector<ResourceSpec>& resources);

// Reads a bench from YAML text. On any problem gives nothing and sets *error to
// "<source>:<line>: <problem>".
std::optional<Bench> LoadBenchText(const std::string& text, const std::string& source, std::string* error);
std::optional<Bench> LoadBenchFile(const std::string& path, std::string* error);

// The bench used when VISA_SIM_BENCH is not set: one RQK4712V module at VXI0::112::INSTR.
const std::string& DefaultBenchText();
Bench DefaultBench();

} // namespace visasim
