#include "platform/wx/Drawing.h"

#include <wx/graphics.h>
#include <wx/settings.h>

#include "platform/wx/TemplateBuilder.h"
#include "resources/ResourceIds.h"

void PrepareFreshContext(wxDC& dc, const wxFont& font) {
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxTRANSPARENT);
    if (font.IsOk()) {
        dc.SetFont(font);
    }
    // Shapes are drawn with crisp pixel edges, as the owner drawings are laid out pixel by pixel.
    if (wxGraphicsContext* gc = dc.GetGraphicsContext()) {
        gc->SetAntialiasMode(wxANTIALIAS_NONE);
    }
}

namespace {
// A drawing context over a graphics context strokes a one-pixel outline on the far edge of the box,
// one pixel beyond it; such an outline is drawn one pixel smaller.
wxRect OutlineBox(wxDC& dc, const wxRect& box) {
    const wxPen& pen = dc.GetPen();
    const bool outlined = pen.IsOk() && pen.GetStyle() != wxPENSTYLE_TRANSPARENT;
    if (dc.GetGraphicsContext() != nullptr && outlined && box.width > 1 && box.height > 1) {
        return wxRect(box.x, box.y, box.width - 1, box.height - 1);
    }
    return box;
}
} // namespace

void DrawEllipseIn(wxDC& dc, const wxRect& box) {
    dc.DrawEllipse(OutlineBox(dc, box));
}

void DrawArcIn(wxDC& dc, const wxRect& box, double startDegrees, double endDegrees) {
    const wxRect b = OutlineBox(dc, box);
    dc.DrawEllipticArc(b.GetTopLeft(), b.GetSize(), startDegrees, endDegrees);
}

wxPoint CentredTextPlace(const wxRect& box, const wxSize& text) {
    const int y = box.height > text.y ? box.y + (box.height - text.y) / 2 : 0;
    const int x = box.width > text.x ? box.x + (box.width - text.x) / 2 : 0;
    return wxPoint(x, y);
}

wxFont StockSystemFont() {
#if defined(__WXMSW__)
    return wxSystemSettings::GetFont(wxSYS_SYSTEM_FONT);
#else
    // Other desktops give their large interface font as the system font, in which "Card: 12" overflows
    // the slot field. The panels' stock font is the bold system font they were laid out for: the
    // templates' 8-point Swiss face in bold, so that the read-outs scale with the fields that hold them.
    // Made once and kept for the whole run (never destroyed, so it outlives the toolkit's shutdown).
    static const wxFont* font = [] {
        auto* f = new wxFont(TemplateFont(*FindDialogTemplate(IDD_MAIN_PANEL)));
        f->MakeBold();
        return f;
    }();
    return *font;
#endif
}

void DrawTwoColourEdge(wxDC& dc, const wxRect& box, COLORREF first, COLORREF second) {
    const int left = box.x;
    const int top = box.y;
    const int right = box.x + box.width;
    const int bottom = box.y + box.height;
    dc.SetPen(wxPen(ToWxColour(first), 2, wxPENSTYLE_SOLID));
    dc.DrawLine(left, bottom, left, top);
    dc.DrawLine(left, top, right, top);
    dc.SetPen(wxPen(ToWxColour(second), 2, wxPENSTYLE_SOLID));
    dc.DrawLine(right, top, right, bottom);
    dc.DrawLine(right, bottom, left, bottom);
}
