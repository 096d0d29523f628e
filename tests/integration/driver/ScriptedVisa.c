/* A VISA library for driver tests whose instrument answers from a script the test sets up, and which logs
 * every message written to it. Loaded by the driver through RQK4712V_VISA_LIBRARY; the test reaches the
 * same copy with dlopen and drives it with the ScriptedVisa* functions. One instrument, any name except
 * "MISSING::INSTR". */
#include "visa.h"

#include <stdlib.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))
#ifndef VI_WARN_UNKNOWN_STATUS
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085)
#endif
#define MAX_SCRIPT 64
#define MAX_TEXT 8192
#define MAX_OPEN 64

typedef struct Entry {
    char command[256];
    char replies[8][MAX_TEXT]; /* given in turn; the last one is repeated */
    int count;
    int next;
} Entry;

static Entry g_script[MAX_SCRIPT];
static int g_entries;
static char g_log[MAX_TEXT * 4];
static char g_pending[MAX_TEXT];
static size_t g_pendingLength, g_pendingRead;
static int g_hasPending;
static ViSession g_open[MAX_OPEN];
static int g_openCount;
static ViSession g_nextHandle = 100;
static ViUInt32 g_timeout = 2000;
static ViStatus g_writeStatus;
static ViUInt16 g_statusByte;
static int g_clears;

EXPORT void ScriptedVisaReset(void) {
    memset(g_script, 0, sizeof(g_script));
    g_entries = 0;
    g_log[0] = '\0';
    g_hasPending = 0;
    g_writeStatus = VI_SUCCESS;
    g_statusByte = 0;
    g_clears = 0;
}

/* Adds a reply to a command (its text as written, without the line end). The reply "<TIMEOUT>" makes the
 * read time out. */
EXPORT void ScriptedVisaReply(const char* command, const char* reply) {
    Entry* e = NULL;
    for (int i = 0; i < g_entries; ++i) {
        if (strcmp(g_script[i].command, command) == 0) {
            e = &g_script[i];
        }
    }
    if (e == NULL && g_entries < MAX_SCRIPT) {
        e = &g_script[g_entries++];
        strncpy(e->command, command, sizeof(e->command) - 1);
    }
    if (e != NULL && e->count < 8) {
        strncpy(e->replies[e->count++], reply, MAX_TEXT - 1);
    }
}

EXPORT void ScriptedVisaFailWrites(ViStatus status) {
    g_writeStatus = status;
}
EXPORT void ScriptedVisaStatusByte(ViUInt16 value) {
    g_statusByte = value;
}
EXPORT const char* ScriptedVisaLog(void) {
    return g_log;
}
EXPORT int ScriptedVisaOpenSessions(void) {
    return g_openCount;
}
EXPORT int ScriptedVisaClears(void) {
    return g_clears;
}
EXPORT ViUInt32 ScriptedVisaTimeout(void) {
    return g_timeout;
}

static int IsOpen(ViObject vi) {
    for (int i = 0; i < g_openCount; ++i) {
        if (g_open[i] == vi) {
            return 1;
        }
    }
    return 0;
}

static ViSession Open(void) {
    ViSession vi = g_nextHandle++;
    if (g_openCount < MAX_OPEN) {
        g_open[g_openCount++] = vi;
    }
    return vi;
}

EXPORT ViStatus viOpenDefaultRM(ViSession* vi) {
    *vi = Open();
    return VI_SUCCESS;
}

EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViSession* vi) {
    (void)mode;
    (void)timeout;
    if (!IsOpen(sesn)) {
        return VI_ERROR_INV_OBJECT;
    }
    if (strcmp(name, "MISSING::INSTR") == 0) {
        return VI_ERROR_RSRC_NFOUND;
    }
    *vi = Open();
    return VI_SUCCESS;
}

EXPORT ViStatus viClose(ViObject vi) {
    for (int i = 0; i < g_openCount; ++i) {
        if (g_open[i] == vi) {
            g_open[i] = g_open[--g_openCount];
            return VI_SUCCESS;
        }
    }
    return VI_ERROR_INV_OBJECT;
}

EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attr, ViAttrState value) {
    if (!IsOpen(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    if (attr != VI_ATTR_TMO_VALUE) {
        return VI_ERROR_NSUP_ATTR;
    }
    g_timeout = (ViUInt32)value;
    return VI_SUCCESS;
}

EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attr, void* value) {
    if (!IsOpen(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    if (attr != VI_ATTR_TMO_VALUE) {
        return VI_ERROR_NSUP_ATTR;
    }
    memcpy(value, &g_timeout, sizeof(g_timeout));
    return VI_SUCCESS;
}

EXPORT ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    if (!IsOpen(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    if (g_writeStatus < 0) {
        return g_writeStatus;
    }
    char command[MAX_TEXT];
    size_t n = cnt < sizeof(command) - 1 ? cnt : sizeof(command) - 1;
    memcpy(command, buf, n);
    command[n] = '\0';
    while (n > 0 && command[n - 1] == '\n') {
        command[--n] = '\0';
    }
    if (g_log[0] != '\0') {
        strncat(g_log, "|", sizeof(g_log) - strlen(g_log) - 1);
    }
    strncat(g_log, command, sizeof(g_log) - strlen(g_log) - 1);
    for (int i = 0; i < g_entries; ++i) {
        Entry* e = &g_script[i];
        if (strcmp(e->command, command) == 0) {
            const char* reply = e->replies[e->next];
            if (e->next + 1 < e->count) {
                ++e->next;
            }
            if (strcmp(reply, "<TIMEOUT>") == 0) {
                g_hasPending = 0;
            } else {
                strcpy(g_pending, reply);
                strcat(g_pending, "\n");
                g_pendingLength = strlen(g_pending);
                g_pendingRead = 0;
                g_hasPending = 1;
            }
        }
    }
    *retCnt = cnt;
    return VI_SUCCESS;
}

EXPORT ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    *retCnt = 0;
    if (!IsOpen(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    if (!g_hasPending) {
        return VI_ERROR_TMO;
    }
    size_t left = g_pendingLength - g_pendingRead;
    size_t n = left < cnt ? left : cnt;
    memcpy(buf, g_pending + g_pendingRead, n);
    g_pendingRead += n;
    *retCnt = (ViUInt32)n;
    if (g_pendingRead < g_pendingLength) {
        return VI_SUCCESS_MAX_CNT;
    }
    g_hasPending = 0;
    return VI_SUCCESS;
}

EXPORT ViStatus viReadSTB(ViSession vi, ViUInt16* status) {
    if (!IsOpen(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    *status = g_statusByte;
    return VI_SUCCESS;
}

EXPORT ViStatus viClear(ViSession vi) {
    if (!IsOpen(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    g_hasPending = 0;
    ++g_clears;
    return VI_SUCCESS;
}

EXPORT ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]) {
    (void)vi;
    if (status == VI_ERROR_TMO) {
        strcpy(desc, "Scripted: time-out");
        return VI_SUCCESS;
    }
    strcpy(desc, "Scripted: unknown status");
    return VI_WARN_UNKNOWN_STATUS;
}
