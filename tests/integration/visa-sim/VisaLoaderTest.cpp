// The library loaded by the project's own VISA loader, as the front panel and the driver load it.
#include "VisaLoader.h"
#include "VisaSimLibrary.h"

#include <gtest/gtest.h>

TEST(VisaLoaderWithSimulatedLibrary, EveryFunctionTheProgramUsesIsThere) {
    TemporaryBench bench;
    unsetenv("VISA_SIM_BENCH"); // the built-in default bench
    setenv("RQK4712V_VISA_LIBRARY", VisaSim::LibraryPath().c_str(), 1);
    VisaApi api;
    ASSERT_EQ(VisaLoad(&api), 1);
    unsetenv("RQK4712V_VISA_LIBRARY");
    ASSERT_NE(api.viOpenDefaultRM, nullptr);
    ASSERT_NE(api.viFindRsrc, nullptr);
    ASSERT_NE(api.viFindNext, nullptr);
    ASSERT_NE(api.viOpen, nullptr);
    ASSERT_NE(api.viClose, nullptr);
    ASSERT_NE(api.viGetAttribute, nullptr);
    ASSERT_NE(api.viSetAttribute, nullptr);
    ASSERT_NE(api.viWrite, nullptr);
    ASSERT_NE(api.viRead, nullptr);
    ASSERT_NE(api.viReadSTB, nullptr);
    ASSERT_NE(api.viClear, nullptr);
    ASSERT_NE(api.viStatusDesc, nullptr);

    ViSession rm = VI_NULL;
    ASSERT_EQ(api.viOpenDefaultRM(&rm), VI_SUCCESS);
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    char name[VI_FIND_BUFLEN];
    ASSERT_EQ(api.viFindRsrc(rm, "?*INSTR", &list, &count, name), VI_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_STREQ(name, "VXI0::112::INSTR");
    ViSession module = VI_NULL;
    ASSERT_EQ(api.viOpen(rm, name, VI_NULL, VI_NULL, &module), VI_SUCCESS);
    ViUInt16 manufacturer = 0;
    ViUInt16 model = 0;
    EXPECT_EQ(api.viGetAttribute(module, VI_ATTR_MANF_ID, &manufacturer), VI_SUCCESS);
    EXPECT_EQ(api.viGetAttribute(module, VI_ATTR_MODEL_CODE, &model), VI_SUCCESS);
    EXPECT_EQ(manufacturer, 0xFFF);
    EXPECT_EQ(model, 0x2D3);
    char reply[100] = {};
    EXPECT_EQ(api.viWrite(module, reinterpret_cast<ViConstBuf>("SYST:CTYP? 1\n"), 13, &count), VI_SUCCESS);
    EXPECT_EQ(api.viRead(module, reinterpret_cast<ViBuf>(reply), sizeof reply - 1, &count), VI_SUCCESS);
    EXPECT_STREQ(reply, "QUILLON-VANTERA,K4712V,0,A.01.00\n");
    EXPECT_EQ(api.viClose(rm), VI_SUCCESS);
}
