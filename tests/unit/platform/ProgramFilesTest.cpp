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
    const struct {
        const char* config;
        const char* home;
        const char* folder;
    } cases[] = {
        {"/x/cfg", "/home/ann", "/x/cfg/rqk4712v-sfp/"},
        {"relative", "/home/ann", "/home/ann/.config/rqk4712v-sfp/"}, // a relative one is ignored
        {nullptr, "/home/ann", "/home/ann/.config/rqk4712v-sfp/"},
        {nullptr, nullptr, ""},
    };
    const std::string config = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    const std::string home = getenv("HOME") ? getenv("HOME") : "";
    for (const auto& c : cases) {
        c.config ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
        c.home ? setenv("HOME", c.home, 1) : unsetenv("HOME");
        EXPECT_EQ(UserSettingsFolder(), c.folder);
    }
    config.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
}
