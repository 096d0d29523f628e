#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/wx/SfpApp.h"

// "--version" and "--help" are answered here, and arguments that cannot be run refused, before wx
// starts and opens the display, so that they work on a machine without one.
int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string screenshotFile;
    const CCommandLine line = ParseCommandLine(JoinCommandLine(arguments, screenshotFile));
    if (line.info != CCommandLine::Info::None) {
        const std::string text = InfoText(line.info);
        const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }
    // Arguments that cannot be run are refused before any window or display is touched.
    const std::string problem = ArgumentsProblem(arguments);
    if (!problem.empty()) {
        std::fprintf(stderr, "rqk4712v-sfp: %s\n", problem.c_str());
        return 2;
    }
    return wxEntry(argc, argv);
}

wxIMPLEMENT_APP_NO_MAIN(CSfpApp);
