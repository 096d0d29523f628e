// What a VXI-11 server makes of the bytes a peer sends: records assembled from fragments under their
// bound, RPC call headers, and the core procedures' arguments. Whatever the bytes, assembling them in
// one piece or byte by byte gives the same records, and arguments that decode encode to bytes that
// decode to the same arguments.
#include "Rpc.h"
#include "Vxi11.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace visasim::lan;

constexpr size_t kBound = 4096;

std::vector<std::vector<uint8_t>> Records(const uint8_t* data, size_t size, size_t piece) {
    std::vector<std::vector<uint8_t>> records;
    RecordAssembler assembler(kBound);
    size_t at = 0;
    while (at < size && assembler.Status() != RecordAssembler::State::TooLarge) {
        at += assembler.Feed(data + at, std::min(piece, size - at));
        if (assembler.Status() == RecordAssembler::State::Complete) {
            records.push_back(assembler.Take());
        }
    }
    return records;
}

void Check(const std::vector<uint8_t>& record) {
    XdrReader reader(record);
    CallHeader header;
    if (ReadCallHeader(reader, &header) != CallCheck::Call) {
        return;
    }
    CoreArguments arguments;
    if (DecodeCoreArguments(header.procedure, reader, &arguments) != ArgumentCheck::Ok) {
        return;
    }
    XdrWriter writer;
    EncodeCoreArguments(writer, arguments);
    XdrReader again(writer.Data());
    CoreArguments decoded;
    if (DecodeCoreArguments(header.procedure, again, &decoded) != ArgumentCheck::Ok || decoded != arguments) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto whole = Records(data, size, size);
    if (Records(data, size, 1) != whole) {
        std::abort();
    }
    for (const auto& record : whole) {
        if (record.size() > kBound) {
            std::abort();
        }
        Check(record);
    }
    return 0;
}
