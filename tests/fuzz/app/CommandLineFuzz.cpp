// The program's arguments of any content: the input is split into arguments at NUL bytes, joined into
// the command line (the --screenshot= file taken out) and read. The picture file must be the last
// --screenshot= argument's, and accepted arguments that ask for a picture must name one; the line must
// hold the other arguments' words and no more; the switches read must come from words of the line; and
// writing the result back as a command line must read the same again, however the words are spaced.
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
           a.reset == b.reset && a.info == b.info;
}

bool HasSwitch(const std::vector<std::string>& words, char letter) {
    for (const std::string& w : words) {
        if (w.size() >= 2 && (w[0] == '/' || w[0] == '-') &&
            std::tolower(static_cast<unsigned char>(w[1])) == letter) {
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

    std::string screenshot = "not set";
    const std::string line = JoinCommandLine(arguments, screenshot);
    std::string lastScreenshot;
    bool asksForPicture = false;
    std::vector<std::string> expectedWords;
    for (const std::string& argument : arguments) {
        if (argument.rfind(kScreenshot, 0) == 0) {
            asksForPicture = true;
            lastScreenshot = argument.substr(kScreenshot.size());
        } else {
            for (const std::string& word : Words(argument)) {
                expectedWords.push_back(word);
            }
        }
    }
    const std::vector<std::string> words = Words(line);
    if (screenshot != lastScreenshot || words != expectedWords) {
        std::abort();
    }
    // Arguments that ask for an unattended run and are accepted name the picture: never an interactive
    // run that waits for an operator.
    if (asksForPicture && screenshot.empty() && ArgumentsProblem(arguments).empty()) {
        std::abort();
    }

    const CCommandLine read = ParseCommandLine(line);
    if ((read.hasLabelsFile && !HasSwitch(words, 'l')) || (read.hasAddress && !HasSwitch(words, 'a')) ||
        (read.noIdentify && !HasSwitch(words, 'n')) || (read.reset && !HasSwitch(words, 'r')) ||
        (!read.hasLabelsFile && read.labelsFile != kDefaultLabelsFile)) {
        std::abort();
    }
    for (char c : read.address) {
        if (c == ' ' || std::islower(static_cast<unsigned char>(c))) {
            std::abort();
        }
    }
    if (read.labelsFile.find(' ') != std::string::npos) {
        std::abort();
    }

    // The same switches written afresh, with other spacing, read the same. A switch's argument stands in
    // its own word, so that it never reads as a switch of its own.
    std::string again = "  ";
    if (read.hasLabelsFile && !read.labelsFile.empty()) {
        again += "/L " + read.labelsFile + "   ";
    }
    if (read.hasAddress && !read.address.empty()) {
        again += "-a " + read.address + " ";
    }
    again += std::string(read.noIdentify ? "/N " : "") + (read.reset ? " -r" : "");
    again += read.info == CCommandLine::Info::Version ? " --version" : "";
    again += read.info == CCommandLine::Info::Help ? " --help" : "";
    CCommandLine expected = read;
    if (read.labelsFile.empty()) {
        expected.hasLabelsFile = false;
        expected.labelsFile = kDefaultLabelsFile;
    }
    if (read.address.empty()) {
        expected.hasAddress = false;
    }
    if (!Same(ParseCommandLine(again), expected)) {
        std::abort();
    }
    return 0;
}
