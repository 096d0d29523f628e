// Attributes and status texts of the VISA C interface.
#include "Registry.h"

#include <cstdio>

namespace visasim {
namespace {

ViStatus ManagerAttribute(ViAttr attribute, void* value) {
    return attribute == VI_ATTR_RSRC_NAME ? PutText(value, "") : LibraryAttribute(attribute, value);
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
    case VI_SUCCESS_NESTED_EXCLUSIVE:
        return "VI_SUCCESS_NESTED_EXCLUSIVE: Specified access mode is successfully acquired, and this "
               "session "
               "has nested exclusive locks.";
    case VI_ERROR_RSRC_LOCKED:
        return "VI_ERROR_RSRC_LOCKED: Specified type of lock cannot be obtained or specified operation "
               "cannot "
               "be performed, because the resource is locked.";
    case VI_ERROR_INV_LOCK_TYPE:
        return "VI_ERROR_INV_LOCK_TYPE: The specified type of lock is not supported by this resource.";
    case VI_ERROR_ABORT:
        return "VI_ERROR_ABORT: The operation was aborted.";
    case VI_ERROR_SESN_NLOCKED:
        return "VI_ERROR_SESN_NLOCKED: The current session did not have any lock on the resource.";
    case VI_ERROR_CONN_LOST:
        return "VI_ERROR_CONN_LOST: The connection for the specified session has been lost.";
    default:
        return nullptr;
    }
}

} // namespace
} // namespace visasim

using namespace visasim;

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
