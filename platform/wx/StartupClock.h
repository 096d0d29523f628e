// For start-up measurements: when the environment variable SFP_STARTUP_CLOCK is 1, writes the moment the
// main window stands painted and idle to standard error as "painted and idle at <n> ns", on the
// system's monotonic clock, so that the process that started the program can take the difference.
#pragma once

void ReportStartupClock();
