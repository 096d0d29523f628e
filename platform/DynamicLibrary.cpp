#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

bool CDynamicLibrary::Load(const std::string& path) {
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    return m_handle != nullptr;
}

void* CDynamicLibrary::Lookup(const char* name) const {
    return m_handle != nullptr ? dlsym(m_handle, name) : nullptr;
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) {
        return {};
    }
    std::string exe(path, static_cast<size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}
