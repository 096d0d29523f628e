#include <gtest/gtest.h>

#include <set>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

#include "platform/CommandIds.h"
#include "platform/wx/TemplateBuilder.h"
#include "platform/wx/WindowCapture.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "tests/support/GuiTestHelpers.h"

namespace {

// A control made in two steps: constructed empty, created by AttachToItem.
class CTwoStepProbe : public wxWindow {
public:
    CTwoStepProbe() = default;
};

// A control that fills itself with one colour.
class CFilledProbe : public wxWindow {
public:
    CFilledProbe(wxWindow* parent, int id, const wxColour& colour) : wxWindow(parent, id) {
        SetBackgroundColour(colour);
    }
};

class TemplateBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "template test", wxPoint(0, 0), wxSize(400, 400));
        panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0));
        frame->Bind(wxEVT_SIZE, [](wxSizeEvent&) {}); // keep the panel at its template size
    }
    void TearDown() override {
        frame->Destroy();
        PumpEvents(0);
    }

    std::vector<int> ChildIds() const {
        std::vector<int> ids;
        for (wxWindow* child : panel->GetChildren()) {
            ids.push_back(SystemNumber(child->GetId()));
        }
        return ids;
    }

    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
};

TEST(DialogUnits, ConvertWithQuarterWidthAndEighthHeightTruncated) {
    const wxRect r = DialogToPixels(wxSize(6, 13), 4, 30, 168, 158);
    EXPECT_EQ(r, wxRect(6, 48, 252, 256)); // 30 * 13 / 8 = 48.75 and 158 * 13 / 8 = 256.75 truncate
    EXPECT_EQ(DialogToPixels(wxSize(5, 12), 3, 3, 3, 3), wxRect(3, 4, 3, 4));
}

TEST(DialogUnits, TemplateFontIsEightPointWithSaneUnits) {
    const wxFont font = TemplateFont(*FindDialogTemplate(IDD_MAIN_PANEL));
    EXPECT_EQ(font.GetPointSize(), 8);
    const wxSize units = DialogBaseUnits(font);
    // An 8-point sans serif face on a 96 dpi screen: letters 4 to 8 pixels wide on average, 10 to 16 high.
    EXPECT_GE(units.x, 4);
    EXPECT_LE(units.x, 8);
    EXPECT_GE(units.y, 10);
    EXPECT_LE(units.y, 16);
}

TEST(CommandIds, HighCommandsMapBelowTheWxLimitAndBack) {
    const int commands[] = {ID_SELF_TEST, ID_REFRESH,    ID_EXIT,         ID_RESET,  ID_HELP_CONTENTS,
                            ID_ABOUT,     ID_MAIN_PANEL, ID_STATUS_PANEL, ID_CONFIG, ID_HELP_INDEX};
    std::set<int> seen;
    for (int command : commands) {
        const int id = WxId(command);
        EXPECT_LT(id, 0x7FFF) << command;
        EXPECT_GT(id, wxID_HIGHEST) << command;
        EXPECT_TRUE(seen.insert(id).second) << "two commands share wx id " << id;
        EXPECT_EQ(SystemNumber(id), command);
    }
    EXPECT_EQ(WxId(IDOK), wxID_OK);
    EXPECT_EQ(WxId(IDCANCEL), wxID_CANCEL);
    EXPECT_EQ(SystemNumber(wxID_OK), IDOK);
    EXPECT_EQ(WxId(IDC_LAMP), IDC_LAMP);
    EXPECT_EQ(SystemNumber(IDC_LAMP), IDC_LAMP);
}

TEST_F(TemplateBuilderTest, BuildsEveryItemInTemplateOrderWithItsPlaceAndKind) {
    ASSERT_TRUE(BuildFromTemplate(panel, IDD_STATUS_PANEL));
    const DialogTemplate& t = *FindDialogTemplate(IDD_STATUS_PANEL);
    const wxSize units = TemplateBaseUnits(panel);
    EXPECT_EQ(panel->GetClientSize(), DialogToPixels(units, 0, 0, t.cx, t.cy).GetSize());
    const wxWindowList& children = panel->GetChildren();
    ASSERT_EQ(children.size(), t.items.size());
    size_t i = 0;
    for (wxWindow* child : children) {
        const DialogItem& item = t.items[i++];
        SCOPED_TRACE(item.text + " " + std::to_string(item.id));
        EXPECT_EQ(child->GetRect(), DialogToPixels(units, item.x, item.y, item.cx, item.cy));
        if (item.id != IDC_STATIC) {
            EXPECT_EQ(child->GetId(), item.id);
            EXPECT_EQ(TemplateItemWindow(panel, item.id), child);
        }
        switch (item.kind) {
        case ItemKind::Text: {
            auto* text = dynamic_cast<wxStaticText*>(child);
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(text->GetLabel(), item.text);
            EXPECT_EQ(text->HasFlag(wxALIGN_CENTRE_HORIZONTAL), (item.style & kCentre) != 0);
            break;
        }
        case ItemKind::PushButton: {
            auto* button = dynamic_cast<wxButton*>(child);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->GetLabel(), item.text);
            break;
        }
        default:
            EXPECT_EQ(dynamic_cast<wxButton*>(child), nullptr);
            EXPECT_EQ(dynamic_cast<wxStaticText*>(child), nullptr);
            break;
        }
    }
    EXPECT_FALSE(BuildFromTemplate(panel, IDD_STATUS_PANEL)) << "a window is built once";
    EXPECT_FALSE(BuildFromTemplate(new wxPanel(frame), 4242)) << "no such template";
}

TEST_F(TemplateBuilderTest, ItemRectAndTabPlaceFollowTheTemplate) {
    ASSERT_TRUE(BuildFromTemplate(panel, IDD_MAIN_PANEL));
    const wxSize u = TemplateBaseUnits(panel);
    EXPECT_EQ(TemplateItemRect(panel, IDC_LAMP), DialogToPixels(u, 143, 35, 16, 12));
    EXPECT_EQ(TemplateTabPlace(panel, IDC_HEADER), 0);
    EXPECT_EQ(TemplateTabPlace(panel, IDC_LAMP), 7);
    EXPECT_EQ(TemplateTabPlace(panel, IDC_GROUP3), 14);
    EXPECT_EQ(TemplateTabPlace(panel, IDC_STATIC), -1) << "unnamed items cannot be found";
    EXPECT_TRUE(TemplateItemRect(panel, 4242).IsEmpty());
    EXPECT_EQ(TemplateTabPlace(panel, 4242), -1);
    EXPECT_EQ(TemplateItemWindow(panel, 4242), nullptr);
    EXPECT_TRUE(TemplateItemRect(frame, IDC_LAMP).IsEmpty()) << "the frame was not built from a template";
}

TEST_F(TemplateBuilderTest, AttachedControlTakesTheItemsIdRectAndTabPlace) {
    ASSERT_TRUE(BuildFromTemplate(panel, IDD_MAIN_PANEL));
    const std::vector<int> before = ChildIds();
    wxWeakRef<wxWindow> placeholder = TemplateItemWindow(panel, IDC_BODY);
    const wxRect r = TemplateItemRect(panel, IDC_BODY);

    auto* body = new CFilledProbe(panel, wxID_ANY, *wxRED);
    EXPECT_EQ(AttachToItem(panel, IDC_BODY, body), body);
    EXPECT_EQ(placeholder.get(), nullptr) << "the placeholder is destroyed";
    EXPECT_EQ(body->GetId(), IDC_BODY);
    EXPECT_EQ(body->GetRect(), r);
    EXPECT_EQ(ChildIds(), before) << "same items in the same tab order";
    EXPECT_EQ(TemplateItemWindow(panel, IDC_BODY), body);

    // A two-step control is created on the item by the attachment.
    auto* lamp = AttachToItem(panel, IDC_LAMP, new CTwoStepProbe());
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->GetParent(), panel);
    EXPECT_EQ(lamp->GetRect(), TemplateItemRect(panel, IDC_LAMP));
    EXPECT_EQ(ChildIds(), before);

    // Attaching again replaces the control attached before.
    wxWeakRef<wxWindow> firstBody = body;
    auto* second = AttachToItem(panel, IDC_BODY, new CFilledProbe(panel, IDC_BODY, *wxBLUE));
    EXPECT_EQ(firstBody.get(), nullptr);
    EXPECT_EQ(TemplateItemWindow(panel, IDC_BODY), second);
    EXPECT_EQ(ChildIds(), before);
}

TEST_F(TemplateBuilderTest, AttachingToAnUnknownItemDestroysTheControl) {
    ASSERT_TRUE(BuildFromTemplate(panel, IDD_MAIN_PANEL));
    const size_t count = panel->GetChildren().size();
    wxWeakRef<wxWindow> stray = new CFilledProbe(panel, wxID_ANY, *wxRED);
    EXPECT_EQ(AttachToItem(panel, 4242, stray.get()), nullptr);
    EXPECT_EQ(stray.get(), nullptr);
    EXPECT_EQ(panel->GetChildren().size(), count);
    EXPECT_EQ(AttachToItem(panel, 4242, new CTwoStepProbe()), nullptr);
}

TEST_F(TemplateBuilderTest, LateAttachedFrameStaysBehindTheItemsAfterIt) {
    ASSERT_TRUE(BuildFromTemplate(panel, IDD_MAIN_PANEL));
    frame->SetClientSize(panel->GetSize());
    ASSERT_TRUE(WaitUntilShown(panel));
    // The body frame comes before the identification strip in the template; attached last, filled red, it
    // must not cover the strip.
    AttachToItem(panel, IDC_BODY, new CFilledProbe(panel, IDC_BODY, *wxRED));
    PumpEvents(200);
    for (int id : {IDC_INFO_STRIP, IDC_SLOT, IDC_LAMP, IDC_GROUP3}) {
        EXPECT_EQ(TemplateItemWindow(panel, id)->GetRect(), TemplateItemRect(panel, id))
            << "restacked in place";
    }
    const wxImage shot = CaptureWindow(frame);
    ASSERT_TRUE(shot.IsOk());
    const wxPoint origin = panel->GetScreenPosition() - frame->GetScreenPosition();
    const wxRect strip = TemplateItemRect(panel, IDC_INFO_STRIP);
    const wxRect body = TemplateItemRect(panel, IDC_BODY);
    // Inside the strip, clear of the slot field and the lamp: the strip's own ground (the panel's).
    const wxPoint inStrip = origin + wxPoint(strip.x + 2, strip.y + 2);
    EXPECT_NE(PixelAt(shot, inStrip.x, inStrip.y), *wxRED);
    // Below the strip and left of the groups, the body shows.
    const wxPoint inBody = origin + wxPoint(body.x + 3, body.GetBottom() - 3);
    EXPECT_EQ(PixelAt(shot, inBody.x, inBody.y), *wxRED);
}

TEST_F(TemplateBuilderTest, RadioGroupsFollowTheTemplateGroups) {
    auto* dialog = new wxDialog(frame, wxID_ANY, "Configuration");
    ASSERT_TRUE(BuildFromTemplate(dialog, IDD_CONFIG));
    auto radio = [&](int group, int k) {
        return dynamic_cast<wxRadioButton*>(TemplateItemWindow(dialog, IDC_CONFIG_RADIO_FIRST[group] + k));
    };
    for (int g = 0; g < 6; ++g) {
        for (int k = 0; k < 5; ++k) {
            ASSERT_NE(radio(g, k), nullptr) << g << " " << k;
        }
    }
    radio(0, 3)->SetValue(true);
    radio(1, 1)->SetValue(true);
    EXPECT_TRUE(radio(0, 3)->GetValue()) << "a choice in group 1 leaves group 0 alone";
    radio(0, 4)->SetValue(true);
    EXPECT_FALSE(radio(0, 3)->GetValue()) << "the buttons of one group exclude each other";
    EXPECT_TRUE(radio(1, 1)->GetValue());
    dialog->Destroy();
}

} // namespace
