// Keeps the texts of the message boxes shown while it lives. It stands in front of the facade in use:
// every request passes on to that facade unchanged (the operator still sees every message), and each
// message box text is also kept, in order. Captures nest; each keeps what was shown in its own lifetime.
#pragma once

#include <string>
#include <vector>

#include "platform/Facade.h"

class CMessageCapture : public CFacade {
public:
    // Installs itself as the facade until it is destroyed.
    CMessageCapture();
    ~CMessageCapture() override;
    CMessageCapture(const CMessageCapture&) = delete;
    CMessageCapture& operator=(const CMessageCapture&) = delete;

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

    // The texts shown so far, in order.
    const std::vector<std::string>& Texts() const { return m_texts; }

private:
    CFacade* m_next;
    std::vector<std::string> m_texts;
};
