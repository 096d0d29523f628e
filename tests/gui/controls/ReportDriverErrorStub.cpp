// A minimal error report for the tests while the instrument area has none: it shows "API failure.".
#include "instrument/ReportDriverError.h"
#include "platform/Facade.h"
#include "resources/StringTable.h"

void ReportDriverError(std::int32_t) {
    Facade().MessageBox(LoadString(10));
}
