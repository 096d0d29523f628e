#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "VisaLoader.h"

namespace fs = std::filesystem;

namespace {

// The file loaded, or the report of the search that found none.
std::string Load(const fs::path& root) {
    VisaApi api;
    char report[4096];
    return VisaLoadUnder(&api, root.c_str(), report, sizeof(report)) ? report
                                                                     : "none: " + std::string(report);
}

} // namespace

// Each place the search knows gets a copy of the simulated library, from the last in the order to the
// first: every new copy must be the one loaded, so each place is found with nothing set, and before every
// place after it. (A copy, not a link, which the dynamic loader would take for the library loaded first.)
TEST(VisaLoaderSearch, EveryPlaceIsFoundBeforeThoseAfterIt) {
    const fs::path search = SEARCH_PATH_FOLDER;
    const std::string root = fs::temp_directory_path() / ("sfp-visa-root-" + std::to_string(getpid()));
    ASSERT_TRUE(fs::is_directory(search)) << "the build makes the folder of the search path";
    unsetenv("RQK4712V_VISA_LIBRARY");
    if (Load(root).rfind("none: ", 0) != 0) {
        GTEST_SKIP() << "a VISA library is installed on this machine";
    }
    const std::string setting = root + "/etc/rqk4712v-sfp/visa-library";
    for (const std::string& place :
         {root + "/usr/lib64/librsvisa.so", root + "/usr/lib/librsvisa.so",
          root + "/opt/keysight/iolibs/libktvisa32.so", root + "/usr/local/vxipnp/linux/bin/libvisa.so.7",
          root + MULTIARCH_FOLDER "/libvisa.so.9.1", root + MULTIARCH_FOLDER "/libvisa.so.23.5.0",
          (search / "librsvisa.so").string(), (search / "libktvisa32.so").string(),
          (search / "libvisa.so.7").string(), (search / "libvisa.so.0").string(),
          (search / "libvisa.so").string(), root + "/custom/visa.so"}) {
        fs::create_directories(fs::path(place).parent_path());
        fs::copy_file(SIM_VISA_PATH, place);
        if (place == root + "/custom/visa.so") {
            fs::create_directories(fs::path(setting).parent_path());
            std::ofstream(setting) << "# the lab's VISA\n\n  " << place << " \n";
        }
        EXPECT_EQ(Load(root), place);
    }
    // The variable is taken alone: a library it names that is missing is reported, and no other tried.
    setenv("RQK4712V_VISA_LIBRARY", (root + "/missing.so").c_str(), 1);
    EXPECT_EQ(Load(root), "none: tried " + root +
                              "/missing.so (RQK4712V_VISA_LIBRARY); the first failed with: " + root +
                              "/missing.so: cannot open shared object file: No such file or directory");
    unsetenv("RQK4712V_VISA_LIBRARY");
    fs::remove_all(root);
    for (const auto& entry : fs::directory_iterator(search)) {
        fs::remove_all(entry.path()); // the folder itself stays: the loader passes over one it found missing
    }
}
