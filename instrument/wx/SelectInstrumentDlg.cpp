#include "instrument/wx/SelectInstrumentDlg.h"

#include <wx/choice.h>

#include "platform/wx/ModalDialog.h"
#include "platform/wx/TemplateBuilder.h"
#include "resources/ResourceIds.h"

CSelectInstrumentDlg::CSelectInstrumentDlg(wxWindow* parent, const std::vector<std::string>& items)
    : m_items(items), m_count(static_cast<int>(items.size())) {
    const DialogTemplate* t = FindDialogTemplate(IDD_SELECT_INSTRUMENT);
    // A caption and a modal frame, no system menu.
    Create(parent, wxID_ANY, wxString::FromUTF8(t->caption), wxDefaultPosition, wxDefaultSize, wxCAPTION);
    BuildFromTemplate(this, IDD_SELECT_INSTRUMENT);
    m_list = dynamic_cast<wxChoice*>(TemplateItemWindow(this, IDC_INSTRUMENT_LIST));
    if (parent != nullptr) {
        CentreOnParent();
    }
}

bool CSelectInstrumentDlg::TransferDataToWindow() {
    if (m_list == nullptr) {
        return false;
    }
    m_list->Clear();
    for (const std::string& item : m_items) {
        m_list->Append(wxString::FromUTF8(item));
    }
    if (m_count > 0) {
        m_list->SetSelection(0);
    }
    return true;
}

bool CSelectInstrumentDlg::TransferDataFromWindow() {
    const int index = m_list != nullptr ? m_list->GetSelection() : wxNOT_FOUND;
    if (index == wxNOT_FOUND || index >= m_count) {
        return false;
    }
    m_selectedIndex = index;
    m_selection = m_items[static_cast<size_t>(index)];
    return true;
}

int ChooseWithSelectInstrumentDialog(wxWindow* parent, const std::vector<std::string>& items) {
    CSelectInstrumentDlg dialog(parent, items);
    if (RunModal(dialog) != wxID_OK) {
        return -1;
    }
    return dialog.m_selectedIndex;
}
