// What the panel objects know of the windows that show them. The window layer implements these and
// registers the factories that the panels' OpenDlg use, so that the panel objects stay window-free.
#pragma once

#include <functional>

#include "switching/GroupModel.h"

class CPan1Obj;
class CStatObj;

class CPanelWindow {
public:
    virtual ~CPanelWindow() = default;
    // Destroys the window; the window object deletes itself once its window is gone.
    virtual void DestroyPanelWindow() = 0;
    // Invalidates the whole client area with erasing and repaints it at once.
    virtual void RedrawNow() = 0;
};

class CMainPanelView : public CPanelWindow {
public:
    // Gives the six group controls their positions, and tells them which groups are unknown (no
    // repaint: the caller repaints).
    virtual void ShowGroupPositions(const GroupValues& positions, const GroupFlags& unknown) = 0;
    // Gives the six group controls their types (no repaint, no Reset).
    virtual void TakeGroupTypes(const GroupValues& types) = 0;
    // Gives the six group controls their types, then runs the main window's Reset command.
    virtual void ShowGroupTypes(const GroupValues& types) = 0;
};

using MainPanelFactory = std::function<CMainPanelView*(CPan1Obj*)>;
using StatusPanelFactory = std::function<CPanelWindow*(CStatObj*)>;

// Installed by the window layer (and by tests); an empty factory makes OpenDlg create no window.
void SetPanelWindowFactories(MainPanelFactory mainPanel, StatusPanelFactory statusPanel);
const MainPanelFactory& GetMainPanelFactory();
const StatusPanelFactory& GetStatusPanelFactory();
