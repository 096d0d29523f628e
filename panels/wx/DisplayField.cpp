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
    : m_crBack(back), m_crText(text), m_crEdge1(edge1), m_crEdge2(edge2), m_pFont(font) {}

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
    // The context's pen and brush are the caller's again when the drawing ends; the font stays.
    const wxDCPenChanger pen(dc, dc.GetPen());
    dc.SetFont(StockSystemFont());
    DrawTwoColourEdge(dc, client, m_crEdge1, m_crEdge2);

    wxRect box = client;
    box.Deflate(1);
    dc.SetPen(*wxTRANSPARENT_PEN);
    const wxDCBrushChanger brush(dc, wxBrush(ToWxColour(m_crBack)));
    dc.DrawRectangle(box);

    const wxSize extent = dc.GetTextExtent(wxString::FromUTF8(m_strText));
    const wxPoint at = CentredTextPlace(box, extent);
    dc.SetBackgroundMode(wxTRANSPARENT);
    dc.SetTextBackground(ToWxColour(m_crBack));
    dc.SetTextForeground(ToWxColour(m_crText));
    if (!m_strText.empty()) {
        wxDCClipper clip(dc, box);
        dc.DrawText(wxString::FromUTF8(m_strText), at);
    }
}

void CDisplayField::PaintText(wxDC& dc, const wxRect& client) const {
    // The context's pen and brush are the caller's again when the drawing ends; the font stays.
    wxRect box = client;
    if (m_crEdge1 != m_crEdge2) {
        box.Deflate(1);
    }
    const wxDCPenChanger pen(dc, *wxTRANSPARENT_PEN);
    const wxDCBrushChanger brush(dc, wxBrush(ToWxColour(m_crBack)));
    dc.DrawRectangle(box);
    dc.SetTextBackground(ToWxColour(m_crBack));
    dc.SetTextForeground(ToWxColour(m_crText));
    dc.SetBackgroundMode(wxTRANSPARENT);
    // The place comes from the context's current font; the text is drawn in the field's own font.
    const wxSize extent = dc.GetTextExtent(wxString::FromUTF8(m_strText));
    const wxPoint at = CentredTextPlace(box, extent);
    dc.SetFont(m_pFont != nullptr ? *m_pFont : StockSystemFont());
    if (!m_strText.empty()) {
        wxDCClipper clip(dc, box);
        dc.DrawText(wxString::FromUTF8(m_strText), at);
    }
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
