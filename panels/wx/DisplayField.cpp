#include "panels/wx/DisplayField.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "platform/wx/Drawing.h"

CDisplayField* NewPanelField(COLORREF fill, FieldEdge edge) {
    const COLORREF shadow = PanelColor(kPanelShadow);
    const COLORREF highlight = PanelColor(kPanelHighlight);
    return edge == FieldEdge::Raised
               ? new CDisplayField(fill, PanelColor(kPanelBlack), highlight, shadow, nullptr)
               : new CDisplayField(fill, PanelColor(kPanelBlack), shadow, highlight, nullptr);
}

CDisplayField::CDisplayField(COLORREF back, COLORREF text, COLORREF edge1, COLORREF edge2, const wxFont* font)
    : CFramedText(back, text, edge1, edge2, font) {}

bool CDisplayField::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE)) {
        return false;
    }
    Bind(wxEVT_PAINT, &CDisplayField::OnPaint, this);
    return true;
}

void CDisplayField::SetText(const std::string& text) {
    m_strText = text;
    if (GetHandle() == nullptr) {
        return;
    }
    m_textPending = true;
    Refresh(false);
    Update();
}

void CDisplayField::PaintField(wxDC& dc, const wxRect& client) const {
    // The context's pen is the caller's again when the drawing ends; the font stays.
    const wxDCPenChanger pen(dc, dc.GetPen());
    dc.SetFont(StockSystemFont());
    DrawTwoColourEdge(dc, client, m_crEdge1, m_crEdge2);
    wxRect box = client;
    box.Deflate(1);
    DrawInside(dc, box);
}

void CDisplayField::PaintText(wxDC& dc, const wxRect& client) const {
    // Placed by the context's current font, drawn in the field's own font, which stays selected.
    wxRect box = client;
    if (m_crEdge1 != m_crEdge2) {
        box.Deflate(1);
    }
    const wxFont font = Font();
    DrawInside(dc, box, &font);
}

void CDisplayField::OnPaint(wxPaintEvent&) {
    wxPaintDC screen(this);
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) {
        return;
    }
    bool whole = !m_textPending;
    if (!m_picture.IsOk() || m_picture.GetSize() != size) {
        m_picture.Create(size, 24);
        whole = true;
    }
    {
        wxMemoryDC dc(m_picture);
        PrepareFreshContext(dc, StockSystemFont());
        if (whole) {
            PaintField(dc, wxRect(size));
        } else {
            PaintText(dc, wxRect(size));
        }
    }
    m_textPending = false;
    screen.DrawBitmap(m_picture, 0, 0);
}
