#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "app/wx/AboutDlg.h"
#include "platform/wx/TemplateBuilder.h"
#include "tests/support/GuiTestHelpers.h"

namespace {

TEST(AboutDlg, TextsExactCentredAndOkIsTheDefault) {
    auto* owner = new wxFrame(nullptr, wxID_ANY, "owner");
    {
        CAboutDlg about(owner);
        EXPECT_EQ(about.GetTitle(), "About rqk4712v Sfp");
        EXPECT_EQ(about.GetParent(), owner);
        EXPECT_FALSE(about.HasFlag(wxRESIZE_BORDER));
        std::vector<std::string> texts;
        int icons = 0;
        wxButton* ok = nullptr;
        for (wxWindow* child : about.GetChildren()) {
            if (auto* text = dynamic_cast<wxStaticText*>(child)) {
                texts.emplace_back(text->GetLabelText().utf8_str());
                EXPECT_TRUE(text->HasFlag(wxALIGN_CENTRE_HORIZONTAL)) << texts.back();
            } else if (auto* button = dynamic_cast<wxButton*>(child)) {
                ok = button;
            } else if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(child)) {
                EXPECT_TRUE(bitmap->GetBitmap().IsOk());
                ++icons;
            }
        }
        const std::vector<std::string> expected = {
            "rqk4712v soft front panel (WIN95/NT)", "VERSION: A.01.00",
            "VXI Plug & Play Driver revision required: A.01.00 or greater",
            "RQK4712V firmware revision required: A.11.01 or greater",
            "VISA version required: 1.0 or greater"};
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(icons, 1);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->GetLabel(), "OK");
        EXPECT_EQ(ok->GetId(), wxID_OK) << "OK closes the box through the dialog's standard handling";
        EXPECT_EQ(about.GetDefaultItem(), ok);
        EXPECT_EQ(about.GetClientSize(), DialogToPixels(TemplateBaseUnits(&about), 0, 0, 232, 92).GetSize());
    }
    owner->Destroy();
    PumpEvents(0);
}

} // namespace
