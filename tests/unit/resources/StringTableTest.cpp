#include <gtest/gtest.h>

#include "resources/StringTable.h"

TEST(StringTable, EveryEntryIsExact) {
    const std::pair<int, std::string> expected[] = {
        {3, "Self Test Passed."},
        {6, "Status Panel"},
        {7, "Main Panel"},
        {8, "Time Out !"},
        {9, "Instrument reports error: %ld  %s"},
        {10, "API failure."},
        {12, "QUILLON-VANTERA,SWITCHBOX"},
        {14, "QUILLON-VANTERA,K4712"},
        {1064, "Could not find the instrument driver dll.  Creating non live panel."},
        {1065, "Could not find VISA.DLL.  Creating non live panel."},
        {1066, "Open of default RM failed, creating non live panel."},
        {1067, "Did not find instrument.  Creating non live panel."},
        {1068, "Cancel will create non live panel."},
        {1069, "Instrument  _init failed!  Creating non live panel."},
        {1070, "Could not read the labels file %s: %s.  Showing the default labels."},
        {32760, "RQK4712V"},
        {57344, "RQK4712V SFP"},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(LoadString(id), text) << "entry " << id;
    }
    EXPECT_EQ(StringTableEntries().size(), std::size(expected));
    EXPECT_EQ(LoadString(4), "");
}
