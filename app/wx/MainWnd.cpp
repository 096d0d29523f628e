#include "app/wx/MainWnd.h"

#include "platform/wx/ModalDialog.h"

#include <wx/accel.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/menu.h>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "app/wx/AboutDlg.h"
#include "panels/Panel.h"
#include "panels/PanelLookup.h"
#include "panels/wx/MainPanelDlg.h"
#include "panels/wx/StatusPanelDlg.h"
#include "platform/CommandIds.h"
#include "platform/DynamicLibrary.h"
#include "platform/Facade.h"
#include "platform/ProgramFiles.h"
#include "platform/wx/WindowEvents.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "resources/wx/Bitmaps.h"
#include "switching/wx/ConfigDlg.h"

namespace {

// The help book, relative to the folder that holds it.
const std::string kHelpBook = "help/rqk4712v.hhp";

wxSize DesktopSize() {
    return wxGetDisplaySize();
}

} // namespace

wxRect CMainWnd::WindowRect(const wxSize& desktop) {
    return wxRect((desktop.x - kWidth) / 2, (desktop.y - kHeight) / 2, kWidth, kHeight);
}

wxMenuBar* CMainWnd::CreateMainMenuBar() {
    auto* bar = new wxMenuBar();
    wxMenu* menu = nullptr;
    wxString title;
    for (const MenuEntry& entry : MainMenu()) {
        if (entry.topLevel) {
            if (menu != nullptr) {
                bar->Append(menu, title);
            }
            menu = new wxMenu();
            title = wxString::FromUTF8(entry.text);
        } else if (entry.separator) {
            menu->AppendSeparator();
        } else {
            menu->Append(WxId(entry.command), wxString::FromUTF8(entry.text));
        }
    }
    if (menu != nullptr) {
        bar->Append(menu, title);
    }
    return bar;
}

CMainWnd::CMainWnd()
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(LoadString(IDS_WINDOW_TITLE)),
              WindowRect(DesktopSize()).GetPosition(), wxSize(kWidth, kHeight), kStyle) {
    SetIcon(LoadProgramIcon());
    SetMenuBar(CreateMainMenuBar());
    Bind(wxEVT_MENU, &CMainWnd::OnMenuCommand, this);
    Bind(EVT_SFP_WINDOW_MESSAGE, &CMainWnd::OnWindowMessage, this);
    Bind(wxEVT_TIMER, &CMainWnd::OnTimer, this);
    // F5 runs Refresh, through the accelerator of its menu item. No other key is bound, so that no single
    // key can reset or reconfigure the module by accident.
    // The panel keeps the size of its template: the frame does not stretch its one child to the client
    // area, the panel fits the frame to itself instead.
    Bind(wxEVT_SIZE, [](wxSizeEvent&) {});
    SetPanelWindowFactories([this](CPan1Obj* panel) { return new CMainPanelDlg(this, panel); },
                            [this](CStatObj* panel) { return new CStatusPanelDlg(this, panel); });
    m_bInTimer = 0;
    Show();
}

CMainWnd::~CMainWnd() {
    SetPanelWindowFactories(nullptr, nullptr);
    m_help.reset();
    // The panel windows go first, while the panel objects they show still exist; then the application
    // releases the panel objects and the instrument.
    for (;;) {
        wxWindow* panelWindow = nullptr;
        for (wxWindow* child : GetChildren()) {
            if (!child->IsTopLevel() && child != GetMenuBar()) {
                panelWindow = child;
                break;
            }
        }
        if (panelWindow == nullptr) {
            break;
        }
        delete panelWindow;
    }
    if (CSfpAppData* app = TheApp()) {
        app->ReleaseResources();
    }
}

void CMainWnd::OnMenuCommand(wxCommandEvent& event) {
    switch (SystemNumber(event.GetId())) {
    case ID_RESET:
        OnReset();
        break;
    case ID_SELF_TEST:
        OnSelfTest();
        break;
    case ID_REFRESH:
        OnRefresh();
        break;
    case ID_CONFIG:
        OnConfig();
        break;
    case ID_EXIT:
        OnExit();
        break;
    case ID_MAIN_PANEL:
        OnMainPanel();
        break;
    case ID_STATUS_PANEL:
        OnStatusPanel();
        break;
    case ID_HELP_CONTENTS:
    case ID_HELP_INDEX:
        OnHelpContents();
        break;
    case ID_ABOUT:
        OnAbout();
        break;
    default:
        event.Skip();
        break;
    }
}

void CMainWnd::OnWindowMessage(wxCommandEvent& event) {
    if (event.GetInt() == WM_USER_RESET) {
        OnReset();
    } else {
        event.Skip();
    }
}

void CMainWnd::OnReset() {
    ::OnReset();
}

void CMainWnd::OnSelfTest() {
    ::OnSelfTest();
}

void CMainWnd::OnRefresh() {
    ::OnRefresh();
}

void CMainWnd::OnConfig() {
    ::OnConfig();
}

void CMainWnd::OnExit() {
    Destroy();
}

void CMainWnd::OnMainPanel() {
    ShowPanel(IDS_MAIN_PANEL);
}

void CMainWnd::OnStatusPanel() {
    ShowPanel(IDS_STATUS_PANEL);
}

wxString CMainWnd::HelpBookFile() {
    // Beside the program in a build, in the data folder once installed; the build's place is named when
    // the book is in neither.
    const std::string installed = FindProgramData(kHelpBook);
    return wxString::FromUTF8(installed.empty() ? ProgramFolder() + kHelpBook : installed);
}

void CMainWnd::OnHelpContents() {
    OpenHelp(HelpBookFile());
}

bool CMainWnd::OpenHelp(const wxString& bookFile) {
    if (!m_help) {
        if (!wxFileName::FileExists(bookFile)) {
            Facade().MessageBox("Cannot open the help file " + std::string(bookFile.utf8_str()) + ".");
            return false;
        }
        auto help = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE | wxHF_MERGE_BOOKS, this);
        if (!help->AddBook(wxFileName(bookFile), false)) {
            Facade().MessageBox("Cannot open the help file " + std::string(bookFile.utf8_str()) + ".");
            return false;
        }
        m_help = std::move(help);
    }
    return m_help->DisplayContents();
}

void CMainWnd::OnAbout() {
    CAboutDlg about(this);
    RunModal(about);
}

void CMainWnd::OnTimer(wxTimerEvent& event) {
    if (m_bInTimer != 0) {
        return;
    }
    m_bInTimer = 1;
    CSfpAppData* app = TheApp();
    for (size_t i = 0; app != nullptr && i < app->m_panels.size(); ++i) {
        if (CPanel* panel = ToPanel(app->m_panels[i].get())) {
            panel->PeriodicUpdate();
        }
    }
    event.Skip();
    m_bInTimer = 0;
}
