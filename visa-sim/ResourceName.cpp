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
    return given.logicalAddress == resource.logicalAddress;
}

} // namespace visasim
