#include "app/wx/SfpApp.h"

#include <cstdio>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include "app/GroupCommands.h"
#include "app/wx/MainWnd.h"
#include "instrument/Connection.h"
#include "instrument/wx/SelectInstrumentDlg.h"
#include "platform/wx/DialogColours.h"
#include "platform/wx/StartupClock.h"
#include "platform/wx/WindowCapture.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

bool CSfpApp::OnInit() {
    ReportStartupClock("init");
    // The program's own command line is read below; wx's parser is not run, as it would reject the
    // program's switches.
    SetDialogColours(wxColour(192, 192, 192), wxColour(0, 0, 0));
    SetAppName("rqk4712v-sfp");
    SetAppDisplayName(wxString::FromUTF8(LoadString(IDS_APP_NAME)));
    // The per-application profile: loaded, nothing of the program's own kept in it (the help window
    // keeps its place there). It lives in the settings folder the desktop expects,
    // ~/.config/rqk4712v-sfp/, never as a file of its own in the home folder.
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    wxConfigBase::Set(
        new wxFileConfig(wxEmptyString, wxEmptyString, wxEmptyString, wxEmptyString,
                         wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE | wxCONFIG_USE_SUBDIR));
    wxInitAllImageHandlers();

    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i].utf8_str());
    }
    TakeCommandLine(ParseArguments(arguments));
    m_screenshotFile = m_commandLine.screenshotFile;

    m_facade.SetUnattended(!m_screenshotFile.empty());
    if (m_facade.IsUnattended()) {
        // wx's own error reports go to standard error too, never to a dialog that waits for the operator.
        delete wxLog::SetActiveTarget(new wxLogStderr());
    }
    // Choices from a list are made in the Select Instrument dialog.
    m_facade.SetListDialog([](wxWindow* parent, const std::string&, const std::vector<std::string>& items) {
        return ChooseWithSelectInstrumentDialog(parent, items);
    });
    SetFacade(&m_facade);

    auto* mainWindow = new CMainWnd();
    SetTopWindow(mainWindow);
    ReportStartupClock("window");
    // On the bus before the search for the module, which may take a minute: callers are answered Busy
    // until the panel is shown rather than finding no one.
    m_sessionBus.Start(m_facade.IsUnattended());
    SetUpPanels();
    ReportStartupClock("panels");
    if (m_facade.IsUnattended() && !LoadedVisaFile().empty()) {
        std::fprintf(stderr, "loaded VISA from %s\n", LoadedVisaFile().c_str());
    }
    m_sessionBus.SetReady();
    // Changes of the group state are announced on the bus once the events that made them are handled.
    Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        event.Skip();
        m_sessionBus.PublishChanges();
    });

    if (!m_screenshotFile.empty()) {
        m_screenshotSaver =
            std::make_unique<CPaintedWindowSaver>(mainWindow, wxString::FromUTF8(m_screenshotFile),
                                                  [this](bool saved) { OnScreenshotTaken(saved); });
    }
    return true;
}

void CSfpApp::OnScreenshotTaken(bool saved) {
    if (saved) {
        m_screenshotSaved = true;
        std::fprintf(stderr, "saved the main window to %s\n", m_screenshotFile.c_str());
    } else {
        std::fprintf(stderr, "cannot save the main window to %s\n", m_screenshotFile.c_str());
    }
    if (wxWindow* top = GetTopWindow()) {
        top->Destroy();
    }
}

int CSfpApp::OnRun() {
    const int code = wxApp::OnRun();
    if (!m_screenshotFile.empty() && !m_screenshotSaved) {
        // Not saved: the picture could not be written, or the main window went away first (a fatal failure
        // at start-up).
        std::fprintf(stderr, "the main window was not saved\n");
        return 1;
    }
    return code;
}

int CSfpApp::OnExit() {
    m_sessionBus.Stop();
    m_screenshotSaver.reset();
    SetFacade(nullptr);
    delete wxConfigBase::Set(nullptr);
    return wxApp::OnExit();
}
