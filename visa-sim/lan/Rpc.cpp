#include "Rpc.h"

#include <algorithm>

namespace visasim::lan {

namespace {
constexpr uint32_t kCall = 0;
constexpr uint32_t kReply = 1;
constexpr uint32_t kAccepted = 0;
constexpr uint32_t kDenied = 1;
constexpr uint32_t kRejectRpcMismatch = 0;
constexpr uint32_t kRejectAuthError = 1;
constexpr uint32_t kAuthNone = 0;
constexpr uint32_t kAuthSys = 1;
constexpr uint32_t kAuthBadCred = 1;
constexpr uint32_t kLastFragment = 0x80000000u;

void WriteNoAuth(XdrWriter& writer) {
    writer.Word(kAuthNone);
    writer.Word(0);
}
} // namespace

CallCheck ReadCallHeader(XdrReader& reader, CallHeader* header) {
    uint32_t type = kReply;
    uint32_t version = 0;
    reader.Word(header->xid);
    reader.Word(type);
    reader.Word(version);
    if (!reader.Ok() || type != kCall) {
        return CallCheck::NotACall;
    }
    if (version != kRpcVersion) {
        return CallCheck::RpcMismatch;
    }
    uint32_t flavor = 0;
    uint32_t verifierFlavor = 0;
    reader.Word(header->program);
    reader.Word(header->version);
    reader.Word(header->procedure);
    reader.Word(flavor);
    reader.SkipBytes(kMaxAuthBody);
    reader.Word(verifierFlavor);
    reader.SkipBytes(kMaxAuthBody);
    if (!reader.Ok()) {
        return CallCheck::NotACall;
    }
    return flavor == kAuthNone || flavor == kAuthSys ? CallCheck::Call : CallCheck::AuthError;
}

void WriteCallHeader(XdrWriter& writer, const CallHeader& header) {
    writer.Word(header.xid);
    writer.Word(kCall);
    writer.Word(kRpcVersion);
    writer.Word(header.program);
    writer.Word(header.version);
    writer.Word(header.procedure);
    WriteNoAuth(writer);
    WriteNoAuth(writer);
}

void WriteAcceptedReply(XdrWriter& writer, uint32_t xid, AcceptStat stat, uint32_t low, uint32_t high) {
    writer.Word(xid);
    writer.Word(kReply);
    writer.Word(kAccepted);
    WriteNoAuth(writer);
    writer.Word(static_cast<uint32_t>(stat));
    if (stat == AcceptStat::ProgMismatch) {
        writer.Word(low);
        writer.Word(high);
    }
}

void WriteDeniedReply(XdrWriter& writer, uint32_t xid, CallCheck why) {
    writer.Word(xid);
    writer.Word(kReply);
    writer.Word(kDenied);
    if (why == CallCheck::RpcMismatch) {
        writer.Word(kRejectRpcMismatch);
        writer.Word(kRpcVersion);
        writer.Word(kRpcVersion);
    } else {
        writer.Word(kRejectAuthError);
        writer.Word(kAuthBadCred);
    }
}

ReplyStatus ReadReplyHeader(XdrReader& reader, uint32_t* xid) {
    uint32_t type = kCall;
    uint32_t replyStat = kDenied;
    reader.Word(*xid);
    reader.Word(type);
    reader.Word(replyStat);
    if (!reader.Ok() || type != kReply) {
        return ReplyStatus::Malformed;
    }
    if (replyStat != kAccepted) {
        return replyStat == kDenied ? ReplyStatus::Denied : ReplyStatus::Malformed;
    }
    uint32_t flavor = 0;
    uint32_t stat = 0;
    reader.Word(flavor);
    reader.SkipBytes(kMaxAuthBody);
    reader.Word(stat);
    if (!reader.Ok() || stat > static_cast<uint32_t>(AcceptStat::SystemErr)) {
        return ReplyStatus::Malformed;
    }
    static constexpr ReplyStatus kByStat[] = {ReplyStatus::Success,      ReplyStatus::ProgUnavail,
                                              ReplyStatus::ProgMismatch, ReplyStatus::ProcUnavail,
                                              ReplyStatus::GarbageArgs,  ReplyStatus::SystemErr};
    return kByStat[stat];
}

size_t RecordAssembler::Feed(const uint8_t* data, size_t size) {
    size_t used = 0;
    while (m_state == State::NeedMore) {
        if (!m_inFragment) {
            if (used == size) {
                break;
            }
            m_mark[m_markBytes++] = data[used++];
            ++m_taken;
            if (m_markBytes < 4) {
                continue;
            }
            m_markBytes = 0;
            uint32_t mark =
                uint32_t{m_mark[0]} << 24 | uint32_t{m_mark[1]} << 16 | uint32_t{m_mark[2]} << 8 | m_mark[3];
            m_lastFragment = (mark & kLastFragment) != 0;
            m_fragmentLeft = mark & ~kLastFragment;
            if (m_fragmentLeft > m_bound || m_taken + m_fragmentLeft > m_bound) {
                m_state = State::TooLarge;
                break;
            }
            m_inFragment = true;
        }
        size_t count = std::min(m_fragmentLeft, size - used);
        m_record.insert(m_record.end(), data + used, data + used + count);
        used += count;
        m_taken += count;
        m_fragmentLeft -= count;
        if (m_fragmentLeft > 0) {
            break; // all given bytes taken
        }
        m_inFragment = false;
        if (m_lastFragment) {
            m_state = State::Complete;
        }
    }
    return used;
}

std::vector<uint8_t> RecordAssembler::Take() {
    std::vector<uint8_t> record = std::move(m_record);
    m_record.clear();
    m_state = State::NeedMore;
    m_taken = 0;
    return record;
}

uint32_t RecordMark(size_t size) {
    return kLastFragment | static_cast<uint32_t>(size);
}

} // namespace visasim::lan
