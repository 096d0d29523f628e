#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

TEST(CommandLine, DefaultsWithoutSwitches) {
    const CCommandLine c = ParseCommandLine("");
    EXPECT_FALSE(c.hasLabelsFile);
    EXPECT_EQ(c.labelsFile, "rqk4712v.lbl");
    EXPECT_FALSE(c.hasAddress);
    EXPECT_FALSE(c.noIdentify);
    EXPECT_FALSE(c.reset);
}

TEST(CommandLine, LabelsFileKeepsItsCaseAndTakesNextOrAttachedWord) {
    EXPECT_EQ(ParseCommandLine("-L /Data/Bench.LBL").labelsFile, "/Data/Bench.LBL");
    EXPECT_EQ(ParseCommandLine("/lbench.lbl").labelsFile, "bench.lbl");
    EXPECT_EQ(ParseCommandLine("  /l    spaced.lbl  ").labelsFile, "spaced.lbl");
    // A name with a space: only the first word is the name.
    EXPECT_EQ(ParseCommandLine("/l my file.lbl").labelsFile, "my");
}

TEST(CommandLine, WordsThatAreNoSwitchOrLackTheirArgumentAreRefusedByName) {
    // The last word of each line is the one refused.
    for (const std::string line :
         {"/r /l", "-readonly", "--bogus", "-a", "/nr", "-", "--screenshot=", "-root/rack.lbl"}) {
        const std::string problem = ParseCommandLine(line).problem;
        EXPECT_NE(problem.find(line.substr(line.rfind(' ') + 1)), std::string::npos) << line;
        EXPECT_NE(problem.find("--help"), std::string::npos) << line;
    }
    // Words without a sign are ignored, and so are paths, which are also named.
    EXPECT_EQ(ParseCommandLine("bench.lbl vxi0::5").problem, "");
    const CCommandLine path = ParseCommandLine("/root/rack.lbl");
    EXPECT_EQ(path.problem, "");
    EXPECT_FALSE(path.reset || path.hasLabelsFile || path.hasAddress);
    EXPECT_EQ(path.ignoredPaths, std::vector<std::string>{"/root/rack.lbl"});
}

TEST(CommandLine, EachArgumentIsOneWordUnlessItIsTheOnlyOne) {
    EXPECT_EQ(ParseArguments({"/l", "/data/my labels.lbl", "/r"}).labelsFile, "/data/my labels.lbl");
    // A launcher that passes the whole line as one string.
    const CCommandLine c = ParseArguments({"/l /data/x.lbl  /r"});
    EXPECT_EQ(c.labelsFile, "/data/x.lbl");
    EXPECT_TRUE(c.reset);
}

TEST(CommandLine, SlashFormWinsOverDashForm) {
    EXPECT_EQ(ParseCommandLine("/l a.lbl -l b.lbl").labelsFile, "a.lbl");
    EXPECT_EQ(ParseCommandLine("-l b.lbl /l a.lbl").labelsFile, "a.lbl");
    EXPECT_EQ(ParseCommandLine("-l b.lbl -l c.lbl").labelsFile, "b.lbl");
    EXPECT_EQ(ParseCommandLine("-a gpib0::9 /a vxi0::5").address, "VXI0::5");
}

TEST(CommandLine, PathsInArgumentsAreNeverSwitches) {
    // A path full of slashes asks for neither a reset nor an explicit connection.
    CCommandLine c = ParseCommandLine("/l c:/run/x.lbl");
    EXPECT_EQ(c.labelsFile, "c:/run/x.lbl");
    EXPECT_FALSE(c.reset);
    EXPECT_FALSE(c.hasAddress);
    c = ParseCommandLine("/l /home/ann/rack.lbl");
    EXPECT_EQ(c.labelsFile, "/home/ann/rack.lbl");
    EXPECT_FALSE(c.reset);
    EXPECT_FALSE(c.hasAddress);
    // A word taken as an argument is not a switch even when it looks like one.
    c = ParseCommandLine("/l /r");
    EXPECT_EQ(c.labelsFile, "/r");
    EXPECT_FALSE(c.reset);
}

TEST(CommandLine, AddressIsUpperCasedAndFlagsAreFound) {
    const CCommandLine c = ParseCommandLine("-N /a vxi0::5::instr -R unknown words");
    EXPECT_TRUE(c.hasAddress);
    EXPECT_EQ(c.address, "VXI0::5::INSTR");
    EXPECT_TRUE(c.noIdentify);
    EXPECT_TRUE(c.reset);
    EXPECT_FALSE(c.hasLabelsFile);
}

TEST(CommandLine, VersionAndHelpAreWholeWordsAndTheFirstWins) {
    EXPECT_EQ(ParseCommandLine("/r --version").info, CCommandLine::Info::Version);
    EXPECT_EQ(ParseCommandLine("--help /n --version").info, CCommandLine::Info::Help);
    EXPECT_EQ(ParseCommandLine("/n --version --help").info, CCommandLine::Info::Version);
    // A labels file may be called --help; near misses are unknown words.
    EXPECT_EQ(ParseCommandLine("/l --help").info, CCommandLine::Info::None);
    EXPECT_EQ(ParseCommandLine("-version -help --HELP --versions").info, CCommandLine::Info::None);
    EXPECT_EQ(ParseCommandLine("-h").info, CCommandLine::Info::Help);
    EXPECT_EQ(ParseCommandLine("/?").info, CCommandLine::Info::Help);
}

TEST(StartUpCommandLine, ScreenshotTokenIsTakenOutBeforeTheSwitchesAreRead) {
    const CCommandLine c = ParseArguments({"/l", "--screenshot=/tmp/a b.png", "bench.lbl", "/r"});
    EXPECT_EQ(c.labelsFile, "bench.lbl");
    EXPECT_EQ(c.screenshotFile, "/tmp/a b.png");
    EXPECT_EQ(ParseArguments({}).screenshotFile, "");
}
