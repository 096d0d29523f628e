// For start-up measurements: when the environment variable SFP_STARTUP_CLOCK is 1, writes moments of
// start-up to standard error as "<moment> at <n> ns", on the system's monotonic clock, so that the
// process that started the program can take the differences. The last moment, "painted and idle", is
// when the main window stands painted and the program has nothing left to do, before anything reads the
// screen.
#pragma once

void ReportStartupClock(const char* moment = "painted and idle");
