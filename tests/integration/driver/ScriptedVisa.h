// Access from a test to the scripted VISA library the driver loaded (see ScriptedVisa.c).
#pragma once

#include "visa.h"

#include <dlfcn.h>
#include <stdexcept>
#include <string>

struct ScriptedVisa {
    void (*Reset)();
    void (*Reply)(const char* command, const char* reply);
    void (*FailWrites)(ViStatus status);
    void (*StatusByte)(ViUInt16 value);
    const char* (*Log)();
    int (*OpenSessions)();
    int (*Clears)();
    ViUInt32 (*Timeout)();

    // Opens the library at path (the one RQK4712V_VISA_LIBRARY names, so the driver shares it).
    static ScriptedVisa Load(const char* path) {
        void* lib = dlopen(path, RTLD_NOW | RTLD_GLOBAL);
        if (lib == nullptr) {
            throw std::runtime_error(std::string("cannot load ") + path);
        }
        ScriptedVisa v{};
        Find(lib, "ScriptedVisaReset", v.Reset);
        Find(lib, "ScriptedVisaReply", v.Reply);
        Find(lib, "ScriptedVisaFailWrites", v.FailWrites);
        Find(lib, "ScriptedVisaStatusByte", v.StatusByte);
        Find(lib, "ScriptedVisaLog", v.Log);
        Find(lib, "ScriptedVisaOpenSessions", v.OpenSessions);
        Find(lib, "ScriptedVisaClears", v.Clears);
        Find(lib, "ScriptedVisaTimeout", v.Timeout);
        return v;
    }

private:
    template <typename F>
    static void Find(void* lib, const char* name, F& function) {
        void* symbol = dlsym(lib, name);
        if (symbol == nullptr) {
            throw std::runtime_error(std::string("missing ") + name);
        }
        function = reinterpret_cast<F>(symbol);
    }
};
