// The application object: the wx application and the application's state (CSfpAppData). Start-up sets
// the dialog colours, loads the profile settings (nothing of the program's own is kept in them), takes
// the command line, creates the main window and runs the start-up panel set-up.
//
// --screenshot=FILE runs start-up unattended (every message box confirmed and echoed to standard
// error, every choice taking its preselected entry), waits until the main window has been painted and
// the program is idle, saves it with its menu bar as a PNG and exits 0. The token is taken out before the
// command line is read, so its path never looks like a switch.
//
// Before the panels are set up, the program joins the session bus (app/wx/SessionBus.h) in the
// background; requests from the bus may start once the main panel is shown.
#pragma once

#include <memory>
#include <string>
#include <vector>
#include <wx/app.h>

#include "app/SfpAppData.h"
#include "app/wx/SessionBus.h"
#include "platform/wx/WindowCapture.h"
#include "platform/wx/WxFacade.h"

class CSfpApp : public wxApp, public CSfpAppData {
public:
    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

private:
    void OnScreenshotTaken(bool saved);

    CWxFacade m_facade;
    CSessionBus m_sessionBus;
    std::string m_screenshotFile;
    std::unique_ptr<CPaintedWindowSaver> m_screenshotSaver;
    bool m_screenshotSaved = false;
};

wxDECLARE_APP(CSfpApp);
