/* Each read takes one control byte from the script:
 *   bits 0-1  status: success (END), success at the count, success at the termination character, time-out
 *   bits 2-3  count given back: what was copied, the count asked for plus the next script byte, zero, or
 *             what was copied
 *   bit 4     fill: the whole buffer is filled with the next script byte, as often as the byte after it
 *             times 64 (a reply without end)
 * then, unless filling, a length byte and that many reply bytes (cut to the buffer). Writes succeed. An
 * exhausted script times out. */
#include "ScriptedVisa.h"

#include "visa.h"

#include <string.h>

#define EXPORT __attribute__((visibility("default")))

static const uint8_t* g_data;
static size_t g_size;
static size_t g_next;
static uint8_t g_fillByte;
static unsigned g_fillLeft;
static ViStatus g_fillStatus;

EXPORT void ScriptedVisaStart(const uint8_t* data, size_t size) {
    g_data = data;
    g_size = size;
    g_next = 0;
    g_fillLeft = 0;
}

EXPORT int ScriptedVisaNext(uint8_t* byte) {
    if (g_next >= g_size) {
        return 0;
    }
    *byte = g_data[g_next++];
    return 1;
}

static uint8_t NextOrZero(void) {
    uint8_t byte = 0;
    ScriptedVisaNext(&byte);
    return byte;
}

static const ViStatus kStatuses[] = {VI_SUCCESS, VI_SUCCESS_MAX_CNT, VI_SUCCESS_TERM_CHAR, VI_ERROR_TMO};

EXPORT ViStatus viOpenDefaultRM(ViSession* vi) {
    *vi = 1;
    return VI_SUCCESS;
}

EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViSession* vi) {
    (void)sesn;
    (void)name;
    (void)mode;
    (void)timeout;
    *vi = 2;
    return VI_SUCCESS;
}

EXPORT ViStatus viClose(ViObject vi) {
    (void)vi;
    return VI_SUCCESS;
}

EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attribute, ViAttrState value) {
    (void)vi;
    (void)attribute;
    (void)value;
    return VI_SUCCESS;
}

EXPORT ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 count, ViUInt32* written) {
    (void)vi;
    (void)buf;
    *written = count;
    return VI_SUCCESS;
}

EXPORT ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 count, ViUInt32* got) {
    (void)vi;
    *got = 0;
    if (g_fillLeft > 0) {
        --g_fillLeft;
        memset(buf, g_fillByte, count);
        *got = count;
        return g_fillStatus;
    }
    uint8_t control = 0;
    if (!ScriptedVisaNext(&control)) {
        return VI_ERROR_TMO;
    }
    ViStatus status = kStatuses[control & 3];
    if (control & 0x10) {
        g_fillByte = NextOrZero();
        g_fillLeft = (unsigned)NextOrZero() * 64;
        g_fillStatus = status;
        memset(buf, g_fillByte, count);
        *got = count;
        return status;
    }
    ViUInt32 length = NextOrZero();
    ViUInt32 copied = 0;
    for (ViUInt32 i = 0; i < length; ++i) {
        uint8_t byte = NextOrZero();
        if (copied < count) {
            buf[copied++] = byte;
        }
    }
    switch ((control >> 2) & 3) {
    case 1:
        *got = count + NextOrZero();
        break;
    case 2:
        *got = 0;
        break;
    default:
        *got = copied;
        break;
    }
    return status;
}

EXPORT ViStatus viReadSTB(ViSession vi, ViUInt16* status) {
    (void)vi;
    *status = (ViUInt16)(NextOrZero() | (NextOrZero() << 8));
    return VI_SUCCESS;
}

EXPORT ViStatus viClear(ViSession vi) {
    (void)vi;
    return VI_SUCCESS;
}
