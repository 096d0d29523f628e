// The identification texts of the main panel: where the connected module sits (its slot, or its card on
// a GPIB connection) and its address. Window-free: the main panel window shows what these return.
#pragma once

#include <cstddef>
#include <string>

class CInstrument;

// The longest identification text shown, in characters.
constexpr std::size_t kMaxFieldText = 255;

// "Slot: n", or "Slot: U" when the slot is unknown (negative); a GPIB connection (logical address 10000
// and up) is known by its card instead: "Card: n". A LAN (TCPIP) resource reports neither a slot nor a
// GPIB address, so it reads "Slot: U", even for a card of a switchbox behind a LAN gateway. Asks the
// instrument for the slot, the logical address and (only for GPIB) the card number, in that order; a
// failing call raises CUserException, as the instrument's operations do.
std::string SlotText(CInstrument& instrument);

// The address field's text for an address: the part before the first "::INST" when that starts at
// index 5 or later, else the whole address; at most kMaxFieldText characters.
std::string AddressText(const std::string& address);
