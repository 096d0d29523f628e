#include "Registry.h"

namespace visasim {

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

Object* Find(Registry& registry, ViObject handle) {
    auto it = registry.objects.find(handle);
    return it == registry.objects.end() ? nullptr : &it->second;
}

ViObject Add(Registry& registry, Object object) {
    ViObject handle = registry.nextHandle++;
    if (registry.nextHandle == 0) {
        registry.nextHandle = 0x1000;
    }
    registry.objects.emplace(handle, std::move(object));
    return handle;
}

std::optional<Named> Lookup(ViObject vi) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    Object* object = Find(registry, vi);
    return object ? std::optional<Named>(Named{object->kind, object->session}) : std::nullopt;
}

} // namespace visasim
