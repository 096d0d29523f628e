// The program's own files. A build keeps them beside the program; an installation puts the libraries in
// the library folder and the rest (help book) in the package's data folder, both reached from the
// program's folder by a relative path fixed at build time, so an installed copy finds them under any
// prefix.
#pragma once

#include <string>

// The first that exists of <programFolder><name> and <programFolder><installedFromProgram>/<name>; empty
// when neither does. programFolder ends with a separator or is empty (then nothing is found).
std::string FindProgramFile(const std::string& programFolder, const std::string& installedFromProgram,
                            const std::string& name);

// The user's settings folder of the program, with a trailing separator: rqk4712v-sfp/ under
// $XDG_CONFIG_HOME when it is an absolute path, else under ~/.config; empty when there is no home.
std::string UserSettingsFolder();

// A library of the program, beside it or in the installed library folder; empty when in neither.
std::string FindProgramLibrary(const std::string& name);
// A data file of the program (name relative to the data folder, such as "help/rqk4712v.hhp"), beside it
// or in the installed data folder; empty when in neither.
std::string FindProgramData(const std::string& name);
