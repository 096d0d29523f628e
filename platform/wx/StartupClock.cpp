#include "platform/wx/StartupClock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

void ReportStartupClock() {
    const char* wanted = std::getenv("SFP_STARTUP_CLOCK");
    if (wanted == nullptr || wanted[0] != '1') {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "painted and idle at %lld ns\n",
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}
