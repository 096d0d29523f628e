#include "panels/Identification.h"

#include "instrument/Instrument.h"

std::string SlotText(CInstrument& instrument) {
    std::string text = "Slot: U";
    const int slot = instrument.GetSlot();
    if (slot >= 0) {
        text = "Slot: " + std::to_string(slot);
    }
    if (instrument.GetLogicalAddress() >= 10000) {
        text = "Card: " + std::to_string(static_cast<int>(instrument.GetCardNumber()));
    }
    return text;
}

std::string AddressText(const std::string& address) {
    const std::size_t at = address.find("::INST");
    std::string text = at != std::string::npos && at >= 5 ? address.substr(0, at) : address;
    if (text.size() > kMaxFieldText) {
        text.resize(kMaxFieldText);
    }
    return text;
}
