#include "panels/wx/PanelDlg.h"

#include <wx/button.h>
#include <wx/dcclient.h>

#include "panels/Panel.h"
#include "platform/wx/Drawing.h"

template <class View>
CPanelDlg<View>::CPanelDlg(wxWindow* parent, CPanel* panel)
    : wxPanel(parent, wxID_ANY, wxPoint(0, 0), wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_pOwner(panel) {
    SetBackgroundColour(ToWxColour(PanelColor(kPanelDarkGrey)));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CPanelDlg::OnPaint, this);
    Bind(wxEVT_CHAR_HOOK, &CPanelDlg::OnCharHook, this);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, wxID_CANCEL);
}

template <class View>
CPanelDlg<View>::~CPanelDlg() {
    if (m_pOwner != nullptr && m_pOwner->m_pDlg == static_cast<CPanelWindow*>(this)) {
        m_pOwner->m_pDlg = nullptr;
    }
}

template <class View>
void CPanelDlg<View>::DestroyPanelWindow() {
    Destroy();
}

template <class View>
void CPanelDlg<View>::RedrawNow() {
    Refresh(true);
    Update();
}

template <class View>
void CPanelDlg<View>::FocusFirstTabStop() {
    for (wxWindow* child : GetChildren()) {
        if (child->CanAcceptFocusFromKeyboard()) {
            child->SetFocus();
            return;
        }
    }
}

template <class View>
void CPanelDlg<View>::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxColour ground = ToWxColour(PanelColor(kPanelDarkGrey));
    dc.SetBrush(wxBrush(ground));
    dc.SetPen(wxPen(ground));
    const wxSize size = GetClientSize();
    dc.DrawRectangle(0, 0, size.x, size.y);
}

template <class View>
void CPanelDlg<View>::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        OnCancel();
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        if (dynamic_cast<wxButton*>(FindFocus()) == nullptr) {
            OnOK();
            return;
        }
    }
    event.Skip();
}

template class CPanelDlg<CPanelWindow>;
template class CPanelDlg<CMainPanelView>;
