#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/wx/SfpApp.h"
#include "platform/wx/StartupClock.h"

// Arguments that cannot be run are refused, and "--version" and "--help" answered, here, before wx
// starts and opens the display: they work on a machine without one, and a mistyped switch never gets
// as far as the module.
int main(int argc, char** argv) {
    ReportStartupClock("main");
    const CCommandLine line = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.problem.empty()) {
        std::fprintf(stderr, "rqk4712v-sfp: %s\n", line.problem.c_str());
        return 2;
    }
    for (const std::string& path : line.ignoredPaths) {
        std::fprintf(stderr, "rqk4712v-sfp: ignoring \"%s\": a path is read only after /l\n", path.c_str());
    }
    if (line.info != CCommandLine::Info::None) {
        const std::string text = InfoText(line.info);
        const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }
    return wxEntry(argc, argv);
}

wxIMPLEMENT_APP_NO_MAIN(CSfpApp);
