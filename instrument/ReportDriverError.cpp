#include "instrument/ReportDriverError.h"

#include "platform/Facade.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

// For now every failure is reported as "API failure."; the module's error queue and the time-out message
// come with the driver-backed instrument.
void ReportDriverError([[maybe_unused]] std::int32_t status) {
    Facade().MessageBox(LoadString(IDS_API_FAILURE));
}
