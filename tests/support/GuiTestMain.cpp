// The main of the GUI tests: starts wxWidgets on the X display (tests run under xvfb-run), makes every
// wx assert a test failure instead of a dialog, runs the tests and shuts wx down.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/log.h>

#include "platform/wx/ModalDialog.h"

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str().data(), line) << "wx assert in " << func.utf8_str().data() << ": "
                                                 << cond.utf8_str().data() << " " << msg.utf8_str().data();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets: is there an X display?\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(FailOnAssert);
    wxLog::EnableLogging(false);
    // No test ever waits for a person: a modal dialog that a test does not answer itself is cancelled.
    SetModalDialogHandler([](wxDialog&) { return static_cast<int>(wxID_CANCEL); });
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
