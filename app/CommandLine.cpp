#include "app/CommandLine.h"

#include <cctype>
#include <optional>
#include <vector>

#ifndef SFP_VERSION
#error "SFP_VERSION (the package version) must be defined by the build"
#endif

namespace {

const char* const kUsage =
    "Usage: rqk4712v-sfp [/l FILE] [/a RESOURCE] [/n] [/r] [--from-menu] [--screenshot=FILE]\n"
    "       rqk4712v-sfp --version | --help\n"
    "The soft front panel of the RQK4712V VXI switch module.\n"
    "\n"
    "  /l FILE            read the switch labels from FILE instead of rqk4712v.lbl\n"
    "  /a RESOURCE        connect to this VISA resource without searching\n"
    "  /n                 accept every instrument found without identifying it, and always ask\n"
    "  /r                 reset the instrument when the driver session opens\n"
    "  --from-menu        started from the desktop's menu: the default labels file is\n"
    "                     $XDG_CONFIG_HOME/rqk4712v-sfp/rqk4712v.lbl\n"
    "  --screenshot=FILE  start unattended, save the main window as a PNG to FILE and exit\n"
    "  --version          print the version and exit\n"
    "  --help, -h         print this summary and exit\n"
    "\n"
    "Switches may start with - instead of /, in either case. Other words that start with / or -\n"
    "are refused with exit status 2, except paths (a second /), which are ignored.\n"
    "Environment: RQK4712V_VISA_LIBRARY, RQK4712V_DRIVER_LIBRARY, VISA_SIM_BENCH, VISA_SIM_STATE.\n"
    "See rqk4712v-sfp(1).\n";
const char* const kScreenshotSwitch = "--screenshot=";
const char* const kSeeHelp = " (see rqk4712v-sfp --help)";

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ') {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

struct SwitchArgument {
    std::optional<std::string> slashForm; // first "/x" occurrence
    std::optional<std::string> dashForm;  // first "-x" occurrence

    void Take(char prefix, const std::string& value) {
        auto& slot = prefix == '/' ? slashForm : dashForm;
        if (!slot) {
            slot = value;
        }
    }
    std::optional<std::string> Winner() const { return slashForm ? slashForm : dashForm; }
};

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A word of a sign and one letter, of either case: "/r", "-R".
bool IsShortSwitch(const std::string& word, char letter) {
    return word.size() == 2 && (word[0] == '/' || word[0] == '-') && Lower(word[1]) == letter;
}

void Refuse(CCommandLine& result, const std::string& why) {
    if (result.problem.empty()) {
        result.problem = why + kSeeHelp;
    }
}

} // namespace

CCommandLine ParseArguments(const std::vector<std::string>& arguments) {
    CCommandLine result;
    SwitchArgument labels;
    SwitchArgument address;
    std::vector<std::string> words;
    for (const std::string& argument : arguments) {
        // Taken out before the words are read, so that the picture's path never reads as a switch.
        if (argument.rfind(kScreenshotSwitch, 0) == 0) {
            result.screenshotFile = argument.substr(std::char_traits<char>::length(kScreenshotSwitch));
            if (result.screenshotFile.empty()) {
                // Taken as no switch, it would start an interactive run that waits for an operator.
                Refuse(result, "--screenshot= needs the name of the picture file");
            }
        } else {
            words.push_back(argument);
        }
    }
    if (words.size() == 1 && words[0].find(' ') != std::string::npos) {
        words = SplitWords(words[0]);
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "--version" || w == "--help" || IsShortSwitch(w, 'h') || IsShortSwitch(w, '?')) {
            if (result.info == CCommandLine::Info::None) {
                result.info = w == "--version" ? CCommandLine::Info::Version : CCommandLine::Info::Help;
            }
            continue;
        }
        if (w == "--from-menu") {
            result.fromMenu = true;
            continue;
        }
        if (w.empty() || (w[0] != '/' && w[0] != '-')) {
            continue; // a word without a sign is no switch
        }
        const char letter = w.size() >= 2 ? Lower(w[1]) : '\0';
        if (letter == 'l' || letter == 'a') {
            std::string value = w.substr(2);
            if (value.empty()) {
                if (i + 1 == words.size()) {
                    Refuse(result,
                           "\"" + w + "\" needs " + (letter == 'l' ? "a file name" : "a resource name"));
                    continue;
                }
                value = words[++i]; // the next word is the argument, never a switch of its own
            }
            (letter == 'l' ? labels : address).Take(w[0], value);
        } else if (IsShortSwitch(w, 'n')) {
            result.noIdentify = true;
        } else if (IsShortSwitch(w, 'r')) {
            result.reset = true;
        } else if (w[0] == '/' && w.find('/', 1) != std::string::npos) {
            // A second slash makes it a path on this platform, not a mistyped switch.
            result.ignoredPaths.push_back(w);
        } else {
            Refuse(result, "unknown switch \"" + w + "\"");
        }
    }
    if (auto name = labels.Winner()) {
        result.hasLabelsFile = true;
        result.labelsFile = *name;
    }
    if (auto name = address.Winner()) {
        result.hasAddress = true;
        for (char& c : *name) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        result.address = *name;
    }
    return result;
}

CCommandLine ParseCommandLine(const std::string& text) {
    return ParseArguments(SplitWords(text));
}

std::string InfoText(CCommandLine::Info info) {
    switch (info) {
    case CCommandLine::Info::Version:
        return std::string("rqk4712v-sfp ") + SFP_VERSION + "\n";
    case CCommandLine::Info::Help:
        return kUsage;
    case CCommandLine::Info::None:
        break;
    }
    return {};
}
