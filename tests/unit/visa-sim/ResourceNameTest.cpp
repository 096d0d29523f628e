#include "ResourceName.h"

#include <gtest/gtest.h>

using namespace visasim;

TEST(ResourceName, ParsesTheThreeInterfacesInEverySpelling) {
    auto gpib = ParseResourceName("gpib0::9::instr");
    ASSERT_TRUE(gpib);
    EXPECT_EQ(gpib->type, InterfaceType::Gpib);
    EXPECT_EQ(gpib->primary, 9);
    EXPECT_EQ(gpib->secondary, -1);
    EXPECT_EQ(CanonicalName(*gpib), "GPIB0::9::INSTR");

    auto secondary = ParseResourceName("GPIB2::9::14");
    ASSERT_TRUE(secondary);
    EXPECT_EQ(secondary->board, 2);
    EXPECT_EQ(secondary->secondary, 14);
    EXPECT_EQ(CanonicalName(*secondary), "GPIB2::9::14::INSTR");

    auto vxi = ParseResourceName("VXI::112");
    ASSERT_TRUE(vxi);
    EXPECT_EQ(vxi->type, InterfaceType::Vxi);
    EXPECT_EQ(vxi->board, 0);
    EXPECT_EQ(vxi->logicalAddress, 112);
    EXPECT_EQ(CanonicalName(*vxi), "VXI0::112::INSTR");

    auto gpibVxi = ParseResourceName("Gpib-Vxi0::24::INSTR");
    ASSERT_TRUE(gpibVxi);
    EXPECT_EQ(gpibVxi->type, InterfaceType::GpibVxi);
    EXPECT_EQ(CanonicalName(*gpibVxi), "GPIB-VXI0::24::INSTR");
}

TEST(ResourceName, RefusesOtherNamesAndBadAddresses) {
    for (const char* name :
         {"", "GPIB0", "GPIB0::", "GPIB0::31::INSTR", "GPIB0::9::31", "GPIB0::9::1::2", "VXI0::256::INSTR",
          "VXI0::-1", "VXI0::1::5::INSTR", "TCPIP0::1.2.3.4::INSTR", "ASRL1::INSTR", "GPIB0::INTFC",
          "GPIBx::9", "GPIB0::9::INSTR::INSTR", "GPIB0::0x9", "VXI0::112::INSTR ", "GPIB0::123456"}) {
        EXPECT_FALSE(ParseResourceName(name)) << name;
    }
}

TEST(ResourceName, ClientRewritesDesignateTheSameResource) {
    auto bench = *ParseResourceName("GPIB0::9::INSTR");
    auto rewritten = *ParseResourceName("GPIB0::9::0::INSTR");
    EXPECT_TRUE(NameDesignates(rewritten, bench));
    auto other = *ParseResourceName("GPIB0::9::3::INSTR");
    EXPECT_FALSE(NameDesignates(other, bench));
    EXPECT_FALSE(NameDesignates(*ParseResourceName("GPIB1::9"), bench));

    auto gpibVxi = *ParseResourceName("GPIB-VXI0::24::INSTR");
    EXPECT_TRUE(NameDesignates(*ParseResourceName("GPIB-VXI0::24::0::INSTR"), gpibVxi));
    EXPECT_FALSE(NameDesignates(*ParseResourceName("VXI0::24::INSTR"), gpibVxi));
}
