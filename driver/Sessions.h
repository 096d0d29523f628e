/* The driver's VISA library and its table of open sessions. A driver session is the VISA session of the
 * instrument; the table keeps what the driver adds to it. Safe to use from several threads. */
#ifndef RQK4712V_SESSIONS_H
#define RQK4712V_SESSIONS_H

#include "VisaLoader.h"

typedef struct RqkSession {
    ViSession instrument;  /* VISA session of the module; also the driver session */
    ViSession manager;     /* the default resource manager session opened for it */
    ViUInt32 timeout;      /* I/O time-out in milliseconds */
    ViBoolean errorDetect; /* check the event status after each command */
} RqkSession;

/* Loads VISA on first use (again after a failure) and gives its functions. Returns VI_SUCCESS,
 * RQK4712V_ERROR_VISA_NOT_LOADED or RQK4712V_ERROR_VISA_INCOMPLETE. */
ViStatus RqkLoadVisa(const VisaApi** api);

/* The loaded VISA functions, or null before a successful RqkLoadVisa. */
const VisaApi* RqkVisa(void);

/* Adds a session; VI_ERROR_ALLOC when memory runs out. */
ViStatus RqkAddSession(const RqkSession* session);

/* Copies the state of a session into *out. Returns VI_SUCCESS, or VI_ERROR_INV_OBJECT when the handle is
 * not an open session of the driver. */
ViStatus RqkFindSession(ViSession handle, RqkSession* out);

/* Changes the time-out or the detection flag of a session (VI_ERROR_INV_OBJECT when unknown). */
ViStatus RqkSetSessionTimeout(ViSession handle, ViUInt32 timeout);
ViStatus RqkSetSessionErrorDetect(ViSession handle, ViBoolean on);

/* Takes a session out of the table, giving its state (VI_ERROR_INV_OBJECT when unknown). */
ViStatus RqkRemoveSession(ViSession handle, RqkSession* out);

#endif
