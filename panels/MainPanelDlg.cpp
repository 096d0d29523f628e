#include "panels/MainPanelDlg.h"

#include <wx/dcclient.h>

#include "panels/Pan1Obj.h"
#include "platform/TemplateBuilder.h"
#include "resources/ResourceIds.h"

namespace {
wxColour ToWx(COLORREF colour) {
    return wxColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}
} // namespace

CMainPanelDlg::CMainPanelDlg(wxWindow* parent, CPan1Obj* panel)
    : wxPanel(parent, wxID_ANY, wxPoint(0, 0), wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_pPanel(panel), m_crHeader(PanelColor(8)) {
    for (int g = 0; g < 6; ++g) {
        m_nShownPos[g] = panel->m_nGroupPos[g];
        m_nShownType[g] = panel->m_nGroupType[g];
    }
    SetBackgroundColour(ToWx(PanelColor(4)));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CMainPanelDlg::OnPaint, this);
    BuildFromTemplate(this, IDD_MAIN_PANEL);
    FitTopLevelToChild(this);
}

CMainPanelDlg::~CMainPanelDlg() {
    if (m_pPanel != nullptr && m_pPanel->m_pDlg == static_cast<CPanelWindow*>(this)) {
        m_pPanel->m_pDlg = nullptr;
    }
}

void CMainPanelDlg::DestroyPanelWindow() {
    Destroy();
}

void CMainPanelDlg::RedrawNow() {
    Refresh(true);
    Update();
}

void CMainPanelDlg::ShowGroupPositions(const int positions[6]) {
    for (int g = 0; g < 6; ++g) {
        m_nShownPos[g] = positions[g];
    }
}

void CMainPanelDlg::ShowGroupTypes(const int types[6]) {
    for (int g = 0; g < 6; ++g) {
        m_nShownType[g] = types[g];
    }
}

void CMainPanelDlg::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxColour ground = ToWx(PanelColor(4));
    dc.SetBrush(wxBrush(ground));
    dc.SetPen(wxPen(ground));
    const wxSize size = GetClientSize();
    dc.DrawRectangle(0, 0, size.x, size.y);
}
