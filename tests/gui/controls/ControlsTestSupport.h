// Helpers of the control tests: rendering an owner drawing into an off-screen bitmap and reading its
// pixels back.
#pragma once

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/settings.h>

#include "platform/wx/OwnerDrawButton.h"

// The size of a group control on the main panel: 75 x 43 dialog units of the template's 8-point font.
inline const wxSize kGroupSize(113, 70);

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};
inline std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

constexpr Pixel kYellowPx{255, 255, 0};
constexpr Pixel kBluePx{0, 0, 255};
constexpr Pixel kDarkGreyPx{64, 64, 64};
constexpr Pixel kLightGreyPx{192, 192, 192};
constexpr Pixel kMagentaPx{255, 0, 255};

inline Pixel At(const wxImage& image, const wxPoint& p) {
    return {image.GetRed(p.x, p.y), image.GetGreen(p.x, p.y), image.GetBlue(p.x, p.y)};
}

inline wxPoint Centre(const wxRect& r) {
    return wxPoint(r.x + r.width / 2, r.y + r.height / 2);
}

// An off-screen picture of the given size, first filled with magenta so that what a drawing leaves
// untouched can be seen.
class CPicture {
public:
    explicit CPicture(const wxSize& size) : m_bitmap(size, 24) {
        wxMemoryDC dc(m_bitmap);
        dc.SetBackground(wxBrush(wxColour(255, 0, 255)));
        dc.Clear();
    }
    // Runs the owner-draw hook on the picture, in a fresh context with the default GUI font.
    void Draw(COwnerDrawButton& control, int action = ODA_DRAWENTIRE, int state = 0) {
        wxMemoryDC dc(m_bitmap);
        PrepareFreshContext(dc, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        control.DrawItem(dc, wxRect(m_bitmap.GetSize()), action, state);
    }
    template <typename F>
    void Paint(F drawing) {
        wxMemoryDC dc(m_bitmap);
        PrepareFreshContext(dc, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        drawing(dc, wxRect(m_bitmap.GetSize()));
    }
    wxImage Image() const { return m_bitmap.ConvertToImage(); }
    const wxBitmap& Bitmap() const { return m_bitmap; }

private:
    wxBitmap m_bitmap;
};

// The number of pixels of the colour inside the rectangle.
inline int CountPixels(const wxImage& image, const wxRect& area, const Pixel& colour) {
    int n = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (At(image, wxPoint(x, y)) == colour) {
                ++n;
            }
        }
    }
    return n;
}
