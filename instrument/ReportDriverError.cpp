#include "instrument/ReportDriverError.h"

#include <cstdio>

#include "app/SfpAppData.h"
#include "instrument/Instrument.h"
#include "platform/Facade.h"
#include "platform/UserException.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

void ReportDriverError(std::int32_t status) {
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (status == kStatusInstrumentError && instrument != nullptr) {
        const std::string format = LoadString(IDS_INSTRUMENT_ERROR);
        instrument->DeviceClear();
        for (int shown = 0; shown < kMaxReportedErrors; ++shown) {
            std::int32_t code = 0;
            char message[kTextBufferSize] = "";
            instrument->ErrorQuery(&code, message);
            if (instrument->GetLastStatus() < 0 || code == 0) {
                break;
            }
            char text[2 * kTextBufferSize];
            std::snprintf(text, sizeof(text), format.c_str(), static_cast<long>(code), message);
            Facade().Beep();
            Facade().MessageBox(text);
        }
    } else if (status == kStatusTimeOut && instrument != nullptr) {
        instrument->DeviceClear();
        Facade().MessageBox(LoadString(IDS_TIME_OUT));
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
