#include "platform/WindowCapture.h"

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
