// The one error report for failed driver calls: given the status that the instrument stored, it shows
// the operator the matching message.
#pragma once

#include <cstdint>

void ReportDriverError(std::int32_t status);
