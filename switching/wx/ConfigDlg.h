// The Configuration dialog (template 109) and the command of System > Config that runs it: the operator
// chooses the device type of each group among five radio buttons per group; the choices that do not fit
// what the card reports are greyed.
#pragma once

#include <wx/dialog.h>

#include "switching/GroupModel.h"

class wxRadioButton;

class CConfigDlg : public wxDialog {
public:
    // Takes the present type codes of groups 0 to 5; owned by the application's main window.
    CConfigDlg(wxWindow* owner, const GroupValues& groups);

    // The exchanged choice: 0 to 4 for the checked button of each group, -1 when none is checked; on
    // construction, the group's present code (which may also be -1, -2 or -3).
    GroupValues m_nGroup;

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // The radio button of code k (0 to 4) of group g.
    wxRadioButton* Button(int g, int k) const { return m_buttons[g][k]; }

private:
    wxRadioButton* m_buttons[kGroupCount][kTypeNameCount] = {};
    // One hidden button per group that holds the group's radio state when none of its five is checked
    // (a native radio group cannot be left with no button checked otherwise).
    wxRadioButton* m_none[kGroupCount] = {};
};

// System > Config: runs the dialog on the types of the card's option list (RunConfiguration) and
// applies a confirmed change.
void OnConfig();
