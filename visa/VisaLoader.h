/* Loads a VISA library at run time and looks up the functions its callers use. The soft front panel and
 * the instrument driver load VISA by the same rules, so that in one process they share one library:
 *   - the path in the environment variable RQK4712V_VISA_LIBRARY when it is set and not empty;
 *   - otherwise the platform's name: "libvisa.so" on Linux, "VISA32.DLL" on Windows.
 * A function the library does not export stays null; callers check what they need. */
#ifndef RQK4712V_VISA_LOADER_H
#define RQK4712V_VISA_LOADER_H

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

/* The name or path the loader opens, following the rules above. */
const char* VisaLibraryName(void);

/* Opens the VISA library and fills *api. Returns 1 when the library was opened (some functions may still
 * be null), 0 when it could not be opened (then every field is null). Opening it again in the same
 * process gives the same library. The library stays loaded until the process ends. */
int VisaLoad(VisaApi* api);

#ifdef __cplusplus
}
#endif

#endif
