// VISA resource names of the interfaces the simulated library offers: GPIB, VXI and GPIB-VXI instruments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace visasim {

enum class InterfaceType : uint16_t { Gpib = 1, Vxi = 2, GpibVxi = 3 };

struct ResourceAddress {
    InterfaceType type = InterfaceType::Gpib;
    uint16_t board = 0;
    int primary = -1;        // GPIB primary address 0..30
    int secondary = -1;      // GPIB secondary address 0..30, -1 when none
    int logicalAddress = -1; // VXI logical address 0..255 (VXI and GPIB-VXI)
    // A trailing "::0" after a VXI logical address, as some clients spell the names; -1 when absent.
    int trailingZero = -1;
};

// Parses GPIB[board]::primary[::secondary][::INSTR], VXI[board]::la[::INSTR] and
// GPIB-VXI[board]::la[::INSTR], case-insensitively. Anything else (another interface or resource class,
// an address out of range, stray text) gives nothing.
std::optional<ResourceAddress> ParseResourceName(std::string_view name);

// The name a resource is reported under: "GPIB0::9::INSTR", "GPIB0::9::14::INSTR", "VXI0::112::INSTR",
// "GPIB-VXI0::24::INSTR".
std::string CanonicalName(const ResourceAddress& address);

// True when a name given by a client designates the resource at `resource`: the same interface, board
// and addresses, or a GPIB name with secondary address 0 for a resource without one, or a VXI name with
// the trailing "::0".
bool NameDesignates(const ResourceAddress& given, const ResourceAddress& resource);

} // namespace visasim
