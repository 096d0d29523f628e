/* Entry points of the RQK4712V instrument driver. Each one finds its session, checks its arguments,
 * talks to the module with the commands of its command set (one command or query per VISA message) and,
 * with error-query detection on, checks the module's event status afterwards. */
#include "rqk4712v.h"

#include "ReplyText.h"
#include "Sessions.h"

#include <stdio.h>
#include <string.h>

/* Room for one reply; a longer reply is read to its end and cut to this size. */
#define REPLY_SIZE 1024
/* A reply that has not ended after this many bytes is given up on. */
#define REPLY_LIMIT (1024 * 1024)
/* Event status bits of a queued error: query, device-dependent, execution and command error. */
#define ESR_ERROR_BITS 0x3C

/* Time-out in milliseconds for the self-test query when the session's own is shorter. */
#define SELF_TEST_TIMEOUT 30000u

#define MODULE_IDENTITY "QUILLON-VANTERA,K4712V"
#define SWITCHBOX_IDENTITY "QUILLON-VANTERA,SWITCHBOX"
#define MISSING_CARD_TYPE "NONE"

/* The module an entry point talks to: its session and the VISA functions. */
typedef struct Module {
    RqkSession s;
    const VisaApi* visa;
} Module;

/* Ends the entry point with the status of the expression when it is a failure. */
#define RETURN_ON_FAILURE(expression)                                                                        \
    do {                                                                                                     \
        ViStatus failure = (expression);                                                                     \
        if (failure < 0) {                                                                                   \
            return failure;                                                                                  \
        }                                                                                                    \
    } while (0)

/* ---- message exchange ---- */

static ViStatus Send(const Module* m, const char* command) {
    char message[REPLY_SIZE];
    int length = snprintf(message, sizeof(message), "%s\n", command);
    if (length < 0 || (size_t)length >= sizeof(message)) {
        return VI_ERROR_SYSTEM_ERROR; /* commands are built from checked arguments and always fit */
    }
    ViUInt32 written = 0;
    ViStatus status = m->visa->viWrite(m->s.instrument, (ViConstBuf)message, (ViUInt32)length, &written);
    if (status < 0) {
        return status;
    }
    return written == (ViUInt32)length ? VI_SUCCESS : VI_ERROR_IO;
}

/* Reads one whole reply. What does not fit into text is read and dropped, so that the next exchange
 * starts clean; the text keeps the beginning, without its line end. */
static ViStatus Receive(const Module* m, char* text, size_t size) {
    size_t used = 0;
    size_t total = 0;
    text[0] = '\0';
    for (;;) {
        ViByte scratch[256];
        ViByte* target = scratch;
        ViUInt32 room = (ViUInt32)sizeof(scratch);
        if (used + 1 < size) {
            target = (ViByte*)text + used;
            room = (ViUInt32)(size - 1 - used);
        }
        ViUInt32 count = 0;
        ViStatus status = m->visa->viRead(m->s.instrument, target, room, &count);
        if (count > room) {
            count = room; /* never trust a count beyond what was asked */
        }
        if (target != scratch) {
            used += count;
            text[used] = '\0';
        }
        total += count;
        if (status < 0) {
            text[0] = '\0';
            return status;
        }
        if (status != VI_SUCCESS_MAX_CNT) {
            break; /* END or the termination character ended the reply */
        }
        if (total >= REPLY_LIMIT || count == 0) {
            if (m->visa->viClear != NULL) {
                m->visa->viClear(m->s.instrument);
            }
            text[0] = '\0';
            return VI_ERROR_INV_RESPONSE;
        }
    }
    /* a zero byte inside the reply ends the text there */
    RqkTrimEnd(text);
    return VI_SUCCESS;
}

static ViStatus Query(const Module* m, const char* command, char* reply) {
    ViStatus status = Send(m, command);
    if (status < 0) {
        reply[0] = '\0';
        return status;
    }
    return Receive(m, reply, REPLY_SIZE);
}

static ViStatus QueryInteger(const Module* m, const char* command, int64_t min, int64_t max, int64_t* value) {
    char reply[REPLY_SIZE];
    ViStatus status = Query(m, command, reply);
    if (status < 0) {
        return status;
    }
    return RqkParseInteger(reply, min, max, value) ? VI_SUCCESS : VI_ERROR_INV_RESPONSE;
}

/* The status an entry point returns once its own exchange gave status: with detection on and no failure
 * so far, the module's event status decides. */
static ViStatus Finish(const Module* m, ViStatus status) {
    if (status < 0 || !m->s.errorDetect) {
        return status;
    }
    int64_t esr = 0;
    ViStatus check = QueryInteger(m, "*ESR?", 0, 255, &esr);
    if (check < 0) {
        return check;
    }
    return (esr & ESR_ERROR_BITS) != 0 ? RQK4712V_INSTR_ERROR_DETECTED : status;
}

/* Finds the session and the VISA functions for an entry point. */
static ViStatus Begin(ViSession handle, Module* m) {
    ViStatus status = RqkFindSession(handle, &m->s);
    if (status < 0) {
        return status;
    }
    m->visa = RqkVisa();
    return m->visa != NULL ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

static void Empty(ViChar* text) {
    if (text != NULL) {
        text[0] = '\0';
    }
}

/* The check of a pointer argument: VI_SUCCESS when it is given, else the status that names it. */
static ViStatus Given(const void* argument, ViStatus missing) {
    return argument != NULL ? VI_SUCCESS : missing;
}

static int IsCard(ViInt16 card) {
    return card >= 1 && card <= 99;
}

/* ---- opening and closing ---- */

/* Identity check: an RQK4712V module, or a switchbox holding an RQK4712V card. */
static ViStatus CheckIdentity(const Module* m) {
    char reply[REPLY_SIZE];
    ViStatus status = Query(m, "*IDN?", reply);
    if (status < 0) {
        return status;
    }
    if (RqkStartsWithNoCase(reply, MODULE_IDENTITY) &&
        (reply[strlen(MODULE_IDENTITY)] == ',' || reply[strlen(MODULE_IDENTITY)] == '\0')) {
        return VI_SUCCESS;
    }
    if (!RqkStartsWithNoCase(reply, SWITCHBOX_IDENTITY)) {
        return VI_ERROR_FAIL_ID_QUERY;
    }
    for (int card = 1; card <= 99; ++card) {
        char command[32];
        snprintf(command, sizeof(command), "SYST:CTYP? %d", card);
        status = Query(m, command, reply);
        if (status < 0) {
            return status;
        }
        if (RqkStartsWithNoCase(reply, MODULE_IDENTITY)) {
            return VI_SUCCESS;
        }
        if (RqkStartsWithNoCase(reply, MISSING_CARD_TYPE)) {
            break;
        }
    }
    return VI_ERROR_FAIL_ID_QUERY;
}

ViStatus _VI_FUNC rqk4712v_init(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset, ViSession* session) {
    if (session != NULL) {
        *session = VI_NULL;
    }
    if (resourceName == NULL || resourceName[0] == '\0' || strnlen(resourceName, 256) > 255) {
        return VI_ERROR_PARAMETER1;
    }
    if (idQuery > 1) {
        return VI_ERROR_PARAMETER2;
    }
    if (reset > 1) {
        return VI_ERROR_PARAMETER3;
    }
    RETURN_ON_FAILURE(Given(session, VI_ERROR_PARAMETER4));
    const VisaApi* visa = NULL;
    ViStatus status = RqkLoadVisa(&visa);
    if (status < 0) {
        return status;
    }
    ViSession manager = VI_NULL;
    status = visa->viOpenDefaultRM(&manager);
    if (status < 0) {
        return status;
    }
    ViSession instrument = VI_NULL;
    status = visa->viOpen(manager, resourceName, VI_NULL, VI_NULL, &instrument);
    if (status < 0) {
        visa->viClose(manager);
        return status;
    }
    Module m = {{instrument, manager, RQK4712V_DEFAULT_TIMEOUT, VI_FALSE}, visa};
    status = visa->viSetAttribute(instrument, VI_ATTR_TMO_VALUE, RQK4712V_DEFAULT_TIMEOUT);
    if (status >= 0 && idQuery) {
        status = CheckIdentity(&m);
    }
    if (status >= 0 && reset) {
        status = Send(&m, "*RST");
        if (status >= 0) {
            status = Send(&m, "*CLS");
        }
    }
    if (status >= 0) {
        status = RqkAddSession(&m.s);
    }
    if (status < 0) {
        visa->viClose(instrument);
        visa->viClose(manager);
        return status;
    }
    *session = instrument;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC rqk4712v_close(ViSession session) {
    RqkSession s;
    ViStatus status = RqkRemoveSession(session, &s);
    const VisaApi* visa = RqkVisa();
    if (status < 0 || visa == NULL) {
        return status < 0 ? status : VI_ERROR_INV_OBJECT;
    }
    ViStatus closed = visa->viClose(s.instrument);
    ViStatus managerClosed = visa->viClose(s.manager);
    return closed < 0 ? closed : (managerClosed < 0 ? managerClosed : VI_SUCCESS);
}

ViStatus _VI_FUNC rqk4712v_timeOut(ViSession session, ViInt32 timeout) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    if (timeout < 0) {
        return VI_ERROR_PARAMETER2;
    }
    ViStatus status = m.visa->viSetAttribute(m.s.instrument, VI_ATTR_TMO_VALUE, (ViAttrState)timeout);
    if (status < 0) {
        return status;
    }
    return RqkSetSessionTimeout(session, (ViUInt32)timeout);
}

ViStatus _VI_FUNC rqk4712v_errorQueryDetect(ViSession session, ViBoolean on) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    if (on > 1) {
        return VI_ERROR_PARAMETER2;
    }
    return RqkSetSessionErrorDetect(session, on);
}

ViStatus _VI_FUNC rqk4712v2_dcl(ViSession session) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    if (m.visa->viClear == NULL) {
        return VI_ERROR_NSUP_OPER;
    }
    ViStatus status = m.visa->viClear(m.s.instrument);
    return status < 0 ? status : VI_SUCCESS;
}

/* ---- routes ---- */

static ViStatus RouteChannel(ViSession session, ViInt32 channel, const char* header) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    if (!RqkIsChannelNumber(channel)) {
        return VI_ERROR_PARAMETER2;
    }
    char command[64];
    snprintf(command, sizeof(command), "%s (@%d)", header, (int)channel);
    return Finish(&m, Send(&m, command));
}

ViStatus _VI_FUNC rqk4712v_routClos(ViSession session, ViInt32 channel) {
    return RouteChannel(session, channel, "ROUT:CLOS");
}

ViStatus _VI_FUNC rqk4712v_routOpen(ViSession session, ViInt32 channel) {
    return RouteChannel(session, channel, "ROUT:OPEN");
}

ViStatus _VI_FUNC rqk4712v_routOpenList(ViSession session, ViChar channelList[]) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    char list[REPLY_SIZE - 32];
    if (channelList == NULL || !RqkWrapChannelList(channelList, list, sizeof(list))) {
        return VI_ERROR_PARAMETER2;
    }
    char command[REPLY_SIZE];
    snprintf(command, sizeof(command), "ROUT:OPEN %s", list);
    return Finish(&m, Send(&m, command));
}

/* A route state reply: digits 0 and 1 separated by commas. */
static int IsRouteStates(const char* reply) {
    if (reply[0] == '\0') {
        return 0;
    }
    for (size_t i = 0; reply[i] != '\0'; ++i) {
        char expected = (i % 2 == 0) ? '0' : ',';
        if (reply[i] != expected && !(expected == '0' && reply[i] == '1')) {
            return 0;
        }
    }
    return reply[strlen(reply) - 1] != ',';
}

ViStatus _VI_FUNC rqk4712v_routClosList_Q(ViSession session, ViChar channelList[], ViChar reply[]) {
    Empty(reply);
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    char list[REPLY_SIZE - 32];
    if (channelList == NULL || !RqkWrapChannelList(channelList, list, sizeof(list))) {
        return VI_ERROR_PARAMETER2;
    }
    RETURN_ON_FAILURE(Given(reply, VI_ERROR_PARAMETER3));
    char command[REPLY_SIZE];
    snprintf(command, sizeof(command), "ROUT:CLOS? %s", list);
    char text[REPLY_SIZE];
    ViStatus status = Query(&m, command, text);
    if (status >= 0 && !IsRouteStates(text)) {
        status = VI_ERROR_INV_RESPONSE;
    }
    if (status >= 0) {
        RqkCopyText(reply, RQK4712V_TEXT_SIZE, text);
    }
    return Finish(&m, status);
}

/* ---- attenuation ---- */

/* The check of a card and group argument pair (parameters 2 and 3): cards 1 to 99, groups 0 to 5. */
static ViStatus CheckGroup(ViInt16 card, ViInt16 group) {
    if (!IsCard(card)) {
        return VI_ERROR_PARAMETER2;
    }
    return group >= 0 && group <= 5 ? VI_SUCCESS : VI_ERROR_PARAMETER3;
}

ViStatus _VI_FUNC rqk4712v_atten(ViSession session, ViInt16 card, ViInt16 group, ViInt16 value) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(CheckGroup(card, group));
    if (value < 0 || value > 90) {
        return VI_ERROR_PARAMETER4;
    }
    char command[64];
    snprintf(command, sizeof(command), "ROUT:ATT %d,%d,%d", card, group, value);
    return Finish(&m, Send(&m, command));
}

ViStatus _VI_FUNC rqk4712v_atten_Q(ViSession session, ViInt16 card, ViInt16 group, ViInt16* value) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(CheckGroup(card, group));
    RETURN_ON_FAILURE(Given(value, VI_ERROR_PARAMETER4));
    char command[64];
    snprintf(command, sizeof(command), "ROUT:ATT? %d,%d", card, group);
    int64_t number = 0;
    ViStatus status = QueryInteger(&m, command, INT16_MIN, INT16_MAX, &number);
    if (status >= 0) {
        *value = (ViInt16)number;
    }
    return Finish(&m, status);
}

/* ---- cards ---- */

ViStatus _VI_FUNC rqk4712v_systCopt(ViSession session, ViInt16 card, ViChar optionList[]) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    if (!IsCard(card)) {
        return VI_ERROR_PARAMETER2;
    }
    if (optionList == NULL || !RqkIsOptionListText(optionList)) {
        return VI_ERROR_PARAMETER3;
    }
    char command[REPLY_SIZE];
    snprintf(command, sizeof(command), "SYST:COPT %d,\"%s\"", card, optionList);
    return Finish(&m, Send(&m, command));
}

/* A query about one card whose reply is a text, given to the caller without SCPI quotes. */
static ViStatus CardText(ViSession session, ViInt16 card, ViChar* out, size_t size, const char* header) {
    Empty(out);
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    if (!IsCard(card)) {
        return VI_ERROR_PARAMETER2;
    }
    RETURN_ON_FAILURE(Given(out, VI_ERROR_PARAMETER3));
    char command[64];
    snprintf(command, sizeof(command), "%s %d", header, card);
    char reply[REPLY_SIZE];
    ViStatus status = Query(&m, command, reply);
    if (status >= 0) {
        RqkUnquote(out, size, reply);
    }
    return Finish(&m, status);
}

ViStatus _VI_FUNC rqk4712v_systCopt_Q(ViSession session, ViInt16 card, ViChar optionList[]) {
    return CardText(session, card, optionList, RQK4712V_OPTION_LIST_SIZE, "SYST:COPT?");
}

ViStatus _VI_FUNC rqk4712v_systCtyp_Q(ViSession session, ViInt16 card, ViChar type[]) {
    return CardText(session, card, type, RQK4712V_TEXT_SIZE, "SYST:CTYP?");
}

/* ---- status and diagnostics ---- */

ViStatus _VI_FUNC rqk4712v_error_query(ViSession session, ViInt32* code, ViChar message[]) {
    /* Code 0 and an empty text until an entry has been read: a caller draining the queue until code 0
     * stops on a failed call too. */
    if (code != NULL) {
        *code = 0;
    }
    Empty(message);
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(Given(code, VI_ERROR_PARAMETER2));
    RETURN_ON_FAILURE(Given(message, VI_ERROR_PARAMETER3));
    char reply[REPLY_SIZE];
    ViStatus status = Query(&m, "SYST:ERR?", reply);
    if (status < 0) {
        return status;
    }
    /* Reading the queue is how errors are collected: it is never itself reported as an instrument
     * error, so a caller draining the queue stops only at code 0 or at a real failure. */
    int32_t entry = 0;
    if (!RqkParseErrorEntry(reply, &entry, message, RQK4712V_TEXT_SIZE)) {
        Empty(message);
        return VI_ERROR_INV_RESPONSE;
    }
    *code = entry;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC rqk4712v_self_test(ViSession session, ViInt16* result, ViChar message[]) {
    Empty(message);
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(Given(result, VI_ERROR_PARAMETER2));
    RETURN_ON_FAILURE(Given(message, VI_ERROR_PARAMETER3));
    /* A module's self-test may take longer than an ordinary exchange: give it at least
     * SELF_TEST_TIMEOUT, then put the session's own time-out back. */
    int longer = m.s.timeout < SELF_TEST_TIMEOUT;
    if (longer) {
        RETURN_ON_FAILURE(m.visa->viSetAttribute(m.s.instrument, VI_ATTR_TMO_VALUE, SELF_TEST_TIMEOUT));
    }
    int64_t code = 0;
    ViStatus status = QueryInteger(&m, "*TST?", INT16_MIN, INT16_MAX, &code);
    if (longer) {
        ViStatus restored = m.visa->viSetAttribute(m.s.instrument, VI_ATTR_TMO_VALUE, m.s.timeout);
        if (status >= 0 && restored < 0) {
            status = restored;
        }
    }
    if (status >= 0) {
        *result = (ViInt16)code;
        char reply[REPLY_SIZE];
        status = Query(&m, "DIAG:TEST:MESS?", reply);
        if (status >= 0) {
            RqkUnquote(message, RQK4712V_TEXT_SIZE, reply);
        }
    }
    return Finish(&m, status);
}

ViStatus _VI_FUNC rqk4712v_readStatusByte_Q(ViSession session, ViInt16* statusByte) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(Given(statusByte, VI_ERROR_PARAMETER2));
    ViStatus status = VI_SUCCESS;
    if (m.visa->viReadSTB != NULL) {
        ViUInt16 polled = 0;
        status = m.visa->viReadSTB(m.s.instrument, &polled);
        if (status >= 0) {
            *statusByte = (ViInt16)(polled & 0xFF);
            status = VI_SUCCESS;
        }
    } else {
        int64_t value = 0;
        status = QueryInteger(&m, "*STB?", 0, 255, &value);
        if (status >= 0) {
            *statusByte = (ViInt16)value;
        }
    }
    return Finish(&m, status);
}

ViStatus _VI_FUNC rqk4712v_opc_Q(ViSession session, ViInt16* value) {
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(Given(value, VI_ERROR_PARAMETER2));
    int64_t number = 0;
    ViStatus status = QueryInteger(&m, "*OPC?", INT16_MIN, INT16_MAX, &number);
    if (status >= 0) {
        *value = (ViInt16)number;
    }
    return Finish(&m, status);
}

ViStatus _VI_FUNC rqk4712v_revision_query(ViSession session, ViChar driverRevision[],
                                          ViChar firmwareRevision[]) {
    Empty(driverRevision);
    Empty(firmwareRevision);
    Module m;
    RETURN_ON_FAILURE(Begin(session, &m));
    RETURN_ON_FAILURE(Given(driverRevision, VI_ERROR_PARAMETER2));
    RETURN_ON_FAILURE(Given(firmwareRevision, VI_ERROR_PARAMETER3));
    RqkCopyText(driverRevision, RQK4712V_TEXT_SIZE, RQK4712V_REVISION);
    char reply[REPLY_SIZE];
    ViStatus status = Query(&m, "*IDN?", reply);
    if (status >= 0) {
        RqkIdentityFirmware(reply, firmwareRevision, RQK4712V_TEXT_SIZE);
    }
    return Finish(&m, status);
}

/* ---- status texts ---- */

typedef struct StatusText {
    ViStatus status;
    const char* text;
} StatusText;

static const StatusText g_driverTexts[] = {
    {VI_SUCCESS, "Success"},
    {VI_ERROR_PARAMETER1, "Parameter 1 out of range or not valid"},
    {VI_ERROR_PARAMETER2, "Parameter 2 out of range or not valid"},
    {VI_ERROR_PARAMETER3, "Parameter 3 out of range or not valid"},
    {VI_ERROR_PARAMETER4, "Parameter 4 out of range or not valid"},
    {VI_ERROR_PARAMETER5, "Parameter 5 out of range or not valid"},
    {VI_ERROR_PARAMETER6, "Parameter 6 out of range or not valid"},
    {VI_ERROR_PARAMETER7, "Parameter 7 out of range or not valid"},
    {VI_ERROR_PARAMETER8, "Parameter 8 out of range or not valid"},
    {VI_ERROR_FAIL_ID_QUERY, "Instrument identification query failed"},
    {VI_ERROR_INV_RESPONSE, "Unexpected reply from the instrument"},
    {RQK4712V_ERROR_VISA_NOT_LOADED, "The VISA library could not be loaded"},
    {RQK4712V_ERROR_VISA_INCOMPLETE, "The VISA library lacks a function the driver needs"},
    {RQK4712V_INSTR_ERROR_DETECTED, "Instrument error detected; read the error queue"},
};

/* Used when VISA cannot describe one of its own statuses. */
static const StatusText g_visaTexts[] = {
    {VI_ERROR_SYSTEM_ERROR, "Unknown system error"},
    {VI_ERROR_INV_OBJECT, "The session or object reference is invalid"},
    {VI_ERROR_RSRC_NFOUND, "Insufficient location information or resource not present in the system"},
    {VI_ERROR_INV_RSRC_NAME, "Invalid resource reference specified"},
    {VI_ERROR_TMO, "Timeout expired before operation completed"},
    {VI_ERROR_NSUP_ATTR, "The specified attribute is not defined or supported"},
    {VI_ERROR_IO, "Could not perform operation because of I/O error"},
    {VI_ERROR_NSUP_OPER, "The operation is not supported by the given session"},
    {VI_ERROR_ALLOC, "Insufficient system resources to perform the operation"},
};

static const char* Lookup(const StatusText* table, size_t count, ViStatus status) {
    for (size_t i = 0; i < count; ++i) {
        if (table[i].status == status) {
            return table[i].text;
        }
    }
    return NULL;
}

ViStatus _VI_FUNC rqk4712v_error_message(ViSession session, ViStatus status, ViChar message[]) {
    RETURN_ON_FAILURE(Given(message, VI_ERROR_PARAMETER3));
    message[0] = '\0';
    const char* text = Lookup(g_driverTexts, sizeof(g_driverTexts) / sizeof(g_driverTexts[0]), status);
    if (text != NULL) {
        RqkCopyText(message, RQK4712V_TEXT_SIZE, text);
        return VI_SUCCESS;
    }
    const VisaApi* visa = RqkVisa();
    if (visa != NULL && visa->viStatusDesc != NULL) {
        /* VISA writes up to 256 characters; give it more room than that and cut to the caller's size. */
        char description[1024] = {0};
        RqkSession s;
        ViObject object = RqkFindSession(session, &s) == VI_SUCCESS ? s.instrument : session;
        ViStatus described = visa->viStatusDesc(object, status, description);
        description[sizeof(description) - 1] = '\0';
        if (described == VI_SUCCESS && description[0] != '\0') {
            RqkCopyText(message, RQK4712V_TEXT_SIZE, description);
            return VI_SUCCESS;
        }
    }
    text = Lookup(g_visaTexts, sizeof(g_visaTexts) / sizeof(g_visaTexts[0]), status);
    if (text != NULL) {
        RqkCopyText(message, RQK4712V_TEXT_SIZE, text);
        return VI_SUCCESS;
    }
    snprintf(message, RQK4712V_TEXT_SIZE, "Unknown status 0x%08X", (unsigned)status);
    return VI_WARN_UNKNOWN_STATUS;
}
