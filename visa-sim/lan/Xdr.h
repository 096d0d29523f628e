// XDR, the external data representation of ONC RPC, for the few types it and VXI-11 use: 32-bit words
// (unsigned, signed, booleans) and variable-length opaque data or strings, big-endian, padded to four
// bytes. Written by hand rather than taken from libtirpc, so that the code that uses it carries no
// dependency into the libraries it is linked into.
//
// Writer and reader share one set of member names (Word, Int, Bool, Bytes), so that a structure is
// described once by a function template over either of them (see Vxi11.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace visasim::lan {

class XdrWriter {
public:
    void Word(uint32_t value);
    void Int(int32_t value) { Word(static_cast<uint32_t>(value)); }
    void Bool(bool value) { Word(value ? 1 : 0); }
    // The length, the bytes and zero padding; the bound is the reader's business.
    void Bytes(std::string_view bytes, size_t bound = 0);

    const std::vector<uint8_t>& Data() const { return m_data; }
    std::vector<uint8_t> Take() { return std::move(m_data); }
    size_t Size() const { return m_data.size(); }
    void Reserve(size_t size) { m_data.reserve(size); }

private:
    std::vector<uint8_t> m_data;
};

class XdrReader {
public:
    XdrReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit XdrReader(const std::vector<uint8_t>& data) : XdrReader(data.data(), data.size()) {}

    // Each reads one item; past the end (or over a bound) the reader fails, gives zeros from then on and
    // leaves the target as it was.
    void Word(uint32_t& value);
    void Int(int32_t& value);
    void Bool(bool& value);
    // Variable-length opaque data or a string of at most `bound` bytes.
    void Bytes(std::string& bytes, size_t bound);
    // Skips opaque data of at most `bound` bytes (an authentication body).
    void SkipBytes(size_t bound);

    bool Ok() const { return m_ok; }
    // Everything read and nothing left over.
    bool Done() const { return m_ok && m_position == m_size; }
    size_t Remaining() const { return m_ok ? m_size - m_position : 0; }

private:
    const uint8_t* Take(size_t count);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
    bool m_ok = true;
};

} // namespace visasim::lan
