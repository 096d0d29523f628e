// The program's one top-level window: the menu bar, one panel at a time in the client area, and the
// menu commands. It stands centred on the desktop at 402 x 404 pixels with a caption, system menu and
// minimize button, and no sizing border or maximize button; the panel shown fits it to itself. F5 runs
// Refresh.
// Destroying it releases the application's panel objects and instrument and ends the program.
#pragma once

#include <memory>
#include <wx/frame.h>
#include <wx/timer.h>

class wxHtmlHelpController;
class wxMenuBar;

class CMainWnd : public wxFrame {
public:
    static constexpr int kWidth = 402;
    static constexpr int kHeight = 404;
    static constexpr long kStyle = wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX;

    // Creates the window, shown at once, and registers the panel windows that the panel objects open in
    // it.
    CMainWnd();
    ~CMainWnd() override;

    // The window's place on a desktop of the given size: centred, (width - 402) / 2 and
    // (height - 404) / 2 truncated toward zero, so it may be negative on a small desktop.
    static wxRect WindowRect(const wxSize& desktop);
    // The menu bar of menu 102.
    static wxMenuBar* CreateMainMenuBar();

    // The menu commands.
    void OnReset();
    void OnSelfTest();
    void OnRefresh();
    void OnConfig();
    void OnExit();
    void OnMainPanel();
    void OnStatusPanel();
    void OnHelpContents();
    void OnAbout();

    // Opens the help book at its contents; false (after a message) when it cannot be read.
    bool OpenHelp(const wxString& bookFile);
    // The help book: <program folder>/help/rqk4712v.hhp in a build, help/rqk4712v.hhp in the data folder
    // of an installation.
    static wxString HelpBookFile();

    // Timer handling: every panel's PeriodicUpdate, in list order, unless a timer is being handled
    // already, in which case the timer is dropped.
    void OnTimer(wxTimerEvent& event);

    int m_bInTimer = 0; // set while a timer is being handled

private:
    void OnMenuCommand(wxCommandEvent& event);
    void OnWindowMessage(wxCommandEvent& event);

    std::unique_ptr<wxHtmlHelpController> m_help;
};
