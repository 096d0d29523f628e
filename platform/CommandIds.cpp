#include "platform/CommandIds.h"

#include <iterator>

#include "resources/ResourceIds.h"

namespace {

// The commands above 0x7FFF, each mapped to kWxCommandIdBase + its index here.
constexpr int kHighCommands[] = {ID_SELF_TEST, ID_REFRESH,    ID_EXIT,         ID_RESET,  ID_HELP_CONTENTS,
                                 ID_ABOUT,     ID_MAIN_PANEL, ID_STATUS_PANEL, ID_CONFIG, ID_HELP_INDEX};
constexpr int kCommandCount = static_cast<int>(std::size(kHighCommands));

// wx's wxID_OK and wxID_CANCEL (wx/defs.h); this file stays free of wx headers, the GUI tests check the
// values against wx.
constexpr int kWxOk = 5100;
constexpr int kWxCancel = 5101;

} // namespace

int WxId(int systemNumber) {
    if (systemNumber == IDOK) {
        return kWxOk;
    }
    if (systemNumber == IDCANCEL) {
        return kWxCancel;
    }
    for (int i = 0; i < kCommandCount; ++i) {
        if (kHighCommands[i] == systemNumber) {
            return kWxCommandIdBase + i;
        }
    }
    return systemNumber;
}

int SystemNumber(int wxId) {
    if (wxId == kWxOk) {
        return IDOK;
    }
    if (wxId == kWxCancel) {
        return IDCANCEL;
    }
    if (wxId >= kWxCommandIdBase && wxId < kWxCommandIdBase + kCommandCount) {
        return kHighCommands[wxId - kWxCommandIdBase];
    }
    return wxId;
}
