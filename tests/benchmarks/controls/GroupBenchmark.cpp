// Speed of the group control: a full drawing of each picture, the partial drawing of a release, the
// geometry alone, and a click from the release to the instrument call and the repaint request.
// Runs on an X display (xvfb-run): wx is started before the benchmarks.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/settings.h>

#include "app/SfpAppData.h"
#include "controls/wx/GroupButton.h"
#include "panels/Pan1Obj.h"
#include "platform/wx/WxFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

const wxSize kSize(113, 70);

// A desktop that does nothing, so that a click is timed without the busy cursor.
class CQuietFacade : public CFacade {
public:
    void MessageBox(const std::string&) override {}
    void Beep() override {}
    bool ChooseFromList(const std::string&, const std::vector<std::string>&, std::string&) override {
        return false;
    }
    bool ShowProgress(const std::string&, int, int) override { return true; }
    void EndProgress() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    COLORREF SystemColour(SysColour which) override {
        return which == SysColour::ButtonShadow ? RGB(128, 128, 128) : RGB(255, 255, 255);
    }
    void DestroyMainWindow() override {}
};

// An instrument whose commands take no time, so the figures are the control's own.
class CCountingInstrument : public CScriptedInstrument {
public:
    void CloseRoute(int channel) override { m_last = channel; }
    void OpenRoute(int channel) override { m_last = -channel; }
    void SetAttenuation(short, short value) override { m_last = value; }
    int m_last = 0;
};

std::unique_ptr<CGroupButton> Group(int type, int pos, int group, int firstOnTop) {
    auto b =
        std::make_unique<CGroupButton>(type, "Com 1", "10", "11", "12", "13", "14", "15", group, firstOnTop);
    b->SetPosition(pos);
    return b;
}

void FullDrawing(benchmark::State& state, int type, int pos, bool keep = true) {
    CQuietFacade facade;
    CFacade* previous = SetFacade(&facade);
    auto b = Group(type, pos, 1, 1);
    b->m_bKeepFixedPicture = keep;
    wxBitmap bitmap(kSize, 24);
    wxMemoryDC dc(bitmap);
    PrepareFreshContext(dc, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    const wxRect rect(kSize);
    for (auto _ : state) {
        b->DrawItem(dc, rect, ODA_DRAWENTIRE, 0);
        benchmark::DoNotOptimize(b->m_rcPole);
    }
    SetFacade(previous);
}

void PartialDrawing(benchmark::State& state, int type) {
    CQuietFacade facade;
    CFacade* previous = SetFacade(&facade);
    auto b = Group(type, 2, 1, 1);
    wxBitmap bitmap(kSize, 24);
    wxMemoryDC dc(bitmap);
    PrepareFreshContext(dc, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    const wxRect rect(kSize);
    b->DrawItem(dc, rect, ODA_DRAWENTIRE, 0);
    for (auto _ : state) {
        b->DrawItem(dc, rect, ODA_SELECT, ODS_FOCUS);
        benchmark::DoNotOptimize(b->m_rcPole);
    }
    SetFacade(previous);
}

void Geometry(benchmark::State& state, int type) {
    auto b = Group(type, 2, 1, 1);
    wxBitmap bitmap(kSize, 24);
    wxMemoryDC dc(bitmap);
    PrepareFreshContext(dc, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    for (auto _ : state) {
        if (type <= 2) {
            benchmark::DoNotOptimize(b->ComputeDialGeometry(dc, kSize));
        } else {
            benchmark::DoNotOptimize(b->ComputeSwitchGeometry(dc, kSize));
        }
    }
}

// A release on a contact (alternating between two, so every click closes one) through the control's
// event handling: hit test, command, main-panel update and the repaint request. With shown = false the
// frame is hidden: the control's own work and the invalidation. With shown = true the frame is on
// screen and the release also repaints the control at once (partial drawing and copy to the window).
// busyCursor uses the real desktop facade, whose busy cursor talks to the X server.
void Click(benchmark::State& state, int type, bool shown, bool busyCursor) {
    CQuietFacade quiet;
    CWxFacade desktop;
    CFacade* previous = SetFacade(busyCursor ? static_cast<CFacade*>(&desktop) : &quiet);
    CSfpAppData app;
    auto instrument = std::make_unique<CCountingInstrument>();
    CCountingInstrument* counting = instrument.get();
    app.m_pInstrument = std::move(instrument);
    app.m_panels.push_back(std::make_unique<CPan1Obj>());
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(10, 10), wxSize(200, 150));
    auto* b = new CGroupButton(type, "Com 1", "10", "11", "12", "13", "14", "15", 1, 1);
    b->Create(frame, 1044, wxPoint(0, 0), kSize);
    b->SetPosition(0);
    if (shown) {
        frame->Show();
        for (int i = 0; i < 20 && b->PaintCount() == 0; ++i) {
            wxYield();
            wxMilliSleep(10);
        }
    }
    {
        wxBitmap bitmap(kSize, 24);
        wxMemoryDC dc(bitmap);
        PrepareFreshContext(dc, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        b->DrawItem(dc, wxRect(kSize), ODA_DRAWENTIRE, 0);
    }
    wxMouseEvent up[2] = {wxMouseEvent(wxEVT_LEFT_UP), wxMouseEvent(wxEVT_LEFT_UP)};
    up[0].SetPosition(
        wxPoint(b->m_rcElem[1].x + b->m_rcElem[1].width / 2, b->m_rcElem[1].y + b->m_rcElem[1].height / 2));
    up[1].SetPosition(
        wxPoint(b->m_rcElem[2].x + b->m_rcElem[2].width / 2, b->m_rcElem[2].y + b->m_rcElem[2].height / 2));
    int n = 0;
    for (auto _ : state) {
        up[n & 1].SetEventObject(b);
        b->ProcessWindowEvent(up[n & 1]);
        ++n;
        benchmark::DoNotOptimize(counting->m_last);
    }
    if (counting->m_last == 0 && type > 2) {
        state.SkipWithError("no command was sent");
    }
    delete frame;
    SetFacade(previous);
}

} // namespace

BENCHMARK_CAPTURE(FullDrawing, switch4_pos2, 3, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, switch6_pos4, 4, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, attenuatorA_pos5, 0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, attenuatorB_pos9, 1, 9)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, attenuatorC_unknown, 2, -1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, switch4_pos2_everyPart, 3, 2, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, switch6_pos4_everyPart, 4, 4, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullDrawing, attenuatorA_pos5_everyPart, 0, 5, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PartialDrawing, switch4, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PartialDrawing, attenuatorA, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Geometry, switch6, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Geometry, attenuatorA, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Click, switch4_hidden, 3, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Click, attenuatorB_hidden, 1, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Click, switch4_shown, 3, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Click, attenuatorB_shown, 1, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Click, switch4_shown_busyCursor, 3, true, true)->Unit(benchmark::kMicrosecond);
