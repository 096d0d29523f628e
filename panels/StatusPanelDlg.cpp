#include "panels/StatusPanelDlg.h"

#include <wx/dcclient.h>

#include "panels/StatObj.h"
#include "platform/Colour.h"
#include "platform/TemplateBuilder.h"
#include "resources/ResourceIds.h"

namespace {
wxColour ToWx(COLORREF colour) {
    return wxColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}
} // namespace

CStatusPanelDlg::CStatusPanelDlg(wxWindow* parent, CStatObj* panel)
    : wxPanel(parent, wxID_ANY, wxPoint(0, 0), wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_pPanel(panel) {
    SetBackgroundColour(ToWx(PanelColor(4)));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CStatusPanelDlg::OnPaint, this);
    BuildFromTemplate(this, IDD_STATUS_PANEL);
    FitTopLevelToChild(this);
}

CStatusPanelDlg::~CStatusPanelDlg() {
    if (m_pPanel != nullptr && m_pPanel->m_pDlg == static_cast<CPanelWindow*>(this)) {
        m_pPanel->m_pDlg = nullptr;
    }
}

void CStatusPanelDlg::DestroyPanelWindow() {
    Destroy();
}

void CStatusPanelDlg::RedrawNow() {
    Refresh(true);
    Update();
}

void CStatusPanelDlg::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxColour ground = ToWx(PanelColor(4));
    dc.SetBrush(wxBrush(ground));
    dc.SetPen(wxPen(ground));
    const wxSize size = GetClientSize();
    dc.DrawRectangle(0, 0, size.x, size.y);
}
