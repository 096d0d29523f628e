// The event calls of the VISA C interface: service requests, queued for viWaitOnEvent.
#include "Registry.h"

using namespace visasim;

VISASIM_EXPORT ViStatus viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism,
                                      ViEventFilter) {
    return WithEventSession(vi, eventType, false, VI_ERROR_INV_EVENT, [&](Session& session) -> ViStatus {
        if (mechanism == VI_HNDLR || mechanism == VI_SUSPEND_HNDLR) {
            return VI_ERROR_HNDLR_NINSTALLED; // handlers cannot be installed here
        }
        if (mechanism != VI_QUEUE) {
            return VI_ERROR_INV_MECH;
        }
        return session.EnableServiceRequests();
    });
}

VISASIM_EXPORT ViStatus viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    return WithEventSession(vi, eventType, true, VI_SUCCESS, [&](Session& session) -> ViStatus {
        if (mechanism & VI_QUEUE) {
            session.DisableServiceRequests();
        }
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    return WithEventSession(vi, eventType, true, VI_SUCCESS, [&](Session& session) -> ViStatus {
        if (mechanism & VI_QUEUE) {
            session.DiscardEvents();
        }
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viWaitOnEvent(ViSession vi, ViEventType inEventType, ViUInt32 timeout,
                                      ViEventType* outEventType, ViEvent* outContext) {
    if (outEventType) {
        *outEventType = 0;
    }
    if (outContext) {
        *outContext = VI_NULL;
    }
    return WithEventSession(vi, inEventType, true, VI_ERROR_NENABLED, [&](Session& session) -> ViStatus {
        ViEventType type = 0;
        ViStatus status = session.WaitOnEvent(timeout, &type);
        if (status < VI_SUCCESS) {
            return status;
        }
        if (outEventType) {
            *outEventType = type;
        }
        if (outContext) {
            Registry& registry = TheRegistry();
            std::lock_guard lock(registry.mutex);
            Object event;
            event.kind = Object::Kind::Event;
            event.rm = session.ResourceManager();
            *outContext = Add(registry, std::move(event));
        }
        return status;
    });
}
