// The desktop facade over wxWidgets: message boxes with the application's caption, the beep, the
// choice dialog, the progress window, the counted busy cursor and the system colours.
//
// In an unattended run (--screenshot) every message box is confirmed at once and echoed to standard
// error as "RQK4712V SFP: <text>", every choice takes its preselected entry, echoed as
// "<caption>: <item> | <item> ... -> <chosen>", and progress texts are echoed as they are, one a line,
// with no window.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/Facade.h"

class wxProgressDialog;
class wxWindow;

class CWxFacade : public CFacade {
public:
    void MessageBox(const std::string& text) override;
    void Beep() override;
    bool ChooseFromList(const std::string& caption, const std::vector<std::string>& items,
                        std::string& chosen) override;
    bool ShowProgress(const std::string& text, int done, int total) override;
    void EndProgress() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    COLORREF SystemColour(SysColour which) override;
    void DestroyMainWindow() override;

    CWxFacade();
    ~CWxFacade() override;
    CWxFacade(const CWxFacade&) = delete;
    CWxFacade& operator=(const CWxFacade&) = delete;

    // The progress window while one is shown, else null.
    wxProgressDialog* ProgressWindow() const { return m_progress.get(); }

    void SetUnattended(bool unattended) { m_unattended = unattended; }
    bool IsUnattended() const { return m_unattended; }

    // The modal list dialog: given the parent, caption and texts, returns the chosen index or -1. The
    // Select Instrument dialog installs itself here.
    using ListDialog = std::function<int(wxWindow*, const std::string&, const std::vector<std::string>&)>;
    void SetListDialog(ListDialog dialog) { m_listDialog = std::move(dialog); }

private:
    bool m_unattended = false;
    ListDialog m_listDialog;
    std::unique_ptr<wxProgressDialog> m_progress;
    std::optional<CModalScope> m_progressModal; // the progress window keeps the others disabled
};
