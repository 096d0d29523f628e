#include "platform/Colour.h"

#include "platform/Facade.h"

COLORREF PanelColor(int index) {
    switch (index) {
    case kPanelBlack:
        return RGB(0, 0, 0);
    case kPanelShadow:
        return Facade().SystemColour(SysColour::ButtonShadow);
    case kPanelHighlight:
        return Facade().SystemColour(SysColour::ButtonHighlight);
    case kPanelDarkGrey:
        return RGB(64, 64, 64);
    case kPanelGrey:
        return RGB(128, 128, 128);
    case kPanelLightGrey:
        return RGB(192, 192, 192);
    case kPanelFace:
        return Facade().SystemColour(SysColour::ButtonFace);
    case kPanelTeal:
        return RGB(0, 128, 128);
    default:
        return RGB(255, 255, 255);
    }
}

COLORREF ClassicSystemColour(SysColour which) {
    switch (which) {
    case SysColour::ButtonShadow:
        return RGB(128, 128, 128);
    case SysColour::ButtonHighlight:
        return RGB(255, 255, 255);
    case SysColour::ButtonFace:
        break;
    }
    return RGB(192, 192, 192);
}

namespace {

// Perceived brightness, 0 to 255000 (the usual weights of red, green and blue).
int Brightness(COLORREF c) {
    return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c);
}

} // namespace

EdgeColours ChooseEdgeColours(COLORREF themeShadow, COLORREF themeHighlight) {
    const int face = Brightness(PanelColor(kPanelLightGrey));
    if (Brightness(themeShadow) < face && Brightness(themeHighlight) > face) {
        return {themeShadow, themeHighlight};
    }
    return {ClassicSystemColour(SysColour::ButtonShadow), ClassicSystemColour(SysColour::ButtonHighlight)};
}
