#include "instrument/ReportDriverError.h"

#include <cstdio>

#include "app/SfpAppData.h"
#include "instrument/Instrument.h"
#include "platform/Facade.h"
#include "platform/UserException.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace {

// Shows the module's error-queue entries, each with a beep, until the queue reports no error, the query
// fails, or kMaxReportedErrors have been shown. Returns how many were shown.
int ShowErrorQueue(CInstrument& instrument) {
    const std::string format = LoadString(IDS_INSTRUMENT_ERROR);
    int shown = 0;
    for (; shown < kMaxReportedErrors; ++shown) {
        std::int32_t code = 0;
        char message[kTextBufferSize] = "";
        instrument.ErrorQuery(&code, message);
        if (instrument.GetLastStatus() < 0 || code == 0) {
            break;
        }
        char text[2 * kTextBufferSize];
        std::snprintf(text, sizeof(text), format.c_str(), static_cast<long>(code), message);
        Facade().Beep();
        Facade().MessageBox(text);
    }
    return shown;
}

} // namespace

void ReportDriverError(std::int32_t status) {
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (status == kStatusInstrumentError && instrument != nullptr) {
        instrument->DeviceClear();
        ShowErrorQueue(*instrument);
    } else if (status == kStatusTimeOut && instrument != nullptr) {
        instrument->DeviceClear();
        // A command the module refused leaves no reply, so its query times out while the cause waits in
        // the error queue: that is shown instead, and the queue is left empty for the next operation. An
        // error query that times out too has shown "Time Out !" itself.
        if (ShowErrorQueue(*instrument) == 0 && instrument->GetLastStatus() != kStatusTimeOut) {
            Facade().MessageBox(LoadString(IDS_TIME_OUT));
        }
    } else {
        Facade().MessageBox(LoadString(IDS_API_FAILURE));
    }
}

bool CallInstrument(CInstrument& instrument, const std::function<void()>& operations, WaitCursor waitCursor,
                    const std::function<void(std::int32_t status)>& onFailure) {
    if (waitCursor == WaitCursor::Around) {
        Facade().BeginWaitCursor();
    }
    bool succeeded = true;
    try {
        operations();
    } catch (const CUserException&) {
        succeeded = false;
        const std::int32_t status = instrument.GetLastStatus();
        if (onFailure) {
            onFailure(status);
        }
        ReportDriverError(status);
        if (waitCursor == WaitCursor::EndOnFailure) {
            Facade().EndWaitCursor();
        }
    }
    if (waitCursor == WaitCursor::Around) {
        Facade().EndWaitCursor();
    }
    return succeeded;
}
