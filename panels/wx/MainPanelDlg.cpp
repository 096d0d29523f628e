#include "panels/wx/MainPanelDlg.h"

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "controls/wx/BitmapStatic.h"
#include "controls/wx/GroupButton.h"
#include "controls/wx/LampButton.h"
#include "instrument/ReportDriverError.h"
#include "panels/Identification.h"
#include "panels/Pan1Obj.h"
#include "panels/wx/DisplayField.h"
#include "platform/wx/TemplateBuilder.h"

namespace {

// The pole labels the group controls are created with; the labels of the main-panel object replace them
// before the first drawing.
const char* const kPoleLabels[kGroupCount] = {"Com 0", "Com 1", "Com 2", "Com 3", "Com 4", "Com 5"};

} // namespace

CMainPanelDlg::CMainPanelDlg(wxWindow* parent, CPan1Obj* panel)
    : CPanelDlg(parent, panel), m_pPanel(panel), m_crHeader(PanelColor(kPanelTeal)) {
    Bind(wxEVT_LEFT_DCLICK, &CMainPanelDlg::OnLeftDoubleClick, this);
    BuildFromTemplate(this, IDD_MAIN_PANEL);
    OnInitDialog();
}

CMainPanelDlg::~CMainPanelDlg() {
    // The controls go in the order of the fields; the window system then deletes what is left of the
    // template's windows (the "Active" caption and any item that got no control) with the panel.
    auto release = [](auto*& control) {
        delete control;
        control = nullptr;
    };
    release(m_pHeader);
    release(m_pLamp);
    release(m_pInfoStrip);
    release(m_pLogo);
    release(m_pPnpLogo);
    release(m_pSlotField);
    release(m_pAddrField);
    release(m_pBody);
    for (CGroupButton*& group : m_pGroup) {
        release(group);
    }
}

bool CMainPanelDlg::OnInitDialog() {
    // The standard initialisation of a dialog: data to the controls, user-interface updates.
    TransferDataToWindow();
    UpdateWindowUI(wxUPDATE_UI_RECURSE);

    FitTopLevelToChild(this);
    m_crHeader = PanelColor(kPanelTeal);

    // The lamp colour is taken once; the lamp does not follow later changes.
    const CSfpAppData* app = TheApp();
    const COLORREF lamp = app != nullptr ? app->m_indicatorColor : PanelColor(kPanelDarkGrey);
    m_pLamp = AttachToItem(this, IDC_LAMP, new CLampButton(lamp, PanelColor(kPanelLightGrey)));

    m_pHeader = AttachToItem(this, IDC_HEADER, NewPanelField(m_crHeader, FieldEdge::Raised));
    m_pInfoStrip = AttachToItem(this, IDC_INFO_STRIP, NewPanelField(PanelColor(kPanelLightGrey)));

    m_pLogo = AttachToItem(this, IDC_LOGO, new CBitmapStatic(IDB_LOGO));
    m_pPnpLogo = AttachToItem(this, IDC_PNP_LOGO, new CBitmapStatic(IDB_PNP_LOGO));

    ShowIdentification();

    m_pBody = AttachToItem(this, IDC_BODY, NewPanelField(PanelColor(kPanelLightGrey), FieldEdge::Raised));

    for (int g = 0; g < kGroupCount; ++g) {
        // Default channel labels; LoadGroupControls gives the main-panel object's labels.
        const int type = m_pPanel != nullptr ? m_pPanel->m_nGroupType[g] : kDeviceNotReported;
        auto* group = new CGroupButton(type, kPoleLabels[g], "0", "1", "2", "3", "4", "5", g, g < 3 ? 1 : 0);
        m_pGroup[g] = AttachToItem(this, kGroupItems[g], group);
    }
    LoadGroupControls();
    // The first group control in tab order takes the focus, without its focus mark until a key is used.
    FocusFirstTabStop();
    return true;
}

void CMainPanelDlg::ShowIdentification() {
    CSfpAppData* app = TheApp();
    CInstrument* instrument = app != nullptr ? app->m_pInstrument.get() : nullptr;
    if (instrument == nullptr) {
        return; // nothing to identify; the template's frames stay
    }
    CallInstrument(*instrument, [&] {
        m_pSlotField = AttachToItem(this, IDC_SLOT, NewPanelField(PanelColor(kPanelWhite)));
        const std::string text = SlotText(*instrument);
        if (m_pSlotField != nullptr) {
            m_pSlotField->SetText(text);
        }

        m_pAddrField = AttachToItem(this, IDC_ADDRESS, NewPanelField(PanelColor(kPanelWhite)));
        const std::string address = AddressText(instrument->GetAddress());
        if (m_pAddrField != nullptr) {
            m_pAddrField->SetText(address);
        }
    });
}

void CMainPanelDlg::LoadGroupControls() {
    if (m_pPanel == nullptr) {
        return;
    }
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetPosition(m_pPanel->m_nGroupPos[g], m_pPanel->m_bGroupUnknown[g]);
        }
    }
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetLabels(m_pPanel->m_szLabels[g]);
        }
    }
}

void CMainPanelDlg::ShowGroupPositions(const GroupValues& positions, const GroupFlags& unknown) {
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetPosition(positions[g], unknown[g]);
        }
    }
}

void CMainPanelDlg::TakeGroupTypes(const GroupValues& types) {
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetType(types[g]);
            // An attenuator drawing leaves its step labels in the control: a group that becomes a switch
            // shows its own channel labels again, as a freshly opened panel does.
            if (m_pPanel != nullptr) {
                m_pGroup[g]->SetLabels(m_pPanel->m_szLabels[g]);
            }
        }
    }
}

void CMainPanelDlg::ShowGroupTypes(const GroupValues& types) {
    TakeGroupTypes(types);
    OnReset();
}

void CMainPanelDlg::OnLeftDoubleClick(wxMouseEvent&) {
    // A double click on the panel's background is ignored.
}
