// The group pictures rendered off-screen (their geometry alone is a unit test): colours at the computed
// element centres, mirroring, the dial's missing positions and pointer, partial drawing, and the hit
// rectangles each drawing writes.
#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "controls/wx/GroupButton.h"
#include "platform/wx/Drawing.h"
#include "tests/support/RecordingFacade.h"

namespace {

std::unique_ptr<CGroupButton> Group(int type, int pos, int group = 0, int firstOnTop = 1) {
    const std::string g = std::to_string(group);
    auto button = std::make_unique<CGroupButton>(type, ("Com " + g).c_str(), (g + "0").c_str(),
                                                 (g + "1").c_str(), (g + "2").c_str(), (g + "3").c_str(),
                                                 (g + "4").c_str(), (g + "5").c_str(), group, firstOnTop);
    button->SetPosition(pos);
    return button;
}

// The contacts ordered from the top of the picture down.
std::vector<int> TopToBottom(const CGroupButton& b, int n) {
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](int a, int c) { return b.m_rcElem[a].y < b.m_rcElem[c].y; });
    return order;
}

class GroupDrawing : public ::testing::Test {
protected:
    CRecordingFacade m_facade;
};

TEST_F(GroupDrawing, FourPositionSwitchWithoutPositionIsAllBlueWithoutArm) {
    auto b = Group(3, -1);
    CPicture pic(kGroupSize);
    pic.Draw(*b);
    const wxImage img = pic.Image();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(img, Centre(b->m_rcElem[i])), kBluePx) << "contact " << i;
    }
    EXPECT_EQ(At(img, Centre(b->m_rcPole)), kBluePx);
    // Nowhere between the pole and the contacts is there an arm.
    const wxRect between(b->m_rcPole.GetRight() + 2, 4, b->m_rcElem[0].x - b->m_rcPole.GetRight() - 3, 62);
    EXPECT_EQ(CountPixels(img, between, kYellowPx), 0);
    EXPECT_EQ(CountPixels(img, between, Pixel{0, 0, 0}), 0);
    // The hit rectangles are the contacts' bounding boxes: their corners stay background.
    EXPECT_EQ(At(img, b->m_rcElem[1].GetTopLeft()), kLightGreyPx);
}

TEST_F(GroupDrawing, SelectedContactAndPoleAreYellowAndFirstOnTopIsMirrored) {
    for (int firstOnTop : {1, 0}) {
        SCOPED_TRACE(firstOnTop);
        auto b = Group(3, 2, firstOnTop ? 0 : 3, firstOnTop);
        CPicture pic(kGroupSize);
        pic.Draw(*b);
        const wxImage img = pic.Image();
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(At(img, Centre(b->m_rcElem[i])), i == 2 ? kYellowPx : kBluePx) << "contact " << i;
        }
        EXPECT_EQ(At(img, Centre(b->m_rcPole)), kYellowPx);
        const std::vector<int> order = TopToBottom(*b, 4);
        if (firstOnTop) {
            EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3})); // contact 2 third from the top
        } else {
            EXPECT_EQ(order, (std::vector<int>{3, 2, 1, 0})); // contact 2 second from the bottom
        }
        // The arm runs across at the height of the selected contact, yellow in its middle.
        const int y = Centre(b->m_rcElem[2]).y;
        const int x = (b->m_ptArm[1].x + b->m_ptArm[2].x) / 2;
        EXPECT_EQ(At(img, wxPoint(x, b->m_ptArm[2].y)), kYellowPx);
        EXPECT_NEAR(b->m_ptArm[2].y, y, 1);
        EXPECT_EQ(b->m_ptArm[2].x, b->m_rcElem[2].x);
    }
}

TEST_F(GroupDrawing, SixPositionSwitchMirrorsAndSelects) {
    auto top = Group(4, 5, 1, 1);
    auto bottom = Group(4, 5, 4, 0);
    CPicture a(kGroupSize), c(kGroupSize);
    a.Draw(*top);
    c.Draw(*bottom);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(top->m_rcElem[i], bottom->m_rcElem[5 - i]) << i;
    }
    const wxImage img = c.Image();
    EXPECT_EQ(TopToBottom(*bottom, 6).front(), 5); // position 5 on top when position 0 is at the bottom
    EXPECT_EQ(At(img, Centre(bottom->m_rcElem[5])), kYellowPx);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(At(img, Centre(bottom->m_rcElem[i])), kBluePx) << i;
    }
    EXPECT_NEAR(bottom->m_dUnit, 66 / 15.0, 1e-9);
}

TEST_F(GroupDrawing, PositionOutsideTheTypeDrawsNoArm) {
    // A six-position group retyped to four positions keeps position 5 until it is set again.
    auto b = Group(4, 5);
    b->SetType(3);
    CPicture pic(kGroupSize);
    pic.Draw(*b);
    const wxImage img = pic.Image();
    EXPECT_EQ(At(img, Centre(b->m_rcPole)), kBluePx);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(img, Centre(b->m_rcElem[i])), kBluePx) << i;
    }
}

TEST_F(GroupDrawing, EmptyPoleLabelPutsThePoleAtTheMargin) {
    auto b = Group(3, -1);
    b->m_strPole.clear();
    CPicture pic(kGroupSize);
    pic.Draw(*b);
    EXPECT_EQ(b->m_rcPole.x, static_cast<int>(0.025 * kGroupSize.x));
    auto labelled = Group(3, -1);
    CPicture other(kGroupSize);
    other.Draw(*labelled);
    EXPECT_GT(labelled->m_rcPole.x, b->m_rcPole.x + 10);
}

TEST_F(GroupDrawing, DialShowsTheTypesPositionsAndGreysTheRest) {
    struct Case {
        int type, count;
    };
    for (Case c : {Case{0, 12}, Case{1, 10}, Case{2, 8}}) {
        SCOPED_TRACE(c.type);
        auto b = Group(c.type, 3);
        CPicture pic(kGroupSize);
        pic.Draw(*b);
        const wxImage img = pic.Image();
        for (int k = 0; k < 12; ++k) {
            const Pixel expected = k == 3 ? kYellowPx : k < c.count ? kBluePx : kDarkGreyPx;
            EXPECT_EQ(At(img, Centre(b->m_rcElem[k])), expected) << "position " << k;
        }
        EXPECT_EQ(At(img, Centre(b->m_rcPole)), kYellowPx);
    }
}

TEST_F(GroupDrawing, DialPositionsRunClockwiseFromOneOClock) {
    auto b = Group(0, 5);
    CPicture pic(kGroupSize);
    pic.Draw(*b);
    const wxPoint centre(kGroupSize.x / 2, kGroupSize.y / 2);
    double previous = -1;
    for (int k = 0; k < 12; ++k) {
        const wxPoint p = Centre(b->m_rcElem[k]);
        // Clockwise angle from twelve o'clock.
        double a = std::atan2(p.x - centre.x, centre.y - p.y);
        if (a < 0) {
            a += 2 * M_PI;
        }
        if (k == 11) {
            EXPECT_LT(std::abs(p.x - centre.x), 2); // twelve o'clock
        } else {
            EXPECT_GT(a, previous) << k;
            previous = a;
        }
    }
    EXPECT_NEAR(Centre(b->m_rcElem[5]).x, centre.x, 2); // position 5 at six o'clock
    EXPECT_GT(Centre(b->m_rcElem[5]).y, centre.y);
    EXPECT_EQ(b->m_strLabel[0], "0");
    EXPECT_EQ(b->m_strLabel[10], "10");
    EXPECT_EQ(b->m_strLabel[1], "");
    EXPECT_EQ(b->m_strLabel[11], "");
}

TEST_F(GroupDrawing, PointerPointsAtTheSelectedStep) {
    for (int pos : {0, 3, 5, 9, 10, 11}) {
        SCOPED_TRACE(pos);
        auto b = Group(0, pos);
        CPicture pic(kGroupSize);
        pic.Draw(*b);
        const wxImage img = pic.Image();
        // The pointer's tip lies nearer the selected circle than any other.
        const wxPoint tip = b->m_ptNeedle[2];
        int nearest = -1;
        double best = 1e9;
        for (int k = 0; k < 12; ++k) {
            const wxPoint c = Centre(b->m_rcElem[k]);
            const double d = std::hypot(c.x - tip.x, c.y - tip.y);
            if (d < best) {
                best = d;
                nearest = k;
            }
        }
        EXPECT_EQ(nearest, pos);
        // The triangle is filled yellow between its base and its tip.
        const wxPoint inside((b->m_ptNeedle[0].x + b->m_ptNeedle[1].x + 2 * tip.x) / 4,
                             (b->m_ptNeedle[0].y + b->m_ptNeedle[1].y + 2 * tip.y) / 4);
        EXPECT_EQ(At(img, inside), kYellowPx);
        EXPECT_EQ(At(img, Centre(b->m_rcElem[pos])), kYellowPx);
    }
}

TEST_F(GroupDrawing, DialWithoutPositionHasNoPointerAndNoYellowCircle) {
    auto b = Group(1, -1);
    CPicture pic(kGroupSize);
    pic.Draw(*b);
    const wxImage img = pic.Image();
    wxRect hub = b->m_rcPole;
    hub.Inflate(1);
    EXPECT_EQ(CountPixels(img, wxRect(kGroupSize), kYellowPx), CountPixels(img, hub, kYellowPx));
    EXPECT_GT(CountPixels(img, hub, kYellowPx), 0);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(At(img, Centre(b->m_rcElem[k])), kBluePx);
    }
}

TEST_F(GroupDrawing, AnUnknownGroupIsGreyWithoutArmPointerBlueOrYellow) {
    for (int type : {3, 4, 1}) {
        SCOPED_TRACE(type);
        auto b = Group(type, 2);
        b->SetPosition(2, true);
        CPicture pic(kGroupSize);
        pic.Draw(*b);
        const wxImage img = pic.Image();
        EXPECT_EQ(CountPixels(img, wxRect(kGroupSize), kYellowPx) +
                      CountPixels(img, wxRect(kGroupSize), kBluePx),
                  0);
        EXPECT_EQ(At(img, Centre(b->m_rcPole)), (Pixel{128, 128, 128}));
        EXPECT_EQ(At(img, Centre(b->m_rcElem[2])), (Pixel{128, 128, 128}));
    }
}

TEST_F(GroupDrawing, DialDrawsDbAndTheGroupDigit) {
    auto b = Group(0, 0, 4);
    CPicture pic(kGroupSize);
    pic.Draw(*b);
    CPicture blank(kGroupSize);
    auto noDigit = Group(0, 0, 4);
    noDigit->m_strPole.clear();
    blank.Draw(*noDigit);
    wxBitmap scratch(8, 8, 24);
    wxMemoryDC dc(scratch);
    dc.SetFont(CGroupButton::DialFont());
    const wxSize dB = dc.GetTextExtent("dB");
    const DialGeometry g =
        LayoutAttenuator(FromWx(kGroupSize), 0, std::array<PixelSize, 12>{}.data(), FromWx(dB));
    const wxRect digit(ToWx(g.digit), wxSize(dB.x / 2, dB.y));
    // The digit's place holds dark text only when the pole label is not empty.
    EXPECT_GT(CountPixels(pic.Image(), digit, Pixel{0, 0, 0}), 3);
    EXPECT_EQ(CountPixels(blank.Image(), digit, Pixel{0, 0, 0}), 0);
    EXPECT_GT(CountPixels(pic.Image(), wxRect(ToWx(g.dB), dB), Pixel{0, 0, 0}), 3);
}

TEST_F(GroupDrawing, PressAndFocusDrawNothingAndNegativeTypesDrawNothing) {
    auto b = Group(3, 1);
    CPicture pressed(kGroupSize);
    pressed.Draw(*b, ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
    pressed.Draw(*b, ODA_FOCUS, ODS_FOCUS);
    EXPECT_EQ(CountPixels(pressed.Image(), wxRect(kGroupSize), kMagentaPx), kGroupSize.x * kGroupSize.y);
    for (int type : {-1, -2, -3}) {
        auto none = Group(type, -1);
        CPicture pic(kGroupSize);
        pic.Draw(*none);
        EXPECT_EQ(CountPixels(pic.Image(), wxRect(kGroupSize), kMagentaPx), kGroupSize.x * kGroupSize.y);
        EXPECT_TRUE(none->m_rcPole.IsEmpty());
    }
}

TEST_F(GroupDrawing, PartialDrawingRepaintsOnlyWhatCanChange) {
    for (int type : {3, 4, 1}) {
        SCOPED_TRACE(type);
        // On a blank picture a partial drawing leaves the corners, frame and fixed labels alone.
        auto b = Group(type, 2);
        CPicture partialOnly(kGroupSize);
        partialOnly.Draw(*b, ODA_SELECT, ODS_FOCUS);
        const wxImage only = partialOnly.Image();
        EXPECT_EQ(At(only, wxPoint(0, 0)), kMagentaPx);
        EXPECT_EQ(At(only, wxPoint(kGroupSize.x - 1, kGroupSize.y - 1)), kMagentaPx);
        EXPECT_EQ(At(only, Centre(b->m_rcElem[2])), kYellowPx);
        // Over the previous picture it gives exactly the full drawing of the new state.
        auto moved = Group(type, 0);
        CPicture pic(kGroupSize);
        pic.Draw(*moved);
        moved->SetPosition(2);
        pic.Draw(*moved, ODA_SELECT, ODS_FOCUS);
        CPicture full(kGroupSize);
        full.Draw(*b);
        const wxImage p = pic.Image();
        const wxImage f = full.Image();
        // A dial's texts at the frame are drawn again over themselves; compare inside the frame.
        const wxRect area =
            type == 1 ? wxRect(5, 5, kGroupSize.x - 10, kGroupSize.y - 10) : wxRect(kGroupSize);
        int differing = 0;
        for (int y = area.y; y < area.GetBottom(); ++y) {
            for (int x = area.x; x < area.GetRight(); ++x) {
                differing += At(p, wxPoint(x, y)) == At(f, wxPoint(x, y)) ? 0 : 1;
            }
        }
        EXPECT_EQ(differing, 0);
    }
    // A switch's partial drawing leaves its channel labels where they were.
    auto b = Group(3, 1);
    CPicture pic(kGroupSize);
    pic.Draw(*b, ODA_SELECT, ODS_FOCUS);
    const wxImage img = pic.Image();
    const wxRect labels(b->m_rcElem[0].GetRight() + 3, 2, kGroupSize.x - b->m_rcElem[0].GetRight() - 5, 60);
    EXPECT_EQ(CountPixels(img, labels, kMagentaPx), labels.width * labels.height);
}

TEST_F(GroupDrawing, DrawingRestoresTheContext) {
    for (int type : {0, 3, 4}) {
        auto b = Group(type, 1);
        wxBitmap bitmap(kGroupSize, 24);
        wxMemoryDC dc(bitmap);
        const wxPen pen(wxColour(1, 2, 3), 1);
        const wxBrush brush(wxColour(4, 5, 6));
        const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        dc.SetPen(pen);
        dc.SetBrush(brush);
        dc.SetFont(font);
        b->DrawItem(dc, wxRect(kGroupSize), ODA_DRAWENTIRE, 0);
        b->DrawItem(dc, wxRect(kGroupSize), ODA_SELECT, ODS_FOCUS);
        EXPECT_EQ(dc.GetPen().GetColour(), pen.GetColour());
        EXPECT_EQ(dc.GetBrush().GetColour(), brush.GetColour());
        EXPECT_EQ(dc.GetFont(), font);
    }
}

TEST_F(GroupDrawing, DrawingFollowsTheControlSize) {
    // The hit rectangles are rewritten by every drawing, at the size of that drawing.
    auto b = Group(4, 0);
    CPicture small(kGroupSize);
    small.Draw(*b);
    const wxRect before = b->m_rcElem[5];
    CPicture large(wxSize(226, 140));
    large.Draw(*b);
    EXPECT_GT(b->m_rcElem[5].width, before.width);
    EXPECT_EQ(At(large.Image(), Centre(b->m_rcElem[5])), kBluePx);
    EXPECT_EQ(At(large.Image(), Centre(b->m_rcElem[0])), kYellowPx);
}

int Differing(const wxImage& a, const wxImage& b) {
    int n = 0;
    for (int y = 0; y < a.GetHeight(); ++y) {
        for (int x = 0; x < a.GetWidth(); ++x) {
            n += At(a, wxPoint(x, y)) == At(b, wxPoint(x, y)) ? 0 : 1;
        }
    }
    return n;
}

TEST_F(GroupDrawing, KeptFixedPictureGivesTheSamePixelsAsDrawingEveryPart) {
    struct Case {
        int type, from, to;
    };
    for (Case c :
         {Case{3, -1, 2}, Case{3, 2, -1}, Case{4, 0, 5}, Case{0, 5, 11}, Case{1, -1, 9}, Case{2, 7, 0}}) {
        SCOPED_TRACE(c.type);
        auto kept = Group(c.type, c.from, 2);
        auto direct = Group(c.type, c.from, 2);
        direct->m_bKeepFixedPicture = false;
        CPicture a(kGroupSize), b(kGroupSize);
        a.Draw(*kept);
        b.Draw(*direct);
        EXPECT_EQ(Differing(a.Image(), b.Image()), 0);
        kept->SetPosition(c.to);
        direct->SetPosition(c.to);
        a.Draw(*kept, ODA_SELECT, ODS_FOCUS);
        b.Draw(*direct, ODA_SELECT, ODS_FOCUS);
        // Inside the frame both are the same; a direct dial drawing draws its texts at the frame twice.
        const wxImage ia = a.Image().GetSubImage(wxRect(5, 5, kGroupSize.x - 10, kGroupSize.y - 10));
        const wxImage ib = b.Image().GetSubImage(wxRect(5, 5, kGroupSize.x - 10, kGroupSize.y - 10));
        EXPECT_EQ(Differing(ia, ib), 0);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(kept->m_rcElem[i], direct->m_rcElem[i]);
        }
    }
}

TEST_F(GroupDrawing, KeptFixedPictureFollowsLabelsTypeAndSize) {
    auto b = Group(3, 1);
    CPicture first(kGroupSize);
    first.Draw(*b);
    char labels[kLabelsPerBank][kLabelSize] = {"WWWWWWW", "x", "y", "z", "", "", "P"};
    b->SetLabels(labels);
    CPicture kept(kGroupSize);
    kept.Draw(*b);
    auto fresh = Group(3, 1);
    fresh->SetLabels(labels);
    fresh->m_bKeepFixedPicture = false;
    CPicture direct(kGroupSize);
    direct.Draw(*fresh);
    EXPECT_GT(Differing(first.Image(), kept.Image()), 50);
    EXPECT_EQ(Differing(kept.Image(), direct.Image()), 0);

    b->SetType(1);
    CPicture dial(kGroupSize);
    dial.Draw(*b);
    EXPECT_EQ(At(dial.Image(), Centre(b->m_rcElem[11])), kDarkGreyPx);
    CPicture large(wxSize(150, 90));
    large.Draw(*b);
    EXPECT_EQ(At(large.Image(), Centre(b->m_rcElem[11])), kDarkGreyPx);
    EXPECT_EQ(At(large.Image(), wxPoint(140, 80)), kLightGreyPx);
}

} // namespace
