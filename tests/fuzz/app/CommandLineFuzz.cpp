// The program's arguments of any content: the input is split into arguments at NUL bytes and read. The
// picture file must be the last --screenshot= argument's, and arguments that ask for a picture without
// naming one must be refused; the switches read must come from whole words of the arguments (a lone
// argument with spaces split at them); and accepted arguments written back afresh must read the same.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

const std::string kScreenshot = "--screenshot=";

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < text.size()) {
        const size_t space = text.find(' ', start);
        const size_t end = space == std::string::npos ? text.size() : space;
        if (end > start) {
            words.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return words;
}

bool Same(const CCommandLine& a, const CCommandLine& b) {
    return a.hasLabelsFile == b.hasLabelsFile && a.labelsFile == b.labelsFile &&
           a.hasAddress == b.hasAddress && a.address == b.address && a.noIdentify == b.noIdentify &&
           a.reset == b.reset && a.fromMenu == b.fromMenu && a.screenshotFile == b.screenshotFile &&
           a.info == b.info && a.problem == b.problem;
}

// A sign and the letter, then anything for a switch with an argument, nothing for one without.
bool HasSwitch(const std::vector<std::string>& words, char letter, bool takesArgument) {
    for (const std::string& w : words) {
        if (w.size() >= 2 && (w[0] == '/' || w[0] == '-') &&
            std::tolower(static_cast<unsigned char>(w[1])) == letter && (takesArgument || w.size() == 2)) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (size_t start = 0;;) {
        const size_t nul = input.find('\0', start);
        arguments.push_back(input.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
        if (nul == std::string::npos) {
            break;
        }
        start = nul + 1;
    }

    const CCommandLine read = ParseArguments(arguments);
    std::string lastScreenshot;
    bool asksForPicture = false;
    std::vector<std::string> words;
    for (const std::string& argument : arguments) {
        if (argument.rfind(kScreenshot, 0) == 0) {
            asksForPicture = true;
            lastScreenshot = argument.substr(kScreenshot.size());
        } else {
            words.push_back(argument);
        }
    }
    if (words.size() == 1) {
        words = Words(words[0]);
    }
    if (read.screenshotFile != lastScreenshot) {
        std::abort();
    }
    // Arguments that ask for an unattended run and are accepted name the picture: never an interactive
    // run that waits for an operator.
    if (asksForPicture && read.screenshotFile.empty() && read.problem.empty()) {
        std::abort();
    }
    if ((read.hasLabelsFile && !HasSwitch(words, 'l', true)) ||
        (read.hasAddress && !HasSwitch(words, 'a', true)) ||
        (read.noIdentify && !HasSwitch(words, 'n', false)) || (read.reset && !HasSwitch(words, 'r', false)) ||
        (!read.hasLabelsFile && read.labelsFile != kDefaultLabelsFile) ||
        read.problem.find('\n') != std::string::npos) {
        std::abort();
    }
    for (char c : read.address) {
        if (std::islower(static_cast<unsigned char>(c))) {
            std::abort();
        }
    }
    if (!read.problem.empty()) {
        return 0;
    }

    // The same switches written afresh, each argument in a word of its own, read the same (empty
    // arguments are no words).
    const bool version = read.info == CCommandLine::Info::Version;
    std::vector<std::string> again = {read.noIdentify ? "/N" : "",
                                      read.reset ? "-r" : "",
                                      read.fromMenu ? "--from-menu" : "",
                                      read.info == CCommandLine::Info::None ? ""
                                      : version                             ? "--version"
                                                                            : "-?",
                                      asksForPicture ? kScreenshot + read.screenshotFile : "",
                                      "ignored"};
    if (read.hasLabelsFile) {
        again.insert(again.end(), {"/L", read.labelsFile});
    }
    if (read.hasAddress) {
        again.insert(again.end(), {"-a", read.address});
    }
    if (!Same(ParseArguments(again), read)) {
        std::abort();
    }
    return 0;
}
