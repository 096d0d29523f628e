#include "platform/wx/StartupClock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

void ReportStartupClock(const char* moment) {
    static const bool wanted = [] {
        const char* value = std::getenv("SFP_STARTUP_CLOCK");
        return value != nullptr && value[0] == '1';
    }();
    if (!wanted) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "%s at %lld ns\n", moment,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}
