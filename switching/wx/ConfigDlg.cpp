#include "switching/wx/ConfigDlg.h"

#include <wx/app.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include "app/ConfigCommand.h"
#include "platform/wx/DialogColours.h"
#include "platform/wx/ModalDialog.h"
#include "platform/wx/TemplateBuilder.h"
#include "resources/ResourceIds.h"

namespace {

bool OffersAttenuators(int code) {
    return code == 0 || code == 1 || code == 2 || code == -1 || code == -3;
}
bool OffersSwitches(int code) {
    return code == 3 || code == 4 || code == -2 || code == -3;
}

// Enables or disables a caption or radio button. A disabled one is drawn in grey text: the dialog text
// colour given to every control would otherwise keep it black, so that greyed choices looked offered.
void EnableChoice(wxWindow* window, bool enable) {
    if (window == nullptr) {
        return;
    }
    window->Enable(enable);
    window->SetForegroundColour(enable ? DialogTextColour() : wxColour(128, 128, 128));
}

} // namespace

CConfigDlg::CConfigDlg(wxWindow* owner, const GroupValues& groups) : m_nGroup(groups) {
    const DialogTemplate* t = FindDialogTemplate(IDD_CONFIG);
    Create(owner, wxID_ANY, wxString::FromUTF8(t->caption), wxDefaultPosition, wxDefaultSize,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
    BuildFromTemplate(this, IDD_CONFIG);
    // Each group's five buttons are made anew behind a hidden first button of their own radio group, in
    // group order, so that a group can show no button checked.
    for (int g = 0; g < kGroupCount; ++g) {
        m_none[g] = new wxRadioButton(this, wxID_ANY, wxString(), wxPoint(0, 0), wxSize(1, 1), wxRB_GROUP);
        m_none[g]->Hide();
        for (int k = 0; k < kTypeNameCount; ++k) {
            const int id = IDC_CONFIG_RADIO_FIRST[g] + k;
            const wxRect r = TemplateItemRect(this, id);
            wxWindow* old = TemplateItemWindow(this, id);
            const wxString label = old != nullptr ? old->GetLabel() : wxString();
            m_buttons[g][k] = AttachToItem(
                this, id, new wxRadioButton(this, WxId(id), label, r.GetPosition(), r.GetSize()));
        }
    }
    // The buttons were made after the rest of the dialog: give them their places in the keyboard order.
    RestackInChildOrder(this);
    // Enabling by the present code: a reported attenuator offers only the attenuator types, a reported
    // switch only the switch types, a group not reported yet all five.
    for (int g = 0; g < kGroupCount; ++g) {
        const bool attenuators = OffersAttenuators(groups[g]);
        const bool switches = OffersSwitches(groups[g]);
        for (int k = 0; k < kTypeNameCount; ++k) {
            EnableChoice(m_buttons[g][k], k < 3 ? attenuators : switches);
        }
        EnableChoice(TemplateItemWindow(this, IDC_CONFIG_ATTEN_LABEL[g]), attenuators);
        EnableChoice(TemplateItemWindow(this, IDC_CONFIG_SWITCH_LABEL[g]), switches);
    }
    const wxRect place = DialogToPixels(TemplateBaseUnits(this), t->x, t->y, 0, 0);
    if (owner != nullptr) {
        Move(owner->ClientToScreen(place.GetPosition()));
    }
}

bool CConfigDlg::TransferDataToWindow() {
    for (int g = 0; g < kGroupCount; ++g) {
        const int v = m_nGroup[g];
        if (v >= 0 && v < kTypeNameCount) {
            m_buttons[g][v]->SetValue(true);
        } else {
            m_none[g]->SetValue(true);
        }
    }
    return true;
}

bool CConfigDlg::TransferDataFromWindow() {
    for (int g = 0; g < kGroupCount; ++g) {
        m_nGroup[g] = -1;
        for (int k = 0; k < kTypeNameCount; ++k) {
            if (m_buttons[g][k]->GetValue()) {
                m_nGroup[g] = k;
            }
        }
    }
    return true;
}

void OnConfig() {
    RunConfiguration([](GroupValues& choice) {
        CConfigDlg dialog(wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr, choice);
        if (RunModal(dialog) != wxID_OK) {
            return false;
        }
        choice = dialog.m_nGroup;
        return true;
    });
}
