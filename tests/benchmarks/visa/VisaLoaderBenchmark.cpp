// The cost of the search for the VISA library. First name found: the library named by
// RQK4712V_VISA_LIBRARY, already loaded, so what is left is the search's own work beside the one
// opening that the loader made before it searched. Nothing found: every name and folder tried in turn
// (the dynamic loader keeps no memory of the names it could not find, so every iteration searches
// again), the most a start without VISA spends.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <dlfcn.h>

#include "VisaLoader.h"

namespace {

void BM_FirstNameFound(benchmark::State& state) {
    setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
    for (auto _ : state) {
        VisaApi api;
        char report[4096];
        benchmark::DoNotOptimize(VisaLoadReporting(&api, report, sizeof(report)));
    }
    unsetenv("RQK4712V_VISA_LIBRARY");
}

// The same opening without the search: the loader as it was before it searched.
void BM_OpeningAlone(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(dlopen(SIM_VISA_PATH, RTLD_NOW | RTLD_GLOBAL));
    }
}

void BM_NothingFound(benchmark::State& state) {
    unsetenv("RQK4712V_VISA_LIBRARY");
    for (auto _ : state) {
        VisaApi api;
        char report[4096];
        if (VisaLoadReporting(&api, report, sizeof(report))) {
            state.SkipWithError("a VISA library is installed on this machine");
            break;
        }
    }
}

BENCHMARK(BM_FirstNameFound)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpeningAlone)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NothingFound)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
