// The open objects of the VISA library. The registry, under its own mutex, holds them (resource
// managers, sessions, find lists, events) and the bench in use; it is held only for looking a handle up
// or changing the set of objects, never while a call waits (a network session connects and destroys its
// link without it). A call on a simulated instrument works under that instrument's mutex, and one on a
// network session under its link's, taken within the session's time-out, so calls on different
// instruments go on side by side and no call waits longer than its own time-out for another one. A
// session's attributes and event queue have a mutex of their own, held only for moments. Locks are
// taken in this order: registry, instrument or link, the instrument's list of sessions, a session.
#pragma once

#include "BenchSession.h"
#include "Session.h"

#include "visa.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#define VISASIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace visasim {

struct Object {
    enum class Kind { ResourceManager, Instrument, FindList, Event } kind = Kind::ResourceManager;
    ViSession rm = VI_NULL;           // the resource manager a session, find list or event belongs to
    std::shared_ptr<Session> session; // an instrument session
    std::vector<std::string> found;   // a find list
    size_t nextFound = 0;
};

struct Registry {
    std::mutex mutex; // guards what follows
    std::shared_ptr<LoadedBench> bench;
    std::map<ViObject, Object> objects;
    ViObject nextHandle = 0x1000;
    int openManagers = 0;
};

Registry& TheRegistry();

Object* Find(Registry& registry, ViObject handle);
ViObject Add(Registry& registry, Object object);

// Checks a handle once: looks it up under the registry's lock and hands the call the registry and the
// object, still under the lock (for the calls that only look at the registry). A handle that names
// nothing, or, given a kind, an object of another kind, is VI_ERROR_INV_OBJECT.
template <typename Call>
ViStatus WithObject(ViObject vi, std::optional<Object::Kind> kind, Call call) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    Object* object = Find(registry, vi);
    if (!object || (kind && object->kind != *kind)) {
        return VI_ERROR_INV_OBJECT;
    }
    return call(registry, *object);
}

// What a handle names, taken out of the registry: its kind and, for an instrument session, the session.

struct Named {
    Object::Kind kind;
    std::shared_ptr<Session> session;
};
std::optional<Named> Lookup(ViObject vi);

// Checks a handle once and hands the call to its session, which then runs without the registry's lock:
// VI_ERROR_INV_OBJECT for a handle that names nothing, `otherKind` for an object that is no session.
template <typename Call>
ViStatus WithSession(ViObject vi, ViStatus otherKind, Call call) {
    std::optional<Named> named = Lookup(vi);
    if (!named) {
        return VI_ERROR_INV_OBJECT;
    }
    return named->session ? call(*named->session) : otherKind;
}

// As WithSession, for an event operation: the event type is checked first.
template <typename Call>
ViStatus WithEventSession(ViObject vi, ViEventType type, bool allowAll, ViStatus otherKind, Call call) {
    std::optional<Named> named = Lookup(vi);
    if (!named) {
        return VI_ERROR_INV_OBJECT;
    }
    if (type != VI_EVENT_SERVICE_REQ && !(allowAll && type == VI_ALL_ENABLED_EVENTS)) {
        return VI_ERROR_INV_EVENT;
    }
    return named->session ? call(*named->session) : otherKind;
}

} // namespace visasim
