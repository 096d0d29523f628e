// The display field, the read-out and lamp buttons and the bitmap static, rendered off-screen.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>

#include "ControlsTestSupport.h"
#include "controls/LampGeometry.h"
#include "controls/wx/BitmapStatic.h"
#include "controls/wx/LampButton.h"
#include "controls/wx/ReadoutButton.h"
#include "panels/wx/DisplayField.h"
#include "platform/wx/Drawing.h"
#include "resources/wx/Bitmaps.h"
#include "tests/support/RecordingFacade.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kHighlight = RGB(255, 255, 255);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr Pixel kTealPx{0, 128, 128};
constexpr Pixel kShadowPx{128, 128, 128};
constexpr Pixel kWhitePx{255, 255, 255};

// The columns that hold at least one pixel of the colour, as [first, last]; {-1, -1} when none do.
std::pair<int, int> ColumnsWith(const wxImage& img, const Pixel& colour, const wxRect& area) {
    int first = -1, last = -1;
    for (int x = area.x; x < area.GetRight() + 1; ++x) {
        for (int y = area.y; y < area.GetBottom() + 1; ++y) {
            if (At(img, wxPoint(x, y)) == colour) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

// Pixels that are neither of the two colours: the (smoothed) text.
int TextPixels(const wxImage& img, const wxRect& area, const Pixel& fill) {
    return area.width * area.height - CountPixels(img, area, fill);
}

class SmallControls : public ::testing::Test {
protected:
    CRecordingFacade m_facade;
};

TEST_F(SmallControls, DisplayFieldCentresItsTextInsideSunkenEdges) {
    CDisplayField field(kTeal, kWhite, kShadow, kHighlight, nullptr);
    field.m_strText = "Slot: 3";
    CPicture pic(wxSize(120, 24));
    pic.Paint([&](wxDC& dc, const wxRect& r) { field.PaintField(dc, r); });
    const wxImage img = pic.Image();
    EXPECT_EQ(At(img, wxPoint(0, 12)), kShadowPx);  // left edge
    EXPECT_EQ(At(img, wxPoint(60, 0)), kShadowPx);  // top edge
    EXPECT_EQ(At(img, wxPoint(119, 12)), kWhitePx); // right edge
    EXPECT_EQ(At(img, wxPoint(60, 23)), kWhitePx);  // bottom edge
    EXPECT_EQ(At(img, wxPoint(3, 3)), kTealPx);
    const wxRect box(1, 1, 118, 22);
    const auto [first, last] = ColumnsWith(img, kWhitePx, wxRect(2, 2, 116, 20));
    ASSERT_GE(first, 0);
    // Centred: the margins left and right of the text differ by a few pixels at most.
    EXPECT_NEAR(first - box.x, box.GetRight() - last, 4);
    EXPECT_GT(first, 20);
}

TEST_F(SmallControls, DisplayFieldTextWiderThanTheBoxStartsAtZeroAndIsCut) {
    CDisplayField field(kTeal, kWhite, kShadow, kHighlight, nullptr);
    field.m_strText = "A text far wider than its little box";
    CPicture pic(wxSize(40, 24));
    pic.Paint([&](wxDC& dc, const wxRect& r) { field.PaintField(dc, r); });
    const wxImage img = pic.Image();
    const auto [first, last] = ColumnsWith(img, kWhitePx, wxRect(1, 2, 38, 20));
    EXPECT_LE(first, 3);
    for (int y = 1; y < 23; ++y) {
        EXPECT_EQ(At(img, wxPoint(39, y)), kWhitePx) << y; // the right edge survives
        EXPECT_EQ(At(img, wxPoint(0, y)), kShadowPx) << y; // so does the left one
    }
    EXPECT_EQ(CentredTextPlace(wxRect(1, 1, 38, 22), wxSize(200, 13)), wxPoint(0, 5));
    EXPECT_EQ(CentredTextPlace(wxRect(1, 1, 38, 22), wxSize(20, 30)), wxPoint(10, 0));
}

TEST_F(SmallControls, DisplayFieldWithoutTextShowsEdgesAndFillOnly) {
    CDisplayField field(kTeal, kWhite, kShadow, kHighlight, nullptr);
    CPicture pic(wxSize(60, 20));
    pic.Paint([&](wxDC& dc, const wxRect& r) { field.PaintField(dc, r); });
    const wxRect inside(1, 1, 58, 18);
    EXPECT_EQ(CountPixels(pic.Image(), inside, kTealPx), inside.width * inside.height);
}

TEST_F(SmallControls, RaisedAndSunkenDifferOnlyInTheEdgeOrder) {
    CDisplayField sunken(kTeal, kWhite, kShadow, kHighlight, nullptr);
    CDisplayField raised(kTeal, kWhite, kShadow, kHighlight, nullptr);
    std::swap(raised.m_crEdge1, raised.m_crEdge2);
    CPicture a(wxSize(60, 20)), b(wxSize(60, 20));
    a.Paint([&](wxDC& dc, const wxRect& r) { sunken.PaintField(dc, r); });
    b.Paint([&](wxDC& dc, const wxRect& r) { raised.PaintField(dc, r); });
    EXPECT_EQ(At(a.Image(), wxPoint(0, 10)), kShadowPx);
    EXPECT_EQ(At(b.Image(), wxPoint(0, 10)), kWhitePx);
    EXPECT_EQ(At(a.Image(), wxPoint(59, 10)), kWhitePx);
    EXPECT_EQ(At(b.Image(), wxPoint(59, 10)), kShadowPx);
    EXPECT_EQ(At(a.Image(), wxPoint(30, 10)), At(b.Image(), wxPoint(30, 10)));
}

TEST_F(SmallControls, DisplayFieldSetTextRepaintsInsideTheEdgesOnly) {
    CDisplayField edged(kTeal, kWhite, kShadow, kHighlight, nullptr);
    CPicture pic(wxSize(60, 20));
    edged.m_strText = "";
    pic.Paint([&](wxDC& dc, const wxRect& r) { edged.PaintText(dc, r); });
    const wxImage img = pic.Image();
    EXPECT_EQ(At(img, wxPoint(0, 10)), kMagentaPx); // edges not drawn again
    EXPECT_EQ(At(img, wxPoint(59, 19)), kMagentaPx);
    EXPECT_EQ(CountPixels(img, wxRect(1, 1, 58, 18), kTealPx), 58 * 18);

    // Equal edge colours: the whole client area is filled.
    CDisplayField flat(kTeal, kWhite, kTeal, kTeal, nullptr);
    CPicture whole(wxSize(60, 20));
    flat.m_strText = "abc";
    whole.Paint([&](wxDC& dc, const wxRect& r) { flat.PaintText(dc, r); });
    EXPECT_EQ(CountPixels(whole.Image(), wxRect(0, 0, 60, 20), kMagentaPx), 0);
    EXPECT_GT(TextPixels(whole.Image(), wxRect(0, 0, 60, 20), kTealPx), 10);
}

TEST_F(SmallControls, DisplayFieldOnAWindowKeepsItsText) {
    wxFrame frame(nullptr, wxID_ANY, "field");
    auto* field = new CDisplayField(kTeal, kWhite, kShadow, kHighlight, nullptr);
    ASSERT_TRUE(field->Create(&frame, 1010, wxPoint(0, 0), wxSize(80, 20)));
    field->SetText("VXI0::112");
    EXPECT_EQ(field->m_strText, "VXI0::112");
    EXPECT_FALSE(field->AcceptsFocus());
}

TEST_F(SmallControls, ReadoutButtonDrawsEdgedBoxWithCentredText) {
    CReadoutButton readout(kWhite, kBlack, kShadow, kHighlight, nullptr);
    readout.m_strText = "*";
    CPicture pic(wxSize(75, 23));
    pic.Draw(readout, ODA_DRAWENTIRE, 0);
    const wxImage img = pic.Image();
    EXPECT_EQ(At(img, wxPoint(1, 11)), kShadowPx); // left edge of the box
    EXPECT_EQ(At(img, wxPoint(37, 1)), kShadowPx); // top
    EXPECT_EQ(At(img, wxPoint(73, 11)), kWhitePx); // right
    EXPECT_EQ(At(img, wxPoint(4, 4)), kWhitePx);   // the fill
    const auto [first, last] = ColumnsWith(img, Pixel{0, 0, 0}, wxRect(3, 3, 69, 17));
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last) / 2, 37, 3);

    // Every action and state draws the same picture.
    CPicture pressed(wxSize(75, 23));
    pressed.Draw(readout, ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(pressed.Image().GetData()[37 * 3 + 11 * 75 * 3], img.GetData()[37 * 3 + 11 * 75 * 3]);
    EXPECT_EQ(CountPixels(pressed.Image(), wxRect(2, 2, 71, 19), kWhitePx),
              CountPixels(img, wxRect(2, 2, 71, 19), kWhitePx));
}

TEST_F(SmallControls, ReadoutTextTooLargeStartsAtZeroAndEmptyTextLeavesTheBox) {
    CReadoutButton readout(kWhite, kBlack, kShadow, kHighlight, nullptr);
    readout.m_strText = "255 255 255 255 255";
    CPicture pic(wxSize(40, 12));
    pic.Draw(readout, ODA_DRAWENTIRE, 0);
    const wxImage img = pic.Image();
    const auto [first, last] = ColumnsWith(img, Pixel{0, 0, 0}, wxRect(2, 2, 36, 8));
    EXPECT_LE(first, 4);
    EXPECT_EQ(At(img, wxPoint(38, 6)), kWhitePx); // the right edge is not overwritten

    readout.m_strText.clear();
    CPicture empty(wxSize(40, 20));
    empty.Draw(readout, ODA_DRAWENTIRE, 0);
    EXPECT_EQ(CountPixels(empty.Image(), wxRect(2, 2, 36, 16), kWhitePx), 36 * 16);
}

TEST_F(SmallControls, ReadoutSetTextRepaintsTheInsideAndDoubleClickReachesTheParent) {
    CReadoutButton readout(kWhite, kBlack, kShadow, kHighlight, nullptr);
    readout.m_strText = "12";
    CPicture pic(wxSize(40, 20));
    pic.Paint([&](wxDC& dc, const wxRect& r) { readout.DrawText(dc, r); });
    const wxImage img = pic.Image();
    EXPECT_EQ(At(img, wxPoint(1, 1)), kMagentaPx);
    EXPECT_EQ(At(img, wxPoint(2, 2)), kWhitePx);
    EXPECT_GT(TextPixels(img, wxRect(2, 2, 36, 16), kWhitePx), 5);

    wxFrame frame(nullptr, wxID_ANY, "readout");
    auto* button = new CReadoutButton(kWhite, kBlack, kShadow, kHighlight, nullptr);
    ASSERT_TRUE(button->Create(&frame, 1022, wxPoint(20, 20), wxSize(75, 23)));
    std::vector<wxPoint> dclicks;
    frame.Bind(wxEVT_LEFT_DCLICK, [&](wxMouseEvent& e) { dclicks.push_back(e.GetPosition()); });
    int clicks = 0;
    frame.Bind(wxEVT_BUTTON, [&](wxCommandEvent& e) { clicks += e.GetId() == 1022 ? 1 : 0; });
    wxMouseEvent dclick(wxEVT_LEFT_DCLICK);
    dclick.SetPosition(wxPoint(30, 10));
    button->ProcessWindowEvent(dclick);
    EXPECT_TRUE(dclicks.empty()); // posted, not sent
    wxTheApp->ProcessPendingEvents();
    ASSERT_EQ(dclicks.size(), 1u);
    EXPECT_EQ(dclicks[0], wxPoint(0, 0));
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetPosition(wxPoint(30, 10));
    button->ProcessWindowEvent(up);
    EXPECT_EQ(clicks, 1);
    button->SetText("7");
    EXPECT_EQ(button->m_strText, "7");
}

TEST_F(SmallControls, EllipsesKeepToTheirBox) {
    for (const wxPen& pen : {*wxBLACK_PEN, *wxTRANSPARENT_PEN}) {
        CPicture pic(wxSize(20, 20));
        pic.Paint([&](wxDC& dc, const wxRect&) {
            dc.SetPen(pen);
            dc.SetBrush(*wxBLUE_BRUSH);
            DrawEllipseIn(dc, wxRect(3, 4, 11, 9));
        });
        const wxImage img = pic.Image();
        wxRect used;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                if (!(At(img, wxPoint(x, y)) == kMagentaPx)) {
                    used = used.IsEmpty() ? wxRect(x, y, 1, 1) : used.Union(wxRect(x, y, 1, 1));
                }
            }
        }
        EXPECT_EQ(used, wxRect(3, 4, 11, 9));
    }
}

TEST_F(SmallControls, LampIsCentredInItsSquare) {
    CLampButton lamp(RGB(0, 255, 0), RGB(192, 192, 192));
    CPicture tall(wxSize(16, 24));
    tall.Draw(lamp);
    const wxImage img = tall.Image();
    EXPECT_EQ(At(img, wxPoint(8, 12)), (Pixel{0, 255, 0}));
    EXPECT_EQ(At(img, wxPoint(8, 1)), kLightGreyPx); // above the square: background
    EXPECT_EQ(At(img, wxPoint(8, 22)), kLightGreyPx);
    EXPECT_EQ(CountPixels(img, wxRect(0, 0, 16, 24), kMagentaPx), 0);
    // The rim's lower right is in shadow, its upper left in highlight.
    const wxRect sq = ToWx(LampSquare(PixelRect{0, 0, 16, 24}));
    EXPECT_GT(CountPixels(img, wxRect(sq.x + 8, sq.y + 8, 8, 8), kShadowPx), 0);
    EXPECT_EQ(CountPixels(img, wxRect(sq.x, sq.y, 6, 6), kShadowPx), 0);

    // Only the rim is shaded: no line runs from the centre to the ends of the shaded arc.
    CPicture big(wxSize(40, 40));
    big.Draw(lamp);
    const wxImage bigImg = big.Image();
    EXPECT_NE(At(bigImg, wxPoint(30, 9)), kShadowPx);
    EXPECT_NE(At(bigImg, wxPoint(9, 30)), kShadowPx);
    EXPECT_GT(CountPixels(bigImg, wxRect(16, 35, 8, 5), kShadowPx), 0); // the bottom of the rim
    EXPECT_EQ(CountPixels(bigImg, wxRect(16, 0, 8, 5), kShadowPx), 0);  // the top, in highlight
    EXPECT_GT(CountPixels(bigImg, wxRect(16, 0, 8, 5), kWhitePx), 0);

    CLampButton dark(RGB(64, 64, 64), RGB(192, 192, 192));
    CPicture wide(wxSize(30, 16));
    wide.Draw(dark, ODA_FOCUS, 0);
    EXPECT_EQ(At(wide.Image(), wxPoint(15, 8)), kDarkGreyPx);
    EXPECT_EQ(At(wide.Image(), wxPoint(2, 8)), kLightGreyPx);
}

TEST_F(SmallControls, BitmapStaticPaintsUnscaledAtTheTopLeftAndClips) {
    wxFrame frame(nullptr, wxID_ANY, "bitmap");
    auto* logo = new CBitmapStatic(104);
    ASSERT_TRUE(logo->Create(&frame, 1002, wxPoint(0, 0), wxSize(93, 28)));
    CPicture pic(wxSize(93, 28));
    pic.Paint([&](wxDC& dc, const wxRect&) { logo->PaintBitmap(dc); });
    const wxImage painted = pic.Image();
    const wxImage source = LoadBitmapResource(104).ConvertToImage();
    for (const wxPoint p : {wxPoint(0, 0), wxPoint(8, 19), wxPoint(40, 10), wxPoint(92, 27)}) {
        EXPECT_EQ(At(painted, p), At(source, p)) << p.x << "," << p.y;
    }
    // A number without a bitmap paints nothing.
    CBitmapStatic none(999);
    CPicture blank(wxSize(10, 10));
    blank.Paint([&](wxDC& dc, const wxRect&) { none.PaintBitmap(dc); });
    EXPECT_EQ(CountPixels(blank.Image(), wxRect(0, 0, 10, 10), kMagentaPx), 100);
}

} // namespace
