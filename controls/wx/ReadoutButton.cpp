#include "controls/wx/ReadoutButton.h"

#include "platform/wx/Drawing.h"

CReadoutButton::CReadoutButton(COLORREF back, COLORREF text, COLORREF edge1, COLORREF edge2,
                               const wxFont* font)
    : m_crBack(back), m_crText(text), m_crEdge1(edge1), m_crEdge2(edge2), m_pFont(font) {}

void CReadoutButton::SetText(const char* text) {
    m_strText = text != nullptr ? text : "";
    if (GetHandle() == nullptr) {
        return;
    }
    PaintAtOnce([this](wxDC& dc, const wxRect& rect) { DrawText(dc, rect); });
}

void CReadoutButton::DrawItem(wxDC& dc, const wxRect& rect, int, int) {
    // The context's pen, brush and font are the caller's again when the drawing ends.
    const wxDCPenChanger pen(dc, dc.GetPen());
    const wxDCFontChanger font(dc, m_pFont != nullptr ? *m_pFont : StockSystemFont());

    wxRect box = rect;
    box.Deflate(1);
    DrawTwoColourEdge(dc, box, m_crEdge1, m_crEdge2);

    box.Deflate(1);
    dc.SetPen(*wxTRANSPARENT_PEN);
    const wxDCBrushChanger brush(dc, wxBrush(ToWxColour(m_crBack)));
    dc.DrawRectangle(box);

    const wxString text = wxString::FromUTF8(m_strText);
    const wxPoint at = CentredTextPlace(box, dc.GetTextExtent(text));
    dc.SetBackgroundMode(wxTRANSPARENT);
    dc.SetTextBackground(ToWxColour(m_crBack));
    dc.SetTextForeground(ToWxColour(m_crText));
    if (!m_strText.empty()) {
        wxDCClipper clip(dc, box);
        dc.DrawText(text, at);
    }
}

void CReadoutButton::DrawText(wxDC& dc, const wxRect& rect) const {
    // The context's pen, brush and font are the caller's again when the drawing ends.
    wxRect box = rect;
    box.Deflate(2);
    const wxDCPenChanger pen(dc, *wxTRANSPARENT_PEN);
    const wxDCBrushChanger brush(dc, wxBrush(ToWxColour(m_crBack)));
    dc.DrawRectangle(box);
    dc.SetTextBackground(ToWxColour(m_crBack));
    dc.SetTextForeground(ToWxColour(m_crText));
    dc.SetBackgroundMode(wxTRANSPARENT);
    const wxDCFontChanger font(dc, StockSystemFont());
    const wxString text = wxString::FromUTF8(m_strText);
    const wxPoint at = CentredTextPlace(box, dc.GetTextExtent(text));
    if (!m_strText.empty()) {
        wxDCClipper clip(dc, box);
        dc.DrawText(text, at);
    }
}

void CReadoutButton::OnLButtonDblClk(wxMouseEvent& event) {
    if (GetParent() != nullptr) {
        wxMouseEvent dclick(wxEVT_LEFT_DCLICK);
        dclick.SetPosition(wxPoint(0, 0));
        dclick.SetId(GetParent()->GetId());
        dclick.SetEventObject(GetParent());
        wxPostEvent(GetParent(), dclick);
    }
    DefaultLeftButtonDblClk(event);
}
