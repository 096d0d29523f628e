#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/ProgramFiles.h"

namespace fs = std::filesystem;

// A build keeps a file beside the program and an installation in a folder reached from the program's
// folder: the build's copy wins, the installed one is found alone, and nothing is found when neither is.
TEST(ProgramFiles, BesideTheProgramFirstThenTheInstalledPlace) {
    const fs::path top = fs::temp_directory_path() / ("sfp-program-files-" + std::to_string(getpid()));
    fs::remove_all(top);
    fs::create_directories(top / "bin");
    fs::create_directories(top / "lib/x");
    const std::string bin = (top / "bin").string() + "/";

    EXPECT_EQ(FindProgramFile(bin, "../lib/x", "libd.so"), "");
    std::ofstream(top / "lib/x/libd.so") << "";
    EXPECT_EQ(FindProgramFile(bin, "../lib/x", "libd.so"), bin + "../lib/x/libd.so");
    std::ofstream(top / "bin/libd.so") << "";
    EXPECT_EQ(FindProgramFile(bin, "../lib/x", "libd.so"), bin + "libd.so");
    fs::remove_all(top);
}

TEST(ProgramFiles, UserSettingsFolderFollowsTheDesktopsConfigFolder) {
    const std::string home = getenv("HOME");
    setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
    EXPECT_EQ(UserSettingsFolder(), "/x/cfg/rqk4712v-sfp/");
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(UserSettingsFolder(), "/home/ann/.config/rqk4712v-sfp/");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
}
