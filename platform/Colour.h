// Colours as 32-bit values: red in the low byte, green in the next, blue in the third (0x00BBGGRR).
#pragma once

#include <cstdint>

using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// The system colours the panels use.
enum class SysColour { ButtonShadow, ButtonHighlight, ButtonFace };

// The colours of the panels, by their index.
enum PanelColour : int {
    kPanelWhite = 0,
    kPanelBlack = 1,
    kPanelShadow = 2,    // the system's button shadow
    kPanelHighlight = 3, // the system's button highlight
    kPanelDarkGrey = 4,  // the ground of the panel windows, the lamp of a non-live panel
    kPanelGrey = 5,
    kPanelLightGrey = 6,
    kPanelFace = 7, // the system's button face
    kPanelTeal = 8, // the title bands
};

// The colour of a panel colour index; white for any index outside the enumeration.
COLORREF PanelColor(int index);

// The classic system colours: button shadow grey (128, 128, 128), highlight white, face light grey
// (192, 192, 192). The facades without a desktop theme answer with them, and flat theme edges give way
// to them.
COLORREF ClassicSystemColour(SysColour which);

// The button shadow and highlight that 3-D edges are drawn with.
struct EdgeColours {
    COLORREF shadow;
    COLORREF highlight;
};
// The edge pair for the desktop theme's button shadow and highlight: the theme's own when its shadow is
// darker and its highlight lighter than the light-grey face the panels draw on; otherwise the classic
// pair, grey (128, 128, 128) and white, so that sunken and raised edges never look flat.
EdgeColours ChooseEdgeColours(COLORREF themeShadow, COLORREF themeHighlight);
