// The drawing helpers of the window layer, in one place: the conversion of the window-free pixel types
// (platform/Geometry.h) to wx's.
#pragma once

#include <wx/gdicmn.h>

#include "platform/Geometry.h"

inline wxPoint ToWx(const PixelPoint& p) {
    return wxPoint(p.x, p.y);
}
inline wxSize ToWx(const PixelSize& s) {
    return wxSize(s.width, s.height);
}
inline wxRect ToWx(const PixelRect& r) {
    return wxRect(r.x, r.y, r.width, r.height);
}
inline PixelSize FromWx(const wxSize& s) {
    return PixelSize{s.x, s.y};
}
inline PixelRect FromWx(const wxRect& r) {
    return PixelRect{r.x, r.y, r.width, r.height};
}
