#include "tests/support/RecordingFacade.h"

CRecordingFacade::CRecordingFacade() : m_previous(SetFacade(this)) {}

CRecordingFacade::~CRecordingFacade() {
    SetFacade(m_previous);
}

void CRecordingFacade::MessageBox(const std::string& text) {
    m_log.push_back("message: " + text);
    m_messages.push_back(text);
}

void CRecordingFacade::Beep() {
    m_log.push_back("beep");
    ++m_beeps;
}

bool CRecordingFacade::ChooseFromList(const std::string& caption, const std::vector<std::string>& items,
                                      std::string& chosen) {
    int index = 0;
    if (!m_choices.empty()) {
        index = m_choices.front();
        m_choices.pop_front();
    }
    std::string line = "choose: " + caption + ":";
    for (size_t i = 0; i < items.size(); ++i) {
        line += (i == 0 ? " " : " | ") + items[i];
    }
    const bool ok = index >= 0 && static_cast<size_t>(index) < items.size();
    line += " -> " + (ok ? items[static_cast<size_t>(index)] : std::string("cancel"));
    m_log.push_back(line);
    if (ok) {
        chosen = items[static_cast<size_t>(index)];
    }
    return ok;
}

bool CRecordingFacade::ShowProgress(const std::string& text, int done, int total) {
    ++m_progressReports;
    const bool cancelled = m_cancelAt != 0 && m_progressReports >= m_cancelAt;
    m_log.push_back("progress: " + text + " (" + std::to_string(done) + "/" + std::to_string(total) + ")" +
                    (cancelled ? " -> cancel" : ""));
    return !cancelled;
}

void CRecordingFacade::EndProgress() {
    m_log.push_back("end progress");
}

void CRecordingFacade::BeginWaitCursor() {
    ++m_waitDepth;
    ++m_waitBegins;
}

void CRecordingFacade::EndWaitCursor() {
    --m_waitDepth;
}

COLORREF CRecordingFacade::SystemColour(SysColour which) {
    return ClassicSystemColour(which);
}

void CRecordingFacade::DestroyMainWindow() {
    m_log.push_back("destroy main window");
    m_mainWindowDestroyed = true;
}
