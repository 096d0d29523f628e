#include "platform/wx/WindowCapture.h"

#include "platform/wx/StartupClock.h"

#include <cstdio>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

wxImage CaptureWindow(wxWindow* window) {
    if (window == nullptr || !window->IsShownOnScreen()) {
        return wxImage();
    }
    window->Update();
    const wxRect rect = window->GetScreenRect();
    if (rect.IsEmpty()) {
        return wxImage();
    }
#ifdef __WXGTK__
    // Read from the server each time: a screen context of GTK 3 keeps the pixels of its first reading,
    // so a second picture taken by one program would show the screen as it was at the first.
    GdkPixbuf* pixbuf =
        gdk_pixbuf_get_from_window(gdk_get_default_root_window(), rect.x, rect.y, rect.width, rect.height);
    if (pixbuf == nullptr) {
        return wxImage();
    }
    // The picture has the pixbuf's own size, which differs from the window's on a scaled display.
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    wxImage image(width, height, false);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* from = gdk_pixbuf_read_pixels(pixbuf);
    unsigned char* to = image.GetData();
    for (int y = 0; y < height; ++y) {
        const guchar* row = from + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < width; ++x, to += 3) {
            const guchar* pixel = row + static_cast<size_t>(x) * static_cast<size_t>(channels);
            to[0] = pixel[0];
            to[1] = pixel[1];
            to[2] = pixel[2];
        }
    }
    g_object_unref(pixbuf);
    return image;
#else
    wxBitmap bitmap(rect.GetSize(), 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    return bitmap.ConvertToImage();
#endif
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
            if (window == m_top) {
                // The window went away before its picture was taken (a fatal failure at start-up): there
                // is nothing left to save, and the owner sees that no picture was saved.
                m_top = nullptr;
                m_finished = true;
                m_limit.Stop();
            }
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
    // Start-up ends here; reading the screen and writing the picture are the saver's own work.
    ReportStartupClock();
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
