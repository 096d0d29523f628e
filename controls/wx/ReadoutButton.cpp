#include "controls/wx/ReadoutButton.h"

#include "platform/wx/Drawing.h"

CReadoutButton::CReadoutButton(COLORREF back, COLORREF text, COLORREF edge1, COLORREF edge2,
                               const wxFont* font)
    : CFramedText(back, text, edge1, edge2, font) {}

void CReadoutButton::SetText(const char* text) {
    m_strText = text != nullptr ? text : "";
    if (GetHandle() == nullptr) {
        return;
    }
    PaintAtOnce([this](wxDC& dc, const wxRect& rect) { DrawText(dc, rect); });
}

void CReadoutButton::DrawItem(wxDC& dc, const wxRect& rect, int, int) {
    // The context's pen and font are the caller's again when the drawing ends.
    const wxDCPenChanger pen(dc, dc.GetPen());
    const wxDCFontChanger font(dc, Font());
    wxRect box = rect;
    box.Deflate(1);
    DrawTwoColourEdge(dc, box, m_crEdge1, m_crEdge2);
    box.Deflate(1);
    DrawInside(dc, box);
}

void CReadoutButton::DrawText(wxDC& dc, const wxRect& rect) const {
    // The context's font is the caller's again when the drawing ends.
    wxRect box = rect;
    box.Deflate(2);
    const wxDCFontChanger font(dc, StockSystemFont());
    DrawInside(dc, box);
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
