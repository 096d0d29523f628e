#include "Sessions.h"

#include "rqk4712v.h"

#include <pthread.h>
#include <stdlib.h>

static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;
static VisaApi g_visa;
static int g_visaReady;
static RqkSession* g_sessions;
static size_t g_count;
static size_t g_capacity;

ViStatus RqkLoadVisa(const VisaApi** api) {
    ViStatus status = VI_SUCCESS;
    pthread_mutex_lock(&g_lock);
    if (!g_visaReady) {
        VisaApi loaded;
        if (!VisaLoad(&loaded)) {
            status = RQK4712V_ERROR_VISA_NOT_LOADED;
        } else if (loaded.viOpenDefaultRM == NULL || loaded.viOpen == NULL || loaded.viClose == NULL ||
                   loaded.viSetAttribute == NULL || loaded.viWrite == NULL || loaded.viRead == NULL) {
            /* Kept loaded (the loader never unloads) but not used: a later call tries again. */
            status = RQK4712V_ERROR_VISA_INCOMPLETE;
        } else {
            g_visa = loaded;
            g_visaReady = 1;
        }
    }
    *api = g_visaReady ? &g_visa : NULL;
    pthread_mutex_unlock(&g_lock);
    return status;
}

const VisaApi* RqkVisa(void) {
    pthread_mutex_lock(&g_lock);
    const VisaApi* api = g_visaReady ? &g_visa : NULL;
    pthread_mutex_unlock(&g_lock);
    return api;
}

/* Index of the session with this handle, or g_count. Called with the lock held. */
static size_t IndexOf(ViSession handle) {
    size_t i = 0;
    while (i < g_count && (handle == VI_NULL || g_sessions[i].instrument != handle)) {
        ++i;
    }
    return i;
}

ViStatus RqkAddSession(const RqkSession* session) {
    ViStatus status = VI_SUCCESS;
    pthread_mutex_lock(&g_lock);
    size_t i = IndexOf(session->instrument);
    if (i < g_count) {
        g_sessions[i] = *session; /* VISA reused the handle of a session closed behind our back */
    } else {
        if (g_count == g_capacity) {
            size_t capacity = g_capacity == 0 ? 8 : g_capacity * 2;
            RqkSession* grown = realloc(g_sessions, capacity * sizeof(RqkSession));
            if (grown == NULL) {
                status = VI_ERROR_ALLOC;
            } else {
                g_sessions = grown;
                g_capacity = capacity;
            }
        }
        if (status == VI_SUCCESS) {
            g_sessions[g_count++] = *session;
        }
    }
    pthread_mutex_unlock(&g_lock);
    return status;
}

/* Takes the lock and gives the session with this handle, or null when there is none; Unlock gives the lock
 * back. */
static RqkSession* LockSession(ViSession handle) {
    pthread_mutex_lock(&g_lock);
    size_t i = IndexOf(handle);
    return i < g_count ? &g_sessions[i] : NULL;
}

/* Gives the lock back; the status of the look-up that LockSession made. */
static ViStatus Unlock(const RqkSession* found) {
    pthread_mutex_unlock(&g_lock);
    return found != NULL ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

ViStatus RqkFindSession(ViSession handle, RqkSession* out) {
    RqkSession* found = LockSession(handle);
    if (found != NULL) {
        *out = *found;
    }
    return Unlock(found);
}

ViStatus RqkSetSessionTimeout(ViSession handle, ViUInt32 timeout) {
    RqkSession* found = LockSession(handle);
    if (found != NULL) {
        found->timeout = timeout;
    }
    return Unlock(found);
}

ViStatus RqkSetSessionErrorDetect(ViSession handle, ViBoolean on) {
    RqkSession* found = LockSession(handle);
    if (found != NULL) {
        found->errorDetect = on;
    }
    return Unlock(found);
}

ViStatus RqkRemoveSession(ViSession handle, RqkSession* out) {
    RqkSession* found = LockSession(handle);
    if (found != NULL) {
        *out = *found;
        *found = g_sessions[--g_count];
    }
    return Unlock(found);
}
