#include "Session.h"

#include <algorithm>

namespace visasim {

void CopyText(ViChar* target, const std::string& text) {
    if (!target) {
        return;
    }
    size_t length = std::min<size_t>(text.size(), VI_FIND_BUFLEN - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

ViStatus PutText(void* target, const std::string& text) {
    CopyText(static_cast<ViChar*>(target), text);
    return VI_SUCCESS;
}

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

} // namespace visasim
