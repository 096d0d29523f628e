// ONC RPC version 2 (RFC 5531) as VXI-11 uses it: call and reply headers with AUTH_NONE, and the record
// marking that carries RPC messages over a TCP stream (fragments, each led by a four-byte mark whose top
// bit says "last fragment"). For servers and clients alike; the sockets are in Transport.h.
#pragma once

#include "Xdr.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace visasim::lan {

constexpr uint32_t kRpcVersion = 2;
constexpr uint32_t kNullProcedure = 0; // every program's "are you there"
constexpr size_t kMaxAuthBody = 400;   // RFC 5531's bound on a credential or verifier body

enum class AcceptStat : uint32_t {
    Success = 0,
    ProgUnavail = 1,
    ProgMismatch = 2,
    ProcUnavail = 3,
    GarbageArgs = 4,
    SystemErr = 5,
};

struct CallHeader {
    uint32_t xid = 0;
    uint32_t program = 0;
    uint32_t version = 0;
    uint32_t procedure = 0;
};

// What the start of a received record turned out to be. A server answers RpcMismatch and AuthError with
// a denied reply and drops a peer that sent NotACall (bytes it cannot take for an RPC call).
enum class CallCheck { Call, NotACall, RpcMismatch, AuthError };

// Reads a call header; the reader is then at the procedure's arguments. AUTH_NONE and AUTH_SYS
// credentials are taken (and not looked at: the peer's address is what a server checks), others refused.
CallCheck ReadCallHeader(XdrReader& reader, CallHeader* header);
// A call header with AUTH_NONE credentials and verifier.
void WriteCallHeader(XdrWriter& writer, const CallHeader& header);

// An accepted reply's header; the results follow for Success. ProgMismatch carries the versions served.
void WriteAcceptedReply(XdrWriter& writer, uint32_t xid, AcceptStat stat, uint32_t low = 0,
                        uint32_t high = 0);
// A denied reply to a call of CallCheck RpcMismatch or AuthError.
void WriteDeniedReply(XdrWriter& writer, uint32_t xid, CallCheck why);

enum class ReplyStatus {
    Success,
    Denied,
    ProgUnavail,
    ProgMismatch,
    ProcUnavail,
    GarbageArgs,
    SystemErr,
    Malformed
};
// Reads a reply header; for Success the reader is then at the results.
ReplyStatus ReadReplyHeader(XdrReader& reader, uint32_t* xid);

// Assembles records from the bytes of a stream. A record longer than the bound (fragment marks
// included), or a fragment that would make it so, is refused as soon as its mark arrives.
class RecordAssembler {
public:
    explicit RecordAssembler(size_t bound) : m_bound(bound) {}

    enum class State { NeedMore, Complete, TooLarge };
    // Takes bytes up to the end of the first complete record; returns how many it took. Takes nothing
    // once a record is complete (until Take) or refused.
    size_t Feed(const uint8_t* data, size_t size);
    State Status() const { return m_state; }
    // Some of a record has arrived: the peer is in the middle of sending one.
    bool Started() const { return m_taken > 0; }
    // The complete record; the assembler then waits for the next.
    std::vector<uint8_t> Take();

private:
    size_t m_bound;
    State m_state = State::NeedMore;
    std::vector<uint8_t> m_record;
    uint8_t m_mark[4] = {};
    size_t m_markBytes = 0;
    size_t m_fragmentLeft = 0; // bytes of the present fragment still to come
    bool m_inFragment = false;
    bool m_lastFragment = false;
    size_t m_taken = 0; // bytes of this record taken so far, marks included
};

// The mark that leads a record sent as one fragment.
uint32_t RecordMark(size_t size);

} // namespace visasim::lan
