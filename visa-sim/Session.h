// The instrument session of the VISA library, behind which stand its two kinds (BenchSession, a
// simulated instrument of the bench; NetworkSession, an instrument on the network), and the helpers
// every call family uses to hand values back to its caller.
#pragma once

#include "visa.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>

namespace visasim {

constexpr ViUInt16 kSimManufacturerId = 0x3FFF; // the library's own id (VI_ATTR_RSRC_MANF_ID)
constexpr ViUInt32 kSpecVersion = 0x00500800;   // VISA 5.8
constexpr ViUInt32 kImplVersion = 0x00010000;
constexpr const char* kManufacturerName = "visa-sim";
constexpr size_t kQueueLength = 50; // VI_ATTR_MAX_QUEUE_LENGTH's default

void CopyText(ViChar* target, const std::string& text);

template <typename T>
ViStatus Put(void* target, T value) {
    std::memcpy(target, &value, sizeof value);
    return VI_SUCCESS;
}

ViStatus PutText(void* target, const std::string& text);

// The attributes every resource of this library has alike: who made it, which VISA, no locks.
ViStatus LibraryAttribute(ViAttr attribute, void* value);

// A session's attributes as one call uses them, copied under the session's mutex at its start.
struct SessionSettings {
    ViUInt32 timeout = 2000;
    ViUInt8 termChar = '\n';
    bool termCharEnabled = false;
    bool sendEnd = true;
};

// An instrument session: what every kind of session shares (its attributes, its event queue, its
// closing), and the message-based operations each kind carries out in its own way.
class Session {
public:
    explicit Session(ViSession rm) : m_rm(rm) {}
    virtual ~Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ViSession ResourceManager() const { return m_rm; }

    virtual ViStatus Write(ViConstBuf buf, ViUInt32 count, ViUInt32* written) = 0;
    virtual ViStatus Read(ViBuf buf, ViUInt32 count, ViUInt32* read) = 0;
    virtual ViStatus ReadStatusByte(ViUInt16* status) = 0;
    virtual ViStatus Clear() = 0;
    virtual ViStatus AssertTrigger() = 0;
    // An exclusive lock of the resource (VI_EXCLUSIVE_LOCK), waited for up to `timeout`, and its release.
    virtual ViStatus Lock(ViAccessMode type, ViUInt32 timeout, ViConstKeyId requestedKey,
                          ViChar accessKey[]) = 0;
    virtual ViStatus Unlock() = 0;

    ViStatus GetAttribute(ViAttr attribute, void* value) {
        SessionSettings settings = Settings();
        switch (attribute) {
        case VI_ATTR_TMO_VALUE:
            return Put<ViUInt32>(value, settings.timeout);
        case VI_ATTR_TERMCHAR:
            return Put<ViUInt8>(value, settings.termChar);
        case VI_ATTR_TERMCHAR_EN:
            return Put<ViBoolean>(value, settings.termCharEnabled ? VI_TRUE : VI_FALSE);
        case VI_ATTR_SEND_END_EN:
            return Put<ViBoolean>(value, settings.sendEnd ? VI_TRUE : VI_FALSE);
        default:
            return ResourceAttribute(attribute, value);
        }
    }

    ViStatus SetAttribute(ViAttr attribute, ViAttrState value) {
        std::lock_guard lock(m_mutex);
        switch (attribute) {
        case VI_ATTR_TMO_VALUE:
            if (value > 0xFFFFFFFFu) {
                return VI_ERROR_NSUP_ATTR_STATE;
            }
            m_settings.timeout = static_cast<ViUInt32>(value);
            return VI_SUCCESS;
        case VI_ATTR_TERMCHAR:
            if (value > 0xFF) {
                return VI_ERROR_NSUP_ATTR_STATE;
            }
            m_settings.termChar = static_cast<ViUInt8>(value);
            return VI_SUCCESS;
        case VI_ATTR_TERMCHAR_EN:
        case VI_ATTR_SEND_END_EN:
            if (value > 1) {
                return VI_ERROR_NSUP_ATTR_STATE;
            }
            (attribute == VI_ATTR_TERMCHAR_EN ? m_settings.termCharEnabled : m_settings.sendEnd) = value == 1;
            return VI_SUCCESS;
        default: {
            ViUInt32 scratch[VI_FIND_BUFLEN / 4];
            return ResourceAttribute(attribute, scratch) == VI_SUCCESS ? VI_ERROR_ATTR_READONLY
                                                                       : VI_ERROR_NSUP_ATTR;
        }
        }
    }

    ViStatus EnableServiceRequests() {
        std::lock_guard lock(m_mutex);
        bool already = m_serviceRequestQueue;
        m_serviceRequestQueue = true;
        return already ? VI_SUCCESS_EVENT_EN : VI_SUCCESS;
    }
    void DisableServiceRequests() {
        std::lock_guard lock(m_mutex);
        m_serviceRequestQueue = false; // what is queued stays until discarded or waited for
    }
    void DiscardEvents() {
        std::lock_guard lock(m_mutex);
        m_events.clear();
    }

    // Waits for the oldest queued event; VI_ERROR_INV_OBJECT at once when the session is closed.
    ViStatus WaitOnEvent(ViUInt32 timeout, ViEventType* type) {
        std::unique_lock lock(m_mutex);
        if (m_closed) {
            return VI_ERROR_INV_OBJECT;
        }
        if (!m_serviceRequestQueue && m_events.empty()) {
            return VI_ERROR_NENABLED;
        }
        auto ready = [this] { return m_closed || !m_events.empty(); };
        if (timeout == VI_TMO_INFINITE) {
            m_eventArrived.wait(lock, ready);
        } else {
            m_eventArrived.wait_for(lock, std::chrono::milliseconds(timeout), ready);
        }
        if (m_closed) {
            return VI_ERROR_INV_OBJECT;
        }
        if (m_events.empty()) {
            return VI_ERROR_TMO;
        }
        *type = m_events.front();
        m_events.pop_front();
        return m_events.empty() ? VI_SUCCESS : VI_SUCCESS_QUEUE_NEMPTY;
    }

    // Queues service requests, when the session asked for them.
    void DeliverServiceRequests(unsigned count) {
        std::lock_guard lock(m_mutex);
        for (unsigned i = 0; i < count && m_serviceRequestQueue && m_events.size() < kQueueLength; ++i) {
            m_events.push_back(VI_EVENT_SERVICE_REQ);
        }
        m_eventArrived.notify_all();
    }

    // The session is closed: a call waiting for its events returns at once, and no more arrive.
    void Close() {
        {
            std::lock_guard lock(m_mutex);
            if (m_closed) {
                return;
            }
            m_closed = true;
            m_eventArrived.notify_all();
        }
        Closed();
    }

protected:
    SessionSettings Settings() {
        std::lock_guard lock(m_mutex);
        return m_settings;
    }
    bool IsClosed() {
        std::lock_guard lock(m_mutex);
        return m_closed;
    }
    // The attributes of the resource behind the session (interface, addresses, names).
    virtual ViStatus ResourceAttribute(ViAttr attribute, void* value) const = 0;
    // What the kind lets go of when the session is closed.
    virtual void Closed() {}

private:
    const ViSession m_rm;
    std::mutex m_mutex; // guards what follows
    SessionSettings m_settings;
    bool m_serviceRequestQueue = false; // VI_EVENT_SERVICE_REQ enabled for VI_QUEUE
    std::deque<ViEventType> m_events;   // waiting for viWaitOnEvent, oldest first
    bool m_closed = false;
    std::condition_variable m_eventArrived;
};

} // namespace visasim
