// VISA resource names of the instruments the library offers: GPIB, VXI and GPIB-VXI instruments (of the
// simulated bench) and TCPIP instruments (on the network, over VXI-11).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace visasim {

enum class InterfaceType : uint16_t { Gpib = 1, Vxi = 2, GpibVxi = 3, Tcpip = 6 };

struct ResourceAddress {
    InterfaceType type = InterfaceType::Gpib;
    uint16_t board = 0;
    int primary = -1;        // GPIB primary address 0..30
    int secondary = -1;      // GPIB secondary address 0..30, -1 when none
    int logicalAddress = -1; // VXI logical address 0..255 (VXI and GPIB-VXI)
    // A trailing "::0" after a VXI logical address, as some clients spell the names; -1 when absent.
    int trailingZero = -1;
    std::string host;   // TCPIP: a host name or dotted IPv4 address, as written
    std::string device; // TCPIP: the VXI-11 device name ("inst0", "gpib0,9"), "inst0" when none is given
};

// Parses GPIB[board]::primary[::secondary][::INSTR], VXI[board]::la[::INSTR],
// GPIB-VXI[board]::la[::INSTR] and TCPIP[board]::host[::device][::INSTR], case-insensitively. A host is
// a dotted IPv4 address or a host name (letters, digits and '-' in labels between dots); a device name
// begins with a letter, then letters, digits, ',', '_', '.' or '-'. Anything else (another interface or
// resource class, an address out of range, stray text) gives nothing.
std::optional<ResourceAddress> ParseResourceName(std::string_view name);

// The name a resource is reported under: "GPIB0::9::INSTR", "GPIB0::9::14::INSTR", "VXI0::112::INSTR",
// "GPIB-VXI0::24::INSTR", "TCPIP0::10.0.0.5::gpib0,9::INSTR".
std::string CanonicalName(const ResourceAddress& address);

// True when a name given by a client designates the resource at `resource`: the same interface, board
// and addresses, or a GPIB name with secondary address 0 for a resource without one, or a VXI name with
// the trailing "::0", or a TCPIP name of the same host and device in any case.
bool NameDesignates(const ResourceAddress& given, const ResourceAddress& resource);

} // namespace visasim
