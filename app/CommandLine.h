// The program's command line. Each argument the program receives is one word, as the shell split them
// (so a quoted name may hold spaces); only a single argument that holds spaces, as a launcher passes the
// whole line in one string, is split into words at its spaces.
//   /l name   labels file to read instead of the default labels file (the name keeps its case)
//   /a name   VISA resource to connect to without searching (upper-cased)
//   /n        accept every instrument found without identifying it, and always ask
//   /r        open the driver session with a reset of the instrument
// A switch begins with "/" or "-" and its letter may be of either case. "/n" and "/r" are whole words
// only: "/root/rack.lbl" or "-readonly" never resets the module. "/l" and "/a" take the rest of their
// word when it is not empty ("/lbench.lbl"), else the next word; a word taken as an argument is never a
// switch of its own. When a switch with an argument occurs in both forms, the first "/" form wins over
// the first "-" form. The whole words "--version" and "--help" (also "-h" and "-?") ask for the
// program's version or this summary instead of a run (the first of them wins); "--from-menu" says the
// program was started from the desktop's menu; "--screenshot=FILE" asks for an unattended run. Any other
// word that begins with "/" or "-", or a switch whose argument is missing, makes the arguments unfit to
// run; words without a sign are ignored.
#pragma once

#include <string>
#include <vector>

constexpr const char* kDefaultLabelsFile = "rqk4712v.lbl";

struct CCommandLine {
    bool hasLabelsFile = false;
    std::string labelsFile = kDefaultLabelsFile;
    bool hasAddress = false; // "/a" given: explicit connection
    std::string address;     // upper-cased resource name
    bool noIdentify = false; // "/n"
    bool reset = false;      // "/r"
    bool fromMenu = false;   // "--from-menu": started from the desktop's menu
    // The picture file of "--screenshot=FILE" (the last one given); empty when not asked for.
    std::string screenshotFile;
    // "--version" or "--help": print and exit before any window opens.
    enum class Info { None, Version, Help } info = Info::None;
    // Why the arguments cannot be run, as one line for standard error naming the word; empty when they
    // can. It is answered (exit status 2) before a version or help request and before any window opens.
    std::string problem;
    // Paths given without a switch ("/root/rack.lbl"): ignored like any word that is no switch, and
    // named on standard error so that the operator knows the file was not read.
    std::vector<std::string> ignoredPaths;
};

// Reads the program's arguments (those after the program name).
CCommandLine ParseArguments(const std::vector<std::string>& arguments);

// Reads a command line given as one text, split into words at spaces.
CCommandLine ParseCommandLine(const std::string& text);

// What "--version" and "--help" print (each ends with a line break); empty for Info::None.
std::string InfoText(CCommandLine::Info info);
