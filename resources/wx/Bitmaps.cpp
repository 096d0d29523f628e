#include "resources/wx/Bitmaps.h"

#include <memory>
#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/graphics.h>

#include "resources/ResourceIds.h"

namespace {

// Product logo: a teal band with a stylised switch arm and the product name. The main panel shows its
// top-left 93 x 27 pixels, so everything that matters stands there. The main panel shows its
// top-left 93 x 27 pixels, so everything that matters stands there.
wxBitmap DrawProductLogo() {
    wxBitmap bmp(118, 38, 24);
    wxMemoryDC dc(bmp);
    dc.SetBackground(wxBrush(wxColour(0, 96, 96)));
    dc.Clear();
    dc.SetPen(wxPen(wxColour(0, 160, 160), 1));
    for (int y = 0; y < 38; y += 4) {
        dc.DrawLine(0, y, 118, y);
    }
    // The switch symbol: a pole, an arm and three contacts.
    dc.SetPen(wxPen(wxColour(255, 255, 0), 2));
    dc.SetBrush(wxBrush(wxColour(255, 255, 0)));
    dc.DrawCircle(6, 13, 3);
    dc.DrawLine(6, 13, 20, 5);
    dc.SetBrush(wxBrush(wxColour(255, 255, 255)));
    dc.SetPen(wxPen(wxColour(255, 255, 255), 1));
    for (int k = 0; k < 3; ++k) {
        dc.DrawCircle(23, 5 + 8 * k, 3);
    }
    wxFont font(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).Bold());
    dc.SetFont(font);
    dc.SetTextForeground(wxColour(255, 255, 255));
    dc.DrawText("RQK4712V", 28, 1);
    wxFont small(wxFontInfo(7).Family(wxFONTFAMILY_SWISS));
    dc.SetFont(small);
    dc.SetTextForeground(wxColour(200, 255, 255));
    dc.DrawText("RF switch", 28, 14);
    dc.SelectObject(wxNullBitmap);
    return bmp;
}

// Plug-and-play logo: a plug in a ring beside the words; the panel shows its top-left 75 x 39 pixels.
wxBitmap DrawPlugAndPlayLogo() {
    wxBitmap bmp(77, 41, 24);
    wxMemoryDC dc(bmp);
    dc.SetBackground(wxBrush(wxColour(255, 255, 255)));
    dc.Clear();
    dc.SetPen(wxPen(wxColour(0, 0, 128), 2));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawEllipse(4, 3, 24, 24);
    dc.SetBrush(wxBrush(wxColour(0, 0, 128)));
    dc.DrawRectangle(11, 12, 10, 8);
    dc.DrawLine(13, 7, 13, 12);
    dc.DrawLine(19, 7, 19, 12);
    dc.DrawLine(16, 20, 16, 26);
    wxFont font(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).Bold());
    dc.SetFont(font);
    dc.SetTextForeground(wxColour(0, 0, 128));
    dc.DrawText("VXI", 33, 4);
    wxFont small(wxFontInfo(7).Family(wxFONTFAMILY_SWISS));
    dc.SetFont(small);
    dc.SetTextForeground(wxColour(128, 0, 0));
    dc.DrawText("plug&", 33, 15);
    dc.DrawText("play", 33, 25);
    dc.SelectObject(wxNullBitmap);
    return bmp;
}

} // namespace

wxBitmap LoadBitmapResource(int id) {
    switch (id) {
    case IDB_LOGO:
        return DrawProductLogo();
    case IDB_PNP_LOGO:
        return DrawPlugAndPlayLogo();
    default:
        return wxNullBitmap;
    }
}

wxImage DrawProgramIcon(int size) {
    wxImage image(size, size);
    {
        // Drawn on a 32 x 32 grid and scaled, so every size shows the same picture. A graphics context
        // on an image needs no display, so the build can make the desktop's icon files with it.
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (!gc) {
            return wxImage(); // no graphics renderer: no icon rather than a blank one
        }
        gc->Scale(size / 32.0, size / 32.0);
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(wxBrush(wxColour(0, 128, 128)));
        gc->DrawRectangle(0, 0, 32, 32);
        gc->SetPen(wxPen(wxColour(255, 255, 0), 3));
        gc->SetBrush(wxBrush(wxColour(255, 255, 0)));
        gc->DrawEllipse(3, 12, 8, 8);
        gc->StrokeLine(7, 16, 24, 8);
        gc->SetPen(wxPen(wxColour(0, 0, 255), 1));
        gc->SetBrush(wxBrush(wxColour(0, 0, 255)));
        gc->DrawEllipse(23, 5, 6, 6);
        gc->DrawEllipse(23, 21, 6, 6);
    } // the context writes its drawing into the image when it goes
    return image;
}

wxIcon LoadProgramIcon() {
    wxIcon icon;
    if (const wxImage image = DrawProgramIcon(32); image.IsOk()) {
        icon.CopyFromBitmap(wxBitmap(image));
    }
    return icon;
}
