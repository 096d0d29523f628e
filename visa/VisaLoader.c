#include "VisaLoader.h"

#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#define VISA_DEFAULT_NAME "VISA32.DLL"
static void* OpenLibrary(const char* name) {
    return (void*)LoadLibraryA(name);
}
static void* Lookup(void* lib, const char* name) {
    return (void*)GetProcAddress((HMODULE)lib, name);
}
#else
#include <dlfcn.h>
#define VISA_DEFAULT_NAME "libvisa.so"
static void* OpenLibrary(const char* name) {
    return dlopen(name, RTLD_NOW | RTLD_GLOBAL);
}
static void* Lookup(void* lib, const char* name) {
    return dlsym(lib, name);
}
#endif

const char* VisaLibraryName(void) {
    const char* over = getenv("RQK4712V_VISA_LIBRARY");
    return (over != NULL && over[0] != '\0') ? over : VISA_DEFAULT_NAME;
}

#define VISA_LOOKUP(field) memcpy(&api->field, &(void*){Lookup(lib, #field)}, sizeof(void*))

int VisaLoad(VisaApi* api) {
    memset(api, 0, sizeof(*api));
    void* lib = OpenLibrary(VisaLibraryName());
    if (lib == NULL) {
        return 0;
    }
    api->library = lib;
    VISA_LOOKUP(viOpenDefaultRM);
    VISA_LOOKUP(viFindRsrc);
    VISA_LOOKUP(viFindNext);
    VISA_LOOKUP(viOpen);
    VISA_LOOKUP(viClose);
    VISA_LOOKUP(viGetAttribute);
    VISA_LOOKUP(viSetAttribute);
    VISA_LOOKUP(viWrite);
    VISA_LOOKUP(viRead);
    VISA_LOOKUP(viReadSTB);
    VISA_LOOKUP(viClear);
    VISA_LOOKUP(viStatusDesc);
    return 1;
}
