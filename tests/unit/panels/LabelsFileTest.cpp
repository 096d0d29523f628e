#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/SfpAppData.h"
#include "panels/LabelsFile.h"
#include "panels/Pan1Obj.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace fs = std::filesystem;

namespace {

// The exact bytes of the example file.
const char kExampleText[] = "// This is an example labels file. \n"
                            "// A group of 5 labels, up to 7 characters each\n"
                            "// may be provided for any of the 18 banks of\n"
                            "// switches.  Banks that are not listed will be\n"
                            "// given default labels.\n"
                            "// Lines preceded by a double slash (//) will be\n"
                            "// ignored.  Only one bank may be listed on a line.\n"
                            "// The banks are BANKmb, where m (main module or\n"
                            "// expander module) can be 0, 1 or 2, and b (the\n"
                            "// bank within the module) can be 0 through 5.\n"
                            "// Pipe | markers are used to separate the label fields\n"
                            "// Blank fields will be given default labels.  Leading\n"
                            "// spaces will be ignored.\n"
                            "// The following line shows how to set bank 00 to\n"
                            "// pole label Com 00, and switch labels 00, 01, 02 and 03.\n"
                            "BANK00[Com 00|00|01|02|03]\n"
                            "// Tags may be given so that the labels will depend upon\n"
                            "// the instrument address.  For example, lines following the\n"
                            "[VXI0::112]\n"
                            "// tag will only be used with VXI instruments at Logical Address 112.\n"
                            "// Lines following the\n"
                            "[GPIB0::9::14]\n"
                            "// tag will only be used with non-VXI instruments at primary address 9,\n"
                            "// secondary address 14.\n";

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool SameAsDefaults(const LabelBanks& labels) {
    LabelBanks defaults;
    SetDefaultLabels(defaults);
    for (int b = 0; b < kGroupCount; ++b) {
        for (int i = 0; i < kLabelsPerBank; ++i) {
            if (std::string(labels[b][i]) != defaults[b][i]) {
                return false;
            }
        }
    }
    return true;
}

// Runs each test in a fresh temporary current directory, since the labels file name is relative.
class LabelsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "sfp-labels-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        fs::current_path(m_dir);
        SetDefaultLabels(labels);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_dir);
    }
    bool DirectoryEmpty() const { return fs::is_empty(m_dir); }

    fs::path m_previous;
    fs::path m_dir;
    LabelBanks labels;
};

} // namespace

TEST_F(LabelsFileTest, MissingDefaultFileIsWrittenAsTheExampleAndDefaultsStay) {
    ReadLabelsFile("rqk4712v.lbl", "VXI0::112::INSTR", labels);
    EXPECT_TRUE(SameAsDefaults(labels));
    ASSERT_TRUE(fs::is_regular_file("rqk4712v.lbl"));
    const std::string text = Contents("rqk4712v.lbl");
    EXPECT_EQ(text, kExampleText);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 24);
}

TEST_F(LabelsFileTest, DefaultFileInTheSettingsFolderIsWrittenThereWithItsFolders) {
    const std::string settingsFile = (m_dir / "config/rqk4712v-sfp/rqk4712v.lbl").string();
    EXPECT_EQ(ReadLabelsFile(settingsFile, "Addr Unknown", labels, settingsFile), "");
    EXPECT_EQ(Contents(settingsFile), kExampleText);
    // The current folder's file is then no default of its own.
    EXPECT_NE(ReadLabelsFile("rqk4712v.lbl", "Addr Unknown", labels, settingsFile), "");
    EXPECT_FALSE(fs::exists("rqk4712v.lbl"));
}

TEST_F(LabelsFileTest, ReadingTheExampleBackChangesOnlyTheBankZeroPoleLabel) {
    ASSERT_TRUE(WriteExampleLabelsFile("rqk4712v.lbl"));
    for (const char* address : {"VXI0::112::INSTR", "GPIB0::9::14::INSTR", "Addr Unknown"}) {
        LabelBanks read;
        SetDefaultLabels(read);
        ReadLabelsFile("rqk4712v.lbl", address, read);
        EXPECT_STREQ(read[0][kPoleLabel], "Com 00") << address;
        std::snprintf(read[0][kPoleLabel], kLabelSize, "Com 0");
        EXPECT_TRUE(SameAsDefaults(read)) << address;
    }
    EXPECT_EQ(Contents("rqk4712v.lbl"), kExampleText); // reading leaves the file as it is
}

TEST_F(LabelsFileTest, ExistingDefaultFileIsReadAndNeverRewritten) {
    Write("rqk4712v.lbl", "BANK02[Mine]\n");
    ReadLabelsFile("rqk4712v.lbl", "Addr Unknown", labels);
    EXPECT_STREQ(labels[2][kPoleLabel], "Mine");
    EXPECT_EQ(Contents("rqk4712v.lbl"), "BANK02[Mine]\n");
    EXPECT_FALSE(WriteExampleLabelsFile("rqk4712v.lbl"));
    EXPECT_EQ(Contents("rqk4712v.lbl"), "BANK02[Mine]\n");
}

TEST_F(LabelsFileTest, MissingFileOfAnotherNameWritesNothing) {
    for (const char* name :
         {"rack.lbl", "RQK4712V.LBL", "./rqk4712v.lbl", "rqk4712v.lbl ", "sub/rqk4712v.lbl"}) {
        EXPECT_EQ(ReadLabelsFile(name, "Addr Unknown", labels), std::strerror(ENOENT)) << name;
        EXPECT_TRUE(SameAsDefaults(labels)) << name;
        EXPECT_TRUE(DirectoryEmpty()) << name;
    }
    EXPECT_EQ(ReadLabelsFile("", "Addr Unknown", labels), "");
}

TEST_F(LabelsFileTest, DanglingSymbolicLinkIsNotFollowed) {
    fs::create_symlink(m_dir / "elsewhere.txt", "rqk4712v.lbl");
    ReadLabelsFile("rqk4712v.lbl", "Addr Unknown", labels);
    EXPECT_TRUE(SameAsDefaults(labels));
    EXPECT_FALSE(fs::exists(m_dir / "elsewhere.txt"));
    EXPECT_TRUE(fs::is_symlink("rqk4712v.lbl"));
}

TEST_F(LabelsFileTest, FifoOrFolderNamedLikeTheFileIsNotRead) {
    // A FIFO would hold up start-up waiting for a writer; neither it nor a folder is read or replaced.
    ASSERT_EQ(mkfifo("rqk4712v.lbl", 0600), 0);
    ReadLabelsFile("rqk4712v.lbl", "Addr Unknown", labels);
    EXPECT_TRUE(SameAsDefaults(labels));
    EXPECT_TRUE(fs::is_fifo("rqk4712v.lbl"));
    fs::create_directory("rack.lbl");
    EXPECT_EQ(ReadLabelsFile("rack.lbl", "Addr Unknown", labels), "not a regular file");
    EXPECT_TRUE(SameAsDefaults(labels));
}

TEST_F(LabelsFileTest, CrlfFileReadsLikeALineFeedFile) {
    Write("rack.lbl", "// rack\r\nBANK01[Ant|RX|TX]\r\n[GPIB0::9]\r\nBANK02[g|h]\r\nBANK03[open\r\n");
    ReadLabelsFile("rack.lbl", "GPIB0::9::14::INSTR", labels);
    EXPECT_STREQ(labels[1][kPoleLabel], "Ant");
    EXPECT_STREQ(labels[1][0], "RX");
    EXPECT_STREQ(labels[1][1], "TX");
    EXPECT_STREQ(labels[2][kPoleLabel], "g");
    EXPECT_STREQ(labels[2][0], "h");
    EXPECT_STREQ(labels[3][kPoleLabel], "open");
}

TEST_F(LabelsFileTest, MainPanelObjectReadsTheInstrumentsFile) {
    Write("rack.lbl", "BANK00[Src]\n[VXI0::112]\nBANK05[Vxi|a]\n");
    CSfpAppData app;
    auto instrument = std::make_unique<CScriptedInstrument>();
    instrument->m_labelsFileName = "rack.lbl";
    instrument->m_address = "VXI0::112::INSTR";
    app.m_pInstrument = std::move(instrument);
    CPan1Obj panel;
    EXPECT_STREQ(panel.m_szLabels[0][kPoleLabel], "Src");
    EXPECT_STREQ(panel.m_szLabels[5][kPoleLabel], "Vxi");
    EXPECT_STREQ(panel.m_szLabels[5][0], "a");
    EXPECT_STREQ(panel.m_szLabels[5][1], "51");
    EXPECT_EQ(panel.m_nGroupType[0], -3);
    EXPECT_EQ(panel.m_nGroupPos[0], -1);
}

TEST_F(LabelsFileTest, MainPanelObjectTellsWhenTheNamedFileCannotBeRead) {
    CRecordingFacade facade;
    CSfpAppData app;
    app.m_pInstrument = std::make_unique<CScriptedInstrument>();
    static_cast<CScriptedInstrument&>(*app.m_pInstrument).m_labelsFileName = "my rack.lbl";
    CPan1Obj panel;
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Could not read the labels file my rack.lbl: " +
                                                          std::string(std::strerror(ENOENT)) +
                                                          ".  Showing the default labels."});
    EXPECT_TRUE(SameAsDefaults(panel.m_szLabels));
}

TEST_F(LabelsFileTest, MainPanelObjectWithoutInstrumentKeepsDefaultsAndWritesNothing) {
    CSfpAppData app;
    CPan1Obj panel;
    EXPECT_TRUE(SameAsDefaults(panel.m_szLabels));
    EXPECT_TRUE(DirectoryEmpty());
}
