#include "platform/WindowCapture.h"

#include <cstdio>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/window.h>

wxImage CaptureWindow(wxWindow* window) {
    if (window == nullptr || !window->IsShownOnScreen()) {
        return wxImage();
    }
    window->Update();
    const wxRect rect = window->GetScreenRect();
    if (rect.IsEmpty()) {
        return wxImage();
    }
    wxBitmap bitmap(rect.GetSize(), 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    return bitmap.ConvertToImage();
}

CPaintedWindowSaver::CPaintedWindowSaver(wxWindow* top, const wxString& file, Done done, int limitMs)
    : m_top(top), m_file(file), m_done(std::move(done)), m_limitMs(limitMs), m_limit(this) {
    WatchAndCheck(top);
    wxTheApp->Bind(wxEVT_IDLE, &CPaintedWindowSaver::OnIdle, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        std::fprintf(stderr, "the window was not painted in time; saving what the screen shows\n");
        Save();
    });
}

CPaintedWindowSaver::~CPaintedWindowSaver() {
    wxTheApp->Unbind(wxEVT_IDLE, &CPaintedWindowSaver::OnIdle, this);
}

bool CPaintedWindowSaver::WatchAndCheck(wxWindow* window) {
    if (m_watched.insert(window).second) {
        window->Bind(wxEVT_PAINT, [this, window](wxPaintEvent& event) {
            ++m_paints;
            m_painted.insert(window);
            event.Skip();
        });
        window->Bind(wxEVT_DESTROY, [this, window](wxWindowDestroyEvent& event) {
            m_watched.erase(window);
            m_painted.erase(window);
            event.Skip();
        });
    }
    bool all = true;
#ifdef __WXGTK__
    // The toolkit's own controls draw themselves without paint events; only the windows the program
    // draws are waited for, and only those that have an area to paint.
    const bool drawnByProgram = !window->IsOfStandardClass();
#else
    const bool drawnByProgram = true;
#endif
    const wxSize area = window->GetClientSize();
    if (drawnByProgram && window->IsShownOnScreen() && area.x > 0 && area.y > 0 &&
        m_painted.count(window) == 0) {
        all = false;
    }
    for (wxWindow* child : window->GetChildren()) {
        if (!WatchAndCheck(child)) {
            all = false;
        }
    }
    return all;
}

void CPaintedWindowSaver::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (m_finished || !m_top->IsShownOnScreen()) {
        return;
    }
    if (!m_limit.IsRunning()) {
        m_limit.StartOnce(m_limitMs);
    }
    if (!WatchAndCheck(m_top)) {
        return; // the toolkit has not painted every window yet
    }
    m_top->Update(); // paints what is pending and waits for the server
    if (m_paints != m_paintsSeen) {
        m_paintsSeen = m_paints;
        event.RequestMore();
        return;
    }
    Save();
}

void CPaintedWindowSaver::Save() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_limit.Stop();
    const wxImage picture = CaptureWindow(m_top);
    const bool saved = picture.IsOk() && picture.SaveFile(m_file, wxBITMAP_TYPE_PNG);
    m_done(saved);
}
