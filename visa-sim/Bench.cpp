#include "Bench.h"

#include <yaml-cpp/depthguard.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace visasim {
namespace {

constexpr size_t kMaxBenchSize = 1 << 20;

// The VXI identity of an RQK4712V module, which a module resource has unless its bench says otherwise.
constexpr int kModuleManufacturerId = 0xFFF;
constexpr int kModuleModelCode = 0x2D3;

// A problem found in the bench, with the line it was found on.
struct BenchError {
    int line;
    std::string message;
};

int LineOf(const YAML::Node& node) {
    YAML::Mark mark = node.Mark();
    return mark.line >= 0 ? mark.line + 1 : 0;
}

[[noreturn]] void Fail(const YAML::Node& node, const std::string& message) {
    throw BenchError{LineOf(node), message};
}

// A key given twice: the YAML reader keeps both, and a lookup would see the first one only.
void CheckUnique(const YAML::Node& map) {
    std::set<std::string> seen;
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (it->first.IsScalar() && !seen.insert(it->first.Scalar()).second) {
            Fail(it->first, "duplicate key \"" + it->first.Scalar() + "\"");
        }
    }
}

void CheckKeys(const YAML::Node& map, const std::string& what, std::initializer_list<const char*> allowed) {
    if (!map.IsMap()) {
        Fail(map, what + " must be a mapping");
    }
    CheckUnique(map);
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (!it->first.IsScalar()) {
            Fail(it->first, "keys of " + what + " must be plain words");
        }
        std::string key = it->first.Scalar();
        bool known = false;
        for (const char* name : allowed) {
            known = known || key == name;
        }
        if (!known) {
            Fail(it->first, "unknown key \"" + key + "\" in " + what);
        }
    }
}

std::string Text(const YAML::Node& node, const std::string& what) {
    if (!node.IsScalar()) {
        Fail(node, what + " must be a text");
    }
    return node.Scalar();
}

long Integer(const YAML::Node& node, const std::string& what, long low, long high) {
    if (!node.IsScalar()) {
        Fail(node, what + " must be a number");
    }
    const std::string& text = node.Scalar();
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos++] == '-';
    }
    int base = 10;
    if (text.size() > pos + 1 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size() || text.size() - pos > 9) {
        Fail(node, what + " must be a number, not \"" + text + "\"");
    }
    long value = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            Fail(node, what + " must be a number, not \"" + text + "\"");
        }
        value = value * base + digit;
    }
    if (negative) {
        value = -value;
    }
    if (value < low || value > high) {
        Fail(node, what + " must be between " + std::to_string(low) + " and " + std::to_string(high));
    }
    return value;
}

bool Boolean(const YAML::Node& node, const std::string& what) {
    std::string text = Text(node, what);
    if (text == "true" || text == "yes" || text == "on") {
        return true;
    }
    if (text == "false" || text == "no" || text == "off") {
        return false;
    }
    Fail(node, what + " must be true or false");
}

double Real(const YAML::Node& node, const std::string& what, double low, double high) {
    std::string text = Text(node, what);
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) {
        Fail(node, what + " must be a number, not \"" + text + "\"");
    }
    if (value < low || value > high) {
        Fail(node, what + " must be between " + std::to_string(static_cast<long>(low)) + " and " +
                       std::to_string(static_cast<long>(high)));
    }
    return value;
}

std::string UpperText(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

CardState ReadCard(const YAML::Node& node, int defaultNumber) {
    CheckKeys(node, "a card", {"number", "type", "options", "states"});
    CardState card;
    card.number =
        node["number"] ? static_cast<int>(Integer(node["number"], "card number", 1, 99)) : defaultNumber;
    card.type = node["type"] ? Text(node["type"], "card type") : std::string(kK4712Type);
    if (card.type.empty()) {
        Fail(node, "card type must not be empty");
    }
    if (!card.IsK4712()) {
        if (node["options"] || node["states"]) {
            Fail(node, "only an RQK4712V card has options and states");
        }
        return card;
    }
    if (node["options"]) {
        auto options = ParseOptionList(Text(node["options"], "options"));
        if (!options) {
            Fail(node["options"],
                 "options must be six option names or empty entries separated by five commas");
        }
        card.options = *options;
    }
    if (node["states"]) {
        const YAML::Node& states = node["states"];
        if (!states.IsSequence() || states.size() != kGroupCount) {
            Fail(states, "states must be a list of six numbers, one per group");
        }
        for (int group = 0; group < kGroupCount; ++group) {
            long value = Integer(states[group], "state of group " + std::to_string(group), -1, 90);
            GroupDevice device = card.Device(group);
            if (device.kind == GroupKind::Switch) {
                if (value >= device.channels) {
                    Fail(states[group],
                         "group " + std::to_string(group) + " has no channel " + std::to_string(value));
                }
                card.closed[group] = static_cast<int>(value);
            } else if (device.kind == GroupKind::Attenuator) {
                if (!IsValidAttenuation(device, value)) {
                    Fail(states[group], "attenuation " + std::to_string(value) + " is not a step of group " +
                                            std::to_string(group));
                }
                card.attenuation[group] = static_cast<int>(value);
            } else if (value > 0) {
                Fail(states[group],
                     "group " + std::to_string(group) + " has no device; its state must be -1 or 0");
            }
        }
    }
    return card;
}

std::string ReadIdentity(const YAML::Node& node, std::string_view model,
                         std::string_view maker = "QUILLON-VANTERA") {
    if (node["identity"]) {
        return Text(node["identity"], "identity");
    }
    std::string serial = node["serial"] ? Text(node["serial"], "serial") : "0";
    std::string firmware = node["firmware"] ? Text(node["firmware"], "firmware") : "A.01.00";
    return std::string(maker) + "," + std::string(model) + "," + serial + "," + firmware;
}

// An RF source of a wired station.
void ReadSource(const YAML::Node& source, ResourceSpec& resourceSpec) {
    CheckKeys(source, "source", {"identity", "serial", "firmware", "frequency", "power", "output"});
    resourceSpec.kind = DeviceKind::Source;
    resourceSpec.identity = ReadIdentity(source, "RF-SOURCE", "VISA-SIM");
    if (source["frequency"]) {
        resourceSpec.source.frequencyHz = Real(source["frequency"], "frequency", kSourceMinHz, kSourceMaxHz);
    }
    if (source["power"]) {
        resourceSpec.source.powerDbm = Real(source["power"], "power", kSourceMinDbm, kSourceMaxDbm);
    }
    if (source["output"]) {
        resourceSpec.source.output = Boolean(source["output"], "output");
    }
}

// An RF power meter of a wired station.
void ReadMeter(const YAML::Node& meter, ResourceSpec& resourceSpec) {
    CheckKeys(meter, "meter", {"identity", "serial", "firmware", "noise_floor"});
    resourceSpec.kind = DeviceKind::Meter;
    resourceSpec.identity = ReadIdentity(meter, "RF-METER", "VISA-SIM");
    if (meter["noise_floor"]) {
        resourceSpec.noiseFloorDbm = Real(meter["noise_floor"], "noise_floor", -200, 0);
    }
}

// A module: one RQK4712V card, numbered after its logical address behind a GPIB-VXI controller.
void ReadModule(const YAML::Node& module, ResourceSpec& resourceSpec) {
    CheckKeys(module, "module", {"identity", "serial", "firmware", "card"});
    resourceSpec.kind = DeviceKind::Module;
    resourceSpec.identity = ReadIdentity(module, "K4712V");
    int defaultCard = resourceSpec.address.type == InterfaceType::GpibVxi
                          ? (resourceSpec.address.logicalAddress % 8) + 1
                          : 1;
    if (module["card"]) {
        resourceSpec.cards.push_back(ReadCard(module["card"], defaultCard));
    } else {
        resourceSpec.cards.push_back(ReadCard(YAML::Node(YAML::NodeType::Map), defaultCard));
    }
}

// A GPIB switchbox: numbered cards, each numbered one above the card before it unless it says.
void ReadSwitchbox(const YAML::Node& box, ResourceSpec& resourceSpec) {
    CheckKeys(box, "switchbox", {"identity", "serial", "firmware", "cards"});
    resourceSpec.kind = DeviceKind::Switchbox;
    resourceSpec.identity = ReadIdentity(box, "SWITCHBOX");
    const YAML::Node& cards = box["cards"];
    if (!cards) {
        return;
    }
    if (!cards.IsSequence()) {
        Fail(cards, "cards must be a list");
    }
    std::set<int> numbers;
    int next = 1;
    for (const YAML::Node& cardNode : cards) {
        CardState card = ReadCard(cardNode, next);
        if (!numbers.insert(card.number).second) {
            Fail(cardNode, "card " + std::to_string(card.number) + " appears twice");
        }
        next = card.number + 1;
        resourceSpec.cards.push_back(card);
    }
}

// A generic instrument: fixed replies to the commands it knows.
void ReadGeneric(const YAML::Node& generic, ResourceSpec& resourceSpec) {
    CheckKeys(generic, "generic", {"identity", "replies"});
    resourceSpec.kind = DeviceKind::Generic;
    if (generic["identity"]) {
        resourceSpec.identity = Text(generic["identity"], "identity");
    }
    const YAML::Node& replies = generic["replies"];
    if (!replies) {
        return;
    }
    if (!replies.IsMap()) {
        Fail(replies, "replies must map commands to their replies");
    }
    CheckUnique(replies);
    for (auto it = replies.begin(); it != replies.end(); ++it) {
        GenericReply reply;
        reply.command = Text(it->first, "a command");
        if (!it->second.IsNull()) {
            reply.reply = Text(it->second, "a reply");
        }
        resourceSpec.replies.push_back(reply);
    }
}

// The kinds of instrument a resource may be, by the key that introduces each.
struct KindReader {
    const char* key;
    void (*read)(const YAML::Node&, ResourceSpec&);
};
constexpr KindReader kKindReaders[] = {{"module", ReadModule},
                                       {"switchbox", ReadSwitchbox},
                                       {"generic", ReadGeneric},
                                       {"source", ReadSource},
                                       {"meter", ReadMeter}};

FaultSpec ReadFaults(const YAML::Node& node) {
    CheckKeys(node, "faults", {"open_fails", "latency_ms", "error_queue", "self_test", "commands"});
    FaultSpec faults;
    if (node["open_fails"]) {
        faults.openFails = Boolean(node["open_fails"], "open_fails");
    }
    if (node["latency_ms"]) {
        faults.latencyMs = static_cast<unsigned>(Integer(node["latency_ms"], "latency_ms", 0, 60000));
    }
    if (const YAML::Node& queue = node["error_queue"]) {
        if (!queue.IsSequence()) {
            Fail(queue, "error_queue must be a list");
        }
        for (const YAML::Node& entry : queue) {
            CheckKeys(entry, "an error_queue entry", {"code", "text"});
            if (!entry["code"]) {
                Fail(entry, "an error_queue entry needs a code");
            }
            int code = static_cast<int>(Integer(entry["code"], "error code", -32768, 32767));
            std::string text = entry["text"] ? Text(entry["text"], "error text") : std::string();
            faults.errorQueue.emplace_back(code, text);
        }
    }
    if (const YAML::Node& selfTest = node["self_test"]) {
        CheckKeys(selfTest, "self_test", {"code", "message"});
        if (selfTest["code"]) {
            faults.selfTestCode =
                static_cast<int>(Integer(selfTest["code"], "self-test code", -32768, 32767));
        }
        if (selfTest["message"]) {
            faults.selfTestMessage = Text(selfTest["message"], "self-test message");
        } else if (faults.selfTestCode != 0) {
            faults.selfTestMessage = "Self test failed";
        }
    }
    if (const YAML::Node& commands = node["commands"]) {
        if (!commands.IsSequence()) {
            Fail(commands, "commands must be a list");
        }
        for (const YAML::Node& entry : commands) {
            CheckKeys(entry, "a command fault", {"header", "action", "code", "text", "when"});
            CommandFault fault;
            if (!entry["header"]) {
                Fail(entry, "a command fault needs a header");
            }
            fault.headerPrefix = UpperText(Text(entry["header"], "header"));
            if (!fault.headerPrefix.empty() && fault.headerPrefix.front() == ':') {
                fault.headerPrefix.erase(0, 1);
            }
            if (fault.headerPrefix.empty()) {
                Fail(entry["header"], "header must not be empty");
            }
            std::string action = entry["action"] ? Text(entry["action"], "action") : "error";
            if (action == "timeout") {
                fault.action = CommandFault::Action::Timeout;
            } else if (action == "error") {
                fault.action = CommandFault::Action::Error;
            } else {
                Fail(entry["action"], "action must be timeout or error");
            }
            if (entry["code"]) {
                fault.code = static_cast<int>(Integer(entry["code"], "error code", -32768, 32767));
            }
            if (entry["text"]) {
                fault.text = Text(entry["text"], "error text");
            }
            if (entry["when"]) {
                const YAML::Node& when = entry["when"];
                if (when.IsScalar() && when.Scalar() == "always") {
                    fault.occurrence = 0;
                } else {
                    fault.occurrence =
                        static_cast<int>(Integer(when, "when (always or a count)", 1, 1000000));
                }
            }
            faults.commands.push_back(fault);
        }
    }
    return faults;
}

ResourceAddress ReadAddress(const YAML::Node& node) {
    std::optional<ResourceAddress> fromName;
    if (node["name"]) {
        fromName = ParseResourceName(Text(node["name"], "name"));
        if (!fromName) {
            Fail(node["name"],
                 "\"" + node["name"].Scalar() + "\" is not a GPIB, VXI or GPIB-VXI instrument name");
        }
        if (fromName->type == InterfaceType::Tcpip) {
            Fail(node["name"], "\"" + node["name"].Scalar() +
                                   "\" is an instrument on the network: it takes lan: {} and nothing else");
        }
        fromName->trailingZero = -1;
    }
    ResourceAddress address;
    if (fromName) {
        address = *fromName;
    }
    if (node["interface"]) {
        std::string text = UpperText(Text(node["interface"], "interface"));
        InterfaceType type;
        if (text == "GPIB") {
            type = InterfaceType::Gpib;
        } else if (text == "VXI") {
            type = InterfaceType::Vxi;
        } else if (text == "GPIB-VXI") {
            type = InterfaceType::GpibVxi;
        } else {
            Fail(node["interface"], "interface must be GPIB, VXI or GPIB-VXI");
        }
        if (fromName && fromName->type != type) {
            Fail(node["interface"], "interface does not agree with the name");
        }
        address.type = type;
    } else if (!fromName) {
        Fail(node, "a resource needs a name or an interface");
    }
    auto field = [&](const char* key, int& target, long low, long high) {
        if (!node[key]) {
            return;
        }
        int value = static_cast<int>(Integer(node[key], key, low, high));
        if (fromName && target != value) {
            Fail(node[key], std::string(key) + " does not agree with the name");
        }
        target = value;
    };
    int board = address.board;
    field("board", board, 0, 65535);
    address.board = static_cast<uint16_t>(board);
    if (address.type == InterfaceType::Gpib) {
        if (node["logical_address"]) {
            Fail(node["logical_address"], "a GPIB instrument has no logical address");
        }
        field("primary", address.primary, 0, 30);
        field("secondary", address.secondary, 0, 30);
        if (address.primary < 0) {
            Fail(node, "a GPIB instrument needs a primary address");
        }
    } else {
        if (node["primary"] || node["secondary"]) {
            Fail(node["primary"] ? node["primary"] : node["secondary"],
                 "a VXI instrument has no GPIB address");
        }
        field("logical_address", address.logicalAddress, 0, 255);
        if (address.logicalAddress < 0) {
            Fail(node, "a VXI instrument needs a logical address");
        }
    }
    return address;
}

// The VXI description of a VXI or GPIB-VXI resource (slot, manufacturer, model); a GPIB resource has
// none.
void ReadVxiDescription(const YAML::Node& node, ResourceSpec& resourceSpec) {
    if (resourceSpec.address.type == InterfaceType::Gpib) {
        for (const char* key : {"slot", "manufacturer_id", "model_code"}) {
            if (node[key]) {
                Fail(node[key], std::string("a GPIB instrument has no ") + key);
            }
        }
        return;
    }
    if (node["slot"]) {
        resourceSpec.slot = static_cast<int>(Integer(node["slot"], "slot", -1, 12));
    }
    bool module = resourceSpec.kind == DeviceKind::Module;
    if (node["manufacturer_id"]) {
        resourceSpec.manufacturerId =
            static_cast<int>(Integer(node["manufacturer_id"], "manufacturer_id", 0, 0xFFFF));
    } else if (module) {
        resourceSpec.manufacturerId = kModuleManufacturerId;
    } else {
        Fail(node, "a VXI instrument needs a manufacturer_id");
    }
    if (node["model_code"]) {
        resourceSpec.modelCode = static_cast<int>(Integer(node["model_code"], "model_code", 0, 0xFFFF));
    } else if (module) {
        resourceSpec.modelCode = kModuleModelCode;
    } else {
        Fail(node, "a VXI instrument needs a model_code");
    }
}

// A VXI-11 device name of the resource's own: a word that VISA resource names can carry
// ("TCPIP0::host::switch_a::INSTR") and that no generated name ("inst0", "gpib0,9") can be.
std::string ReadLanName(const YAML::Node& node) {
    std::string name = Text(node, "lan_name");
    bool good = !name.empty() && name.size() <= 32 && std::isalpha(static_cast<unsigned char>(name[0]));
    for (char c : name) {
        good = good && (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.');
    }
    std::string lower = name;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const char* generated : {"inst", "gpib"}) {
        if (lower.size() > 4 && lower.rfind(generated, 0) == 0 &&
            std::isdigit(static_cast<unsigned char>(lower[4]))) {
            good = false;
        }
    }
    if (!good) {
        Fail(node, "lan_name must be a letter, then letters, digits, '_', '-' or '.' (at most 32), and not "
                   "instN or gpibN");
    }
    return name;
}

// An instrument on the network: a TCPIP name and `lan: {}`; the bench simulates nothing of it.
std::string ReadNetworkResource(const YAML::Node& node) {
    CheckKeys(node, "an instrument on the network", {"name", "lan"});
    if (!node["lan"].IsMap() || node["lan"].size() != 0) {
        Fail(node["lan"], "lan takes nothing: lan: {}");
    }
    if (!node["name"]) {
        Fail(node, "an instrument on the network needs its name");
    }
    auto address = ParseResourceName(Text(node["name"], "name"));
    if (!address || address->type != InterfaceType::Tcpip) {
        Fail(node["name"], "\"" + node["name"].Scalar() + "\" is not a TCPIP instrument name");
    }
    return CanonicalName(*address);
}

ResourceSpec ReadResource(const YAML::Node& node) {
    CheckKeys(node, "a resource",
              {"name", "interface", "board", "primary", "secondary", "logical_address", "slot",
               "manufacturer_id", "model_code", "module", "switchbox", "generic", "source", "meter", "faults",
               "lan_name"});
    ResourceSpec resourceSpec;
    resourceSpec.line = LineOf(node);
    resourceSpec.address = ReadAddress(node);
    resourceSpec.name = CanonicalName(resourceSpec.address);

    const KindReader* kind = nullptr;
    int kinds = 0;
    for (const KindReader& reader : kKindReaders) {
        if (node[reader.key]) {
            kind = &reader;
            ++kinds;
        }
    }
    if (kinds != 1) {
        Fail(node, "a resource needs exactly one of module, switchbox, generic, source or meter");
    }
    kind->read(node[kind->key], resourceSpec);
    ReadVxiDescription(node, resourceSpec);
    if (node["faults"]) {
        resourceSpec.faults = ReadFaults(node["faults"]);
    }
    if (node["lan_name"]) {
        resourceSpec.lanName = ReadLanName(node["lan_name"]);
    }
    return resourceSpec;
}

// A list of connections, each a pair of port names: [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 ...].
std::vector<Connection> ReadWiring(const YAML::Node& node, const std::vector<ResourceSpec>& resources) {
    if (!node.IsSequence()) {
        Fail(node, "wiring must be a list of connections");
    }
    std::vector<PortOwner> owners = PortOwners(resources);
    std::vector<Connection> wiring;
    for (const YAML::Node& entry : node) {
        if (!entry.IsSequence() || entry.size() != 2) {
            Fail(entry, "a connection is a list of two ports");
        }
        Connection connection;
        connection.line = LineOf(entry);
        for (size_t end = 0; end < 2; ++end) {
            std::string problem;
            auto port = ParsePort(Text(entry[end], "a port"), owners, &problem);
            if (!port) {
                Fail(entry[end], problem);
            }
            (end == 0 ? connection.a : connection.b) = *port;
        }
        wiring.push_back(connection);
    }
    if (auto problem = CheckWiring(wiring, owners)) {
        throw BenchError{problem->line, problem->message};
    }
    return wiring;
}

Bench ReadBench(const YAML::Node& root) {
    if (!root.IsMap()) {
        Fail(root, "a bench file is a mapping with a list of resources");
    }
    CheckKeys(root, "the bench", {"state_name", "resources", "wiring"});
    Bench bench;
    if (root["state_name"]) {
        bench.stateName = Text(root["state_name"], "state_name");
        bool good = !bench.stateName.empty() && bench.stateName.size() <= 64;
        for (char c : bench.stateName) {
            good = good && (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.');
        }
        if (!good || bench.stateName[0] == '.') {
            Fail(root["state_name"], "state_name must be letters, digits, '-', '_' or '.' (at most 64)");
        }
    }
    const YAML::Node& resources = root["resources"];
    if (!resources) {
        Fail(root, "the bench has no resources list");
    }
    if (!resources.IsSequence()) {
        Fail(resources, "resources must be a list");
    }
    for (const YAML::Node& node : resources) {
        if (node.IsMap() && node["lan"]) {
            std::string name = ReadNetworkResource(node);
            auto& named = bench.networkResources;
            if (std::find_if(named.begin(), named.end(), [&](const std::string& other) {
                    return strcasecmp(other.c_str(), name.c_str()) == 0;
                }) != named.end()) {
                Fail(node, name + " is already on the bench");
            }
            named.push_back(name);
            continue;
        }
        ResourceSpec resourceSpec = ReadResource(node);
        for (const ResourceSpec& other : bench.resources) {
            if (other.name == resourceSpec.name) {
                Fail(node, resourceSpec.name + " is already on the bench (line " +
                               std::to_string(other.line) + ")");
            }
            if (!other.lanName.empty() &&
                strcasecmp(other.lanName.c_str(), resourceSpec.lanName.c_str()) == 0) {
                Fail(node["lan_name"], "lan_name " + resourceSpec.lanName + " is already taken (line " +
                                           std::to_string(other.line) + ")");
            }
        }
        bench.resources.push_back(std::move(resourceSpec));
    }
    if (root["wiring"]) {
        bench.wiring = ReadWiring(root["wiring"], bench.resources);
    }
    return bench;
}

} // namespace

std::vector<PortOwner> PortOwners(const std::vector<ResourceSpec>& resources) {
    std::vector<PortOwner> owners;
    for (const ResourceSpec& resourceSpec : resources) {
        PortOwner owner;
        owner.name = resourceSpec.name;
        switch (resourceSpec.kind) {
        case DeviceKind::Source:
            owner.kind = PortOwner::Kind::Source;
            break;
        case DeviceKind::Meter:
            owner.kind = PortOwner::Kind::Meter;
            break;
        case DeviceKind::Module:
        case DeviceKind::Switchbox:
            owner.kind = PortOwner::Kind::Cards;
            owner.cards = resourceSpec.cards;
            break;
        case DeviceKind::Generic:
            break;
        }
        owners.push_back(std::move(owner));
    }
    return owners;
}

std::optional<Bench> LoadBenchText(const std::string& text, const std::string& source, std::string* error) {
    auto report = [&](int line, const std::string& message) {
        if (error) {
            *error =
                line > 0 ? source + ":" + std::to_string(line) + ": " + message : source + ": " + message;
        }
    };
    try {
        YAML::Node root = YAML::Load(text);
        if (!root || root.IsNull()) {
            report(1, "the bench file is empty");
            return std::nullopt;
        }
        Bench bench = ReadBench(root);
        bench.source = source;
        return bench;
    } catch (const BenchError& e) {
        report(e.line, e.message);
    } catch (const YAML::DeepRecursion& e) {
        report(e.mark.line >= 0 ? e.mark.line + 1 : 0, "lists and mappings are nested too deeply");
    } catch (const YAML::Exception& e) {
        report(e.mark.line >= 0 ? e.mark.line + 1 : 0, e.msg);
    } catch (const std::exception& e) {
        report(0, e.what());
    }
    return std::nullopt;
}

std::optional<Bench> LoadBenchFile(const std::string& path, std::string* error) {
    auto refuse = [&](const std::string& problem) -> std::optional<Bench> {
        if (error) {
            *error = path + ": " + problem;
        }
        return std::nullopt;
    };
    // Only a regular file is read: opening does not wait for a FIFO's writer, and the size is known
    // before anything is read.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return refuse(std::string("cannot be read (") + std::strerror(errno) + ")");
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        bool folder = S_ISDIR(info.st_mode);
        close(fd);
        return refuse(folder ? "is a folder, not a bench file" : "is not a regular file");
    }
    if (static_cast<size_t>(info.st_size) > kMaxBenchSize) {
        close(fd);
        return refuse("the bench file is larger than 1 MiB");
    }
    std::string text;
    char buffer[4096];
    while (text.size() <= kMaxBenchSize) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            int saved = errno;
            close(fd);
            return refuse(std::string("cannot be read (") + std::strerror(saved) + ")");
        }
        if (got == 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    if (text.size() > kMaxBenchSize) {
        return refuse("the bench file is larger than 1 MiB");
    }
    return LoadBenchText(text, path, error);
}

const std::string& DefaultBenchText() {
    static const std::string text = R"(# The default bench: one RQK4712V module in slot 3 of a VXI mainframe.
state_name: default
resources:
  - name: VXI0::112::INSTR
    slot: 3
    logical_address: 112
    manufacturer_id: 0xFFF
    model_code: 0x2D3
    module:
      card:
        number: 1
        type: "QUILLON-VANTERA,K4712V,0,A.01.00"
        options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"
)";
    return text;
}

Bench DefaultBench() {
    std::string error;
    auto bench = LoadBenchText(DefaultBenchText(), "built-in default bench", &error);
    return bench ? *bench : Bench{};
}

} // namespace visasim
