#if !defined(_WIN32) && !defined(_GNU_SOURCE)
#define _GNU_SOURCE /* dlinfo, strverscmp */
#endif
#include "VisaLoader.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* What a search has tried so far, for the report. */
typedef struct Search {
    char* report;
    size_t size;
    size_t used;
    int tried;
    char firstFailure[512];
} Search;

static void Append(Search* s, const char* text) {
    if (s->report == NULL || s->size == 0) {
        return;
    }
    const size_t room = s->size - s->used;
    const size_t length = strlen(text);
    const size_t n = length < room - 1 ? length : room - 1;
    memcpy(s->report + s->used, text, n);
    s->used += n;
    s->report[s->used] = '\0';
}

#if defined(_WIN32)
#include <windows.h>
static void* OpenLibrary(const char* name, char* why, size_t size) {
    void* lib = (void*)LoadLibraryA(name);
    if (lib == NULL) {
        snprintf(why, size, "error %lu", (unsigned long)GetLastError());
    }
    return lib;
}
static void* Lookup(void* lib, const char* name) {
    return (void*)GetProcAddress((HMODULE)lib, name);
}
static void LoadedFile(void* lib, const char* name, char* file, size_t size) {
    if (GetModuleFileNameA((HMODULE)lib, file, (DWORD)size) == 0) {
        snprintf(file, size, "%s", name);
    }
}
#else
#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
static void* OpenLibrary(const char* name, char* why, size_t size) {
    void* lib = dlopen(name, RTLD_NOW | RTLD_GLOBAL);
    if (lib == NULL) {
        const char* error = dlerror();
        snprintf(why, size, "%s", error != NULL ? error : "cannot be opened");
    }
    return lib;
}
static void* Lookup(void* lib, const char* name) {
    return dlsym(lib, name);
}
/* The file the loader opened: a name found through the search path becomes its path. */
static void LoadedFile(void* lib, const char* name, char* file, size_t size) {
    struct link_map* map = NULL;
    snprintf(file, size, "%s",
             dlinfo(lib, RTLD_DI_LINKMAP, &map) == 0 && map != NULL && map->l_name[0] != '\0' ? map->l_name
                                                                                              : name);
}
#endif

/* Notes a name or folder tried in the report, with the reason when it is the first failure. */
static void NoteTried(Search* s, const char* name, const char* where, const char* why) {
    Append(s, s->tried == 0 ? "tried " : ", ");
    Append(s, name);
    Append(s, where);
    if (s->tried == 0) {
        snprintf(s->firstFailure, sizeof(s->firstFailure), "%s", why);
    }
    ++s->tried;
}

/* Tries one library; on failure notes it in the report. */
static void* Try(Search* s, const char* name, const char* where) {
    char why[512] = "";
    void* lib = OpenLibrary(name, why, sizeof(why));
    if (lib == NULL) {
        NoteTried(s, name, where, why);
    }
    return lib;
}

#if !defined(_WIN32)

/* The library named by the setting file under root: its first line that is neither empty nor a comment,
 * without the spaces around it. False when there is no such file or line. */
static int SettingFileLibrary(const char* root, char* name, size_t size) {
    char path[4096];
    snprintf(path, sizeof(path), "%s%s", root, VISA_SETTING_FILE);
    FILE* file = fopen(path, "re");
    if (file == NULL) {
        return 0;
    }
    int found = 0;
    char line[4096];
    while (!found && fgets(line, sizeof(line), file) != NULL) {
        char* start = line;
        while (*start == ' ' || *start == '\t') {
            ++start;
        }
        size_t length = strlen(start);
        while (length > 0 && strchr(" \t\r\n", start[length - 1]) != NULL) {
            start[--length] = '\0';
        }
        if (length > 0 && start[0] != '#') {
            snprintf(name, size, "%s", start);
            found = 1;
        }
    }
    fclose(file);
    return found;
}

/* The newest libvisa.so.<version> in the folder, by version order; false when there is none. */
static int NewestVersionedVisa(const char* folder, char* path, size_t size) {
    static const char prefix[] = "libvisa.so.";
    DIR* dir = opendir(folder);
    if (dir == NULL) {
        return 0;
    }
    char best[256] = "";
    for (struct dirent* entry = readdir(dir); entry != NULL; entry = readdir(dir)) {
        if (strncmp(entry->d_name, prefix, sizeof(prefix) - 1) == 0 &&
            entry->d_name[sizeof(prefix) - 1] != '\0' && strlen(entry->d_name) < sizeof(best) &&
            (best[0] == '\0' || strverscmp(entry->d_name, best) > 0)) {
            snprintf(best, sizeof(best), "%s", entry->d_name);
        }
    }
    closedir(dir);
    if (best[0] == '\0') {
        return 0;
    }
    const int length = snprintf(path, size, "%s/%s", folder, best);
    return length > 0 && (size_t)length < size;
}

#ifndef VISA_MULTIARCH_FOLDER
#define VISA_MULTIARCH_FOLDER "/usr/lib"
#endif

static void* Search_(Search* s, const char* root) {
    char name[4096];
    if (SettingFileLibrary(root, name, sizeof(name))) {
        char where[4200];
        snprintf(where, sizeof(where), " (from %s%s)", root, VISA_SETTING_FILE);
        return Try(s, name, where);
    }
    static const char* const searchPathNames[] = {"libvisa.so", "libvisa.so.0", "libvisa.so.7",
                                                  "libktvisa32.so", "librsvisa.so"};
    for (size_t i = 0; i < sizeof(searchPathNames) / sizeof(searchPathNames[0]); ++i) {
        void* lib = Try(s, searchPathNames[i], " (search path)");
        if (lib != NULL) {
            return lib;
        }
    }
    char folder[4096];
    snprintf(folder, sizeof(folder), "%s%s", root, VISA_MULTIARCH_FOLDER);
    if (NewestVersionedVisa(folder, name, sizeof(name))) {
        void* lib = Try(s, name, "");
        if (lib != NULL) {
            return lib;
        }
    } else {
        NoteTried(s, folder, "/libvisa.so.<version>", "no libvisa.so.<version> there");
    }
    static const char* const installed[] = {"/usr/local/vxipnp/linux/bin/libvisa.so.7",
                                            "/opt/keysight/iolibs/libktvisa32.so", "/usr/lib/librsvisa.so",
                                            "/usr/lib64/librsvisa.so"};
    for (size_t i = 0; i < sizeof(installed) / sizeof(installed[0]); ++i) {
        snprintf(name, sizeof(name), "%s%s", root, installed[i]);
        void* lib = Try(s, name, "");
        if (lib != NULL) {
            return lib;
        }
    }
    return NULL;
}

#else

static void* Search_(Search* s, const char* root) {
    (void)root;
    return Try(s, "VISA32.DLL", " (search path)");
}

#endif

#define VISA_LOOKUP(field) memcpy(&api->field, &(void*){Lookup(lib, #field)}, sizeof(void*))

int VisaLoadUnder(VisaApi* api, const char* root, char* report, size_t size) {
    memset(api, 0, sizeof(*api));
    Search s = {report, size, 0, 0, ""};
    if (report != NULL && size > 0) {
        report[0] = '\0';
    }
    const char* over = getenv("RQK4712V_VISA_LIBRARY");
    void* lib =
        over != NULL && over[0] != '\0' ? Try(&s, over, " (RQK4712V_VISA_LIBRARY)") : Search_(&s, root);
    if (lib == NULL) {
        Append(&s, "; the first failed with: ");
        Append(&s, s.firstFailure);
        return 0;
    }
    if (report != NULL && size > 0) {
        LoadedFile(lib, "", report, size);
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

int VisaLoadReporting(VisaApi* api, char* report, size_t size) {
    return VisaLoadUnder(api, "", report, size);
}

int VisaLoad(VisaApi* api) {
    return VisaLoadUnder(api, "", NULL, 0);
}
