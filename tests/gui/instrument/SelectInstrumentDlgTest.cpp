#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/frame.h>

#include "instrument/wx/SelectInstrumentDlg.h"
#include "platform/wx/ModalDialog.h"
#include "resources/ResourceIds.h"

namespace {

// Answers the next modal dialog by selecting the entry (or -1: Cancel) and confirming as OK does.
class ScriptedAnswer {
public:
    explicit ScriptedAnswer(int entry, std::vector<std::string>* shown = nullptr) {
        m_previous = SetModalDialogHandler([entry, shown](wxDialog& dialog) {
            auto& select = dynamic_cast<CSelectInstrumentDlg&>(dialog);
            if (shown != nullptr) {
                for (unsigned i = 0; i < select.List()->GetCount(); ++i) {
                    shown->push_back(select.List()->GetString(i).utf8_string());
                }
                shown->push_back("selected " + std::to_string(select.List()->GetSelection()));
            }
            if (entry < 0) {
                return static_cast<int>(wxID_CANCEL);
            }
            select.List()->SetSelection(entry);
            return dialog.TransferDataFromWindow() ? static_cast<int>(wxID_OK)
                                                   : static_cast<int>(wxID_CANCEL);
        });
    }
    ~ScriptedAnswer() { SetModalDialogHandler(m_previous); }

private:
    ModalDialogHandler m_previous;
};

} // namespace

TEST(SelectInstrumentDlg, OffersTheTextsUnsortedWithTheFirstSelected) {
    std::vector<std::string> shown;
    ScriptedAnswer answer(0, &shown);
    const std::vector<std::string> items = {"GPIB0::9::INSTR", "GPIB-VXI0::24::INSTR", "Card 12  "};
    EXPECT_EQ(ChooseWithSelectInstrumentDialog(nullptr, items), 0);
    EXPECT_EQ(shown, (std::vector<std::string>{"GPIB0::9::INSTR", "GPIB-VXI0::24::INSTR", "Card 12  ",
                                               "selected 0"}));
}

TEST(SelectInstrumentDlg, ConfirmedChoiceAndCancel) {
    const std::vector<std::string> items = {"Card 2  ", "Card 12  "};
    {
        ScriptedAnswer answer(1);
        EXPECT_EQ(ChooseWithSelectInstrumentDialog(nullptr, items), 1);
    }
    {
        ScriptedAnswer answer(-1);
        EXPECT_EQ(ChooseWithSelectInstrumentDialog(nullptr, items), -1);
    }
}

TEST(SelectInstrumentDlg, TemplateLayoutAndStyle) {
    const std::vector<std::string> items = {"VXI0::112::INSTR"};
    CSelectInstrumentDlg dialog(nullptr, items);
    EXPECT_EQ(dialog.GetTitle(), "Select Instrument");
    EXPECT_FALSE(dialog.HasFlag(wxSYSTEM_MENU));
    ASSERT_NE(dialog.List(), nullptr);
    EXPECT_FALSE(dialog.List()->HasFlag(wxCB_SORT));
    EXPECT_NE(dialog.FindWindow(wxID_OK), nullptr);
    EXPECT_NE(dialog.FindWindow(wxID_CANCEL), nullptr);
    dialog.InitDialog();
    EXPECT_EQ(dialog.List()->GetCount(), 1u);
    EXPECT_EQ(dialog.List()->GetSelection(), 0);
}

TEST(SelectInstrumentDlg, RealModalRunEndsWithOkAndEscape) {
    const std::vector<std::string> items = {"VXI0::112::INSTR", "VXI0::120::INSTR"};
    for (int key : {0, 1}) {
        CSelectInstrumentDlg dialog(nullptr, items);
        wxTheApp->CallAfter([&dialog, key] {
            if (key == 0) {
                dialog.List()->SetSelection(1);
                wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
                ok.SetEventObject(dialog.FindWindow(wxID_OK));
                dialog.FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
            } else {
                wxKeyEvent escape(wxEVT_CHAR_HOOK);
                escape.m_keyCode = WXK_ESCAPE;
                dialog.GetEventHandler()->ProcessEvent(escape);
            }
        });
        const int result = dialog.ShowModal();
        if (key == 0) {
            EXPECT_EQ(result, wxID_OK);
            EXPECT_EQ(dialog.m_selection, "VXI0::120::INSTR");
        } else {
            EXPECT_EQ(result, wxID_CANCEL);
            EXPECT_EQ(dialog.m_selection, "");
        }
    }
}
