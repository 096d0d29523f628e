#include "panels/wx/StatusPanelDlg.h"

#include <cstdint>
#include <cstdio>

#include "app/SfpAppData.h"
#include "controls/wx/ReadoutButton.h"
#include "instrument/Instrument.h"
#include "instrument/ReportDriverError.h"
#include "panels/StatObj.h"
#include "panels/wx/DisplayField.h"
#include "platform/Colour.h"
#include "platform/CommandIds.h"
#include "platform/wx/TemplateBuilder.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace {

// A grey frame that stands raised.
CDisplayField* NewRaisedFrame() {
    return NewPanelField(PanelColor(kPanelLightGrey), FieldEdge::Raised);
}

} // namespace

CStatusPanelDlg::CStatusPanelDlg(wxWindow* parent, CStatObj* panel)
    : CPanelDlg(parent, panel), m_pPanel(panel), m_pTitle(nullptr), m_pErrorBox(nullptr),
      m_pLowerBox(nullptr), m_pNumberField(nullptr), m_pMessageField(nullptr), m_pStatusByte(nullptr) {
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnReadErrorQueue(); }, WxId(IDC_READ_ERROR_QUEUE));
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnOpcQuery(); }, WxId(IDC_OPC));
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnStatusByte(); }, WxId(IDC_STATUS_BYTE));
    BuildFromTemplate(this, IDD_STATUS_PANEL);
    OnInitDialog();
}

bool CStatusPanelDlg::OnInitDialog() {
    FitTopLevelToChild(this);

    m_pTitle = AttachToItem(this, IDC_STATUS_TITLE, NewPanelField(PanelColor(kPanelTeal)));
    if (m_pTitle != nullptr) {
        m_pTitle->SetText(LoadString(IDS_STATUS_PANEL));
    }
    m_pErrorBox = AttachToItem(this, IDC_ERROR_BOX, NewRaisedFrame());
    m_pLowerBox = AttachToItem(this, IDC_LOWER_BOX, NewRaisedFrame());
    m_pNumberField = AttachToItem(this, IDC_ERROR_NUMBER, NewPanelField(PanelColor(kPanelWhite)));
    m_pMessageField = AttachToItem(this, IDC_ERROR_MESSAGE, NewPanelField(PanelColor(kPanelWhite)));
    m_pStatusByte =
        AttachToItem(this, IDC_STATUS_BYTE,
                     new CReadoutButton(PanelColor(kPanelWhite), PanelColor(kPanelBlack),
                                        PanelColor(kPanelShadow), PanelColor(kPanelHighlight), nullptr));
    if (m_pStatusByte != nullptr) {
        m_pStatusByte->SetText("*");
    }
    // The keyboard focus goes to the first tab stop, Read Error Queue, so that Enter and Escape reach the
    // panel as soon as it is shown.
    FocusFirstTabStop();
    return true;
}

void CStatusPanelDlg::OnReadErrorQueue() {
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (instrument == nullptr) {
        return;
    }
    // The error query reports a time-out itself and never raises; the panel shows whatever it left.
    std::int32_t code = 0;
    char message[kTextBufferSize] = "";
    instrument->ErrorQuery(&code, message);
    message[kTextBufferSize - 1] = '\0';
    char number[32];
    std::snprintf(number, sizeof(number), "%ld", static_cast<long>(code));
    if (m_pMessageField != nullptr) {
        m_pMessageField->SetText(message);
    }
    if (m_pNumberField != nullptr) {
        m_pNumberField->SetText(number);
    }
}

void CStatusPanelDlg::OnOpcQuery() {
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (instrument == nullptr) {
        return;
    }
    CallInstrument(*instrument, [&] { instrument->QueryOpc(); });
}

void CStatusPanelDlg::OnStatusByte() {
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (instrument == nullptr) {
        return;
    }
    // On a failure the read-out keeps the value it showed.
    CallInstrument(*instrument, [&] {
        const short value = instrument->ReadStatusByte();
        char text[16];
        std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
        if (m_pStatusByte != nullptr) {
            m_pStatusByte->SetText(text);
        }
    });
}

void CStatusPanelDlg::OnOK() {
    Hide();
}

void CStatusPanelDlg::OnCancel() {
    Hide();
}
