// Keeps the texts of the message boxes shown while it lives, and holds those boxes back: it stands in
// front of the facade in use, passes every other request on at once, and keeps the message boxes and
// beeps, in order, until Release (or its end) shows them through that facade. So what they say is known
// before the operator has closed them: the session-bus endpoint answers its caller with the texts
// first, and the boxes then wait for the operator alone. Captures nest; each keeps what was shown in its
// own lifetime.
#pragma once

#include <string>
#include <vector>

#include "platform/Facade.h"

class CMessageCapture : public CFacade {
public:
    // Installs itself as the facade until it is released or destroyed.
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

    // The texts of the message boxes so far, in order.
    const std::vector<std::string>& Texts() const { return m_texts; }
    // Gives the facade back and shows the held beeps and message boxes, in order, through it.
    void Release();

private:
    CFacade* m_next;
    bool m_released = false;
    std::vector<std::string> m_texts;
    struct Held {
        bool beep = false; // a beep, else the message box of text
        std::string text;
    };
    std::vector<Held> m_held;
};
