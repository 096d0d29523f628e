// What the main and the status panel windows share: a child window of the main window on the panels'
// dark grey ground, standing for its panel object while it lives.
//   - Ground: the whole client area is filled with dark grey before the items draw over it.
//   - RedrawNow: the whole client area with its controls is invalidated and repainted at once (each
//     control then draws itself entirely again); DestroyPanelWindow destroys the window.
//   - Enter and Escape act as in a dialog: Escape is the Cancel command; Enter is the OK command, except
//     on a push button, which it presses. The OK and Cancel commands (wxID_OK, wxID_CANCEL) run OnOK and
//     OnCancel, which do nothing unless the panel says otherwise. Other keys pass on.
//   - FocusFirstTabStop gives the keyboard focus to the first control, in tab order, that takes it from
//     the keyboard; a panel does so once it is built, so that keys reach it as soon as it is shown.
//   - When the window object goes, its panel object forgets it (m_pDlg), unless it shows another window
//     by then.
// View is the interface the panel object knows its window by (CPanelWindow or CMainPanelView).
#pragma once

#include <wx/panel.h>

#include "panels/PanelWindow.h"

class CPanel;
class wxKeyEvent;

template <class View>
class CPanelDlg : public wxPanel, public View {
public:
    void DestroyPanelWindow() override;
    void RedrawNow() override;

protected:
    // Creates the window at once, at the top left of the parent; nothing is built on it yet.
    CPanelDlg(wxWindow* parent, CPanel* panel);
    ~CPanelDlg() override;

    // The OK and Cancel commands (Enter and Escape).
    virtual void OnOK() {}
    virtual void OnCancel() {}

    void FocusFirstTabStop();

private:
    void OnPaint(wxPaintEvent& event);
    void OnCharHook(wxKeyEvent& event);

    CPanel* m_pOwner; // the panel object that opened this window; not owned
};

extern template class CPanelDlg<CPanelWindow>;
extern template class CPanelDlg<CMainPanelView>;
