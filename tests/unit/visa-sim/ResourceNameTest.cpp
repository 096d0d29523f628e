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
          "VXI0::-1", "VXI0::1::5::INSTR", "ASRL1::INSTR", "GPIB0::INTFC", "GPIBx::9",
          "GPIB0::9::INSTR::INSTR", "GPIB0::0x9", "VXI0::112::INSTR ", "GPIB0::123456"}) {
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

TEST(ResourceName, ReadsTcpipInstrumentNames) {
    struct Case {
        const char* name;
        uint16_t board;
        const char* host;
        const char* device;
        const char* canonical;
    };
    for (const Case& c : {
             Case{"TCPIP0::10.0.0.5::gpib0,9::INSTR", 0, "10.0.0.5", "gpib0,9",
                  "TCPIP0::10.0.0.5::gpib0,9::INSTR"},
             Case{"tcpip::127.0.0.1::instr", 0, "127.0.0.1", "inst0", "TCPIP0::127.0.0.1::inst0::INSTR"},
             Case{"TCPIP3::Lab-Gw.example.org", 3, "Lab-Gw.example.org", "inst0",
                  "TCPIP3::Lab-Gw.example.org::inst0::INSTR"},
             Case{"TCPIP0::gw::gpib0,9,2::Instr", 0, "gw", "gpib0,9,2", "TCPIP0::gw::gpib0,9,2::INSTR"},
             Case{"TCPIP0::gw::hpib_7.a-b", 0, "gw", "hpib_7.a-b", "TCPIP0::gw::hpib_7.a-b::INSTR"},
         }) {
        auto address = ParseResourceName(c.name);
        ASSERT_TRUE(address) << c.name;
        EXPECT_EQ(address->type, InterfaceType::Tcpip) << c.name;
        EXPECT_EQ(address->board, c.board) << c.name;
        EXPECT_EQ(address->host, c.host) << c.name;
        EXPECT_EQ(address->device, c.device) << c.name;
        EXPECT_EQ(CanonicalName(*address), c.canonical) << c.name;
    }
    for (const char* name :
         {"TCPIP0::INSTR", "TCPIP0::::INSTR", "TCPIP0::10.0.0.256::INSTR", "TCPIP0::1.2.3::INSTR",
          "TCPIP0::-gw::INSTR", "TCPIP0::gw_1::INSTR", "TCPIP0::gw::0inst::INSTR",
          "TCPIP0::gw::inst 0::INSTR", "TCPIP0::gw::5025::SOCKET", "TCPIP0::[::1]::INSTR",
          "TCPIPx::gw::INSTR", "TCPIP0::gw::inst0::INSTR::INSTR"}) {
        EXPECT_FALSE(ParseResourceName(name)) << name;
    }
    auto bench = *ParseResourceName("TCPIP0::10.0.0.5::gpib0,9::INSTR");
    EXPECT_TRUE(NameDesignates(*ParseResourceName("tcpip0::10.0.0.5::GPIB0,9"), bench));
    EXPECT_FALSE(NameDesignates(*ParseResourceName("TCPIP0::10.0.0.5::gpib0,8"), bench));
    EXPECT_FALSE(NameDesignates(*ParseResourceName("TCPIP0::10.0.0.6::gpib0,9"), bench));
}
