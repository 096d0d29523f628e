// The main panel's window: a child window of the main window built from template 103 on a dark grey
// ground. It fits the main window to itself when it is built, and deletes itself when its window is
// destroyed. The panel object forwards new group positions and types to it while it is shown.
#pragma once

#include <wx/panel.h>

#include "panels/PanelWindow.h"
#include "platform/Colour.h"

class CPan1Obj;

class CMainPanelDlg : public wxPanel, public CMainPanelView {
public:
    // Creates the window at once in the parent (the main window) and builds the panel.
    CMainPanelDlg(wxWindow* parent, CPan1Obj* panel);
    ~CMainPanelDlg() override;

    void DestroyPanelWindow() override;
    void RedrawNow() override;
    void ShowGroupPositions(const int positions[6]) override;
    void ShowGroupTypes(const int types[6]) override;

    CPan1Obj* m_pPanel;  // the main-panel object that opened this window; not owned
    COLORREF m_crHeader; // fill colour of the title band
    int m_nShownPos[6];  // the positions last given to the panel
    int m_nShownType[6]; // the types last given to the panel

private:
    void OnPaint(wxPaintEvent& event);
};
