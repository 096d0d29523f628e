// The one error report for failed driver calls: given the status a failed instrument operation left,
// shows the module's own error messages, "Time Out !" or "API failure.". After a time-out the module's
// error queue is read first: a query the module refused times out for want of a reply, and its cause
// (the queue's entries) is shown in place of "Time Out !". CallInstrument owns the whole
// failure convention around it: catch the user exception, read the status, report it, end the wait
// cursor.
#pragma once

#include <cstdint>
#include <functional>

class CInstrument;

// The most error-queue entries one report shows, so that a module that never reports an empty queue
// cannot keep the operator in an endless row of message boxes.
constexpr int kMaxReportedErrors = 100;

void ReportDriverError(std::int32_t status);

// How a guarded instrument call treats the counted wait cursor.
enum class WaitCursor {
    Untouched,    // the caller looks after it
    Around,       // begun before the operation, ended after it (after the report of a failure)
    EndOnFailure, // begun by the caller; a failure ends it after the report
};

// Runs instrument operations under the failure convention. When they raise CUserException: reads the
// instrument's last status, hands it to onFailure when one is given (the caller's own consequences,
// taken before anything is shown), reports it with ReportDriverError, and ends the wait cursor as
// asked. Returns true when the operations succeeded, false after a failure has been handled.
bool CallInstrument(CInstrument& instrument, const std::function<void()>& operations,
                    WaitCursor waitCursor = WaitCursor::Untouched,
                    const std::function<void(std::int32_t status)>& onFailure = {});
