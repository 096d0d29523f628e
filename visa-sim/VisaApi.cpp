// The VISA C interface over the simulated bench. The registry, under its own mutex, holds the open
// objects (resource managers, sessions, find lists, events) and the bench in use; it is held only for
// looking a handle up or changing the set of objects, never while a call waits. A call on an
// instrument session works under that instrument's mutex, taken within the session's time-out, so calls
// on different instruments go on side by side and no call waits longer than its own time-out for
// another one. A session's attributes and event queue have a mutex of their own, held only for moments.
// Locks are taken in this order: registry, instrument, the instrument's list of sessions, a session.
#include "Bench.h"
#include "CardInstrument.h"
#include "Instrument.h"
#include "MeterInstrument.h"
#include "ResourceExpression.h"
#include "ResourceName.h"
#include "SharedState.h"
#include "StateStore.h"

#include "visa.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#define VISASIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace visasim {
namespace {

constexpr ViUInt16 kSimManufacturerId = 0x3FFF; // the library's own id (VI_ATTR_RSRC_MANF_ID)
constexpr ViUInt32 kSpecVersion = 0x00500800;   // VISA 5.8
constexpr ViUInt32 kImplVersion = 0x00010000;
constexpr const char* kManufacturerName = "visa-sim";
// The longest message an instrument takes; a longer one is refused before it is buffered.
constexpr size_t kMaxMessageSize = size_t{16} << 20;
constexpr size_t kQueueLength = 50; // VI_ATTR_MAX_QUEUE_LENGTH's default

class Session;

// An instrument of the bench and the sessions open on it.
struct Device {
    explicit Device(Instrument& device) : instrument(device) {}
    Instrument& instrument;
    unsigned serviceRequests = 0; // those already queued; under the instrument's mutex
    std::mutex sessionsMutex;
    std::vector<Session*> sessions; // the open sessions, which its service requests visit
};

// The bench in use and its instruments. Its sessions share it, so that a call still running when the
// last resource manager is closed (and the next one loads the bench afresh) keeps what it works on.
struct LoadedBench {
    Bench bench;
    std::vector<std::unique_ptr<Instrument>> instruments;
    std::vector<std::unique_ptr<Device>> devices; // one per instrument, in bench order
};

void CopyText(ViChar* target, const std::string& text) {
    if (!target) {
        return;
    }
    size_t length = std::min<size_t>(text.size(), VI_FIND_BUFLEN - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

std::string StateNameFor(const Bench& bench, const std::string& path) {
    if (!bench.stateName.empty()) {
        return bench.stateName;
    }
    char resolved[PATH_MAX];
    std::string full = realpath(path.c_str(), resolved) ? resolved : path;
    size_t slash = full.rfind('/');
    std::string stem = full.substr(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        stem.erase(dot);
    }
    for (char& c : stem) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) {
            c = '_';
        }
    }
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", StateChecksum(full));
    return stem + "-" + hash;
}

template <typename T>
ViStatus Put(void* target, T value) {
    std::memcpy(target, &value, sizeof value);
    return VI_SUCCESS;
}

ViStatus PutText(void* target, const std::string& text) {
    CopyText(static_cast<ViChar*>(target), text);
    return VI_SUCCESS;
}

// The attributes every resource of this library has alike: who made it, which VISA, no locks.
ViStatus LibraryAttribute(ViAttr attribute, void* value) {
    switch (attribute) {
    case VI_ATTR_RSRC_MANF_NAME:
        return PutText(value, kManufacturerName);
    case VI_ATTR_RSRC_MANF_ID:
        return Put<ViUInt16>(value, kSimManufacturerId);
    case VI_ATTR_RSRC_SPEC_VERSION:
        return Put<ViUInt32>(value, kSpecVersion);
    case VI_ATTR_RSRC_IMPL_VERSION:
        return Put<ViUInt32>(value, kImplVersion);
    case VI_ATTR_RSRC_LOCK_STATE:
        return Put<ViAccessMode>(value, VI_NO_LOCK);
    default:
        return VI_ERROR_NSUP_ATTR;
    }
}

ViStatus ManagerAttribute(ViAttr attribute, void* value) {
    return attribute == VI_ATTR_RSRC_NAME ? PutText(value, "") : LibraryAttribute(attribute, value);
}

// The bench resource a client's name designates: an exact address first, then the lenient spellings.
int ResourceIndex(const Bench& bench, const ResourceAddress& given) {
    const auto& resources = bench.resources;
    for (size_t i = 0; i < resources.size(); ++i) {
        const ResourceAddress& a = resources[i].address;
        if (a.type == given.type && a.board == given.board && a.primary == given.primary &&
            a.secondary == given.secondary && a.logicalAddress == given.logicalAddress) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        if (NameDesignates(given, resources[i].address)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A name of a resource this library does not offer (another interface, or another resource class of a
// GPIB or VXI board): not found rather than malformed.
bool IsOtherInterface(const char* name) {
    for (const char* prefix : {"ASRL", "TCPIP", "USB", "PXI"}) {
        if (strncasecmp(name, prefix, std::strlen(prefix)) == 0) {
            return true;
        }
    }
    if (strncasecmp(name, "GPIB", 4) != 0 && strncasecmp(name, "VXI", 3) != 0) {
        return false;
    }
    std::string text(name);
    size_t last = text.rfind("::");
    if (last == std::string::npos) {
        return false;
    }
    std::string resourceClass = text.substr(last + 2);
    for (const char* other : {"INTFC", "BACKPLANE", "SERVANT", "MEMACC"}) {
        if (strcasecmp(resourceClass.c_str(), other) == 0) {
            return true;
        }
    }
    return false;
}

// A session's attributes as one call uses them, copied under the session's mutex at its start.
struct SessionSettings {
    ViUInt32 timeout = 2000;
    ViUInt8 termChar = '\n';
    bool termCharEnabled = false;
    bool sendEnd = true;
};

unsigned BudgetFor(ViUInt32 timeout) {
    return timeout == VI_TMO_INFINITE ? StateStore::kWaitForever : timeout;
}

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

// A session on an instrument of the simulated bench.
class BenchSession final : public Session {
public:
    BenchSession(ViSession rm, std::shared_ptr<LoadedBench> bench, size_t resource)
        : Session(rm), m_bench(std::move(bench)), m_resource(resource),
          m_device(*m_bench->devices[resource]) {
        std::lock_guard lock(m_device.sessionsMutex);
        m_device.sessions.push_back(this);
    }
    ~BenchSession() override { Close(); }

    ViStatus Write(ViConstBuf buf, ViUInt32 count, ViUInt32* written) override {
        if (!buf && count > 0) {
            return VI_ERROR_USER_BUF;
        }
        if (count > kMaxMessageSize) {
            return Refuse(count);
        }
        SessionSettings settings = Settings();
        // A device slower than the session's time-out is given up on when the time-out has passed; the
        // message never reaches it. What remains of the time-out bounds the rest of the call.
        unsigned latency = Resource().faults.latencyMs;
        bool tooSlow = settings.timeout != VI_TMO_INFINITE && latency > settings.timeout;
        if (latency > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(tooSlow ? settings.timeout : latency));
            if (IsClosed()) {
                return VI_ERROR_INV_OBJECT;
            }
        }
        if (tooSlow) {
            return VI_ERROR_TMO;
        }
        unsigned budgetMs =
            settings.timeout == VI_TMO_INFINITE ? StateStore::kWaitForever : settings.timeout - latency;
        return WithInstrument(budgetMs, [&](WaitBudgetScope&) -> ViStatus {
            if (m_input.size() + count > kMaxMessageSize) {
                size_t total = m_input.size() + count;
                m_input.clear();
                return Refuse(total);
            }
            m_input.append(reinterpret_cast<const char*>(buf), count);
            // Without END the instrument waits for the rest of the message, unless it ends with a line feed.
            if (!settings.sendEnd && (m_input.empty() || m_input.back() != '\n')) {
                *written = count;
                return VI_SUCCESS;
            }
            std::string message = std::move(m_input);
            m_input.clear();
            Instrument::Outcome outcome = Simulated().Write(message, UnspentBudgetMs());
            NoteServiceRequest();
            if (outcome != Instrument::Outcome::Done) {
                return outcome == Instrument::Outcome::TimedOut ? VI_ERROR_TMO : VI_ERROR_IO;
            }
            *written = count;
            return VI_SUCCESS;
        });
    }

    ViStatus Read(ViBuf buf, ViUInt32 count, ViUInt32* read) override {
        if (!buf && count > 0) {
            return VI_ERROR_USER_BUF;
        }
        SessionSettings settings = Settings();
        return WithInstrument(BudgetFor(settings.timeout), [&](WaitBudgetScope&) -> ViStatus {
            Instrument& instrument = Simulated();
            const std::string& pending = instrument.Pending();
            if (pending.empty()) {
                instrument.NoteEmptyRead();
                NoteServiceRequest();
                return VI_ERROR_TMO;
            }
            size_t taken = std::min<size_t>(count, pending.size());
            ViStatus status = taken < pending.size() ? VI_SUCCESS_MAX_CNT : VI_SUCCESS;
            if (settings.termCharEnabled) {
                const void* at = std::memchr(pending.data(), settings.termChar, taken);
                if (at) {
                    taken = static_cast<size_t>(static_cast<const char*>(at) - pending.data()) + 1;
                    status = VI_SUCCESS_TERM_CHAR;
                }
            }
            if (taken > 0) {
                std::memcpy(buf, pending.data(), taken);
            }
            instrument.Consume(taken);
            NoteServiceRequest();
            *read = static_cast<ViUInt32>(taken);
            return status;
        });
    }

    ViStatus ReadStatusByte(ViUInt16* status) override {
        if (!status) {
            return VI_ERROR_USER_BUF;
        }
        return WithInstrument(BudgetFor(Settings().timeout), [&](WaitBudgetScope&) {
            *status = Simulated().StatusByte();
            return VI_SUCCESS;
        });
    }

    ViStatus Clear() override {
        return WithInstrument(BudgetFor(Settings().timeout), [&](WaitBudgetScope&) {
            m_input.clear();
            Simulated().DeviceClear();
            NoteServiceRequest();
            return VI_SUCCESS;
        });
    }

    ViStatus AssertTrigger() override {
        // A measurement reads the state of the instruments wired to it, within the session's time-out.
        return WithInstrument(BudgetFor(Settings().timeout), [&](WaitBudgetScope& budget) {
            Simulated().DeviceTrigger();
            NoteServiceRequest();
            return budget.RanOut() ? VI_ERROR_TMO : budget.Failed() ? VI_ERROR_IO : VI_SUCCESS;
        });
    }

protected:
    ViStatus ResourceAttribute(ViAttr attribute, void* value) const override;

    void Closed() override {
        std::lock_guard lock(m_device.sessionsMutex);
        auto& sessions = m_device.sessions;
        sessions.erase(std::remove(sessions.begin(), sessions.end(), this), sessions.end());
    }

private:
    Instrument& Simulated() const { return m_device.instrument; }

    // Runs `work` under the instrument's mutex, taken within a budget of budgetMs for the whole call
    // (VI_ERROR_TMO when it cannot be taken in time).
    template <typename Work>
    ViStatus WithInstrument(unsigned budgetMs, Work work) {
        WaitBudgetScope budget(budgetMs);
        std::unique_lock lock(Simulated().Mutex(), std::defer_lock);
        if (!LockWithinBudget(lock)) {
            return VI_ERROR_TMO;
        }
        return work(budget);
    }
    const ResourceSpec& Resource() const { return m_bench->bench.resources[m_resource]; }

    ViStatus Refuse(size_t size) const {
        std::fprintf(stderr, "visa-sim: a message of %zu bytes to %s is refused: the longest is %zu bytes\n",
                     size, Resource().name.c_str(), kMaxMessageSize);
        return VI_ERROR_IO;
    }

    // Queues the service requests the instrument raised since the last look (each time its status
    // byte's request-service bit became set) for every session of it that asked for them. Called under
    // the instrument's mutex.
    void NoteServiceRequest() {
        unsigned raised = Simulated().ServiceRequests() - m_device.serviceRequests;
        if (raised == 0) {
            return;
        }
        m_device.serviceRequests += raised;
        std::lock_guard lock(m_device.sessionsMutex);
        for (Session* session : m_device.sessions) {
            session->DeliverServiceRequests(raised);
        }
    }

    const std::shared_ptr<LoadedBench> m_bench;
    const size_t m_resource;
    Device& m_device;
    std::string m_input; // bytes written without END, waiting for the rest of the message; under the
                         // instrument's mutex
};

ViStatus BenchSession::ResourceAttribute(ViAttr attribute, void* value) const {
    const ResourceSpec& resourceSpec = Resource();
    const ResourceAddress& address = resourceSpec.address;
    bool gpib = address.type == InterfaceType::Gpib;
    switch (attribute) {
    case VI_ATTR_INTF_TYPE:
        return Put<ViUInt16>(value, static_cast<ViUInt16>(address.type));
    case VI_ATTR_INTF_NUM:
        return Put<ViUInt16>(value, address.board);
    case VI_ATTR_RSRC_NAME:
        return PutText(value, resourceSpec.name);
    case VI_ATTR_RSRC_CLASS:
        return PutText(value, "INSTR");
    case VI_ATTR_GPIB_PRIMARY_ADDR:
        return gpib ? Put<ViUInt16>(value, static_cast<ViUInt16>(address.primary)) : VI_ERROR_NSUP_ATTR;
    case VI_ATTR_GPIB_SECONDARY_ADDR:
        if (!gpib) {
            return VI_ERROR_NSUP_ATTR;
        }
        return Put<ViUInt16>(value, address.secondary < 0 ? VI_NO_SEC_ADDR
                                                          : static_cast<ViUInt16>(address.secondary));
    case VI_ATTR_SLOT:
        return gpib ? VI_ERROR_NSUP_ATTR : Put<ViInt16>(value, static_cast<ViInt16>(resourceSpec.slot));
    case VI_ATTR_VXI_LA:
        return gpib ? VI_ERROR_NSUP_ATTR : Put<ViInt16>(value, static_cast<ViInt16>(address.logicalAddress));
    case VI_ATTR_MANF_ID:
        return gpib ? VI_ERROR_NSUP_ATTR
                    : Put<ViUInt16>(value, static_cast<ViUInt16>(resourceSpec.manufacturerId));
    case VI_ATTR_MODEL_CODE:
        return gpib ? VI_ERROR_NSUP_ATTR
                    : Put<ViUInt16>(value, static_cast<ViUInt16>(resourceSpec.modelCode));
    default:
        return LibraryAttribute(attribute, value);
    }
}

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

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// Loads the bench named by VISA_SIM_BENCH (or the default) and makes its instruments.
ViStatus LoadBench(Registry& registry) {
    const char* path = std::getenv("VISA_SIM_BENCH");
    auto loaded = std::make_shared<LoadedBench>();
    Bench& bench = loaded->bench;
    std::string stateName;
    if (path && *path) {
        std::string error;
        auto read = LoadBenchFile(path, &error);
        if (!read) {
            std::fprintf(stderr, "visa-sim: bench file refused: %s\n", error.c_str());
            return VI_ERROR_SYSTEM_ERROR;
        }
        bench = std::move(*read);
        stateName = StateNameFor(bench, path);
    } else {
        bench = DefaultBench();
        stateName = bench.stateName;
    }
    std::string problem;
    std::string folder = StateStore::StateFolder(&problem);
    std::string refusal;
    if (folder.empty()) {
        // A folder that is named but cannot be used still has its files read; nothing is written there.
        folder = StateStore::NamedStateFolder();
        std::fprintf(stderr, "visa-sim: %s; %s\n", problem.c_str(),
                     folder.empty() ? "instrument state is not kept between runs"
                                    : "commands that change instrument state fail");
        refusal = problem;
    }
    for (const ResourceSpec& resourceSpec : bench.resources) {
        loaded->instruments.push_back(CreateInstrument(resourceSpec, folder, stateName, refusal));
        loaded->devices.push_back(std::make_unique<Device>(*loaded->instruments.back()));
    }
    ConnectStation(bench, loaded->instruments);
    registry.bench = std::move(loaded);
    return VI_SUCCESS;
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
std::optional<Named> Lookup(ViObject vi) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    Object* object = Find(registry, vi);
    return object ? std::optional<Named>(Named{object->kind, object->session}) : std::nullopt;
}

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

const char* StatusText(ViStatus status) {
    switch (status) {
    case VI_SUCCESS:
        return "VI_SUCCESS: Operation completed successfully.";
    case VI_SUCCESS_TERM_CHAR:
        return "VI_SUCCESS_TERM_CHAR: The specified termination character was read.";
    case VI_SUCCESS_MAX_CNT:
        return "VI_SUCCESS_MAX_CNT: The number of bytes read is equal to the input count.";
    case VI_WARN_NULL_OBJECT:
        return "VI_WARN_NULL_OBJECT: The specified object reference is uninitialized.";
    case VI_WARN_UNKNOWN_STATUS:
        return "VI_WARN_UNKNOWN_STATUS: The status code passed to the operation could "
               "not be interpreted.";
    case VI_ERROR_SYSTEM_ERROR:
        return "VI_ERROR_SYSTEM_ERROR: Unknown system error (miscellaneous error).";
    case VI_ERROR_INV_OBJECT:
        return "VI_ERROR_INV_OBJECT: The given session or object reference is invalid.";
    case VI_ERROR_INV_EXPR:
        return "VI_ERROR_INV_EXPR: Invalid expression specified for search.";
    case VI_ERROR_RSRC_NFOUND:
        return "VI_ERROR_RSRC_NFOUND: Insufficient location information or the requested device or resource "
               "is not present in the system.";
    case VI_ERROR_INV_RSRC_NAME:
        return "VI_ERROR_INV_RSRC_NAME: Invalid resource reference specified. Parsing "
               "error.";
    case VI_ERROR_TMO:
        return "VI_ERROR_TMO: Timeout expired before operation completed.";
    case VI_ERROR_NSUP_ATTR:
        return "VI_ERROR_NSUP_ATTR: The specified attribute is not defined or supported by the referenced "
               "resource.";
    case VI_ERROR_NSUP_ATTR_STATE:
        return "VI_ERROR_NSUP_ATTR_STATE: The specified state of the attribute is not valid, or is not "
               "supported as defined by the resource.";
    case VI_ERROR_ATTR_READONLY:
        return "VI_ERROR_ATTR_READONLY: The specified attribute is read-only.";
    case VI_ERROR_IO:
        return "VI_ERROR_IO: Could not perform operation because of I/O error.";
    case VI_ERROR_NSUP_OPER:
        return "VI_ERROR_NSUP_OPER: The given session or object reference does not support this operation.";
    case VI_SUCCESS_EVENT_EN:
        return "VI_SUCCESS_EVENT_EN: Specified event is already enabled for at least one of the specified "
               "mechanisms.";
    case VI_SUCCESS_EVENT_DIS:
        return "VI_SUCCESS_EVENT_DIS: Specified event is already disabled for at least one of the specified "
               "mechanisms.";
    case VI_SUCCESS_QUEUE_NEMPTY:
        return "VI_SUCCESS_QUEUE_NEMPTY: Wait terminated successfully on receipt of an event notification. "
               "There is at least one more event available.";
    case VI_ERROR_INV_EVENT:
        return "VI_ERROR_INV_EVENT: Specified event type is not supported by the resource.";
    case VI_ERROR_INV_MECH:
        return "VI_ERROR_INV_MECH: Invalid mechanism specified.";
    case VI_ERROR_HNDLR_NINSTALLED:
        return "VI_ERROR_HNDLR_NINSTALLED: A handler was not installed.";
    case VI_ERROR_NENABLED:
        return "VI_ERROR_NENABLED: You must be enabled for events of the specified type in order to receive "
               "them.";
    case VI_ERROR_INV_PROT:
        return "VI_ERROR_INV_PROT: The protocol specified is invalid.";
    case VI_ERROR_USER_BUF:
        return "VI_ERROR_USER_BUF: A specified user buffer is not valid or cannot be "
               "accessed for the required size.";
    default:
        return nullptr;
    }
}

} // namespace
} // namespace visasim

using namespace visasim;

VISASIM_EXPORT ViStatus viOpenDefaultRM(ViSession* vi) {
    if (!vi) {
        return VI_ERROR_USER_BUF;
    }
    *vi = VI_NULL;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (registry.openManagers == 0) {
        ViStatus status = LoadBench(registry);
        if (status != VI_SUCCESS) {
            return status;
        }
    }
    Object manager;
    manager.kind = Object::Kind::ResourceManager;
    *vi = Add(registry, manager);
    ++registry.openManagers;
    return VI_SUCCESS;
}

VISASIM_EXPORT ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViFindList* vi, ViUInt32* retCnt,
                                   ViChar desc[]) {
    if (vi) {
        *vi = VI_NULL;
    }
    if (retCnt) {
        *retCnt = 0;
    }
    return WithObject(sesn, Object::Kind::ResourceManager, [&](Registry& registry, Object&) -> ViStatus {
        if (!expr) {
            return VI_ERROR_INV_EXPR;
        }
        auto expression = ResourceExpression::Compile(expr);
        if (!expression) {
            return VI_ERROR_INV_EXPR;
        }
        Object list;
        list.kind = Object::Kind::FindList;
        list.rm = sesn;
        for (const ResourceSpec& resourceSpec : registry.bench->bench.resources) {
            if (expression->Matches(resourceSpec.name)) {
                list.found.push_back(resourceSpec.name);
            }
        }
        if (list.found.empty()) {
            return VI_ERROR_RSRC_NFOUND;
        }
        CopyText(desc, list.found[0]);
        list.nextFound = 1;
        if (retCnt) {
            *retCnt = static_cast<ViUInt32>(list.found.size());
        }
        if (vi) {
            *vi = Add(registry, std::move(list));
        }
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    return WithObject(vi, Object::Kind::FindList, [&](Registry&, Object& list) -> ViStatus {
        if (list.nextFound >= list.found.size()) {
            return VI_ERROR_RSRC_NFOUND;
        }
        CopyText(desc, list.found[list.nextFound++]);
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16* intfType,
                                      ViUInt16* intfNum, ViChar rsrcClass[], ViChar expandedUnaliasedName[],
                                      ViChar aliasIfExists[]) {
    return WithObject(rmSesn, Object::Kind::ResourceManager, [&](Registry& registry, Object&) -> ViStatus {
        if (!rsrcName) {
            return VI_ERROR_INV_RSRC_NAME;
        }
        auto address = ParseResourceName(rsrcName);
        if (!address) {
            return IsOtherInterface(rsrcName) ? VI_ERROR_RSRC_NFOUND : VI_ERROR_INV_RSRC_NAME;
        }
        if (intfType) {
            *intfType = static_cast<ViUInt16>(address->type);
        }
        if (intfNum) {
            *intfNum = address->board;
        }
        CopyText(rsrcClass, "INSTR");
        const Bench& bench = registry.bench->bench;
        int index = ResourceIndex(bench, *address);
        CopyText(expandedUnaliasedName, index >= 0 ? bench.resources[index].name : CanonicalName(*address));
        CopyText(aliasIfExists, "");
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16* intfType,
                                    ViUInt16* intfNum) {
    return viParseRsrcEx(rmSesn, rsrcName, intfType, intfNum, nullptr, nullptr, nullptr);
}

VISASIM_EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode, ViUInt32, ViSession* vi) {
    if (vi) {
        *vi = VI_NULL;
    }
    return WithObject(sesn, Object::Kind::ResourceManager, [&](Registry& registry, Object&) -> ViStatus {
        if (!name) {
            return VI_ERROR_INV_RSRC_NAME;
        }
        if (!vi) {
            return VI_ERROR_USER_BUF;
        }
        auto address = ParseResourceName(name);
        if (!address) {
            return IsOtherInterface(name) ? VI_ERROR_RSRC_NFOUND : VI_ERROR_INV_RSRC_NAME;
        }
        int index = ResourceIndex(registry.bench->bench, *address);
        if (index < 0) {
            return VI_ERROR_RSRC_NFOUND;
        }
        if (registry.bench->bench.resources[index].faults.openFails) {
            return VI_ERROR_IO;
        }
        Object session;
        session.kind = Object::Kind::Instrument;
        session.rm = sesn;
        session.session = std::make_shared<BenchSession>(sesn, registry.bench, static_cast<size_t>(index));
        *vi = Add(registry, std::move(session));
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viClose(ViObject vi) {
    if (vi == VI_NULL) {
        return VI_WARN_NULL_OBJECT;
    }
    return WithObject(vi, std::nullopt, [&](Registry& registry, Object& object) -> ViStatus {
        auto close = [&](std::map<ViObject, Object>::iterator it) {
            if (it->second.session) {
                it->second.session->Close();
            }
            return registry.objects.erase(it);
        };
        if (object.kind == Object::Kind::ResourceManager) {
            for (auto it = registry.objects.begin(); it != registry.objects.end();) {
                it = it->second.kind != Object::Kind::ResourceManager && it->second.rm == vi ? close(it)
                                                                                             : std::next(it);
            }
            --registry.openManagers;
        }
        close(registry.objects.find(vi));
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    std::optional<Named> named = Lookup(vi);
    if (!named) {
        return VI_ERROR_INV_OBJECT;
    }
    if (!attrValue) {
        return VI_ERROR_USER_BUF;
    }
    switch (named->kind) {
    case Object::Kind::ResourceManager:
        return ManagerAttribute(attrName, attrValue);
    case Object::Kind::FindList:
        return VI_ERROR_NSUP_ATTR;
    case Object::Kind::Event:
        return attrName == VI_ATTR_EVENT_TYPE ? Put<ViEventType>(attrValue, VI_EVENT_SERVICE_REQ)
                                              : VI_ERROR_NSUP_ATTR;
    case Object::Kind::Instrument:
        return named->session->GetAttribute(attrName, attrValue);
    }
    return VI_ERROR_NSUP_ATTR;
}

VISASIM_EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
    std::optional<Named> named = Lookup(vi);
    if (!named) {
        return VI_ERROR_INV_OBJECT;
    }
    if (named->session) {
        return named->session->SetAttribute(attrName, attrValue);
    }
    ViUInt32 scratch[VI_FIND_BUFLEN / 4];
    return ManagerAttribute(attrName, scratch) == VI_SUCCESS && named->kind == Object::Kind::ResourceManager
               ? VI_ERROR_ATTR_READONLY
               : VI_ERROR_NSUP_ATTR;
}

VISASIM_EXPORT ViStatus viStatusDesc(ViObject, ViStatus status, ViChar desc[]) {
    if (!desc) {
        return VI_ERROR_USER_BUF;
    }
    const char* text = StatusText(status);
    if (!text) {
        char unknown[64];
        std::snprintf(unknown, sizeof unknown, "Unknown status code 0x%08X.", static_cast<unsigned>(status));
        CopyText(desc, unknown);
        return VI_WARN_UNKNOWN_STATUS;
    }
    CopyText(desc, text);
    return VI_SUCCESS;
}

VISASIM_EXPORT ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    ViUInt32 ignored = 0;
    ViUInt32& written = retCnt ? *retCnt : ignored;
    written = 0;
    return WithSession(vi, VI_ERROR_INV_OBJECT,
                       [&](Session& session) { return session.Write(buf, cnt, &written); });
}

VISASIM_EXPORT ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    ViUInt32 ignored = 0;
    ViUInt32& read = retCnt ? *retCnt : ignored;
    read = 0;
    return WithSession(vi, VI_ERROR_INV_OBJECT,
                       [&](Session& session) { return session.Read(buf, cnt, &read); });
}

VISASIM_EXPORT ViStatus viReadSTB(ViSession vi, ViUInt16* status) {
    return WithSession(vi, VI_ERROR_INV_OBJECT,
                       [&](Session& session) { return session.ReadStatusByte(status); });
}

VISASIM_EXPORT ViStatus viClear(ViSession vi) {
    return WithSession(vi, VI_ERROR_INV_OBJECT, [](Session& session) { return session.Clear(); });
}

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

VISASIM_EXPORT ViStatus viAssertTrigger(ViSession vi, ViUInt16 protocol) {
    return WithSession(vi, VI_ERROR_NSUP_OPER, [&](Session& session) -> ViStatus {
        return protocol == VI_TRIG_PROT_DEFAULT ? session.AssertTrigger() : VI_ERROR_INV_PROT;
    });
}

VISASIM_EXPORT ViStatus viLock(ViSession vi, ViAccessMode, ViUInt32, ViConstKeyId requestedKey,
                               ViChar accessKey[]) {
    if (!Lookup(vi)) {
        return VI_ERROR_INV_OBJECT;
    }
    CopyText(accessKey, requestedKey ? requestedKey : "visa-sim");
    return VI_SUCCESS;
}

VISASIM_EXPORT ViStatus viUnlock(ViSession vi) {
    return Lookup(vi) ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}
