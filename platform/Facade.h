// What the program's logic asks of the operator's desktop: message boxes with the application's caption,
// the beep, choosing one text from a list, the progress window of long work, the counted wait cursor,
// system colours and the end of the program. The window layer installs the wx implementation; tests install
// CRecordingFacade, which logs every request and answers choices from a script, so nothing ever blocks on a
// modal window.
#pragma once

#include <string>
#include <vector>

#include "platform/Colour.h"

class CFacade {
public:
    virtual ~CFacade() = default;

    // A modal message box with an OK button and the caption of string 57344, "RQK4712V SFP".
    virtual void MessageBox(const std::string& text) = 0;
    // The default system beep.
    virtual void Beep() = 0;
    // Offers the texts in the given order with the first one preselected, in a modal dialog with the
    // given caption. Returns true and the chosen text, or false when the operator cancelled.
    virtual bool ChooseFromList(const std::string& caption, const std::vector<std::string>& items,
                                std::string& chosen) = 0;
    // The progress window of long work: a small window over the main window with the text, a gauge at
    // done of total steps and a Cancel button. The first call shows it, later ones update it; each one
    // handles the operator's input that arrived meanwhile, so a Cancel pressed while the work was busy
    // is seen. Returns false once the operator has cancelled.
    virtual bool ShowProgress(const std::string& text, int done, int total) = 0;
    // Closes the progress window; nothing when none is shown.
    virtual void EndProgress() = 0;
    // The counted wait cursor: every begin is matched by one end.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // A system colour. Button shadow and highlight come as a pair that draws visible 3-D edges on the
    // panels' light grey (ChooseEdgeColours).
    virtual COLORREF SystemColour(SysColour which) = 0;
    // Destroys the application's main window, which ends the program.
    virtual void DestroyMainWindow() = 0;
};

// The facade in use. A silent default that answers every choice with a cancel is installed until the
// window layer or a test installs another.
CFacade& Facade();
// Installs a facade (not owned); null restores the default. Returns the previous one.
CFacade* SetFacade(CFacade* facade);

// The counted wait cursor for the guard's lifetime: begun when the guard is made (when asked), ended when
// it goes, whichever way its scope is left.
class CWaitCursor {
public:
    explicit CWaitCursor(bool show = true);
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool m_bShown;
};

// How many modal windows (dialogs, message boxes, choices from a list) are open right now. Each runs a
// nested message loop, in which other work must not start. May be read from any thread.
int ModalDepth();

// Counts one modal window for its lifetime: whatever shows a modal window holds one while it is open.
class CModalScope {
public:
    CModalScope();
    ~CModalScope();
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;
};
