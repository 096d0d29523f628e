// The one error report for failed driver calls: given the status a failed instrument operation left,
// shows the module's own error messages, "Time Out !" or "API failure.".
#pragma once

#include <cstdint>

// The most error-queue entries one report shows, so that a module that never reports an empty queue
// cannot keep the operator in an endless row of message boxes.
constexpr int kMaxReportedErrors = 100;

void ReportDriverError(std::int32_t status);
