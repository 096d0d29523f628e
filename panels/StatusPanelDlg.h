// The status panel's window: a child window of the main window built from template 106 on a dark grey
// ground. It fits the main window to itself when it is built, and deletes itself when its window is
// destroyed.
#pragma once

#include <wx/panel.h>

#include "panels/PanelWindow.h"

class CStatObj;

class CStatusPanelDlg : public wxPanel, public CPanelWindow {
public:
    // Creates the window at once in the parent (the main window) and builds the panel.
    CStatusPanelDlg(wxWindow* parent, CStatObj* panel);
    ~CStatusPanelDlg() override;

    void DestroyPanelWindow() override;
    void RedrawNow() override;

    CStatObj* m_pPanel; // the status-panel object that opened this window; not owned

private:
    void OnPaint(wxPaintEvent& event);
};
