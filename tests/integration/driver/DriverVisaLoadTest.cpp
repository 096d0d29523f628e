// What the driver does when VISA is missing or incomplete, and what its library exports.
#include "rqk4712v.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

// Runs first in this program: no VISA has been loaded yet.
TEST(DriverVisaLoad, MissingOrIncompleteVisaFailsInitWithoutACrash) {
    char text[256] = "stale";
    ViSession vi = 42;

    setenv("RQK4712V_VISA_LIBRARY", "/nonexistent/libvisa.so", 1);
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::8::INSTR"), VI_FALSE, VI_FALSE, &vi),
              RQK4712V_ERROR_VISA_NOT_LOADED);
    EXPECT_EQ(vi, (ViSession)VI_NULL);
    // Without VISA nothing else works, and nothing crashes.
    EXPECT_EQ(rqk4712v_routClos(1, 123), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(rqk4712v_systCtyp_Q(1, 1, text), VI_ERROR_INV_OBJECT);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(rqk4712v_close(1), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(rqk4712v_error_message(VI_NULL, RQK4712V_ERROR_VISA_NOT_LOADED, text), VI_SUCCESS);
    EXPECT_STREQ(text, "The VISA library could not be loaded");
    // Without VISA the driver still describes the common VISA statuses.
    EXPECT_EQ(rqk4712v_error_message(VI_NULL, VI_ERROR_TMO, text), VI_SUCCESS);
    EXPECT_NE(std::string(text).find("imeout"), std::string::npos) << text;

    setenv("RQK4712V_VISA_LIBRARY", PARTIAL_VISA_PATH, 1);
    vi = 42;
    EXPECT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::8::INSTR"), VI_FALSE, VI_FALSE, &vi),
              RQK4712V_ERROR_VISA_INCOMPLETE);
    EXPECT_EQ(vi, (ViSession)VI_NULL);

    // A complete library named later is taken (the simulated one, on its default bench).
    char state[] = "/tmp/driver-load-XXXXXX";
    ASSERT_NE(mkdtemp(state), nullptr);
    setenv("VISA_SIM_STATE", state, 1);
    unsetenv("VISA_SIM_BENCH");
    setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
    ASSERT_EQ(rqk4712v_init(const_cast<ViChar*>("VXI0::112::INSTR"), VI_TRUE, VI_FALSE, &vi), VI_SUCCESS);
    EXPECT_NE(vi, (ViSession)VI_NULL);
    EXPECT_EQ(rqk4712v_close(vi), VI_SUCCESS);
    std::filesystem::remove_all(state);
}

TEST(DriverVisaLoad, LibraryExportsTheEntryPointsAndNothingElse) {
    std::string command = std::string("nm -D --defined-only ") + DRIVER_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe) != nullptr) {
        char address[64], kind[8], name[256];
        if (std::sscanf(line, "%63s %7s %255s", address, kind, name) == 3) {
            exported.insert(name);
        }
    }
    ASSERT_EQ(pclose(pipe), 0);
    const std::set<std::string> expected = {"rqk4712v_init",
                                            "rqk4712v_timeOut",
                                            "rqk4712v_errorQueryDetect",
                                            "rqk4712v_routClos",
                                            "rqk4712v_routOpen",
                                            "rqk4712v_routOpenList",
                                            "rqk4712v_routClosList_Q",
                                            "rqk4712v_systCopt",
                                            "rqk4712v_systCopt_Q",
                                            "rqk4712v_systCtyp_Q",
                                            "rqk4712v_error_query",
                                            "rqk4712v_self_test",
                                            "rqk4712v_readStatusByte_Q",
                                            "rqk4712v_opc_Q",
                                            "rqk4712v2_dcl",
                                            "rqk4712v_close",
                                            "rqk4712v_atten",
                                            "rqk4712v_atten_Q",
                                            "rqk4712v_error_message",
                                            "rqk4712v_revision_query"};
    EXPECT_EQ(exported, expected);
}

} // namespace
