#include "app/CommandLine.h"

#include <cctype>
#include <optional>
#include <vector>

#ifndef SFP_VERSION
#error "SFP_VERSION (the package version) must be defined by the build"
#endif

namespace {

const char* const kUsage =
    "Usage: rqk4712v-sfp [/l FILE] [/a RESOURCE] [/n] [/r] [--screenshot=FILE]\n"
    "       rqk4712v-sfp --version | --help\n"
    "The soft front panel of the RQK4712V VXI switch module.\n"
    "\n"
    "  /l FILE            read the switch labels from FILE instead of rqk4712v.lbl\n"
    "  /a RESOURCE        connect to this VISA resource without searching\n"
    "  /n                 accept every instrument found without identifying it, and always ask\n"
    "  /r                 reset the instrument when the driver session opens\n"
    "  --screenshot=FILE  start unattended, save the main window as a PNG to FILE and exit\n"
    "  --version          print the version and exit\n"
    "  --help             print this summary and exit\n"
    "\n"
    "Switches may start with - instead of /, in either case.\n"
    "Environment: RQK4712V_VISA_LIBRARY, RQK4712V_DRIVER_LIBRARY, VISA_SIM_BENCH, VISA_SIM_STATE.\n"
    "See rqk4712v-sfp(1).\n";
const char* const kScreenshotSwitch = "--screenshot=";

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

} // namespace

CCommandLine ParseCommandLine(const std::string& text) {
    CCommandLine result;
    SwitchArgument labels;
    SwitchArgument address;
    const std::vector<std::string> words = SplitWords(text);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "--version" || w == "--help") {
            if (result.info == CCommandLine::Info::None) {
                result.info = w == "--version" ? CCommandLine::Info::Version : CCommandLine::Info::Help;
            }
            continue;
        }
        if (w.size() < 2 || (w[0] != '/' && w[0] != '-')) {
            continue;
        }
        const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(w[1])));
        if (letter == 'l' || letter == 'a') {
            std::string value = w.substr(2);
            if (value.empty() && i + 1 < words.size()) {
                value = words[++i]; // the next word is the argument, never a switch of its own
            }
            (letter == 'l' ? labels : address).Take(w[0], value);
        } else if (letter == 'n') {
            result.noIdentify = true;
        } else if (letter == 'r') {
            result.reset = true;
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

std::string JoinCommandLine(const std::vector<std::string>& arguments, std::string& screenshotFile) {
    std::string line;
    screenshotFile.clear();
    for (const std::string& argument : arguments) {
        if (argument.rfind(kScreenshotSwitch, 0) == 0) {
            screenshotFile = argument.substr(std::char_traits<char>::length(kScreenshotSwitch));
            continue;
        }
        if (!line.empty()) {
            line += ' ';
        }
        line += argument;
    }
    return line;
}

std::string ArgumentsProblem(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == kScreenshotSwitch) {
            return "--screenshot= needs the name of the picture file";
        }
    }
    return {};
}
