#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "panels/LabelsFile.h"

namespace {

void ReadText(const std::string& text, const std::string& address, LabelBanks& labels) {
    CLabelsReader reader(labels, address);
    for (char c : text) {
        reader.Feed(static_cast<unsigned char>(c));
    }
}

// The labels that differ from the defaults, as "bank.index" -> text.
std::map<std::string, std::string> Changes(const LabelBanks& labels) {
    LabelBanks defaults;
    SetDefaultLabels(defaults);
    std::map<std::string, std::string> changes;
    for (int b = 0; b < kGroupCount; ++b) {
        for (int i = 0; i < kLabelsPerBank; ++i) {
            const std::string label(labels[b][i]); // every label must be terminated within its field
            EXPECT_LT(label.size(), static_cast<size_t>(kLabelSize));
            if (label != defaults[b][i]) {
                changes[std::to_string(b) + "." + std::to_string(i)] = label;
            }
        }
    }
    return changes;
}

std::map<std::string, std::string> ChangesFrom(const std::string& text,
                                               const std::string& address = "Addr Unknown") {
    LabelBanks labels;
    SetDefaultLabels(labels);
    ReadText(text, address, labels);
    return Changes(labels);
}

using Changed = std::map<std::string, std::string>;

// A bank line standing alone among comment lines.
std::string Among(const std::string& line) {
    return "// labels of the test rack\n" + line + "\n// end of the file\n";
}

} // namespace

TEST(LabelsDefaults, BankAndPositionDigitsAndComLabels) {
    LabelBanks labels;
    SetDefaultLabels(labels);
    EXPECT_STREQ(labels[0][0], "00");
    EXPECT_STREQ(labels[2][5], "25");
    EXPECT_STREQ(labels[5][5], "55");
    EXPECT_STREQ(labels[0][kPoleLabel], "Com 0");
    EXPECT_STREQ(labels[5][kPoleLabel], "Com 5");
}

TEST(LabelsReader, FieldsDropLeadingSpacesAndKeepTrailingOnes) {
    EXPECT_EQ(ChangesFrom(Among("bank03[ Out | A | B ]")),
              (Changed{{"3.6", "Out "}, {"3.0", "A "}, {"3.1", "B "}}));
}

TEST(LabelsReader, BlankFieldsKeepTheirLabels) {
    EXPECT_EQ(ChangesFrom(Among("BANK04[Common|||x]")), (Changed{{"4.6", "Common"}, {"4.2", "x"}}));
    EXPECT_EQ(ChangesFrom(Among("BANK02[   |a|    |b]")), (Changed{{"2.0", "a"}, {"2.2", "b"}}));
}

TEST(LabelsReader, FieldKeepsItsFirstSevenCharacters) {
    EXPECT_EQ(ChangesFrom(Among("BANK05[ABCDEFGHIJ]")), (Changed{{"5.6", "ABCDEFG"}}));
    EXPECT_EQ(ChangesFrom(Among("BANK05[  1234567890|x]")), (Changed{{"5.6", "1234567"}, {"5.0", "x"}}));
}

TEST(LabelsReader, LinesThatChangeNothing) {
    EXPECT_EQ(ChangesFrom(Among("BANK07[x]")), Changed{});     // bank digit above 5
    EXPECT_EQ(ChangesFrom(Among("BANK0x9[y]")), Changed{});    // bank digit 9 after a skipped letter
    EXPECT_EQ(ChangesFrom(Among("Bob BANK00[x]")), Changed{}); // B not continuing the keyword
    EXPECT_EQ(ChangesFrom(Among("BANX00[x]")), Changed{});
    EXPECT_EQ(ChangesFrom(Among("// BANK00[x]")), Changed{});
    EXPECT_EQ(ChangesFrom(Among("BANK00 no bracket")), Changed{});
}

TEST(LabelsReader, OnlyOneBankPerLine) {
    EXPECT_EQ(ChangesFrom(Among("BANK00[a]BANK01[b]")), (Changed{{"0.6", "a"}}));
    // After the seventh field the rest of the line is ignored too.
    EXPECT_EQ(ChangesFrom(Among("BANK01[p|0|1|2|3|4|5|6|7]")), (Changed{{"1.6", "p"},
                                                                        {"1.0", "0"},
                                                                        {"1.1", "1"},
                                                                        {"1.2", "2"},
                                                                        {"1.3", "3"},
                                                                        {"1.4", "4"},
                                                                        {"1.5", "5"}}));
}

TEST(LabelsReader, TextBeforeTheKeywordIsIgnored) {
    EXPECT_EQ(ChangesFrom(Among(" xx BANK00[x]")), (Changed{{"0.6", "x"}}));
    EXPECT_EQ(ChangesFrom(Among("BaNk-0 : 2 -> [x]")), (Changed{{"2.6", "x"}}));
}

TEST(LabelsReader, CommentEndsAnOpenFieldAtItsLastCharacter) {
    // The slash before the comment is stored; the old label's tail ("m 0") is not shown after it.
    EXPECT_EQ(ChangesFrom(Among("BANK00[a//b]")), (Changed{{"0.6", "a/"}}));
    EXPECT_EQ(ChangesFrom(Among("BANK00[Pole|ab")), (Changed{{"0.6", "Pole"}, {"0.0", "ab"}}));
    // A file that ends inside a field.
    EXPECT_EQ(ChangesFrom("BANK01[x"), (Changed{{"1.6", "x"}}));
    // An open field of spaces only is blank.
    EXPECT_EQ(ChangesFrom(Among("BANK01[x|   ")), (Changed{{"1.6", "x"}}));
}

TEST(LabelsReader, ASingleSlashIsAnOrdinaryCharacter) {
    EXPECT_EQ(ChangesFrom(Among("BANK02[a/b|/c/]")), (Changed{{"2.6", "a/b"}, {"2.0", "/c/"}}));
}

TEST(LabelsReader, OnlyModuleZeroLinesApply) {
    EXPECT_EQ(ChangesFrom(Among("BANK13[x]")), Changed{});
    EXPECT_EQ(ChangesFrom(Among("BANK23[x]")), Changed{});
    // A later line for an expander module does not overwrite module 0's labels.
    EXPECT_EQ(ChangesFrom("BANK03[mine|a]\nBANK13[other|b]\nBANK2 3[third]\n"),
              (Changed{{"3.6", "mine"}, {"3.0", "a"}}));
}

TEST(LabelsReader, SecondLineForABankOverwritesOnlyItsNonBlankFields) {
    EXPECT_EQ(ChangesFrom("BANK01[One|a|b|c]\nBANK01[|  |B|]\n"),
              (Changed{{"1.6", "One"}, {"1.0", "a"}, {"1.1", "B"}, {"1.2", "c"}}));
    // A shorter text over a longer one leaves nothing of the longer one behind.
    EXPECT_EQ(ChangesFrom("BANK01[Longest]\nBANK01[ab]\n"), (Changed{{"1.6", "ab"}}));
}

TEST(LabelsReader, CarriageReturnsDoNotMatter) {
    const std::string text = "// rack labels\r\nBANK00[In|A|B]\r\n[VXI0::112]\r\nBANK01[V]\r\n"
                             "[]\r\nBANK02[All|x\r\n";
    EXPECT_EQ(
        ChangesFrom(text, "VXI0::112::INSTR"),
        (Changed{{"0.6", "In"}, {"0.0", "A"}, {"0.1", "B"}, {"1.6", "V"}, {"2.6", "All"}, {"2.0", "x"}}));
    EXPECT_EQ(ChangesFrom(text, "GPIB0::9::14::INSTR"),
              (Changed{{"0.6", "In"}, {"0.0", "A"}, {"0.1", "B"}, {"2.6", "All"}, {"2.0", "x"}}));
}

TEST(LabelsReaderTags, SectionAppliesWhenTheAddressBeginsWithTheTag) {
    const std::string text = "BANK00[all]\n[VXI0::112]\nBANK01[vxi]\n";
    EXPECT_EQ(ChangesFrom(text, "VXI0::112::INSTR"), (Changed{{"0.6", "all"}, {"1.6", "vxi"}}));
    EXPECT_EQ(ChangesFrom(text, "GPIB0::9::14::INSTR"), (Changed{{"0.6", "all"}}));
    EXPECT_EQ(ChangesFrom(text, "Addr Unknown"), (Changed{{"0.6", "all"}}));
    // A tag matches the beginning of the name, case-sensitively, and only as a whole.
    EXPECT_EQ(ChangesFrom("[VXI0::11]\nBANK01[vxi]\n", "VXI0::112::INSTR"), (Changed{{"1.6", "vxi"}}));
    EXPECT_EQ(ChangesFrom("[vxi0::112]\nBANK01[vxi]\n", "VXI0::112::INSTR"), Changed{});
    EXPECT_EQ(ChangesFrom("[VXI0::112::INSTR::X]\nBANK01[vxi]\n", "VXI0::112::INSTR"), Changed{});
}

TEST(LabelsReaderTags, EachTagStartsANewSection) {
    const std::string text = "[GPIB0::9::14]\nBANK01[gpib]\n[VXI0::112]\nBANK02[vxi]\n[]\nBANK03[any]\n";
    EXPECT_EQ(ChangesFrom(text, "GPIB0::9::14::INSTR"), (Changed{{"1.6", "gpib"}, {"3.6", "any"}}));
    EXPECT_EQ(ChangesFrom(text, "VXI0::112::INSTR"), (Changed{{"2.6", "vxi"}, {"3.6", "any"}}));
    EXPECT_EQ(ChangesFrom(text, "Addr Unknown"), (Changed{{"3.6", "any"}}));
}

TEST(LabelsReaderTags, SpacesDroppedAndOnlyThirtyCharactersCount) {
    EXPECT_EQ(ChangesFrom("[ VXI0 :: 112 ]\nBANK01[v]\n", "VXI0::112::INSTR"), (Changed{{"1.6", "v"}}));
    const std::string address = "TCPIP0::192.168.100.200::inst0::INSTR"; // 37 characters
    // The tag's characters beyond the thirtieth are dropped, so this tag matches although its tail
    // differs from the address.
    EXPECT_EQ(ChangesFrom("[TCPIP0::192.168.100.200::inst0XXXX]\nBANK01[t]\n", address),
              (Changed{{"1.6", "t"}}));
    EXPECT_EQ(ChangesFrom("[TCPIP0::192.168.100.200::ins_]\nBANK01[t]\n", address), Changed{});
    // The thirtieth character still counts: here it alone differs from the address.
    EXPECT_EQ(ChangesFrom("[TCPIP0::192.168.100.200::instX]\nBANK01[t]\n", address), Changed{});
}

TEST(LabelsReaderTags, UnclosedTagChangesNothing) {
    EXPECT_EQ(ChangesFrom("[GPIB0::9\n::14]\nBANK01[x]\n", "VXI0::112::INSTR"), (Changed{{"1.6", "x"}}));
    EXPECT_EQ(ChangesFrom("[GPIB0::9\nBANK01[x]\n", "VXI0::112::INSTR"), (Changed{{"1.6", "x"}}));
}

TEST(LabelsReaderTags, InASkippedSectionABankBracketIsReadAsATag) {
    // BANK is not recognised there: "[x]" is a tag that does not match, "[VXI0]" is one that does.
    const std::string text = "[GPIB0]\nBANK01[x]\nBANK02[VXI0]\nBANK03[three]\n";
    EXPECT_EQ(ChangesFrom(text, "VXI0::112::INSTR"), (Changed{{"3.6", "three"}}));
    EXPECT_EQ(ChangesFrom(text, "GPIB0::9::INSTR"),
              (Changed{{"1.6", "x"}, {"2.6", "VXI0"}, {"3.6", "three"}}));
}

TEST(LabelsReaderTags, EmptyTagReenablesLaterLines) {
    const std::string text = "[GPIB0::9::14]\nBANK01[g]\n[]\nBANK02[all]\n";
    EXPECT_EQ(ChangesFrom(text, "VXI0::112::INSTR"), (Changed{{"2.6", "all"}}));
    // An empty tag matches even an empty address.
    EXPECT_EQ(ChangesFrom("[]\nBANK02[all]\n", ""), (Changed{{"2.6", "all"}}));
}

TEST(LabelsReaderBytes, OnlyPrintableCharactersAreStored) {
    std::string text = "BANK00[";
    text += std::string("a\tb\0c\x7f\xff\x80", 8);
    text += "d|\x01 \x02x]\n";
    EXPECT_EQ(ChangesFrom(text), (Changed{{"0.6", "abcd"}, {"0.0", "x"}}));
}

TEST(LabelsReaderBytes, ANulEndsTheTagsText) {
    const std::string tag = std::string("[VX\0G]\n", 7);
    EXPECT_EQ(ChangesFrom(tag + "BANK01[x]\n", "VXI0::112::INSTR"), (Changed{{"1.6", "x"}}));
    EXPECT_EQ(ChangesFrom(tag + "BANK01[x]\n", "GPIB0::9::INSTR"), Changed{});
}

TEST(LabelsReaderBytes, VeryLongLinesAreHarmless) {
    std::string text(1 << 20, '/');
    text += "\nBANK00[a]\n";
    text += std::string(1 << 20, 'B');
    text += "\nBANK01[";
    text += std::string(1 << 20, 'z');
    text += "|q]\n[" + std::string(1 << 20, 'T') + "]\nBANK02[t]\n";
    EXPECT_EQ(ChangesFrom(text, "Addr Unknown"), (Changed{{"0.6", "a"}, {"1.6", "zzzzzzz"}, {"1.0", "q"}}));
}

TEST(LabelsReaderStream, ReadsAStreamToItsEnd) {
    const std::string text = "BANK00[s|t]\n// comment\nBANK05[u]";
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ASSERT_NE(file, nullptr);
    LabelBanks labels;
    SetDefaultLabels(labels);
    ReadLabels(file, "Addr Unknown", labels);
    std::fclose(file);
    EXPECT_EQ(Changes(labels), (Changed{{"0.6", "s"}, {"0.0", "t"}, {"5.6", "u"}}));
}
