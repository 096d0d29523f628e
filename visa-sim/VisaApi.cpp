// The resource manager's calls of the VISA C interface: opening the resource manager, finding,
// parsing and opening resources, closing any object.
#include "NetworkSession.h"
#include "Registry.h"
#include "ResourceExpression.h"
#include "ResourceName.h"

#include <cstring>
#include <strings.h>

namespace visasim {
namespace {

// A name of a resource this library does not offer (another interface, or another resource class of a
// GPIB, VXI or TCPIP board): not found rather than malformed.
bool IsOtherInterface(const char* name) {
    for (const char* prefix : {"ASRL", "USB", "PXI"}) {
        if (strncasecmp(name, prefix, std::strlen(prefix)) == 0) {
            return true;
        }
    }
    if (strncasecmp(name, "GPIB", 4) != 0 && strncasecmp(name, "VXI", 3) != 0 &&
        strncasecmp(name, "TCPIP", 5) != 0) {
        return false;
    }
    std::string text(name);
    size_t last = text.rfind("::");
    if (last == std::string::npos) {
        return false;
    }
    std::string resourceClass = text.substr(last + 2);
    for (const char* other : {"INTFC", "BACKPLANE", "SERVANT", "MEMACC", "SOCKET"}) {
        if (strcasecmp(resourceClass.c_str(), other) == 0) {
            return true;
        }
    }
    return false;
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
        ViStatus status = LoadBench(&registry.bench);
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
        for (const std::string& name : registry.bench->bench.networkResources) {
            if (expression->Matches(name)) {
                list.found.push_back(name);
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

// Opens a network session without the registry's lock (it connects and waits for the device), then adds
// it, unless the resource manager was closed meanwhile.
ViStatus OpenNetwork(ViSession rm, const ResourceAddress& address, ViAccessMode mode, ViUInt32 timeout,
                     ViSession* vi) {
    std::shared_ptr<Session> opened;
    ViStatus status = OpenNetworkSession(rm, address, mode, timeout, &opened);
    if (status != VI_SUCCESS) {
        return status;
    }
    ViStatus added = WithObject(rm, Object::Kind::ResourceManager, [&](Registry& registry, Object&) {
        Object session;
        session.kind = Object::Kind::Instrument;
        session.rm = rm;
        session.session = opened;
        *vi = Add(registry, std::move(session));
        return VI_SUCCESS;
    });
    if (added != VI_SUCCESS) {
        opened->Close();
    }
    return added;
}

VISASIM_EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                               ViSession* vi) {
    if (vi) {
        *vi = VI_NULL;
    }
    std::optional<ResourceAddress> network;
    ViStatus status =
        WithObject(sesn, Object::Kind::ResourceManager, [&](Registry& registry, Object&) -> ViStatus {
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
            if (address->type == InterfaceType::Tcpip) {
                network = address;
                return VI_SUCCESS;
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
            session.session = OpenBenchSession(sesn, registry.bench, static_cast<size_t>(index));
            *vi = Add(registry, std::move(session));
            return VI_SUCCESS;
        });
    return status == VI_SUCCESS && network ? OpenNetwork(sesn, *network, mode, timeout, vi) : status;
}

// The objects closed leave the registry under its lock; their sessions are closed after it is let go
// (a network session destroys its link, which waits for the device).
VISASIM_EXPORT ViStatus viClose(ViObject vi) {
    if (vi == VI_NULL) {
        return VI_WARN_NULL_OBJECT;
    }
    std::vector<std::shared_ptr<Session>> closing;
    ViStatus status = WithObject(vi, std::nullopt, [&](Registry& registry, Object& object) -> ViStatus {
        auto close = [&](std::map<ViObject, Object>::iterator it) {
            if (it->second.session) {
                closing.push_back(it->second.session);
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
    for (const auto& session : closing) {
        session->Close();
    }
    return status;
}
