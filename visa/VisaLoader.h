/* Loads a VISA library at run time and looks up the functions its callers use. The soft front panel and
 * the instrument driver load VISA by the same search, so that in one process they share one library. On
 * Linux the first of these that opens is taken:
 *   1. the path in the environment variable RQK4712V_VISA_LIBRARY, when it is set and not empty (then
 *      nothing else is tried: the user named the library);
 *   2. else the path on the first line of the system setting file /etc/rqk4712v-sfp/visa-library that is
 *      neither empty nor a comment ("#"), when there is one (then nothing else is tried either);
 *   3. else "libvisa.so" and "libvisa.so.0" through the dynamic loader's search path (NI-VISA, and
 *      Debian's libvisa0);
 *   4. else the vendors' own names through the search path: "libvisa.so.7" (older NI-VISA),
 *      "libktvisa32.so" (Keysight IO Libraries), "librsvisa.so" (Rohde & Schwarz VISA);
 *   5. else at the vendors' install folders: the newest libvisa.so.<version> in the system's multiarch
 *      library folder (NI-VISA), /usr/local/vxipnp/linux/bin/libvisa.so.7, /opt/keysight/iolibs/
 *      libktvisa32.so, /usr/lib/librsvisa.so and /usr/lib64/librsvisa.so.
 * On Windows: RQK4712V_VISA_LIBRARY, else "VISA32.DLL".
 * A function the library does not export stays null; callers check what they need. */
#ifndef RQK4712V_VISA_LOADER_H
#define RQK4712V_VISA_LOADER_H

#include <stddef.h>

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VisaApi {
    void* library; /* handle of the loaded library; null when it could not be loaded */
    ViStatus(_VI_FUNC* viOpenDefaultRM)(ViSession*);
    ViStatus(_VI_FUNC* viFindRsrc)(ViSession, ViConstString, ViFindList*, ViUInt32*, ViChar*);
    ViStatus(_VI_FUNC* viFindNext)(ViFindList, ViChar*);
    ViStatus(_VI_FUNC* viOpen)(ViSession, ViConstRsrc, ViAccessMode, ViUInt32, ViSession*);
    ViStatus(_VI_FUNC* viClose)(ViObject);
    ViStatus(_VI_FUNC* viGetAttribute)(ViObject, ViAttr, void*);
    ViStatus(_VI_FUNC* viSetAttribute)(ViObject, ViAttr, ViAttrState);
    ViStatus(_VI_FUNC* viWrite)(ViSession, ViConstBuf, ViUInt32, ViUInt32*);
    ViStatus(_VI_FUNC* viRead)(ViSession, ViBuf, ViUInt32, ViUInt32*);
    ViStatus(_VI_FUNC* viReadSTB)(ViSession, ViUInt16*);
    ViStatus(_VI_FUNC* viClear)(ViSession);
    ViStatus(_VI_FUNC* viStatusDesc)(ViObject, ViStatus, ViChar*);
} VisaApi;

/* The system setting file that names the VISA library for every user. */
#define VISA_SETTING_FILE "/etc/rqk4712v-sfp/visa-library"

/* Opens the VISA library and fills *api. Returns 1 when a library was opened (some functions may still
 * be null), 0 when none could be opened (then every field is null). Opening it again in the same process
 * gives the same library. The library stays loaded until the process ends. */
int VisaLoad(VisaApi* api);

/* The same, and describes the search in report (size bytes, always terminated; may be null): on success
 * the file loaded; on failure every name and folder tried and the dynamic loader's reason for the first
 * failure. */
int VisaLoadReporting(VisaApi* api, char* report, size_t size);

/* The search with the setting file and the install folders of steps 2 and 5 looked for under root (a
 * folder, or "" for the system's own): for tests, which cannot write the system's folders. */
int VisaLoadUnder(VisaApi* api, const char* root, char* report, size_t size);

#ifdef __cplusplus
}
#endif

#endif
