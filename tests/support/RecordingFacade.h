// A facade for tests and unattended runs: it records every request as one line of text and answers
// choices from a script (or with the preselected first entry when the script is empty).
//   message box:  "message: <text>"
//   beep:         "beep"
//   choice:       "choose: <caption>: <item> | <item> ... -> <chosen>"  (or "-> cancel")
//   progress:     "progress: <text> (<done>/<total>)" (then "-> cancel" when scripted so), "end progress"
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Facade.h"

class CRecordingFacade : public CFacade {
public:
    // Installs itself as the facade for its lifetime.
    CRecordingFacade();
    ~CRecordingFacade() override;

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

    // Answers of the next choices, in order: an index into the offered texts, or -1 for Cancel.
    void ScriptChoice(int index) { m_choices.push_back(index); }
    // The operator presses Cancel in the progress window before its n-th report from now (1: the next).
    void CancelProgressAt(int nth) { m_cancelAt = m_progressReports + nth; }

    std::vector<std::string> m_log;      // every request, in order
    std::vector<std::string> m_messages; // message box texts only
    int m_beeps = 0;
    int m_waitDepth = 0;  // begins minus ends so far
    int m_waitBegins = 0; // begins so far
    bool m_mainWindowDestroyed = false;

private:
    std::deque<int> m_choices;
    int m_progressReports = 0;
    int m_cancelAt = 0; // 0: never
    CFacade* m_previous;
};
