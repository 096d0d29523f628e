#include <gtest/gtest.h>

#include "app/SfpApp.h"

namespace {

TEST(StartUpCommandLine, ScreenshotTokenIsTakenOutBeforeTheSwitchesAreRead) {
    std::string file;
    EXPECT_EQ(CSfpApp::JoinCommandLine({"/l", "--screenshot=/tmp/a b.png", "bench.lbl", "/r"}, file),
              "/l bench.lbl /r");
    EXPECT_EQ(file, "/tmp/a b.png");
    EXPECT_EQ(CSfpApp::JoinCommandLine({}, file), "");
    EXPECT_EQ(file, "");
    EXPECT_EQ(CSfpApp::JoinCommandLine({"-a", "vxi0::1::instr"}, file), "-a vxi0::1::instr");
    EXPECT_EQ(file, "");
}

} // namespace
