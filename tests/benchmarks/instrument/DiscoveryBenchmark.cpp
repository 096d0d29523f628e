// Discovery over a bench of many resources: mixed VXI modules, GPIB-VXI modules, GPIB switchboxes with
// cards of other kinds, and unrelated instruments. Each connection runs in a child process (a process
// keeps its VISA resource manager, and so its bench, for good); the child times ConnectInstrument and
// hands the time to the benchmark.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/SfpAppData.h"
#include "tests/support/RecordingFacade.h"

namespace fs = std::filesystem;

namespace {

// A bench of n resources in a repeating mix of four kinds.
std::string MixedBench(int n) {
    std::string text = "resources:\n";
    for (int i = 0; i < n; ++i) {
        const int address = i % 200;
        switch (i % 4) {
        case 0:
            text += "  - {interface: VXI, board: " + std::to_string(i / 200) +
                    ", logical_address: " + std::to_string(address + 1) + ", module: {}}\n";
            break;
        case 1:
            text += "  - {interface: GPIB-VXI, board: " + std::to_string(i / 200) +
                    ", logical_address: " + std::to_string(address + 1) + ", module: {}}\n";
            break;
        case 2:
            text += "  - interface: GPIB\n    board: " + std::to_string(i / 4 / 31 + 1) +
                    "\n    primary: " + std::to_string(i / 4 % 31) +
                    "\n    switchbox:\n      cards:\n        - type: \"QUILLON-VANTERA,RELAY16,0,A\"\n"
                    "        - type: \"QUILLON-VANTERA,K4712V,0,A.01.00\"\n";
            break;
        default:
            text += "  - interface: GPIB\n    board: " + std::to_string(i / 4 / 31 + 10) +
                    "\n    primary: " + std::to_string(i / 4 % 31) +
                    "\n    generic:\n      identity: \"ACME,DMM\"\n";
            break;
        }
    }
    return text;
}

void BM_Discovery(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    char pattern[] = "/tmp/sfp-discovery-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path folder = pattern;
    std::ofstream(folder / "bench.yaml") << MixedBench(n);
    setenv("VISA_SIM_BENCH", (folder / "bench.yaml").c_str(), 1);
    setenv("VISA_SIM_STATE", (folder / "state").c_str(), 1);
    setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
    setenv("RQK4712V_DRIVER_LIBRARY", DRIVER_PATH, 1);
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            if (chdir(folder.c_str()) != 0) {
                _exit(2);
            }
            CRecordingFacade facade;
            CSfpAppData app;
            app.TakeCommandLine("");
            const auto start = std::chrono::steady_clock::now();
            app.ConnectInstrument();
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const bool live = app.m_pInstrument && app.m_pInstrument->m_bLive == 1;
            const double result = live ? seconds : -1.0;
            _exit(write(fds[1], &result, sizeof(result)) == sizeof(result) ? 0 : 3);
        }
        close(fds[1]);
        double seconds = -1;
        const bool got = read(fds[0], &seconds, sizeof(seconds)) == sizeof(seconds);
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        if (!got || seconds < 0) {
            state.SkipWithError("the connection did not reach a live module");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetComplexityN(n);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

BENCHMARK(BM_Discovery)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace

BENCHMARK_MAIN();
