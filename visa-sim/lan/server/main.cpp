// visa-sim-vxi11d: serves the simulated bench's instruments to VXI-11 clients (man visa-sim-vxi11d).
#include "Bench.h"
#include "Devices.h"
#include "Options.h"
#include "Rpcbind.h"
#include "Vxi11Server.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace visasim;
using namespace visasim::lan;

namespace {

const StopSignal* g_stop = nullptr;

void OnSignal(int) {
    g_stop->Raise();
}

int Refuse(const std::string& problem) {
    std::fprintf(stderr, "visa-sim-vxi11d: %s\n", problem.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    ServerOptions options;
    std::string problem;
    switch (ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &problem)) {
    case CommandLine::Help:
        std::fputs(kServerUsage, stdout);
        return 0;
    case CommandLine::Version:
        std::printf("visa-sim-vxi11d %s\n", SFP_VERSION);
        return 0;
    case CommandLine::Refused:
        std::fprintf(stderr, "visa-sim-vxi11d: %s\n%s", problem.c_str(), kServerUsage);
        return 2;
    case CommandLine::Run:
        break;
    }

    static const StopSignal stop;
    g_stop = &stop;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    // The library reads the same bench and state folder: it is told through its own variables.
    if (!options.bench.empty()) {
        setenv("VISA_SIM_BENCH", options.bench.c_str(), 1);
    }
    if (!options.state.empty()) {
        setenv("VISA_SIM_STATE", options.state.c_str(), 1);
    }
    const char* benchFile = std::getenv("VISA_SIM_BENCH");
    Bench bench;
    if (benchFile && *benchFile) {
        auto loaded = LoadBenchFile(benchFile, &problem);
        if (!loaded) {
            return Refuse(problem);
        }
        bench = std::move(*loaded);
    } else {
        bench = DefaultBench();
    }
    Devices devices(bench);
    if (!devices.Open(&problem)) {
        return Refuse(problem);
    }

    ServerSetup setup;
    setup.listen = options.listen;
    setup.allow = options.allow.empty() ? OwnNetworks(options.listen) : options.allow;
    setup.maxLinks = options.maxLinks;
    setup.discoverable = options.discoverable;
    bool useRpcbind = options.portmapper == PortmapperMode::Rpcbind ||
                      (options.portmapper == PortmapperMode::Auto && PortmapperAnswers(options.listen));
    setup.ownPortmapper = !useRpcbind;
    Vxi11Server server(devices, setup, stop);
    bool portmapperFailed = false;
    if (!server.Bind(&problem, &portmapperFailed)) {
        if (options.portmapper == PortmapperMode::Auto && portmapperFailed) {
            problem += "; no rpcbind answers there either: start rpcbind, or run with the right to bind "
                       "port 111 (as root, or with CAP_NET_BIND_SERVICE)";
        }
        return Refuse(problem);
    }
    RpcbindRegistration registration;
    if (useRpcbind && !registration.Register(options.listen, server.CorePort(), &problem)) {
        return Refuse(problem);
    }
    std::fprintf(stderr, "listening on %s, core port %u, abort port %u\n", Ipv4Text(options.listen).c_str(),
                 server.CorePort(), server.AbortPort());
    server.Run();
    return 0;
}
