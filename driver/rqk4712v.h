/* RQK4712V instrument driver: a VXIplug&play-style C library over VISA for the RQK4712V switch module
 * card (six groups, each a step attenuator or a four- or six-position RF switch), alone or in a switchbox.
 *
 * The driver loads VISA at run time: the library named by the environment variable RQK4712V_VISA_LIBRARY
 * when it is set, else the one named in /etc/rqk4712v-sfp/visa-library, else the first VISA library found
 * under the names and install folders of the VISA vendors (libvisa.so, libvisa.so.0, libktvisa32.so,
 * librsvisa.so, ...; "VISA32.DLL" on Windows). A process that loads VISA by the same rules shares one
 * library with the driver.
 *
 * Conventions of every entry point:
 *   - the result is a VISA status: 0 success, positive success with a warning, negative failure;
 *   - the session is the one rqk4712v_init gave; an unknown or closed session gives VI_ERROR_INV_OBJECT;
 *   - an argument out of range or a null pointer gives VI_ERROR_PARAMETERn, n being the argument's place;
 *   - text results are always terminated and never longer than the buffer size stated below (the
 *     terminating zero included); a call that fails before the module answered leaves its text results
 *     empty and writes no numeric result (rqk4712v_error_query's code excepted, which is then 0);
 *   - with error-query detection on (rqk4712v_errorQueryDetect), an entry point that talks to the module
 *     reads the module's event status register after its command and returns
 *     RQK4712V_INSTR_ERROR_DETECTED when the module queued an error (rqk4712v_error_query reads the
 *     entries). The error may stem from an earlier command: the call's own text and numeric results are
 *     already filled with the module's reply when it returns that status, and also when the event status
 *     query itself times out (VI_ERROR_TMO). A VISA time-out of the call's own command or query is
 *     returned as VI_ERROR_TMO and is never followed by that check;
 *   - one session is not to be used by two threads at once. Sessions on different instruments may be
 *     used from several threads; two sessions on one module share its message exchange, so their
 *     commands and replies interleave as they would on a real device. */
#ifndef RQK4712V_H
#define RQK4712V_H

#include "visa.h"

#if defined(_WIN32)
#if defined(RQK4712V_BUILDING)
#define RQK4712V_API __declspec(dllexport)
#else
#define RQK4712V_API __declspec(dllimport)
#endif
#else
#define RQK4712V_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Revision of this driver, as rqk4712v_revision_query reports it. */
#define RQK4712V_REVISION "A.01.00"

/* Sizes of the caller's text buffers, terminating zero included. */
#define RQK4712V_TEXT_SIZE 256
#define RQK4712V_OPTION_LIST_SIZE 100

/* I/O time-out of a new session, in milliseconds. */
#define RQK4712V_DEFAULT_TIMEOUT 5000

/* VXIplug&play completion and error codes (defined here unless a VXIplug&play header did). */
#ifndef VI_ERROR_PARAMETER1
#define VI_ERROR_PARAMETER1 ((ViStatus)0xBFFC0001)
#define VI_ERROR_PARAMETER2 ((ViStatus)0xBFFC0002)
#define VI_ERROR_PARAMETER3 ((ViStatus)0xBFFC0003)
#define VI_ERROR_PARAMETER4 ((ViStatus)0xBFFC0004)
#define VI_ERROR_PARAMETER5 ((ViStatus)0xBFFC0005)
#define VI_ERROR_PARAMETER6 ((ViStatus)0xBFFC0006)
#define VI_ERROR_PARAMETER7 ((ViStatus)0xBFFC0007)
#define VI_ERROR_PARAMETER8 ((ViStatus)0xBFFC0008)
#endif
#ifndef VI_ERROR_FAIL_ID_QUERY
#define VI_ERROR_FAIL_ID_QUERY ((ViStatus)0xBFFC0011)
#endif
#ifndef VI_ERROR_INV_RESPONSE
#define VI_ERROR_INV_RESPONSE ((ViStatus)0xBFFC0012)
#endif
#ifndef VI_ERROR_ALLOC
#define VI_ERROR_ALLOC ((ViStatus)0xBFFF003C)
#endif
#ifndef VI_WARN_UNKNOWN_STATUS
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085)
#endif

/* The driver's own statuses. */
#define RQK4712V_ERROR_VISA_NOT_LOADED ((ViStatus)0xBFFC0D01) /* the VISA library could not be loaded */
#define RQK4712V_ERROR_VISA_INCOMPLETE ((ViStatus)0xBFFC0D02) /* it lacks a function the driver needs */
#define RQK4712V_INSTR_ERROR_DETECTED ((ViStatus)0xBFFC0D07)  /* the module queued an error */

/* Opens a session on the module at resourceName (a VISA resource name, up to 255 characters): opens the
 * VISA default resource manager and the resource, sets the time-out to RQK4712V_DEFAULT_TIMEOUT, checks
 * the identity when idQuery is 1 (an RQK4712V module, or a switchbox holding an RQK4712V card; otherwise
 * VI_ERROR_FAIL_ID_QUERY), and sends *RST and *CLS when reset is 1. idQuery and reset are 0 or 1.
 * Error-query detection starts off. On failure *session is VI_NULL and nothing stays open. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_init(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset,
                                             ViSession* session);

/* Sets the session's I/O time-out in milliseconds (0 or more). */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_timeOut(ViSession session, ViInt32 timeout);

/* Turns error-query detection on (1) or off (0). */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_errorQueryDetect(ViSession session, ViBoolean on);

/* Closes or opens one channel, card x 100 + group x 10 + channel (card 1..99, group 0..5, channel
 * 0..5). */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_routClos(ViSession session, ViInt32 channel);
RQK4712V_API ViStatus _VI_FUNC rqk4712v_routOpen(ViSession session, ViInt32 channel);

/* Opens every channel of a channel list given without its "(@" and ")", e.g. "120:123" or "100,112"
 * (a list already in the form "(@...)" is taken as it is). */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_routOpenList(ViSession session, ViChar channelList[]);

/* Reads the states of the channels of a list (as for rqk4712v_routOpenList): one digit per channel in
 * list order, separated by commas, 1 for closed, e.g. "0,1,0,0". reply: RQK4712V_TEXT_SIZE characters. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_routClosList_Q(ViSession session, ViChar channelList[],
                                                       ViChar reply[]);

/* Writes the option list of a card (1..99): six option names separated by commas, without quotes. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_systCopt(ViSession session, ViInt16 card, ViChar optionList[]);

/* Reads the option list of a card without quotes. optionList: RQK4712V_OPTION_LIST_SIZE characters. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_systCopt_Q(ViSession session, ViInt16 card, ViChar optionList[]);

/* Reads the type text of a card (1..99), e.g. "QUILLON-VANTERA,K4712V,0,A.01.00", or a text beginning
 * with "NONE" for a card the module does not hold. type: RQK4712V_TEXT_SIZE characters. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_systCtyp_Q(ViSession session, ViInt16 card, ViChar type[]);

/* Reads the oldest entry of the module's error queue: its code (0 when the queue is empty) and its text
 * without quotes. A failed call gives code 0 and an empty text. message: RQK4712V_TEXT_SIZE characters. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_error_query(ViSession session, ViInt32* code, ViChar message[]);

/* Runs the module's self-test: result 0 when it passed, otherwise the module's failure code, and the
 * module's text about it. message: RQK4712V_TEXT_SIZE characters. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_self_test(ViSession session, ViInt16* result, ViChar message[]);

/* Reads the module's status byte (0..255). */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_readStatusByte_Q(ViSession session, ViInt16* statusByte);

/* Operation-complete query: 1 once every operation has completed. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_opc_Q(ViSession session, ViInt16* value);

/* VISA device clear of the module: empties its input and output buffers. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v2_dcl(ViSession session);

/* Closes the session and the resource manager session init opened for it. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_close(ViSession session);

/* Sets or reads the attenuation in dB of an attenuator group (card 1..99, group 0..5, value 0..90; the
 * steps the group's device accepts are the module's to check). */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_atten(ViSession session, ViInt16 card, ViInt16 group, ViInt16 value);
RQK4712V_API ViStatus _VI_FUNC rqk4712v_atten_Q(ViSession session, ViInt16 card, ViInt16 group,
                                                ViInt16* value);

/* Text of a status of this driver or of VISA. session may be VI_NULL. message: RQK4712V_TEXT_SIZE
 * characters. An unknown status gives a generic text and VI_WARN_UNKNOWN_STATUS. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_error_message(ViSession session, ViStatus status, ViChar message[]);

/* The driver's revision (RQK4712V_REVISION) and the module's firmware revision from its identity.
 * Both buffers: RQK4712V_TEXT_SIZE characters. */
RQK4712V_API ViStatus _VI_FUNC rqk4712v_revision_query(ViSession session, ViChar driverRevision[],
                                                       ViChar firmwareRevision[]);

#ifdef __cplusplus
}
#endif

#endif
