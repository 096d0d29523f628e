// Start-up of the program on the default bench (simulated VISA, real driver) against a bare wxWidgets
// frame measured in the same run, both saving their own picture as soon as it is painted. The time of
// an iteration is the whole process, from just before it is started to its exit; the counter
// painted_ms is the time to the moment it reported its window painted and idle, before its picture is
// taken (SFP_STARTUP_CLOCK=1, on the monotonic clock); the other counters are the moments of start-up
// on the way there. Needs an X display: tests/support/own-display build/default/benchmarks/...; the
// session-bus case also needs a session bus: dbus-run-session -- tests/support/own-display ...
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Timing {
    double wholeSeconds = -1;
    double paintedSeconds = -1;
    std::map<std::string, double> moments; // every moment reported, seconds from the start
};

// Runs the program with one argument; the painted time stays negative when it did not report it.
Timing StartUp(const std::string& program, const std::string& argument) {
    char errName[] = "/tmp/sfp-startup-XXXXXX";
    const int err = mkstemp(errName);
    if (err < 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    std::string arg0 = program;
    std::string arg1 = argument;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    const long long start = MonotonicNs();
    pid_t pid = 0;
    Timing timing;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        timing.wholeSeconds = static_cast<double>(MonotonicNs() - start) / 1e9;
        if (FILE* in = std::fopen(errName, "r")) {
            char line[256];
            while (std::fgets(line, sizeof(line), in) != nullptr) {
                const char* at = std::strstr(line, " at ");
                long long ns = 0;
                if (at != nullptr && std::sscanf(at, " at %lld ns", &ns) == 1) {
                    timing.moments[std::string(line, static_cast<size_t>(at - line))] =
                        static_cast<double>(ns - start) / 1e9;
                }
            }
            std::fclose(in);
        }
    }
    if (auto painted = timing.moments.find("painted and idle"); painted != timing.moments.end()) {
        timing.paintedSeconds = painted->second;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(err);
    unlink(errName);
    return timing;
}

void Run(benchmark::State& state, const std::string& program, const std::string& argument) {
    setenv("SFP_STARTUP_CLOCK", "1", 1);
    std::map<std::string, double> moments;
    for (auto _ : state) {
        const Timing timing = StartUp(program, argument);
        if (timing.paintedSeconds < 0) {
            state.SkipWithError("the program did not report its start-up");
            break;
        }
        state.SetIterationTime(timing.wholeSeconds);
        for (const auto& [moment, seconds] : timing.moments) {
            moments[moment] += seconds;
        }
    }
    // The mean time from the start to each moment reported: main, init (the application's start-up
    // begins), window (the main window made), panels (the panels set up), painted (and idle).
    for (const auto& [moment, seconds] : moments) {
        const std::string name = moment == "painted and idle" ? "painted" : moment;
        state.counters[name + "_ms"] = benchmark::Counter(seconds * 1000, benchmark::Counter::kAvgIterations);
    }
}

void BM_BareFrame(benchmark::State& state) {
    Run(state, BARE_FRAME_PATH, "/tmp/sfp-bare-frame.png");
}

// A temporary state folder on the default bench with the simulated VISA library and the driver; the
// current folder is the state folder while it lives (the example labels file lands there).
struct DefaultBench {
    DefaultBench() {
        ok = mkdtemp(stateDir) != nullptr;
        if (!ok) {
            return;
        }
        setenv("VISA_SIM_STATE", stateDir, 1);
        setenv("VISA_SIM_BENCH", DEFAULT_BENCH_PATH, 1);
        setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
        setenv("RQK4712V_DRIVER_LIBRARY", DRIVER_PATH, 1);
        std::filesystem::current_path(stateDir);
    }
    ~DefaultBench() {
        if (ok) {
            std::filesystem::current_path(cwd);
            std::error_code ignored;
            std::filesystem::remove_all(stateDir, ignored);
        }
    }
    char stateDir[32] = "/tmp/sfp-startup-state-XXXXXX";
    const std::filesystem::path cwd = std::filesystem::current_path();
    bool ok = false;
};

void BM_ProgramOnDefaultBench(benchmark::State& state) {
    DefaultBench bench;
    if (!bench.ok) {
        state.SkipWithError("no temporary folder");
        return;
    }
    Run(state, PROGRAM_PATH, "--screenshot=/tmp/sfp-startup.png");
}

// The session-bus endpoint's own share of start-up: in every iteration the program starts once joining
// the session bus and once kept off it (SFP_SESSION_BUS=0), in alternating order, so that the load of the
// machine falls on both alike. The time is the whole run with the endpoint; the counters give the mean
// time to the painted window with and without it and the endpoint's mean share of each.
void BM_SessionBusEndpoint(benchmark::State& state) {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr) {
        state.SkipWithError("no session bus: run under dbus-run-session");
        return;
    }
    DefaultBench bench;
    if (!bench.ok) {
        state.SkipWithError("no temporary folder");
        return;
    }
    setenv("SFP_STARTUP_CLOCK", "1", 1);
    auto startUp = [](bool endpoint) {
        setenv("SFP_SESSION_BUS", endpoint ? "1" : "0", 1);
        return StartUp(PROGRAM_PATH, "--screenshot=/tmp/sfp-startup.png");
    };
    startUp(true); // untimed: what the first run starts on the bus is there for all the others
    Timing with;
    Timing without;
    with.wholeSeconds = with.paintedSeconds = without.wholeSeconds = without.paintedSeconds = 0;
    int count = 0;
    for (auto _ : state) {
        const bool onFirst = count % 2 == 0;
        const Timing first = startUp(onFirst);
        const Timing second = startUp(!onFirst);
        if (first.paintedSeconds < 0 || second.paintedSeconds < 0) {
            state.SkipWithError("the program did not report its start-up");
            break;
        }
        const Timing& on = onFirst ? first : second;
        const Timing& off = onFirst ? second : first;
        with.wholeSeconds += on.wholeSeconds;
        with.paintedSeconds += on.paintedSeconds;
        without.wholeSeconds += off.wholeSeconds;
        without.paintedSeconds += off.paintedSeconds;
        ++count;
        state.SetIterationTime(on.wholeSeconds);
    }
    unsetenv("SFP_SESSION_BUS");
    if (count > 0) {
        const double ms = 1000.0 / count;
        state.counters["painted_ms"] = with.paintedSeconds * ms;
        state.counters["painted_off_ms"] = without.paintedSeconds * ms;
        state.counters["endpoint_painted_ms"] = (with.paintedSeconds - without.paintedSeconds) * ms;
        state.counters["endpoint_whole_ms"] = (with.wholeSeconds - without.wholeSeconds) * ms;
    }
}

BENCHMARK(BM_BareFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ProgramOnDefaultBench)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SessionBusEndpoint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
