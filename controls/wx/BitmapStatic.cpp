#include "controls/wx/BitmapStatic.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "resources/wx/Bitmaps.h"

CBitmapStatic::CBitmapStatic(int bitmapId) : m_nBitmapId(bitmapId) {}

bool CBitmapStatic::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE)) {
        return false;
    }
    Bind(wxEVT_PAINT, &CBitmapStatic::OnPaint, this);
    return true;
}

void CBitmapStatic::PaintBitmap(wxDC& dc) const {
    wxBitmap bitmap = LoadBitmapResource(m_nBitmapId);
    if (!bitmap.IsOk()) {
        return;
    }
    wxMemoryDC source;
    source.SelectObjectAsSource(bitmap);
    // The control's own top-left corner in its client coordinates.
    const wxPoint origin = -GetClientAreaOrigin();
    dc.Blit(origin, bitmap.GetSize(), &source, wxPoint(0, 0), wxCOPY);
}

void CBitmapStatic::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    PaintBitmap(dc);
}
