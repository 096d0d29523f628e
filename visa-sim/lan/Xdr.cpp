#include "Xdr.h"

#include <cstring>

namespace visasim::lan {

namespace {
size_t Padded(size_t size) {
    return (size + 3) & ~size_t{3};
}
} // namespace

void XdrWriter::Word(uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                        static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    m_data.insert(m_data.end(), bytes, bytes + 4);
}

void XdrWriter::Bytes(std::string_view bytes, size_t) {
    Word(static_cast<uint32_t>(bytes.size()));
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    m_data.resize(m_data.size() + Padded(bytes.size()) - bytes.size(), 0);
}

const uint8_t* XdrReader::Take(size_t count) {
    if (!m_ok || m_size - m_position < count) {
        m_ok = false;
        return nullptr;
    }
    const uint8_t* at = m_data + m_position;
    m_position += count;
    return at;
}

void XdrReader::Word(uint32_t& value) {
    if (const uint8_t* at = Take(4)) {
        value = uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
    }
}

void XdrReader::Int(int32_t& value) {
    uint32_t word = static_cast<uint32_t>(value);
    Word(word);
    value = static_cast<int32_t>(word);
}

void XdrReader::Bool(bool& value) {
    uint32_t word = value ? 1 : 0;
    Word(word);
    if (word > 1) {
        m_ok = false; // XDR knows only TRUE and FALSE
        return;
    }
    value = word == 1;
}

void XdrReader::Bytes(std::string& bytes, size_t bound) {
    uint32_t length = 0;
    Word(length);
    if (length > bound) {
        m_ok = false;
    }
    if (const uint8_t* at = m_ok ? Take(Padded(length)) : nullptr) {
        bytes.assign(reinterpret_cast<const char*>(at), length);
    }
}

void XdrReader::SkipBytes(size_t bound) {
    uint32_t length = 0;
    Word(length);
    if (length > bound) {
        m_ok = false;
    }
    Take(m_ok ? Padded(length) : 0);
}

} // namespace visasim::lan
