#include "platform/MessageCapture.h"

CMessageCapture::CMessageCapture() : m_next(&Facade()) {
    SetFacade(this);
}

CMessageCapture::~CMessageCapture() {
    Release();
}

void CMessageCapture::Release() {
    if (m_released) {
        return;
    }
    m_released = true;
    SetFacade(m_next);
    std::vector<Held> held;
    held.swap(m_held);
    for (const Held& request : held) {
        if (request.beep) {
            m_next->Beep();
        } else {
            m_next->MessageBox(request.text);
        }
    }
}

void CMessageCapture::MessageBox(const std::string& text) {
    m_texts.push_back(text);
    m_held.push_back({false, text});
}

void CMessageCapture::Beep() {
    m_held.push_back({true, {}});
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
