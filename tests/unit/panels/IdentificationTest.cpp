#include <gtest/gtest.h>

#include "panels/Identification.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

TEST(Identification, TextsFollowTheConnection) {
    struct Case {
        int slot;
        int logicalAddress;
        short card;
        std::string address;
        std::string slotText;
        std::string addressText;
    };
    const std::string longAddress = "VXI0::" + std::string(400, '7') + "::INSTR";
    const Case cases[] = {
        {3, 112, 1, "VXI0::112::INSTR", "Slot: 3", "VXI0::112"},
        {-1, 10914, 2, "GPIB0::9::14::INSTR", "Card: 2", "GPIB0::9::14"},
        // A GPIB connection shows its card even when a slot is known.
        {4, 10914, 12, "GPIB-VXI0::9::14::INSTR", "Card: 12", "GPIB-VXI0::9::14"},
        {0, 0, 1, "VXI0::0::INSTR", "Slot: 0", "VXI0::0"},
        {-1, 9999, 7, "Addr Unknown", "Slot: U", "Addr Unknown"},
        // "::INST" before index 5 (or at 0): the whole text; at index 5: the part before it.
        {-1, -1, 1, "VXI::INSTR", "Slot: U", "VXI::INSTR"},
        {-1, -1, 1, "::INSTR", "Slot: U", "::INSTR"},
        {-1, -1, 1, "ASRL::INSTR", "Slot: U", "ASRL::INSTR"},
        {-1, -1, 1, "GPIB0::INSTR", "Slot: U", "GPIB0"},
        // Only the first occurrence counts.
        {-1, -1, 1, "TCPIP0::INST::INSTR", "Slot: U", "TCPIP0"},
        // At most 255 characters.
        {-1, -1, 1, longAddress, "Slot: U", longAddress.substr(0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        CScriptedInstrument instrument;
        instrument.m_slot = c.slot;
        instrument.m_logicalAddress = c.logicalAddress;
        instrument.m_card = c.card;
        EXPECT_EQ(SlotText(instrument), c.slotText);
        EXPECT_EQ(AddressText(c.address), c.addressText);
    }
}

} // namespace
