// The main of the benchmarks that draw or open windows: starts wxWidgets on the X display (run them
// under xvfb-run), runs the benchmarks and shuts wx down.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    int wxArgc = 1;
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets: is there an X display?\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxLog::EnableLogging(false);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
