// The VISA C interface over the simulated bench. One registry, guarded by one mutex, holds the bench,
// its instruments and every open session, so the library may be called from any number of threads.
#include "Bench.h"
#include "CardInstrument.h"
#include "Instrument.h"
#include "MeterInstrument.h"
#include "ResourceExpression.h"
#include "ResourceName.h"
#include "SharedState.h"
#include "StateStore.h"

#include "visa.h"

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

struct Object {
    enum class Kind { ResourceManager, Instrument, FindList, Event } kind = Kind::ResourceManager;
    ViSession rm = VI_NULL; // the resource manager an instrument session or find list belongs to
    size_t resource = 0;    // index into the bench (instrument sessions)
    ViUInt32 timeout = 2000;
    ViUInt8 termChar = '\n';
    bool termCharEnabled = false;
    bool sendEnd = true;
    std::string input; // bytes written without END, waiting for the rest of the message
    std::vector<std::string> found;
    size_t nextFound = 0;
    bool serviceRequestQueue = false; // VI_EVENT_SERVICE_REQ enabled for VI_QUEUE
    std::deque<ViEventType> events;   // waiting for viWaitOnEvent, oldest first
};

struct Registry {
    std::mutex mutex;
    Bench bench;
    std::vector<std::unique_ptr<Instrument>> instruments;
    std::map<ViObject, Object> objects;
    ViObject nextHandle = 0x1000;
    int openManagers = 0;
    std::vector<unsigned> serviceRequests; // per instrument: the service requests already queued
    std::condition_variable eventArrived;  // waits on `mutex`
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

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

// Loads the bench named by VISA_SIM_BENCH (or the default) and makes its instruments.
ViStatus LoadBench(Registry& registry) {
    const char* path = std::getenv("VISA_SIM_BENCH");
    Bench bench;
    std::string stateName;
    if (path && *path) {
        std::string error;
        auto loaded = LoadBenchFile(path, &error);
        if (!loaded) {
            std::fprintf(stderr, "visa-sim: bench file refused: %s\n", error.c_str());
            return VI_ERROR_SYSTEM_ERROR;
        }
        bench = std::move(*loaded);
        stateName = StateNameFor(bench, path);
    } else {
        bench = DefaultBench();
        stateName = bench.stateName;
    }
    std::string problem;
    std::string folder = StateStore::StateFolder(&problem);
    if (folder.empty()) {
        std::fprintf(stderr, "visa-sim: %s; instrument state is not kept between runs\n", problem.c_str());
    }
    registry.instruments.clear();
    for (const ResourceSpec& resourceSpec : bench.resources) {
        registry.instruments.push_back(CreateInstrument(resourceSpec, folder, stateName));
    }
    ConnectStation(bench, registry.instruments);
    registry.serviceRequests.assign(registry.instruments.size(), 0);
    registry.bench = std::move(bench);
    return VI_SUCCESS;
}

Object* Find(Registry& registry, ViObject handle, Object::Kind kind) {
    auto it = registry.objects.find(handle);
    if (it == registry.objects.end() || it->second.kind != kind) {
        return nullptr;
    }
    return &it->second;
}

Object* FindAny(Registry& registry, ViObject handle) {
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

// Checks a handle once: looks it up under the registry's lock and hands the call the registry, the
// object and the lock (held; a call that waits may let go of it). A handle that names nothing, or,
// given a kind, an object of another kind, is VI_ERROR_INV_OBJECT.
template <typename Call>
ViStatus WithObject(ViObject vi, std::optional<Object::Kind> kind, Call call) {
    Registry& registry = TheRegistry();
    std::unique_lock lock(registry.mutex);
    Object* object = FindAny(registry, vi);
    if (!object || (kind && object->kind != *kind)) {
        return VI_ERROR_INV_OBJECT;
    }
    return call(registry, *object, lock);
}

// The bench resource a client's name designates: an exact address first, then the lenient spellings.
int ResourceIndex(const Registry& registry, const ResourceAddress& given) {
    const auto& resources = registry.bench.resources;
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

template <typename T>
ViStatus Put(void* target, T value) {
    std::memcpy(target, &value, sizeof value);
    return VI_SUCCESS;
}

ViStatus PutText(void* target, const std::string& text) {
    CopyText(static_cast<ViChar*>(target), text);
    return VI_SUCCESS;
}

ViStatus ManagerAttribute(ViAttr attribute, void* value) {
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
    case VI_ATTR_RSRC_NAME:
        return PutText(value, "");
    default:
        return VI_ERROR_NSUP_ATTR;
    }
}

ViStatus InstrumentAttribute(const Object& session, const ResourceSpec& resourceSpec, ViAttr attribute,
                             void* value) {
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
    case VI_ATTR_TMO_VALUE:
        return Put<ViUInt32>(value, session.timeout);
    case VI_ATTR_TERMCHAR:
        return Put<ViUInt8>(value, session.termChar);
    case VI_ATTR_TERMCHAR_EN:
        return Put<ViBoolean>(value, session.termCharEnabled ? VI_TRUE : VI_FALSE);
    case VI_ATTR_SEND_END_EN:
        return Put<ViBoolean>(value, session.sendEnd ? VI_TRUE : VI_FALSE);
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
        return VI_ERROR_NSUP_ATTR;
    }
}

// Queues the service requests the instrument raised since the last look (each time its status byte's
// request-service bit became set) for every session of it that asked for them.
void NoteServiceRequest(Registry& registry, size_t resource) {
    unsigned raised = registry.instruments[resource]->ServiceRequests() - registry.serviceRequests[resource];
    registry.serviceRequests[resource] += raised;
    if (raised == 0) {
        return;
    }
    constexpr size_t kQueueLength = 50; // VI_ATTR_MAX_QUEUE_LENGTH's default
    for (auto& [handle, object] : registry.objects) {
        for (unsigned i = 0;
             i < raised && object.kind == Object::Kind::Instrument && object.resource == resource &&
             object.serviceRequestQueue && object.events.size() < kQueueLength;
             ++i) {
            object.events.push_back(VI_EVENT_SERVICE_REQ);
        }
    }
    registry.eventArrived.notify_all();
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
    return WithObject(sesn, Object::Kind::ResourceManager,
                      [&](Registry& registry, Object&, auto&) -> ViStatus {
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
                          for (const ResourceSpec& resourceSpec : registry.bench.resources) {
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
    return WithObject(vi, Object::Kind::FindList, [&](Registry&, Object& list, auto&) -> ViStatus {
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
    return WithObject(
        rmSesn, Object::Kind::ResourceManager, [&](Registry& registry, Object&, auto&) -> ViStatus {
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
            int index = ResourceIndex(registry, *address);
            CopyText(expandedUnaliasedName,
                     index >= 0 ? registry.bench.resources[index].name : CanonicalName(*address));
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
    return WithObject(sesn, Object::Kind::ResourceManager,
                      [&](Registry& registry, Object&, auto&) -> ViStatus {
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
                          int index = ResourceIndex(registry, *address);
                          if (index < 0) {
                              return VI_ERROR_RSRC_NFOUND;
                          }
                          if (registry.bench.resources[index].faults.openFails) {
                              return VI_ERROR_IO;
                          }
                          Object session;
                          session.kind = Object::Kind::Instrument;
                          session.rm = sesn;
                          session.resource = static_cast<size_t>(index);
                          *vi = Add(registry, std::move(session));
                          return VI_SUCCESS;
                      });
}

VISASIM_EXPORT ViStatus viClose(ViObject vi) {
    if (vi == VI_NULL) {
        return VI_WARN_NULL_OBJECT;
    }
    return WithObject(vi, std::nullopt, [&](Registry& registry, Object& object, auto&) -> ViStatus {
        if (object.kind == Object::Kind::ResourceManager) {
            for (auto it = registry.objects.begin(); it != registry.objects.end();) {
                if (it->second.kind != Object::Kind::ResourceManager && it->second.rm == vi) {
                    it = registry.objects.erase(it);
                } else {
                    ++it;
                }
            }
            --registry.openManagers;
        }
        registry.objects.erase(vi);
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    return WithObject(vi, std::nullopt, [&](Registry& registry, Object& object, auto&) -> ViStatus {
        if (!attrValue) {
            return VI_ERROR_USER_BUF;
        }
        switch (object.kind) {
        case Object::Kind::ResourceManager:
            return ManagerAttribute(attrName, attrValue);
        case Object::Kind::FindList:
            return VI_ERROR_NSUP_ATTR;
        case Object::Kind::Event:
            return attrName == VI_ATTR_EVENT_TYPE ? Put<ViEventType>(attrValue, VI_EVENT_SERVICE_REQ)
                                                  : VI_ERROR_NSUP_ATTR;
        case Object::Kind::Instrument:
            return InstrumentAttribute(object, registry.bench.resources[object.resource], attrName,
                                       attrValue);
        }
        return VI_ERROR_NSUP_ATTR;
    });
}

VISASIM_EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
    return WithObject(vi, std::nullopt, [&](Registry& registry, Object& object, auto&) -> ViStatus {
        if (object.kind != Object::Kind::Instrument) {
            ViUInt32 scratch[VI_FIND_BUFLEN / 4];
            return ManagerAttribute(attrName, scratch) == VI_SUCCESS &&
                           object.kind == Object::Kind::ResourceManager
                       ? VI_ERROR_ATTR_READONLY
                       : VI_ERROR_NSUP_ATTR;
        }
        switch (attrName) {
        case VI_ATTR_TMO_VALUE:
            if (attrValue > 0xFFFFFFFFu) {
                return VI_ERROR_NSUP_ATTR_STATE;
            }
            object.timeout = static_cast<ViUInt32>(attrValue);
            return VI_SUCCESS;
        case VI_ATTR_TERMCHAR:
            if (attrValue > 0xFF) {
                return VI_ERROR_NSUP_ATTR_STATE;
            }
            object.termChar = static_cast<ViUInt8>(attrValue);
            return VI_SUCCESS;
        case VI_ATTR_TERMCHAR_EN:
        case VI_ATTR_SEND_END_EN:
            if (attrValue > 1) {
                return VI_ERROR_NSUP_ATTR_STATE;
            }
            (attrName == VI_ATTR_TERMCHAR_EN ? object.termCharEnabled : object.sendEnd) = attrValue == 1;
            return VI_SUCCESS;
        default: {
            ViUInt32 scratch[VI_FIND_BUFLEN / 4];
            return InstrumentAttribute(object, registry.bench.resources[object.resource], attrName,
                                       scratch) == VI_SUCCESS
                       ? VI_ERROR_ATTR_READONLY
                       : VI_ERROR_NSUP_ATTR;
        }
        }
    });
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
    if (retCnt) {
        *retCnt = 0;
    }
    return WithObject(
        vi, Object::Kind::Instrument, [&](Registry& registry, Object& found, auto& lock) -> ViStatus {
            Object* session = &found;
            if (!buf && cnt > 0) {
                return VI_ERROR_USER_BUF;
            }
            // A device slower than the session's time-out is given up on when the time-out has passed; the
            // message never reaches it. What remains of the time-out bounds the wait for the instrument's
            // state.
            ViUInt32 timeout = session->timeout;
            unsigned latency = registry.bench.resources[session->resource].faults.latencyMs;
            bool tooSlow = timeout != VI_TMO_INFINITE && latency > timeout;
            if (latency > 0) {
                // Wait without holding the registry, so that other sessions go on meanwhile.
                lock.unlock();
                std::this_thread::sleep_for(std::chrono::milliseconds(tooSlow ? timeout : latency));
                lock.lock();
                session = Find(registry, vi, Object::Kind::Instrument);
                if (!session) {
                    return VI_ERROR_INV_OBJECT;
                }
            }
            if (tooSlow) {
                return VI_ERROR_TMO;
            }
            unsigned timeLeft = timeout == VI_TMO_INFINITE ? StateStore::kWaitForever : timeout - latency;
            session->input.append(reinterpret_cast<const char*>(buf), cnt);
            // Without END the instrument waits for the rest of the message, unless it ends with a line feed.
            if (!session->sendEnd && (session->input.empty() || session->input.back() != '\n')) {
                if (retCnt) {
                    *retCnt = cnt;
                }
                return VI_SUCCESS;
            }
            std::string message = std::move(session->input);
            session->input.clear();
            bool answered = registry.instruments[session->resource]->Write(message, timeLeft);
            NoteServiceRequest(registry, session->resource);
            if (!answered) {
                return VI_ERROR_TMO;
            }
            if (retCnt) {
                *retCnt = cnt;
            }
            return VI_SUCCESS;
        });
}

VISASIM_EXPORT ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViUInt32* retCnt) {
    if (retCnt) {
        *retCnt = 0;
    }
    return WithObject(
        vi, Object::Kind::Instrument, [&](Registry& registry, Object& session, auto&) -> ViStatus {
            if (!buf && cnt > 0) {
                return VI_ERROR_USER_BUF;
            }
            Instrument& instrument = *registry.instruments[session.resource];
            const std::string& pending = instrument.Pending();
            if (pending.empty()) {
                instrument.NoteEmptyRead();
                NoteServiceRequest(registry, session.resource);
                return VI_ERROR_TMO;
            }
            size_t count = std::min<size_t>(cnt, pending.size());
            ViStatus status = count < pending.size() ? VI_SUCCESS_MAX_CNT : VI_SUCCESS;
            if (session.termCharEnabled) {
                const void* at = std::memchr(pending.data(), session.termChar, count);
                if (at) {
                    count = static_cast<size_t>(static_cast<const char*>(at) - pending.data()) + 1;
                    status = VI_SUCCESS_TERM_CHAR;
                }
            }
            if (count > 0) {
                std::memcpy(buf, pending.data(), count);
            }
            instrument.Consume(count);
            NoteServiceRequest(registry, session.resource);
            if (retCnt) {
                *retCnt = static_cast<ViUInt32>(count);
            }
            return status;
        });
}

VISASIM_EXPORT ViStatus viReadSTB(ViSession vi, ViUInt16* status) {
    return WithObject(vi, Object::Kind::Instrument,
                      [&](Registry& registry, Object& session, auto&) -> ViStatus {
                          if (!status) {
                              return VI_ERROR_USER_BUF;
                          }
                          *status = registry.instruments[session.resource]->StatusByte();
                          return VI_SUCCESS;
                      });
}

VISASIM_EXPORT ViStatus viClear(ViSession vi) {
    return WithObject(vi, Object::Kind::Instrument,
                      [&](Registry& registry, Object& session, auto&) -> ViStatus {
                          session.input.clear();
                          registry.instruments[session.resource]->DeviceClear();
                          NoteServiceRequest(registry, session.resource);
                          return VI_SUCCESS;
                      });
}

namespace {
// The instrument session an event operation is for (null for another kind of object), once the event
// type is one it can name.
template <typename Call>
ViStatus WithEventSession(ViSession vi, ViEventType type, bool allowAll, Call call) {
    return WithObject(vi, std::nullopt, [&](Registry& registry, Object& object, auto& lock) -> ViStatus {
        if (type != VI_EVENT_SERVICE_REQ && !(allowAll && type == VI_ALL_ENABLED_EVENTS)) {
            return VI_ERROR_INV_EVENT;
        }
        return call(registry, object.kind == Object::Kind::Instrument ? &object : nullptr, lock);
    });
}
} // namespace

VISASIM_EXPORT ViStatus viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism,
                                      ViEventFilter) {
    return WithEventSession(vi, eventType, false, [&](Registry&, Object* session, auto&) -> ViStatus {
        if (!session) {
            return VI_ERROR_INV_EVENT;
        }
        if (mechanism == VI_HNDLR || mechanism == VI_SUSPEND_HNDLR) {
            return VI_ERROR_HNDLR_NINSTALLED; // handlers cannot be installed here
        }
        if (mechanism != VI_QUEUE) {
            return VI_ERROR_INV_MECH;
        }
        bool already = session->serviceRequestQueue;
        session->serviceRequestQueue = true;
        return already ? VI_SUCCESS_EVENT_EN : VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    return WithEventSession(vi, eventType, true, [&](Registry&, Object* session, auto&) -> ViStatus {
        if (session && (mechanism & VI_QUEUE)) {
            session->serviceRequestQueue = false; // what is queued stays until discarded or waited for
        }
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    return WithEventSession(vi, eventType, true, [&](Registry&, Object* session, auto&) -> ViStatus {
        if (session && (mechanism & VI_QUEUE)) {
            session->events.clear();
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
    return WithEventSession(
        vi, inEventType, true, [&](Registry& registry, Object* session, auto& lock) -> ViStatus {
            if (!session || (!session->serviceRequestQueue && session->events.empty())) {
                return VI_ERROR_NENABLED;
            }
            // Another thread's write may raise the request meanwhile; the wait lets go of the registry.
            auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
            while (true) {
                session = Find(registry, vi, Object::Kind::Instrument);
                if (!session) {
                    return VI_ERROR_INV_OBJECT; // closed while waiting
                }
                if (!session->events.empty()) {
                    break;
                }
                if (timeout == VI_TMO_INFINITE) {
                    registry.eventArrived.wait(lock);
                } else if (registry.eventArrived.wait_until(lock, deadline) == std::cv_status::timeout) {
                    session = Find(registry, vi, Object::Kind::Instrument);
                    if (!session || session->events.empty()) {
                        return session ? VI_ERROR_TMO : VI_ERROR_INV_OBJECT;
                    }
                    break;
                }
            }
            ViEventType type = session->events.front();
            session->events.pop_front();
            bool more = !session->events.empty();
            if (outEventType) {
                *outEventType = type;
            }
            if (outContext) {
                Object event;
                event.kind = Object::Kind::Event;
                event.rm = session->rm;
                *outContext = Add(registry, std::move(event));
            }
            return more ? VI_SUCCESS_QUEUE_NEMPTY : VI_SUCCESS;
        });
}

VISASIM_EXPORT ViStatus viAssertTrigger(ViSession vi, ViUInt16 protocol) {
    return WithObject(vi, std::nullopt, [&](Registry& registry, Object& object, auto&) -> ViStatus {
        if (object.kind != Object::Kind::Instrument) {
            return VI_ERROR_NSUP_OPER;
        }
        if (protocol != VI_TRIG_PROT_DEFAULT) {
            return VI_ERROR_INV_PROT;
        }
        // A measurement reads the state of the instruments wired to it, within the session's time-out.
        WaitBudgetScope budget(object.timeout == VI_TMO_INFINITE ? StateStore::kWaitForever : object.timeout);
        registry.instruments[object.resource]->DeviceTrigger();
        NoteServiceRequest(registry, object.resource);
        return budget.RanOut() ? VI_ERROR_TMO : VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viLock(ViSession vi, ViAccessMode, ViUInt32, ViConstKeyId requestedKey,
                               ViChar accessKey[]) {
    return WithObject(vi, std::nullopt, [&](Registry&, Object&, auto&) -> ViStatus {
        CopyText(accessKey, requestedKey ? requestedKey : "visa-sim");
        return VI_SUCCESS;
    });
}

VISASIM_EXPORT ViStatus viUnlock(ViSession vi) {
    return WithObject(vi, std::nullopt, [](Registry&, Object&, auto&) -> ViStatus { return VI_SUCCESS; });
}
