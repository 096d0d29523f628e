#include "platform/MessageCapture.h"

CMessageCapture::CMessageCapture() : m_next(&Facade()) {
    SetFacade(this);
}

CMessageCapture::~CMessageCapture() {
    SetFacade(m_next);
}

void CMessageCapture::MessageBox(const std::string& text) {
    m_texts.push_back(text);
    m_next->MessageBox(text);
}

void CMessageCapture::Beep() {
    m_next->Beep();
}

bool CMessageCapture::ChooseFromList(const std::string& caption, const std::vector<std::string>& items,
                                     std::string& chosen) {
    return m_next->ChooseFromList(caption, items, chosen);
}

bool CMessageCapture::ShowProgress(const std::string& text, int done, int total) {
    return m_next->ShowProgress(text, done, total);
}

void CMessageCapture::EndProgress() {
    m_next->EndProgress();
}

void CMessageCapture::BeginWaitCursor() {
    m_next->BeginWaitCursor();
}

void CMessageCapture::EndWaitCursor() {
    m_next->EndWaitCursor();
}

COLORREF CMessageCapture::SystemColour(SysColour which) {
    return m_next->SystemColour(which);
}

void CMessageCapture::DestroyMainWindow() {
    m_next->DestroyMainWindow();
}
