#include "panels/MainPanelDlg.h"

#include <wx/dcclient.h>

#include "app/SfpAppData.h"
#include "controls/BitmapStatic.h"
#include "controls/GroupButton.h"
#include "controls/LampButton.h"
#include "instrument/ReportDriverError.h"
#include "panels/DisplayField.h"
#include "panels/Identification.h"
#include "panels/Pan1Obj.h"
#include "platform/Drawing.h"
#include "platform/TemplateBuilder.h"
#include "switching/GroupCommands.h"

namespace {

// The pole labels the group controls are created with; the labels of the main-panel object replace them
// before the first drawing.
const char* const kPoleLabels[6] = {"Com 0", "Com 1", "Com 2", "Com 3", "Com 4", "Com 5"};

} // namespace

CMainPanelDlg::CMainPanelDlg(wxWindow* parent, CPan1Obj* panel)
    : wxPanel(parent, wxID_ANY, wxPoint(0, 0), wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_pPanel(panel), m_crHeader(PanelColor(kPanelTeal)) {
    SetBackgroundColour(ToWxColour(PanelColor(kPanelDarkGrey)));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CMainPanelDlg::OnPaint, this);
    Bind(wxEVT_BUTTON, &CMainPanelDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CMainPanelDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CHAR_HOOK, &CMainPanelDlg::OnCharHook, this);
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
    if (m_pPanel != nullptr && m_pPanel->m_pDlg == static_cast<CPanelWindow*>(this)) {
        m_pPanel->m_pDlg = nullptr;
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
        const int type = m_pPanel != nullptr ? m_pPanel->m_nGroupType[g] : -3;
        auto* group = new CGroupButton(type, kPoleLabels[g], "0", "1", "2", "3", "4", "5", g, g < 3 ? 1 : 0);
        m_pGroup[g] = AttachToItem(this, kGroupItems[g], group);
    }
    LoadGroupControls();
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
            m_pGroup[g]->SetPosition(m_pPanel->m_nGroupPos[g]);
        }
    }
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetLabels(m_pPanel->m_szLabels[g]);
        }
    }
}

void CMainPanelDlg::DestroyPanelWindow() {
    Destroy();
}

void CMainPanelDlg::RedrawNow() {
    // The whole client area with its controls (invalidating the panel invalidates its children, and
    // each control then draws itself entirely again).
    Refresh(true);
    Update();
}

void CMainPanelDlg::ShowGroupPositions(const int positions[6]) {
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetPosition(positions[g]);
        }
    }
}

void CMainPanelDlg::ShowGroupTypes(const int types[6]) {
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pGroup[g] != nullptr) {
            m_pGroup[g]->SetType(types[g]);
        }
    }
    OnReset();
}

void CMainPanelDlg::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxColour ground = ToWxColour(PanelColor(kPanelDarkGrey));
    dc.SetBrush(wxBrush(ground));
    dc.SetPen(wxPen(ground));
    const wxSize size = GetClientSize();
    dc.DrawRectangle(0, 0, size.x, size.y);
}

void CMainPanelDlg::OnOK(wxCommandEvent&) {
    // Enter does not close the panel.
}

void CMainPanelDlg::OnCancel(wxCommandEvent&) {
    // Escape does not close the panel.
}

void CMainPanelDlg::OnCharHook(wxKeyEvent& event) {
    // Enter and Escape become the OK and Cancel commands, as in a dialog; the panel ignores both.
    int command = wxID_NONE;
    switch (event.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        command = wxID_OK;
        break;
    case WXK_ESCAPE:
        command = wxID_CANCEL;
        break;
    default:
        event.Skip();
        return;
    }
    wxCommandEvent click(wxEVT_BUTTON, command);
    click.SetEventObject(this);
    ProcessWindowEvent(click);
}

void CMainPanelDlg::OnLeftDoubleClick(wxMouseEvent&) {
    // A double click on the panel's background is ignored.
}
