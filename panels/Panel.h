// A panel: a long-lived named object that owns a window while it is shown in the main window.
#pragma once

#include "panels/PanelWindow.h"
#include "panels/SFPObject.h"

class CPanel : public CSFPObject {
public:
    explicit CPanel(std::string name) : CSFPObject(std::move(name)) {}

    // Creates and shows the panel's window and makes this panel the application's active panel.
    virtual void OpenDlg() {}
    // Destroys the panel's window, if it has one.
    virtual void CloseDlg();
    // Called for every panel by the main window's timer handling; nothing to do in this system.
    virtual void PeriodicUpdate() {}

    CPanelWindow* m_pDlg = nullptr; // the window while the panel is shown; not owned
};
