#include "Options.h"

#include "Transport.h"

#include <arpa/inet.h>
#include <charconv>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace visasim::lan {

const char* const kServerUsage =
    "usage: visa-sim-vxi11d [--bench FILE] [--state DIR] [--listen ADDRESS] [--allow NET[,NET...]]\n"
    "                       [--portmapper auto|own|rpcbind] [--discoverable] [--max-links N]\n"
    "       visa-sim-vxi11d --version | --help\n";

namespace {

uint32_t Mask(int prefix) {
    return prefix == 0 ? 0 : ~uint32_t{0} << (32 - prefix);
}

int PrefixOf(uint32_t mask) {
    int prefix = 0;
    while (prefix < 32 && (mask & (uint32_t{1} << (31 - prefix)))) {
        ++prefix;
    }
    return prefix;
}

template <typename Visit>
void ForEachIpv4Interface(Visit visit) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return;
    }
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (entry->ifa_addr && entry->ifa_netmask && entry->ifa_addr->sa_family == AF_INET) {
            uint32_t address = ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
            uint32_t mask = ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr);
            visit(entry->ifa_name, address, mask);
        }
    }
    freeifaddrs(list);
}

} // namespace

bool Network::Contains(uint32_t host) const {
    return (host & Mask(prefix)) == address;
}

std::optional<Network> ParseNetwork(const std::string& text) {
    size_t slash = text.find('/');
    auto address = ParseIpv4(text.substr(0, slash));
    int prefix = 32;
    if (slash != std::string::npos) {
        const char* begin = text.data() + slash + 1;
        const char* end = text.data() + text.size();
        auto [at, problem] = std::from_chars(begin, end, prefix);
        if (begin == end || problem != std::errc() || at != end || prefix < 0 || prefix > 32) {
            return std::nullopt;
        }
    }
    if (!address) {
        return std::nullopt;
    }
    return Network{*address & Mask(prefix), prefix};
}

std::vector<Network> OwnNetworks(uint32_t listen) {
    if (IsLoopback(listen)) {
        return {Network{0x7F000000, 8}};
    }
    std::vector<Network> networks;
    ForEachIpv4Interface([&](const char*, uint32_t address, uint32_t mask) {
        if (listen == 0 || address == listen) {
            networks.push_back(Network{address & mask, PrefixOf(mask)});
        }
    });
    return networks;
}

std::string InterfaceOf(uint32_t address) {
    std::string name;
    ForEachIpv4Interface([&](const char* interfaceName, uint32_t own, uint32_t) {
        if (own == address && name.empty()) {
            name = interfaceName;
        }
    });
    return name;
}

CommandLine ParseServerOptions(const std::vector<std::string>& arguments, ServerOptions* options,
                               std::string* problem) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::optional<std::string> value;
        if (size_t equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        auto takeValue = [&]() -> std::optional<std::string> {
            if (value) {
                return value;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            *problem = option + " needs a value";
            return std::nullopt;
        };
        if (option == "--help" || option == "--version") {
            return option == "--help" ? CommandLine::Help : CommandLine::Version;
        }
        if (option == "--discoverable" && !value) {
            options->discoverable = true;
            continue;
        }
        bool known = option == "--bench" || option == "--state" || option == "--listen" ||
                     option == "--allow" || option == "--portmapper" || option == "--max-links";
        if (!known) {
            *problem = "unknown option " + arguments[i];
            return CommandLine::Refused;
        }
        auto text = takeValue();
        if (!text) {
            return CommandLine::Refused;
        }
        if (option == "--bench" || option == "--state") {
            if (text->empty()) {
                *problem = option + " needs a value";
                return CommandLine::Refused;
            }
            (option == "--bench" ? options->bench : options->state) = *text;
        } else if (option == "--listen") {
            auto address = ParseIpv4(*text);
            if (!address) {
                *problem = "--listen needs an IPv4 address, not \"" + *text + "\"";
                return CommandLine::Refused;
            }
            options->listen = *address;
        } else if (option == "--allow") {
            options->allow.clear();
            size_t begin = 0;
            while (begin <= text->size()) {
                size_t comma = std::min(text->find(',', begin), text->size());
                std::string item = text->substr(begin, comma - begin);
                auto network = ParseNetwork(item);
                if (!network) {
                    *problem = "--allow needs networks such as 192.168.1.0/24, not \"" + item + "\"";
                    return CommandLine::Refused;
                }
                options->allow.push_back(*network);
                begin = comma + 1;
            }
        } else if (option == "--portmapper") {
            if (*text == "auto" || *text == "own" || *text == "rpcbind") {
                options->portmapper = *text == "auto"  ? PortmapperMode::Auto
                                      : *text == "own" ? PortmapperMode::Own
                                                       : PortmapperMode::Rpcbind;
            } else {
                *problem = "--portmapper is auto, own or rpcbind, not \"" + *text + "\"";
                return CommandLine::Refused;
            }
        } else {
            int links = 0;
            auto [at, error] = std::from_chars(text->data(), text->data() + text->size(), links);
            if (error != std::errc() || at != text->data() + text->size() || links < 1 || links > 1024) {
                *problem = "--max-links needs a number from 1 to 1024, not \"" + *text + "\"";
                return CommandLine::Refused;
            }
            options->maxLinks = links;
        }
    }
    return CommandLine::Run;
}

} // namespace visasim::lan
