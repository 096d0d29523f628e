// Speed of the simulated library through its VISA interface: query pairs that change nothing, and
// state-changing commands with the state file in use.
#include "visa.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A module on the default bench with its own state folder, opened once per benchmark.
class Bench {
public:
    // The default bench, or this bench file's text.
    explicit Bench(const char* text = nullptr) {
        char pattern[] = "/tmp/visa-sim-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::abort(); // never fall back to a shared folder: the destructor removes the folder whole
        }
        m_folder = pattern;
        setenv("VISA_SIM_STATE", (m_folder + "/state").c_str(), 1);
        if (text) {
            std::ofstream(m_folder + "/bench.yaml") << text;
            setenv("VISA_SIM_BENCH", (m_folder + "/bench.yaml").c_str(), 1);
        } else {
            unsetenv("VISA_SIM_BENCH");
        }
        viOpenDefaultRM(&m_rm);
        viOpen(m_rm, "VXI0::112::INSTR", VI_NULL, VI_NULL, &m_module);
    }
    ~Bench() {
        viClose(m_rm);
        std::filesystem::remove_all(m_folder);
    }
    ViSession Module() const { return m_module; }
    ViSession Manager() const { return m_rm; }

private:
    std::string m_folder;
    ViSession m_rm = VI_NULL;
    ViSession m_module = VI_NULL;
};

void QueryPairs(benchmark::State& state, const char* query) {
    Bench bench;
    ViSession module = bench.Module();
    const auto* message = reinterpret_cast<ViConstBuf>(query);
    ViUInt32 length = static_cast<ViUInt32>(std::char_traits<char>::length(query));
    unsigned char reply[256];
    ViUInt32 count = 0;
    for (auto _ : state) {
        if (viWrite(module, message, length, &count) != VI_SUCCESS ||
            viRead(module, reply, sizeof reply, &count) != VI_SUCCESS) {
            state.SkipWithError("query failed");
            break;
        }
        benchmark::DoNotOptimize(reply);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_IdentityQueryPair(benchmark::State& state) {
    QueryPairs(state, "*IDN?");
}
void BM_StatusByteQueryPair(benchmark::State& state) {
    QueryPairs(state, "*STB?");
}

// Closes the channels of a four-position switch in turn: every command rewrites the state file.
void BM_StateChangingCommandPersisted(benchmark::State& state) {
    Bench bench;
    ViSession module = bench.Module();
    const char* commands[] = {"ROUT:CLOS (@130)", "ROUT:CLOS (@131)", "ROUT:CLOS (@132)", "ROUT:CLOS (@133)"};
    ViUInt32 count = 0;
    size_t i = 0;
    for (auto _ : state) {
        const char* command = commands[i++ % 4];
        if (viWrite(module, reinterpret_cast<ViConstBuf>(command), 16, &count) != VI_SUCCESS) {
            state.SkipWithError("command failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// A query of the relay state, which re-reads the state file under its lock.
void BM_StateQueryPair(benchmark::State& state) {
    QueryPairs(state, "ROUT:CLOS? (@130:133)");
}

// A service request of the module while 200 000 sessions are open on another instrument: only the
// module's own sessions are visited.
void BM_ServiceRequestAmongManySessions(benchmark::State& state) {
    Bench bench("resources:\n  - {name: VXI0::112::INSTR, module: {}}\n"
                "  - {name: GPIB0::5::INSTR, generic: {identity: \"ACME,DMM,1,1.0\"}}\n");
    for (int i = 0; i < 200000; ++i) {
        ViSession other = VI_NULL;
        viOpen(bench.Manager(), "GPIB0::5::INSTR", VI_NULL, VI_NULL, &other);
    }
    ViSession module = bench.Module();
    viEnableEvent(module, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL);
    const char* raise = "*CLS;*ESE 1;*SRE 32;*OPC";
    ViUInt32 count = 0;
    ViEventType type = 0;
    for (auto _ : state) {
        if (viWrite(module, reinterpret_cast<ViConstBuf>(raise), 24, &count) != VI_SUCCESS ||
            viWaitOnEvent(module, VI_EVENT_SERVICE_REQ, 0, &type, VI_NULL) != VI_SUCCESS) {
            state.SkipWithError("no service request");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_ServiceRequestAmongManySessions)->UseRealTime();
BENCHMARK(BM_IdentityQueryPair)->UseRealTime();
BENCHMARK(BM_StatusByteQueryPair)->UseRealTime();
BENCHMARK(BM_StateChangingCommandPersisted)->UseRealTime();
BENCHMARK(BM_StateQueryPair)->UseRealTime();
BENCHMARK_MAIN();
