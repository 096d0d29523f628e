// Speed of opening the main panel: building template 103 with its fourteen controls in a shown frame,
// the identification texts and the group controls loaded from the main-panel object. Also the whole
// cycle of opening, painting and closing. Runs on an X display (xvfb-run): wx is started first.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/wx/MainPanelDlg.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

// The application state of a VXI connection with all six groups known.
struct CPanelSetting {
    CPanelSetting() {
        auto scripted = std::make_unique<CScriptedInstrument>();
        scripted->m_slot = 3;
        scripted->m_logicalAddress = 112;
        scripted->m_address = "VXI0::112::INSTR";
        scripted->m_labelsFileName = (std::filesystem::temp_directory_path() / "no-such-labels.lbl").string();
        app.m_pInstrument = std::move(scripted);
        app.m_indicatorColor = RGB(0, 255, 0);
        auto pan1 = std::make_unique<CPan1Obj>();
        panel = pan1.get();
        app.m_panels.push_back(std::move(pan1));
        const int types[6] = {0, 1, 2, 3, 4, 3};
        for (int g = 0; g < 6; ++g) {
            panel->m_nGroupType[g] = types[g];
            panel->m_nGroupPos[g] = types[g] < 3 ? 0 : -1;
        }
        frame = new wxFrame(nullptr, wxID_ANY, "RQK4712V", wxPoint(20, 20), wxSize(300, 400));
        frame->Bind(wxEVT_SIZE, [](wxSizeEvent&) {});
        frame->Show();
    }
    ~CPanelSetting() { delete frame; }

    CRecordingFacade facade;
    CSfpAppData app;
    CPan1Obj* panel = nullptr;
    wxFrame* frame = nullptr;
};

// Opening alone: the constructor builds the whole panel; closing is not timed.
void OpenMainPanel(benchmark::State& state) {
    CPanelSetting setting;
    for (auto _ : state) {
        auto* dlg = new CMainPanelDlg(setting.frame, setting.panel);
        benchmark::DoNotOptimize(dlg);
        state.PauseTiming();
        delete dlg;
        state.ResumeTiming();
    }
}

// Opening, the first painting of the panel and its controls, and closing.
void OpenPaintAndClose(benchmark::State& state) {
    CPanelSetting setting;
    for (auto _ : state) {
        auto* dlg = new CMainPanelDlg(setting.frame, setting.panel);
        dlg->RedrawNow();
        delete dlg;
    }
}

} // namespace

BENCHMARK(OpenMainPanel)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPaintAndClose)->Unit(benchmark::kMillisecond);
