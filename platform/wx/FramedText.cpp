#include "platform/wx/FramedText.h"

#include "platform/wx/Drawing.h"

void CFramedText::DrawInside(wxDC& dc, const wxRect& box, const wxFont* drawIn) const {
    {
        const wxDCPenChanger pen(dc, *wxTRANSPARENT_PEN);
        const wxDCBrushChanger brush(dc, wxBrush(ToWxColour(m_crBack)));
        dc.DrawRectangle(box);
    }
    const wxString text = wxString::FromUTF8(m_strText);
    const wxPoint at = CentredTextPlace(box, dc.GetTextExtent(text));
    dc.SetBackgroundMode(wxTRANSPARENT);
    dc.SetTextBackground(ToWxColour(m_crBack));
    dc.SetTextForeground(ToWxColour(m_crText));
    if (drawIn != nullptr) {
        dc.SetFont(*drawIn);
    }
    if (!m_strText.empty()) {
        wxDCClipper clip(dc, box);
        dc.DrawText(text, at);
    }
}

wxFont CFramedText::Font() const {
    return m_pFont != nullptr ? *m_pFont : StockSystemFont();
}
