// The message-based calls of the VISA C interface (write, read, status byte, clear, trigger) and locks.
#include "Registry.h"

using namespace visasim;

VISASIM_EXPORT ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    ViUInt32 ignored = 0;
    ViUInt32& written = retCnt ? *retCnt : ignored;
    written = 0;
    return WithSession(vi, VI_ERROR_INV_OBJECT,
                       [&](Session& session) { return session.Write(buf, cnt, &written); });
}

VISASIM_EXPORT ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    ViUInt32 ignored = 0;
    ViUInt32& read = retCnt ? *retCnt : ignored;
    read = 0;
    return WithSession(vi, VI_ERROR_INV_OBJECT,
                       [&](Session& session) { return session.Read(buf, cnt, &read); });
}

VISASIM_EXPORT ViStatus viReadSTB(ViSession vi, ViUInt16* status) {
    return WithSession(vi, VI_ERROR_INV_OBJECT,
                       [&](Session& session) { return session.ReadStatusByte(status); });
}

VISASIM_EXPORT ViStatus viClear(ViSession vi) {
    return WithSession(vi, VI_ERROR_INV_OBJECT, [](Session& session) { return session.Clear(); });
}

VISASIM_EXPORT ViStatus viAssertTrigger(ViSession vi, ViUInt16 protocol) {
    return WithSession(vi, VI_ERROR_NSUP_OPER, [&](Session& session) -> ViStatus {
        return protocol == VI_TRIG_PROT_DEFAULT ? session.AssertTrigger() : VI_ERROR_INV_PROT;
    });
}

VISASIM_EXPORT ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout,
                               ViConstKeyId requestedKey, ViChar accessKey[]) {
    std::optional<Named> named = Lookup(vi);
    if (!named) {
        return VI_ERROR_INV_OBJECT;
    }
    if (named->session) {
        return named->session->Lock(lockType, timeout, requestedKey, accessKey);
    }
    CopyText(accessKey, requestedKey ? requestedKey : "visa-sim");
    return VI_SUCCESS;
}

VISASIM_EXPORT ViStatus viUnlock(ViSession vi) {
    return WithSession(vi, VI_SUCCESS, [](Session& session) { return session.Unlock(); });
}
