#include "platform/ProgramFiles.h"

#include <cstdlib>
#include <unistd.h>

#include "platform/DynamicLibrary.h"

#if !defined(SFP_LIBDIR_FROM_BINDIR) || !defined(SFP_DATADIR_FROM_BINDIR)
#error "the build defines where an installation puts the libraries and data relative to the program"
#endif

std::string FindProgramFile(const std::string& programFolder, const std::string& installedFromProgram,
                            const std::string& name) {
    if (programFolder.empty()) {
        return {};
    }
    for (const std::string& path :
         {programFolder + name, programFolder + installedFromProgram + "/" + name}) {
        if (access(path.c_str(), F_OK) == 0) {
            return path;
        }
    }
    return {};
}

std::string FindProgramLibrary(const std::string& name) {
    return FindProgramFile(ProgramFolder(), SFP_LIBDIR_FROM_BINDIR, name);
}

std::string FindProgramData(const std::string& name) {
    return FindProgramFile(ProgramFolder(), SFP_DATADIR_FROM_BINDIR, name);
}

std::string UserSettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/rqk4712v-sfp/";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/rqk4712v-sfp/";
    }
    return {};
}
