// The program's command line. It is split into words at spaces; a word is a switch when its first
// character is "/" or "-" and its second is l, a, n or r in either case; a word taken as a switch's
// argument is never itself a switch.
//   /l name   labels file to read instead of "rqk4712v.lbl" (the name keeps its case)
//   /a name   VISA resource to connect to without searching (upper-cased)
//   /n        accept every instrument found without identifying it, and always ask
//   /r        open the driver session with a reset of the instrument
// "/l" and "/a" take the rest of their word when it is not empty ("/lbench.lbl"), else the next word,
// else an empty argument. When a switch with an argument occurs in both forms, the first "/" form wins
// over the first "-" form. The whole words "--version" and "--help" ask for the program's version or
// this summary instead of a run (the first of them wins). Unknown words are ignored; there is no quoting.
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
    // "--version" or "--help": print and exit before any window opens.
    enum class Info { None, Version, Help } info = Info::None;
};

CCommandLine ParseCommandLine(const std::string& text);

// What "--version" and "--help" print (each ends with a line break); empty for Info::None.
std::string InfoText(CCommandLine::Info info);

// Splits the program's arguments into the command line (the words joined by spaces) and the file of
// --screenshot=FILE (empty when not given). The token is taken out before the command line is read, so
// its path never looks like a switch.
std::string JoinCommandLine(const std::vector<std::string>& arguments, std::string& screenshotFile);

// Why the program's arguments cannot be run, as a line for standard error; empty when they can. A
// --screenshot= without a file is refused: taken as no switch, it would start an interactive run that
// waits for an operator.
std::string ArgumentsProblem(const std::vector<std::string>& arguments);
