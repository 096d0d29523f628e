// The Select Instrument dialog (template 107): offers a list of texts (instrument resource names, or
// "Card %d  " texts) in the caller's order with the first one selected, and hands back the one the
// operator confirms.
#pragma once

#include <string>
#include <vector>
#include <wx/dialog.h>

class wxChoice;

class CSelectInstrumentDlg : public wxDialog {
public:
    // The texts stay the caller's; they must live until the dialog has returned.
    CSelectInstrumentDlg(wxWindow* parent, const std::vector<std::string>& items);

    bool TransferDataToWindow() override;
    // OK: the text of the selected entry becomes m_selection.
    bool TransferDataFromWindow() override;

    // The drop-down list, item 1042.
    wxChoice* List() const { return m_list; }

    const std::vector<std::string>& m_items; // the texts offered, in the caller's order
    int m_count;                             // their number
    std::string m_selection;                 // the chosen text, set when the operator confirms
    int m_selectedIndex = -1;                // its place in m_items

private:
    wxChoice* m_list = nullptr;
};

// Offers the texts in the dialog and returns the index of the confirmed one, or -1 when the operator
// cancels (Cancel or Escape).
int ChooseWithSelectInstrumentDialog(wxWindow* parent, const std::vector<std::string>& items);
