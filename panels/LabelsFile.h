// The labels file: the operator's names for the switch positions and the common (pole) of each group,
// one bank per line, with comments and address tags. The main-panel object reads it once per run in its
// constructor; when the default file is missing, an example file documenting the format is written in
// its place (and first read at the next start).
#pragma once

#include <cstdio>
#include <string>

#include "panels/Pan1Obj.h"

// The labels of the six banks, as the main-panel object holds them.
using LabelBanks = char[kGroupCount][kLabelsPerBank][kLabelSize];

// The default name of the labels file; only under this name is the example file written.
inline constexpr const char* kDefaultLabelsFileName = "rqk4712v.lbl";

// The example file, written line by line, each line ended by a line feed.
inline constexpr int kExampleLabelsLineCount = 24;
extern const char* const kExampleLabelsLines[kExampleLabelsLineCount];

// Fills every bank with the default labels: "%d%d" (bank, position) for positions 0 to 5 and "Com %d"
// (bank) for the pole label.
void SetDefaultLabels(LabelBanks& labels);

// The reader, fed one character at a time, so that any file, however long its lines and whatever
// bytes it holds, is read in fixed memory. Bank lines change the labels as they are read.
class CLabelsReader {
public:
    // The address is the text that tags are matched against (the instrument's resource name).
    CLabelsReader(LabelBanks& labels, std::string address);

    // Takes the next byte of the file.
    void Feed(unsigned char c);

private:
    static constexpr int kMaxTagLength = 30;
    static constexpr int kFieldLength = kLabelSize - 1;

    void StartLineIgnored() { m_slashes = 2; }
    void KeywordLetter(unsigned char c, char upper, int next);
    void FieldCharacter(unsigned char c);
    void EndTag();

    LabelBanks& m_labels;
    std::string m_address;
    int m_slashes = 0;   // consecutive slashes; 2 means the rest of the line is ignored
    bool m_skip = false; // the current section's tag does not match: bank lines do not apply
    int m_state = 0;     // 0 start of a line, 1..3 keyword, 4..6 digits, 7..13 fields, 14 done, 100 tag
    int m_bank = 0;      // bank of the bank line in progress
    int m_count = 0;     // characters stored in the current field
    char m_tag[kMaxTagLength] = {};
    int m_tagLength = 0;
};

// Reads the whole stream into the labels.
void ReadLabels(std::FILE* file, const std::string& address, LabelBanks& labels);

// Reads the named file into the labels. When it cannot be opened the labels keep what they held; when
// it is missing and its name is exactly the default name in use, the example file is written under it
// (with the folders it needs). Returns why the file could not be read, when the operator should be told:
// any failure but the default file's absence; empty otherwise. An empty name names no file.
std::string ReadLabelsFile(const std::string& fileName, const std::string& address, LabelBanks& labels,
                           const std::string& defaultName = kDefaultLabelsFileName);

// The message that tells the operator the named labels file could not be read, and why.
std::string FormatLabelsNotRead(const std::string& fileName, const std::string& why);

// Creates the example file under the name, only when no file (nor a symbolic link) of that name exists,
// and never truncating one. Returns false when it could not be created or written in full.
bool WriteExampleLabelsFile(const std::string& fileName);
