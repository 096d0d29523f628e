// The About box, built from template 100: the program icon, the program's name, version and the
// revisions of the driver, firmware and VISA that it needs, every text centred, and a default OK button.
#pragma once

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* owner);
};
