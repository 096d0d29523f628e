#include "ResourceName.h"

#include <cctype>
#include <vector>

namespace visasim {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// A decimal number of at most five digits, no sign; -1 when the text is not one.
int ParseNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) {
        return -1;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> SplitFields(std::string_view name) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        size_t at = name.find("::", start);
        if (at == std::string_view::npos) {
            fields.push_back(name.substr(start));
            return fields;
        }
        fields.push_back(name.substr(start, at - start));
        start = at + 2;
    }
}

// A host name (RFC 1123 labels) or, when it is all digits and dots, a dotted IPv4 address.
bool IsHost(std::string_view host) {
    if (host.empty() || host.size() > 253) {
        return false;
    }
    if (host.find_first_not_of("0123456789.") == std::string_view::npos) {
        std::vector<std::string_view> parts;
        size_t start = 0;
        for (size_t dot = host.find('.'); dot != std::string_view::npos; dot = host.find('.', start)) {
            parts.push_back(host.substr(start, dot - start));
            start = dot + 1;
        }
        parts.push_back(host.substr(start));
        if (parts.size() != 4) {
            return false;
        }
        for (std::string_view part : parts) {
            int value = ParseNumber(part);
            if (part.size() > 3 || value < 0 || value > 255) {
                return false;
            }
        }
        return true;
    }
    size_t labelStart = 0;
    for (size_t i = 0; i <= host.size(); ++i) {
        if (i == host.size() || host[i] == '.') {
            size_t length = i - labelStart;
            if (length == 0 || length > 63 || host[labelStart] == '-' || host[i - 1] == '-') {
                return false;
            }
            labelStart = i + 1;
        } else if (!std::isalnum(static_cast<unsigned char>(host[i])) && host[i] != '-') {
            return false;
        }
    }
    return true;
}

bool IsDeviceName(std::string_view device) {
    if (device.empty() || device.size() > 256 || !std::isalpha(static_cast<unsigned char>(device[0]))) {
        return false;
    }
    for (char c : device) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != ',' && c != '_' && c != '.' && c != '-') {
            return false;
        }
    }
    return true;
}

// The fields after TCPIP[board]: the host and, maybe, the device name.
bool ReadTcpipFields(const std::vector<std::string_view>& fields, ResourceAddress* address) {
    if (fields.size() > 3 || !IsHost(fields[1]) || (fields.size() == 3 && !IsDeviceName(fields[2]))) {
        return false;
    }
    address->host = std::string(fields[1]);
    address->device = fields.size() == 3 ? std::string(fields[2]) : "inst0";
    return true;
}

} // namespace

std::optional<ResourceAddress> ParseResourceName(std::string_view name) {
    if (name.size() > 255) {
        return std::nullopt;
    }
    std::vector<std::string_view> fields = SplitFields(name);
    if (fields.size() >= 2 && EqualsNoCase(fields.back(), "INSTR")) {
        fields.pop_back();
    }
    if (fields.size() < 2) {
        return std::nullopt;
    }

    ResourceAddress address;
    std::string_view head = fields[0];
    std::string_view boardText;
    if (StartsWithNoCase(head, "GPIB-VXI")) {
        address.type = InterfaceType::GpibVxi;
        boardText = head.substr(8);
    } else if (StartsWithNoCase(head, "GPIB")) {
        address.type = InterfaceType::Gpib;
        boardText = head.substr(4);
    } else if (StartsWithNoCase(head, "VXI")) {
        address.type = InterfaceType::Vxi;
        boardText = head.substr(3);
    } else if (StartsWithNoCase(head, "TCPIP")) {
        address.type = InterfaceType::Tcpip;
        boardText = head.substr(5);
    } else {
        return std::nullopt;
    }
    if (!boardText.empty()) {
        int board = ParseNumber(boardText);
        if (board < 0 || board > 65535) {
            return std::nullopt;
        }
        address.board = static_cast<uint16_t>(board);
    }
    if (address.type == InterfaceType::Tcpip) {
        return ReadTcpipFields(fields, &address) ? std::optional(address) : std::nullopt;
    }

    std::vector<int> numbers;
    for (size_t i = 1; i < fields.size(); ++i) {
        int value = ParseNumber(fields[i]);
        if (value < 0) {
            return std::nullopt;
        }
        numbers.push_back(value);
    }
    if (address.type == InterfaceType::Gpib) {
        if (numbers.size() > 2 || numbers[0] > 30) {
            return std::nullopt;
        }
        address.primary = numbers[0];
        if (numbers.size() == 2) {
            if (numbers[1] > 30) {
                return std::nullopt;
            }
            address.secondary = numbers[1];
        }
    } else {
        if (numbers.size() > 2 || numbers[0] > 255) {
            return std::nullopt;
        }
        address.logicalAddress = numbers[0];
        if (numbers.size() == 2) {
            if (numbers[1] != 0) {
                return std::nullopt;
            }
            address.trailingZero = 0;
        }
    }
    return address;
}

std::string CanonicalName(const ResourceAddress& address) {
    std::string name;
    switch (address.type) {
    case InterfaceType::Gpib:
        name = "GPIB" + std::to_string(address.board) + "::" + std::to_string(address.primary);
        if (address.secondary >= 0) {
            name += "::" + std::to_string(address.secondary);
        }
        break;
    case InterfaceType::Vxi:
        name = "VXI" + std::to_string(address.board) + "::" + std::to_string(address.logicalAddress);
        break;
    case InterfaceType::GpibVxi:
        name = "GPIB-VXI" + std::to_string(address.board) + "::" + std::to_string(address.logicalAddress);
        break;
    case InterfaceType::Tcpip:
        name = "TCPIP" + std::to_string(address.board) + "::" + address.host + "::" + address.device;
        break;
    }
    return name + "::INSTR";
}

bool NameDesignates(const ResourceAddress& given, const ResourceAddress& resource) {
    if (given.type != resource.type || given.board != resource.board) {
        return false;
    }
    if (given.type == InterfaceType::Gpib) {
        if (given.primary != resource.primary) {
            return false;
        }
        if (given.secondary == resource.secondary) {
            return true;
        }
        return given.secondary == 0 && resource.secondary < 0;
    }
    if (given.type == InterfaceType::Tcpip) {
        return EqualsNoCase(given.host, resource.host) && EqualsNoCase(given.device, resource.device);
    }
    return given.logicalAddress == resource.logicalAddress;
}

} // namespace visasim
