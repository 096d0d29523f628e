// The drawing helpers of the window layer, in one place: colours and the window-free pixel types
// (platform/Geometry.h) in wx's terms, a fresh drawing context, shapes that keep to the pixels of their
// box, centred text and the two-colour edge of the panels' fields and read-outs.
#pragma once

#include <wx/dc.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

#include "platform/Colour.h"
#include "platform/Geometry.h"

// A COLORREF as a wx colour.
inline wxColour ToWxColour(COLORREF c) {
    return wxColour(static_cast<unsigned char>(GetRValue(c)), static_cast<unsigned char>(GetGValue(c)),
                    static_cast<unsigned char>(GetBValue(c)));
}

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

// Makes a drawing context look like a fresh one: black one-pixel pen, white brush, black text on a
// transparent background, the given font, and no smoothing of shape edges.
void PrepareFreshContext(wxDC& dc, const wxFont& font);

// An ellipse (filled with the current brush, outlined with the current pen) and an elliptic arc that
// keep to the pixels of their box: from (x, y) to (x + width - 1, y + height - 1), as the owner drawings
// are laid out. Arc angles are in degrees, counter-clockwise from three o'clock.
void DrawEllipseIn(wxDC& dc, const wxRect& box);
void DrawArcIn(wxDC& dc, const wxRect& box, double startDegrees, double endDegrees);

// The place of a text of the given extent in a box: centred (integer halves) on each axis where the
// box is larger than the text, at 0 on an axis where it is not.
wxPoint CentredTextPlace(const wxRect& box, const wxSize& text);

// The stock system font of the panels' fields and read-outs: the system's own on Windows; elsewhere
// the templates' 8-point Swiss face in bold, in which the identification texts fit their fields.
wxFont StockSystemFont();

// The edge of a box in two colours, each line 2 pixels wide: the first from the bottom-left corner up to
// the top-left and on to the top-right corner, the second on down to the bottom-right and back to the
// bottom-left corner. Leaves the second pen selected.
void DrawTwoColourEdge(wxDC& dc, const wxRect& box, COLORREF first, COLORREF second);
