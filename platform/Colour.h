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

// PanelColor: index to colour (0 white, 1 black, 2 button shadow, 3 button highlight, 4 dark grey,
// 5 grey, 6 light grey, 7 button face, 8 teal, any other white).
COLORREF PanelColor(int index);
