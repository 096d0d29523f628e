// The Configuration dialog driven as the operator drives it: its enabling by the present codes, its radio
// groups with no button checked, and System > Config sending the card option list.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <wx/filename.h>
#include <wx/imagpng.h>
#include <wx/radiobut.h>
#include <wx/utils.h>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/StatObj.h"
#include "platform/wx/ModalDialog.h"
#include "platform/wx/TemplateBuilder.h"
#include "platform/wx/WindowCapture.h"
#include "resources/ResourceIds.h"
#include "switching/wx/ConfigDlg.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

// The checked code of each group as the dialog shows it, -1 when no visible button is checked.
std::vector<int> Checked(const CConfigDlg& dlg) {
    std::vector<int> codes;
    for (int g = 0; g < kGroupCount; ++g) {
        int code = -1;
        for (int k = 0; k < kTypeNameCount; ++k) {
            if (dlg.Button(g, k)->GetValue()) {
                EXPECT_EQ(code, -1) << "two buttons checked in group " << g;
                code = k;
            }
        }
        codes.push_back(code);
    }
    return codes;
}

// Which of the group's five buttons are enabled, as a string of 'e' and '-'.
std::string Enabled(const CConfigDlg& dlg, int g) {
    std::string s;
    for (int k = 0; k < kTypeNameCount; ++k) {
        s += dlg.Button(g, k)->IsEnabled() ? 'e' : '-';
    }
    return s;
}

// Tab order: each group's five buttons in code order, then its two labels; after the first, the buttons
// start no radio group of their own.
void ExpectGroupsInTabOrder(const CConfigDlg& dlg) {
    std::vector<wxWindow*> order;
    for (wxWindow* child : dlg.GetChildren()) {
        if (child->IsShown()) {
            order.push_back(child);
        }
    }
    for (int g = 0; g < kGroupCount; ++g) {
        auto first = std::find(order.begin(), order.end(), dlg.Button(g, 0));
        ASSERT_NE(first, order.end()) << g;
        for (int k = 1; k < kTypeNameCount; ++k) {
            ASSERT_LT(first + k, order.end());
            EXPECT_EQ(*(first + k), dlg.Button(g, k)) << g << " " << k;
            EXPECT_FALSE(dlg.Button(g, k)->HasFlag(wxRB_GROUP));
        }
        ASSERT_LT(first + 6, order.end());
        EXPECT_EQ(*(first + 5), TemplateItemWindow(&dlg, IDC_CONFIG_ATTEN_LABEL[g]));
        EXPECT_EQ(*(first + 6), TemplateItemWindow(&dlg, IDC_CONFIG_SWITCH_LABEL[g]));
    }
}

class ConfigDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The panel objects first, so that the main-panel object keeps its default labels and reads no
        // labels file.
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        auto scripted = std::make_unique<CScriptedInstrument>();
        instrument = scripted.get();
        app.m_pInstrument = std::move(scripted);
    }
    void TearDown() override { SetModalDialogHandler(nullptr); }

    CPan1Obj& Panel() { return *dynamic_cast<CPan1Obj*>(app.m_panels[0].get()); }
    void SetTypes(std::vector<int> types) {
        std::copy(types.begin(), types.end(), Panel().m_nGroupType.begin());
    }
    std::vector<int> Types() { return {std::begin(Panel().m_nGroupType), std::end(Panel().m_nGroupType)}; }
    // The option lists written to the card (the Reset that follows a change is not looked at here).
    std::vector<std::string> CardWrites() const {
        std::vector<std::string> writes;
        std::copy_if(instrument->m_calls.begin(), instrument->m_calls.end(), std::back_inserter(writes),
                     [](const std::string& call) { return call.rfind("SetCardOption", 0) == 0; });
        return writes;
    }

    // Runs System > Config; the handler looks at the dialog as it opened, and returns the result that
    // ends it (after its own changes and data exchange, as the OK button does).
    void RunConfig(std::function<int(CConfigDlg&)> operatorActs) {
        int runs = 0;
        SetModalDialogHandler([&](wxDialog& dialog) {
            ++runs;
            auto* config = dynamic_cast<CConfigDlg*>(&dialog);
            EXPECT_NE(config, nullptr);
            return config != nullptr ? operatorActs(*config) : wxID_CANCEL;
        });
        OnConfig();
        EXPECT_EQ(runs, 1);
    }
    static int PressOk(CConfigDlg& dlg) {
        EXPECT_TRUE(dlg.TransferDataFromWindow());
        return wxID_OK;
    }

    CRecordingFacade facade;
    CSfpAppData app;
    CScriptedInstrument* instrument = nullptr;
};

TEST_F(ConfigDlgTest, UnreportedGroupsOfferAllFiveWithNoneChecked) {
    SetTypes({-3, -3, -3, -3, -3, -3});
    RunConfig([&](CConfigDlg& dlg) {
        EXPECT_EQ(dlg.GetTitle(), "Configuration");
        EXPECT_EQ(Checked(dlg), std::vector<int>(6, -1));
        for (int g = 0; g < kGroupCount; ++g) {
            EXPECT_EQ(Enabled(dlg, g), "eeeee") << g;
            EXPECT_EQ(dlg.Button(g, 0)->GetLabel(), "QZATNA01");
            EXPECT_EQ(dlg.Button(g, 4)->GetLabel(), "QZSWTB01");
        }
        return wxID_CANCEL;
    });
}

TEST_F(ConfigDlgTest, OnlyGroupTwoSetToSwitchBFromUnreported) {
    SetTypes({-3, -3, -3, -3, -3, -3});
    RunConfig([&](CConfigDlg& dlg) {
        dlg.Button(2, 4)->SetValue(true);
        EXPECT_EQ(Checked(dlg), (std::vector<int>{-1, -1, 4, -1, -1, -1}));
        return PressOk(dlg);
    });
    EXPECT_EQ(CardWrites(), std::vector<std::string>{"SetCardOption 1 ,,QZSWTB01,,,"});
    EXPECT_EQ(Types(), (std::vector<int>{-3, -3, 4, -3, -3, -3}));
}

TEST_F(ConfigDlgTest, ChangingGroupOneWritesAllSixNamesOnTheCard) {
    SetTypes({0, 0, 3, 3, 4, 4});
    instrument->m_card = 2;
    RunConfig([&](CConfigDlg& dlg) {
        EXPECT_EQ(Checked(dlg), (std::vector<int>{0, 0, 3, 3, 4, 4}));
        EXPECT_EQ(Enabled(dlg, 0), "eee--");
        EXPECT_EQ(Enabled(dlg, 2), "---ee");
        dlg.Button(1, 2)->SetValue(true);
        return PressOk(dlg);
    });
    EXPECT_EQ(CardWrites(), std::vector<std::string>{
                                "SetCardOption 2 QZATNA01,QZATNC01,QZSWTA01,QZSWTA01,QZSWTB01,QZSWTB01"});
    EXPECT_EQ(Types(), (std::vector<int>{0, 2, 3, 3, 4, 4}));
}

TEST_F(ConfigDlgTest, OkWithoutChangeAndCancelAfterChangesSendNothing) {
    SetTypes({0, 1, 3, 4, -3, -1});
    RunConfig([&](CConfigDlg& dlg) { return PressOk(dlg); });
    EXPECT_TRUE(CardWrites().empty());

    RunConfig([&](CConfigDlg& dlg) {
        dlg.Button(0, 2)->SetValue(true);
        dlg.Button(4, 3)->SetValue(true);
        return wxID_CANCEL;
    });
    EXPECT_TRUE(CardWrites().empty());
    EXPECT_EQ(Types(), (std::vector<int>{0, 1, 3, 4, -3, -1}));
}

TEST_F(ConfigDlgTest, UnknownGroupOffersOnlyAttenuatorsAndStaysUnknown) {
    SetTypes({-1, 3, -2, -3, 1, 4});
    RunConfig([&](CConfigDlg& dlg) {
        EXPECT_EQ(Enabled(dlg, 0), "eee--");
        EXPECT_TRUE(TemplateItemWindow(&dlg, IDC_CONFIG_ATTEN_LABEL[0])->IsEnabled());
        EXPECT_FALSE(TemplateItemWindow(&dlg, IDC_CONFIG_SWITCH_LABEL[0])->IsEnabled());
        // Greyed choices look greyed although every control is given the dialog text colour.
        EXPECT_EQ(dlg.Button(0, 3)->GetForegroundColour(), wxColour(128, 128, 128));
        EXPECT_EQ(TemplateItemWindow(&dlg, IDC_CONFIG_SWITCH_LABEL[0])->GetForegroundColour(),
                  wxColour(128, 128, 128));
        EXPECT_NE(dlg.Button(0, 0)->GetForegroundColour(), wxColour(128, 128, 128));
        // A switch reported: only the switch types, with the present one checked.
        EXPECT_EQ(Enabled(dlg, 1), "---ee");
        EXPECT_FALSE(TemplateItemWindow(&dlg, IDC_CONFIG_ATTEN_LABEL[1])->IsEnabled());
        EXPECT_TRUE(TemplateItemWindow(&dlg, IDC_CONFIG_SWITCH_LABEL[1])->IsEnabled());
        EXPECT_EQ(Enabled(dlg, 2), "---ee");
        EXPECT_EQ(Enabled(dlg, 3), "eeeee");
        EXPECT_EQ(Checked(dlg), (std::vector<int>{-1, 3, -1, -1, 1, 4}));
        dlg.Button(4, 0)->SetValue(true);
        return PressOk(dlg);
    });
    // The unchecked groups keep their types and the card's entries (here it reports none); the unchanged
    // checked groups are written again.
    EXPECT_EQ(CardWrites(), std::vector<std::string>{"SetCardOption 1 ,QZSWTA01,,,QZATNA01,QZSWTB01"});
    EXPECT_EQ(Types(), (std::vector<int>{-1, 3, -2, -3, 0, 4}));
}

TEST_F(ConfigDlgTest, RefusedOptionListIsReportedAndKeepsTheTypes) {
    SetTypes({-3, -3, -3, -3, -3, -3});
    instrument->FailOn("SetCardOption", VI_ERROR_SYSTEM_ERROR);
    RunConfig([&](CConfigDlg& dlg) {
        dlg.Button(5, 1)->SetValue(true);
        return PressOk(dlg);
    });
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"API failure."});
    EXPECT_EQ(Types(), std::vector<int>(6, -3));
}

TEST_F(ConfigDlgTest, FiveButtonsOfAGroupFormOneRadioGroupInTabOrder) {
    SetTypes({-3, -3, -3, -3, -3, -3});
    RunConfig([&](CConfigDlg& dlg) {
        // Checking buttons moves the one check within a group and never touches another group.
        for (int k = 0; k < kTypeNameCount; ++k) {
            dlg.Button(3, k)->SetValue(true);
            EXPECT_EQ(Checked(dlg), (std::vector<int>{-1, -1, -1, k, -1, -1})) << k;
        }
        dlg.Button(0, 1)->SetValue(true);
        dlg.Button(5, 4)->SetValue(true);
        EXPECT_EQ(Checked(dlg), (std::vector<int>{1, -1, -1, 4, -1, 4}));

        ExpectGroupsInTabOrder(dlg);
        return PressOk(dlg);
    });
    EXPECT_EQ(CardWrites(), std::vector<std::string>{"SetCardOption 1 QZATNB01,,,QZSWTB01,,QZSWTB01"});
}

TEST_F(ConfigDlgTest, OnScreenTheDialogShowsItsGroups) {
    SetTypes({0, 3, -1, -3, 2, 4});
    RunConfig([&](CConfigDlg& dlg) {
        // Shown without a modal loop so that the picture can be taken.
        dlg.Show();
        for (int i = 0; i < 100 && !dlg.IsShownOnScreen(); ++i) {
            wxYield();
            wxMilliSleep(10);
        }
        for (int i = 0; i < 40; ++i) {
            wxYield();
            wxMilliSleep(10);
        }
        dlg.Update();
        const wxImage shot = CaptureWindow(&dlg);
        EXPECT_TRUE(shot.IsOk());
        if (shot.IsOk()) {
            const char* folder = getenv("SFP_SCREENSHOT_DIR");
            const wxString file = wxFileName(folder != nullptr ? wxString(folder) : wxFileName::GetTempDir(),
                                             "rqk4712v-config-dialog.png")
                                      .GetFullPath();
            if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
                wxImage::AddHandler(new wxPNGHandler);
            }
            EXPECT_TRUE(shot.SaveFile(file, wxBITMAP_TYPE_PNG)) << file;
            // The dialog's ground is the dialog colour the application gives every dialog.
            EXPECT_EQ(wxColour(shot.GetRed(3, shot.GetHeight() - 3), shot.GetGreen(3, shot.GetHeight() - 3),
                               shot.GetBlue(3, shot.GetHeight() - 3)),
                      wxColour(192, 192, 192));
        }
        EXPECT_EQ(Checked(dlg), (std::vector<int>{0, 3, -1, -1, 2, 4}));
        dlg.Hide();
        return wxID_CANCEL;
    });
}

TEST_F(ConfigDlgTest, TabEntersAGroupAtItsCheckedButtonAndLeavesItForTheNextGroup) {
    SetTypes({-3, 0, -3, -3, -3, -3});
    RunConfig([&](CConfigDlg& dlg) {
        dlg.Show();
        // Shown, activated, and its first focus given, before the focus is moved.
        for (int i = 0; i < 50; ++i) {
            wxYield();
            wxMilliSleep(10);
        }
        auto tabFrom = [&](wxWindow* from) {
            from->SetFocus();
            for (int i = 0; i < 300 && wxWindow::FindFocus() != from; ++i) {
                wxYield();
                wxMilliSleep(10);
            }
            from->Navigate(wxNavigationKeyEvent::IsForward);
            // A loaded X server moves the focus late: wait until it has left the button.
            for (int i = 0; i < 300 && wxWindow::FindFocus() == from; ++i) {
                wxYield();
                wxMilliSleep(10);
            }
            return wxWindow::FindFocus();
        };
        // Group 0 has no button checked: Tab goes from button to button.
        EXPECT_EQ(tabFrom(dlg.Button(0, 3)), dlg.Button(0, 4));
        // Group 1 has its first button checked: Tab enters there and goes on to group 2.
        EXPECT_EQ(tabFrom(dlg.Button(0, 4)), dlg.Button(1, 0));
        EXPECT_EQ(tabFrom(dlg.Button(1, 0)), dlg.Button(2, 0));
        dlg.Hide();
        return wxID_CANCEL;
    });
}

TEST_F(ConfigDlgTest, TheOkButtonExchangesTheChoice) {
    SetTypes({-3, -3, -3, -3, -3, -3});
    RunConfig([&](CConfigDlg& dlg) {
        dlg.Button(0, 3)->SetValue(true);
        // The OK button as it reports a click: the dialog's own handling exchanges the data.
        wxWindow* ok = dlg.FindWindow(wxID_OK);
        EXPECT_NE(ok, nullptr);
        if (ok != nullptr) {
            wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
            click.SetEventObject(ok);
            ok->ProcessWindowEvent(click);
        }
        EXPECT_EQ(dlg.m_nGroup[0], 3);
        EXPECT_EQ(dlg.m_nGroup[1], -1);
        return wxID_OK;
    });
    EXPECT_EQ(CardWrites(), std::vector<std::string>{"SetCardOption 1 QZSWTA01,,,,,"});
}

} // namespace
