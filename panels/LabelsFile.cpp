#include "panels/LabelsFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

const char* const kExampleLabelsLines[kExampleLabelsLineCount] = {
    "// This is an example labels file. ",
    "// A group of 5 labels, up to 7 characters each",
    "// may be provided for any of the 18 banks of",
    "// switches.  Banks that are not listed will be",
    "// given default labels.",
    "// Lines preceded by a double slash (//) will be",
    "// ignored.  Only one bank may be listed on a line.",
    "// The banks are BANKmb, where m (main module or",
    "// expander module) can be 0, 1 or 2, and b (the",
    "// bank within the module) can be 0 through 5.",
    "// Pipe | markers are used to separate the label fields",
    "// Blank fields will be given default labels.  Leading",
    "// spaces will be ignored.",
    "// The following line shows how to set bank 00 to",
    "// pole label Com 00, and switch labels 00, 01, 02 and 03.",
    "BANK00[Com 00|00|01|02|03]",
    "// Tags may be given so that the labels will depend upon",
    "// the instrument address.  For example, lines following the",
    "[VXI0::112]",
    "// tag will only be used with VXI instruments at Logical Address 112.",
    "// Lines following the",
    "[GPIB0::9::14]",
    "// tag will only be used with non-VXI instruments at primary address 9,",
    "// secondary address 14.",
};

namespace {

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Printable characters of the C locale only; nothing else is ever stored in a label.
bool IsPrintable(unsigned char c) {
    return c >= 32 && c <= 126;
}

} // namespace

void SetDefaultLabels(LabelBanks& labels) {
    for (int b = 0; b < kGroupCount; ++b) {
        std::snprintf(labels[b][kPoleLabel], kLabelSize, "Com %d", b);
        for (int p = 0; p < kPoleLabel; ++p) {
            std::snprintf(labels[b][p], kLabelSize, "%d%d", b, p);
        }
    }
}

CLabelsReader::CLabelsReader(LabelBanks& labels, std::string address)
    : m_labels(labels), m_address(std::move(address)) {}

void CLabelsReader::Feed(unsigned char c) {
    // "//" starts a comment; the count stays at 2 for the rest of the line, which is also how the
    // reader ignores a line it has finished with. It never grows past 2, whatever the line holds.
    if (c == '/') {
        if (m_slashes < 2 && ++m_slashes == 2) {
            m_state = 0;
        }
    } else if (m_slashes == 1) {
        m_slashes = 0;
    }
    if (c == '\n') {
        m_state = 0;
        m_slashes = 0;
    }
    if (m_slashes >= 2) {
        return;
    }

    switch (m_state) {
    case 0:
        if ((c == 'B' || c == 'b') && !m_skip) {
            m_state = 1;
        } else if (c == '[') {
            m_tagLength = 0;
            m_state = 100;
        }
        break;
    case 1:
        KeywordLetter(c, 'A', 2);
        break;
    case 2:
        KeywordLetter(c, 'N', 3);
        break;
    case 3:
        KeywordLetter(c, 'K', 4);
        break;
    case 4:
        // The module digit: the panel shows the six banks of module 0 only, so a line for an expander
        // module (1 or 2, or any other digit) is ignored rather than overwriting module 0's labels.
        if (IsDigit(c)) {
            if (c != '0') {
                StartLineIgnored();
            }
            m_state = 5;
        }
        break;
    case 5:
        if (IsDigit(c)) {
            const int bank = c - '0';
            if (bank < kGroupCount) {
                m_bank = bank;
            } else {
                StartLineIgnored();
            }
            m_state = 6;
        }
        break;
    case 6:
        if (c == '[') {
            for (int i = 0; i < kLabelsPerBank; ++i) {
                m_labels[m_bank][i][kLabelSize - 1] = '\0';
            }
            m_count = 0;
            m_state = 7;
        }
        break;
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
        FieldCharacter(c);
        break;
    case 100:
        if (c == ']') {
            EndTag();
        } else if (c != ' ' && m_tagLength < kMaxTagLength) {
            m_tag[m_tagLength++] = static_cast<char>(c);
        }
        break;
    default: // 14: the seventh field has ended
        break;
    }
}

void CLabelsReader::KeywordLetter(unsigned char c, char upper, int next) {
    if (c == static_cast<unsigned char>(upper) || c == static_cast<unsigned char>(upper - 'A' + 'a')) {
        m_state = next;
    } else {
        // A B that does not begin BANK costs the rest of the line.
        StartLineIgnored();
        m_state = 0;
    }
}

void CLabelsReader::FieldCharacter(unsigned char c) {
    // State 7 is the pole label; states 8 to 13 are positions 0 to 5.
    const int index = m_state == 7 ? kPoleLabel : m_state - 8;
    char* label = m_labels[m_bank][index];
    if (c == '|' || c == ']') {
        if (m_count != 0) {
            label[m_count] = '\0';
        }
        ++m_state;
        m_count = 0;
        if (c == ']' || m_state == 14) {
            StartLineIgnored();
        }
        return;
    }
    if (m_count < kFieldLength && IsPrintable(c)) {
        if (m_count == 0 && c == ' ') {
            return; // leading spaces are dropped
        }
        label[m_count++] = static_cast<char>(c);
        // Keep the label ended after its last stored character, so that a field the line leaves open
        // (the line ends or a comment begins before its | or ]) never shows the tail of the old label.
        label[m_count] = '\0';
    }
}

void CLabelsReader::EndTag() {
    // A tag matches when the address begins with it (case-sensitive); an empty tag matches every
    // address. The tag is a text: a zero byte in it ends it.
    const auto length = static_cast<std::string::size_type>(strnlen(m_tag, static_cast<size_t>(m_tagLength)));
    m_skip = !(m_address.size() >= length && m_address.compare(0, length, m_tag, length) == 0);
    StartLineIgnored();
}

void ReadLabels(std::FILE* file, const std::string& address, LabelBanks& labels) {
    CLabelsReader reader(labels, address);
    for (int c = std::getc(file); c != EOF; c = std::getc(file)) {
        reader.Feed(static_cast<unsigned char>(c));
    }
}

namespace {

// Opens the file for reading when it is a regular file. Anything else that bears the name (a FIFO, a
// device, a folder) is treated as unreadable: opening a FIFO would otherwise wait for a writer and hold
// up the start of the program. On failure, why is the reason and absent tells whether no file of the
// name exists.
std::FILE* OpenRegularFile(const std::string& fileName, std::string& why, bool& absent) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        absent = errno == ENOENT;
        why = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        why = "not a regular file";
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "r");
    if (file == nullptr) {
        why = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

// Creates the folders above the file that do not exist yet (private to the user, as a folder of
// settings is); failures show when the file itself is created.
void CreateFoldersOf(const std::string& fileName) {
    for (size_t slash = fileName.find('/', 1); slash != std::string::npos;
         slash = fileName.find('/', slash + 1)) {
        ::mkdir(fileName.substr(0, slash).c_str(), 0700);
    }
}

} // namespace

std::string ReadLabelsFile(const std::string& fileName, const std::string& address, LabelBanks& labels,
                           const std::string& defaultName) {
    if (fileName.empty()) {
        return {}; // no file named: the labels keep what they hold
    }
    std::string why;
    bool absent = false;
    if (std::FILE* file = OpenRegularFile(fileName, why, absent)) {
        ReadLabels(file, address, labels);
        std::fclose(file);
        return {};
    }
    // The default file's absence is no error: the example is written in its place and takes effect at
    // the next start; a failure to write it is not reported either.
    if (absent && fileName == defaultName) {
        CreateFoldersOf(fileName);
        WriteExampleLabelsFile(fileName);
        return {};
    }
    return why;
}

std::string FormatLabelsNotRead(const std::string& fileName, const std::string& why) {
    const std::string format = LoadString(IDS_LABELS_NOT_READ);
    std::string text(format.size() + fileName.size() + why.size() + 1, '\0');
    const int length = std::snprintf(text.data(), text.size(), format.c_str(), fileName.c_str(), why.c_str());
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

bool WriteExampleLabelsFile(const std::string& fileName) {
    // Create-exclusive: an existing file is never truncated, and a symbolic link (even a dangling one)
    // is never followed.
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    std::string text;
    for (const char* line : kExampleLabelsLines) {
        text += line;
        text += '\n';
    }
    bool written = true;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            written = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        written = false;
    }
    return written;
}
