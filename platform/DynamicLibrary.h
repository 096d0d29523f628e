// Run-time loading of a shared library and lookup of its entry points by name (dlopen/dlsym here,
// LoadLibrary/GetProcAddress on Windows). The library stays loaded until the process ends: the program
// keeps VISA and the driver library loaded for the whole run.
#pragma once

#include <string>

class CDynamicLibrary {
public:
    // Loads the library; false when it cannot be loaded.
    bool Load(const std::string& path);
    bool IsLoaded() const { return m_handle != nullptr; }
    // The address of an entry point, or null when the library does not export it.
    void* Lookup(const char* name) const;

    // Looks up an entry point as a function pointer of the given type (null when absent).
    template <typename F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(Lookup(name));
    }

private:
    void* m_handle = nullptr;
};

// The folder of the running program, with a trailing separator; empty when it cannot be found.
std::string ProgramFolder();
