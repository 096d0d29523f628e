#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "VisaLoader.h"

namespace fs = std::filesystem;

namespace {

struct LoadResult {
    int loaded;
    std::string report;
};

LoadResult Load(const fs::path& root) {
    VisaApi api;
    char report[4096];
    const int loaded = VisaLoadUnder(&api, root.c_str(), report, sizeof(report));
    return {loaded && api.viOpenDefaultRM != nullptr, report};
}

// Empties the folder but keeps it: the dynamic loader passes over a folder it once found missing.
void EmptyFolder(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        fs::remove_all(entry.path());
    }
}

} // namespace

// Each place the search knows gets a copy of the simulated library, from the last in the order to the
// first: every new copy must be the one loaded, so each place is found with nothing set, and before
// every place after it. (A copy, not a link: the dynamic loader would give the library loaded first.)
TEST(VisaLoaderSearch, EveryPlaceIsFoundBeforeThoseAfterIt) {
    const fs::path search = SEARCH_PATH_FOLDER;
    const fs::path root = fs::temp_directory_path() / ("sfp-visa-root-" + std::to_string(getpid()));
    ASSERT_TRUE(fs::is_directory(search)) << "the build makes the folder of the search path";
    EmptyFolder(search);
    unsetenv("RQK4712V_VISA_LIBRARY");
    if (Load(root).loaded) {
        GTEST_SKIP() << "a VISA library is installed on this machine: " << Load(root).report;
    }
    const std::string custom = (root / "custom/visa.so").string();
    const std::string places[] = {
        root.string() + "/usr/lib64/librsvisa.so",
        root.string() + "/usr/lib/librsvisa.so",
        root.string() + "/opt/keysight/iolibs/libktvisa32.so",
        root.string() + "/usr/local/vxipnp/linux/bin/libvisa.so.7",
        root.string() + MULTIARCH_FOLDER "/libvisa.so.9.1",
        root.string() + MULTIARCH_FOLDER "/libvisa.so.23.5.0", // the newest version wins
        (search / "librsvisa.so").string(),
        (search / "libktvisa32.so").string(),
        (search / "libvisa.so.7").string(),
        (search / "libvisa.so.0").string(),
        (search / "libvisa.so").string(),
        custom,
    };
    for (const std::string& place : places) {
        if (place == custom) {
            fs::create_directories(root / "etc/rqk4712v-sfp");
            std::ofstream(root / "etc/rqk4712v-sfp/visa-library")
                << "# the lab's VISA\n\n  " << custom << " \n";
        }
        fs::create_directories(fs::path(place).parent_path());
        fs::copy_file(SIM_VISA_PATH, place);
        const LoadResult result = Load(root);
        EXPECT_TRUE(result.loaded) << place;
        EXPECT_EQ(result.report, place);
    }
    // The variable is taken alone: a library it names that is missing is reported, and no other tried.
    setenv("RQK4712V_VISA_LIBRARY", (root / "missing.so").c_str(), 1);
    const LoadResult missing = Load(root);
    unsetenv("RQK4712V_VISA_LIBRARY");
    EXPECT_FALSE(missing.loaded);
    EXPECT_EQ(missing.report,
              "tried " + (root / "missing.so").string() +
                  " (RQK4712V_VISA_LIBRARY); the first failed with: " + (root / "missing.so").string() +
                  ": cannot open shared object file: No such file or directory");
    fs::remove_all(root);
    EmptyFolder(search);
}
