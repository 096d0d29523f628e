#include "platform/wx/WxFacade.h"

#include <cstdio>
#include <wx/app.h>
#include <wx/choicdlg.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/settings.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace {
COLORREF FromWx(const wxColour& c) {
    return RGB(c.Red(), c.Green(), c.Blue());
}
} // namespace

void CWxFacade::MessageBox(const std::string& text) {
    const CModalScope modal;
    const std::string caption = LoadString(IDS_APP_NAME);
    if (m_unattended) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return;
    }
    wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), wxOK, wxTheApp->GetTopWindow());
}

CWxFacade::CWxFacade() = default;

CWxFacade::~CWxFacade() {
    EndProgress();
}

bool CWxFacade::ShowProgress(const std::string& text, int done, int total) {
    if (m_unattended) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return true;
    }
    // The gauge never reaches its end: a full one would turn Cancel into a Close that waits.
    const int range = total > done ? total : done + 1;
    if (!m_progress) {
        m_progressModal.emplace();
        m_progress = std::make_unique<wxProgressDialog>(
            wxString::FromUTF8(LoadString(IDS_APP_NAME)), wxString::FromUTF8(text), range,
            wxTheApp->GetTopWindow(), wxPD_APP_MODAL | wxPD_CAN_ABORT);
    } else if (m_progress->GetRange() != range) {
        m_progress->SetRange(range);
    }
    // Update handles the input waiting for the window, the Cancel button's click among it.
    return m_progress->Update(done, wxString::FromUTF8(text));
}

void CWxFacade::EndProgress() {
    m_progress.reset();
    m_progressModal.reset();
}

void CWxFacade::Beep() {
    wxBell();
}

bool CWxFacade::ChooseFromList(const std::string& caption, const std::vector<std::string>& items,
                               std::string& chosen) {
    if (items.empty()) {
        return false;
    }
    const CModalScope modal;
    int index = 0;
    if (m_unattended) {
        std::string line = caption + ":";
        for (size_t i = 0; i < items.size(); ++i) {
            line += (i == 0 ? " " : " | ") + items[i];
        }
        std::fprintf(stderr, "%s -> %s\n", line.c_str(), items[0].c_str());
    } else if (m_listDialog) {
        index = m_listDialog(wxTheApp->GetTopWindow(), caption, items);
    } else {
        wxArrayString choices;
        for (const auto& item : items) {
            choices.Add(wxString::FromUTF8(item));
        }
        index = wxGetSingleChoiceIndex(wxString::FromUTF8(caption), wxString::FromUTF8(caption), choices,
                                       wxTheApp->GetTopWindow());
    }
    if (index < 0 || static_cast<size_t>(index) >= items.size()) {
        return false;
    }
    chosen = items[static_cast<size_t>(index)];
    return true;
}

void CWxFacade::BeginWaitCursor() {
    wxBeginBusyCursor();
}

void CWxFacade::EndWaitCursor() {
    if (wxIsBusy()) {
        wxEndBusyCursor();
    }
}

COLORREF CWxFacade::SystemColour(SysColour which) {
    // The shadow and highlight go together: a theme whose pair would draw flat edges on the panels'
    // light grey gives way to the classic pair as a whole.
    const auto edges = [] {
        return ChooseEdgeColours(FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)),
                                 FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
    };
    switch (which) {
    case SysColour::ButtonShadow:
        return edges().shadow;
    case SysColour::ButtonHighlight:
        return edges().highlight;
    case SysColour::ButtonFace:
        break;
    }
    return FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
}

void CWxFacade::DestroyMainWindow() {
    if (wxWindow* top = wxTheApp->GetTopWindow()) {
        top->Destroy();
    }
}
