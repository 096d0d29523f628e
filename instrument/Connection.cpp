#include "instrument/Connection.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "instrument/DriverInstrument.h"
#include "instrument/ReportDriverError.h"
#include "instrument/SearchProgress.h"
#include "platform/DynamicLibrary.h"
#include "platform/Facade.h"
#include "platform/ProgramFiles.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "visa/VisaLoader.h"

namespace {

constexpr const char* kDriverLibraryName = "librqk4712v_32.so";
constexpr int kReplySize = 100;      // bytes read from an instrument at a time
constexpr int kCardScanAttempts = 3; // tries of one card before the scan of a resource gives up
constexpr int kLastCard = 99;
constexpr const char* kSelectCaption = "Select Instrument";
// The module's VXI identity: its manufacturer id, and its model in the low 12 bits of the model code
// (the bits above them may be set).
constexpr ViUInt16 kManufacturerId = 0xFFF;
constexpr ViUInt16 kModelCode = 0x2D3;
constexpr ViUInt16 kModelCodeBits = 0xFFF;

// The driver library, loaded once and kept for the whole process.
CDynamicLibrary g_driverLibrary;

bool HasAllFunctions(const VisaApi& api) {
    return api.viOpenDefaultRM != nullptr && api.viFindRsrc != nullptr && api.viFindNext != nullptr &&
           api.viOpen != nullptr && api.viGetAttribute != nullptr && api.viWrite != nullptr &&
           api.viRead != nullptr && api.viClose != nullptr;
}

// Writes a command and reads the reply (at most kReplySize bytes, terminated within the buffer).
// Returns false when either fails.
bool Query(const VisaApi& api, ViSession vi, const char* command, ViUInt32 length,
           char (&reply)[kReplySize + 1]) {
    ViUInt32 count = 0;
    reply[0] = '\0';
    if (api.viWrite(vi, reinterpret_cast<ViConstBuf>(command), length, &count) < 0) {
        return false;
    }
    count = 0;
    const ViStatus status = api.viRead(vi, reinterpret_cast<ViBuf>(reply), kReplySize, &count);
    reply[count <= kReplySize ? count : kReplySize] = '\0';
    return status >= 0;
}

// Identifies a GPIB instrument: a switchbox whose cards include one of ours. Sets highCard when the
// matching card is numbered 9 or more. With moduleItself, an instrument whose identity is our card's
// type is ours as well: the module reached through a LAN controller, which is its own card 1.
bool IdentifyGpib(const VisaApi& api, ViSession vi, bool moduleItself, bool& highCard) {
    char reply[kReplySize + 1];
    // The stored command is "*IDN?\n" but only its first five bytes are sent.
    if (!Query(api, vi, "*IDN?\n", 5, reply)) {
        return false;
    }
    const std::string cardId = LoadString(IDS_CARD_ID);
    if (moduleItself && BeginsWith(reply, cardId)) {
        return true;
    }
    if (!BeginsWith(reply, LoadString(IDS_SWITCHBOX_ID))) {
        return false;
    }
    for (int card = 1; card <= kLastCard; ++card) {
        bool answered = false;
        for (int attempt = 0; attempt < kCardScanAttempts && !answered; ++attempt) {
            char command[32];
            const int length = std::snprintf(command, sizeof(command), "SYST:CTYP? %d\n", card);
            answered = Query(api, vi, command, static_cast<ViUInt32>(length), reply);
        }
        if (!answered || BeginsWith(reply, "NONE")) {
            return false; // an instrument that stops answering is skipped
        }
        if (BeginsWith(reply, cardId)) {
            if (card >= 9) {
                highCard = true;
            }
            return true;
        }
    }
    return false;
}

bool IdentifyVxi(const VisaApi& api, ViSession vi) {
    ViUInt16 manufacturer = 0;
    ViUInt16 model = 0;
    if (api.viGetAttribute(vi, VI_ATTR_MANF_ID, &manufacturer) != VI_SUCCESS ||
        api.viGetAttribute(vi, VI_ATTR_MODEL_CODE, &model) != VI_SUCCESS) {
        return false;
    }
    return manufacturer == kManufacturerId && (model & kModelCodeBits) == kModelCode;
}

// The first steps of the search: loads VISA and the driver library and opens the default resource
// manager. Returns 0, or the string of the message that ends the search.
int OpenVisa(VisaApi& api, ViSession& rm) {
    if (!VisaLoad(&api)) {
        return IDS_NO_VISA;
    }
    if (!g_driverLibrary.IsLoaded() && !g_driverLibrary.Load(DriverLibraryPath())) {
        return IDS_NO_DRIVER;
    }
    if (!HasAllFunctions(api)) {
        return IDS_NO_VISA; // a library without the VISA calls is no VISA library
    }
    if (api.viOpenDefaultRM(&rm) < 0) {
        return IDS_NO_DEFAULT_RM;
    }
    return 0;
}

// Takes a chosen name into the search: opens it long enough to read where the instrument sits and how
// it is reached.
void ReadWhereItSits(const VisaApi& api, ViSession rm, const std::string& name, InstrumentSearch& search) {
    ViSession vi = 0;
    api.viOpen(rm, name.c_str(), VI_NULL, VI_NULL, &vi);
    search.resource = name;
    search.driverLibrary = &g_driverLibrary;
    ViInt16 slot = -1;
    ViInt16 la = -1;
    search.slot = api.viGetAttribute(vi, VI_ATTR_SLOT, &slot) >= 0 ? slot : -1;
    search.logicalAddress = api.viGetAttribute(vi, VI_ATTR_VXI_LA, &la) >= 0 ? la : -1;
    if (search.slot == -1 && search.logicalAddress == -1) {
        ViUInt16 primary = 0;
        ViUInt16 secondary = 0;
        const bool hasPrimary = api.viGetAttribute(vi, VI_ATTR_GPIB_PRIMARY_ADDR, &primary) == VI_SUCCESS;
        const bool hasSecondary =
            api.viGetAttribute(vi, VI_ATTR_GPIB_SECONDARY_ADDR, &secondary) == VI_SUCCESS;
        if (hasPrimary && hasSecondary) {
            search.logicalAddress = GpibLogicalAddress(primary, secondary);
        }
    }
    ViUInt16 type = 0;
    if (api.viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type) == VI_SUCCESS) {
        search.interfaceType = type;
    }
    api.viClose(vi);
}

// What the walk through the instrument resources found, beside the candidates.
struct CandidateScan {
    bool listed = false;    // false: VISA gave no list of instrument resources
    bool cancelled = false; // the operator cancelled the search in its progress window
    bool highCard = false;  // a GPIB switchbox's card of ours is numbered 9 or more
};

// Lists every instrument resource, opens each and adds those that qualify to candidates, in the order
// found; the progress window is told of each resource and may cancel the walk.
CandidateScan ListCandidates(const VisaApi& api, ViSession rm, bool noIdentify, CSearchProgress& progress,
                             std::vector<std::string>& candidates) {
    CandidateScan scan;
    ViFindList list = 0;
    ViUInt32 found = 0;
    char name[VI_FIND_BUFLEN + 1] = "";
    if (api.viFindRsrc(rm, "?*INSTR", &list, &found, name) < 0) {
        return scan;
    }
    scan.listed = true;
    candidates.reserve(10);
    ViSession vi = 0;
    bool open = false;
    for (ViUInt32 i = 0; i < found; ++i) {
        if (i > 0 && api.viFindNext(list, name) < 0) {
            break;
        }
        name[VI_FIND_BUFLEN] = '\0';
        if (open) {
            api.viClose(vi);
            open = false;
        }
        if (!progress.Resource(i, found, name)) {
            scan.cancelled = true;
            break;
        }
        if (api.viOpen(rm, name, VI_NULL, VI_NULL, &vi) != VI_SUCCESS) {
            continue;
        }
        open = true;
        ViUInt16 type = 0;
        if (api.viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type) != VI_SUCCESS) {
            continue;
        }
        if (IsCandidate(api, vi, type, noIdentify, scan.highCard)) {
            candidates.emplace_back(name);
        }
    }
    if (open) {
        api.viClose(vi);
    }
    return scan;
}

// Chooses among the candidates: the only one, or the GPIB-VXI one of a pair (both only when the
// resources were identified, and the pair only when no card of ours is numbered 9 or more), else the
// operator's choice from the list. False when the operator cancels.
bool ChooseCandidate(const std::vector<std::string>& candidates, bool highCard, bool noIdentify,
                     std::string& chosen) {
    if (candidates.size() == 1 && !noIdentify) {
        chosen = candidates[0];
    } else if (!highCard && !noIdentify) {
        chosen = PreferredOfPair(candidates);
    }
    return !chosen.empty() || Facade().ChooseFromList(kSelectCaption, candidates, chosen);
}

} // namespace

std::string DriverLibraryPath() {
    const char* over = std::getenv("RQK4712V_DRIVER_LIBRARY");
    if (over != nullptr && over[0] != '\0') {
        return over;
    }
    const std::string own = FindProgramLibrary(kDriverLibraryName);
    return own.empty() ? kDriverLibraryName : own;
}

bool BeginsWith(const char* text, const std::string& prefix) {
    return std::strncmp(text, prefix.c_str(), prefix.size()) == 0;
}

std::string PreferredOfPair(const std::vector<std::string>& candidates) {
    if (candidates.size() != 2) {
        return {};
    }
    int gpibVxi = 0;
    int gpib = 0;
    std::string gpibVxiName;
    for (const auto& name : candidates) {
        if (name.find("GPIB-VXI") != std::string::npos) {
            ++gpibVxi;
            gpibVxiName = name;
        }
        if (name.find("GPIB") != std::string::npos && name.find("VXI") == std::string::npos) {
            ++gpib;
        }
    }
    return gpibVxi == 1 && gpib == 1 ? gpibVxiName : std::string();
}

int CardFromChoice(const std::string& text, int fallback) {
    const size_t at = 5; // just after "Card "
    if (text.size() <= at || !std::isdigit(static_cast<unsigned char>(text[at]))) {
        return fallback;
    }
    int card = text[at] - '0';
    if (text.size() > at + 1 && std::isdigit(static_cast<unsigned char>(text[at + 1]))) {
        card = card * 10 + (text[at + 1] - '0');
    }
    return card;
}

bool IsCandidate(const VisaApi& api, ViSession vi, ViUInt16 type, bool noIdentify, bool& highCard) {
    if (noIdentify) {
        return true;
    }
    if (type == VI_INTF_GPIB || type == VI_INTF_TCPIP) {
        return IdentifyGpib(api, vi, type == VI_INTF_TCPIP, highCard);
    }
    if (type == VI_INTF_VXI || type == VI_INTF_GPIB_VXI) {
        return IdentifyVxi(api, vi);
    }
    return false;
}

int GpibLogicalAddress(unsigned primary, unsigned secondary) {
    if (secondary == VI_NO_SEC_ADDR) {
        secondary = 0;
    }
    return static_cast<int>(10000 + 100 * primary + secondary);
}

InstrumentSearch FindInstrument(const std::optional<std::string>& address, bool noIdentify) {
    CSearchProgress progress;
    InstrumentSearch search;
    auto failed = [&search](int message) {
        search.failure = message;
        return search;
    };

    VisaApi api;
    ViSession rm = 0;
    if (const int failure = OpenVisa(api, rm); failure != 0) {
        return failed(failure);
    }
    if (address) {
        search.explicitAddress = true;
        ReadWhereItSits(api, rm, *address, search);
        return search;
    }

    const CandidateScan scan = ListCandidates(api, rm, noIdentify, progress, search.candidates);
    if (!scan.listed) {
        return failed(IDS_NO_INSTRUMENT);
    }
    progress.End();
    if (scan.cancelled) {
        return failed(IDS_CANCEL_NON_LIVE); // as when the operator cancels the choice
    }
    if (search.candidates.empty()) {
        return failed(IDS_NO_INSTRUMENT);
    }
    std::string chosen;
    if (!ChooseCandidate(search.candidates, scan.highCard, noIdentify, chosen)) {
        return failed(IDS_CANCEL_NON_LIVE);
    }
    ReadWhereItSits(api, rm, chosen, search);
    return search;
}

std::unique_ptr<CInstrument> OpenDriverInstrument(const std::string& name, const CDynamicLibrary& library,
                                                  std::uint16_t interfaceType, bool resetSwitch) {
    auto init = library.Function<DriverInitFn>("rqk4712v_init");
    auto timeOut = library.Function<DriverTimeOutFn>("rqk4712v_timeOut");
    auto errorQueryDetect = library.Function<DriverErrorQueryDetectFn>("rqk4712v_errorQueryDetect");
    const std::uint16_t reset = (interfaceType == VI_INTF_VXI || resetSwitch) ? 1 : 0;
    DriverSession session = 0;
    std::vector<char> resource(name.begin(), name.end());
    resource.push_back('\0');
    if (init == nullptr || init(resource.data(), 0, reset, &session) != 0) {
        return nullptr;
    }
    if (timeOut != nullptr) {
        timeOut(session, 2000);
    }
    if (errorQueryDetect != nullptr) {
        errorQueryDetect(session, 1);
    }
    return std::make_unique<CDriverInstrument>(session, library);
}

short ChooseCard(CInstrument& instrument, std::uint16_t interfaceType, int logicalAddress) {
    const std::string cardId = LoadString(IDS_CARD_ID);
    // Asks a card's type; on a failure the report is shown. Returns false when the failure was not the
    // module's own error report (a time-out or an API failure).
    auto queryType = [&](int card, char* reply) {
        std::int32_t status = 0;
        return CallInstrument(
                   instrument, [&] { instrument.QueryCardType(static_cast<short>(card), reply); },
                   WaitCursor::Untouched, [&](std::int32_t failed) { status = failed; }) ||
               status == kStatusInstrumentError;
    };
    char reply[kTextBufferSize];
    if (interfaceType == VI_INTF_GPIB_VXI) {
        const int card = logicalAddress % 8 + 1;
        const bool ok = queryType(card, reply);
        if (ok && !BeginsWith(reply, "NONE") && BeginsWith(reply, cardId)) {
            return static_cast<short>(card);
        }
    } else if (interfaceType == VI_INTF_VXI) {
        return 1;
    }
    int first = 1;
    std::vector<std::string> cards;
    cards.reserve(10);
    for (int card = 1; card <= kLastCard; ++card) {
        const bool goOn = queryType(card, reply);
        if (BeginsWith(reply, "NONE")) {
            break;
        }
        if (BeginsWith(reply, cardId)) {
            char text[16];
            std::snprintf(text, sizeof(text), "Card %d  ", card);
            if (cards.empty()) {
                first = card;
            }
            cards.emplace_back(text);
        }
        if (!goOn) {
            break;
        }
    }
    std::string chosen;
    if (cards.size() > 1 && Facade().ChooseFromList(kSelectCaption, cards, chosen)) {
        return static_cast<short>(CardFromChoice(chosen, first));
    }
    return static_cast<short>(first);
}
