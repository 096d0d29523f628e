// A round lamp in a fixed colour on a plain background, shaded like a bezel: a face-coloured disc with
// a highlight rim whose lower right half is in shadow, and the lamp disc inside. Drawn the same way for
// every item action and state.
#pragma once

#include "platform/OwnerDrawButton.h"

// The square the lamp is drawn in: the largest square of the rectangle, centred on its longer side.
wxRect LampSquare(const wxRect& rect);
// The lamp disc's box: the square shrunk on every side by a fifth of its side (truncated).
wxRect LampDisc(const wxRect& square);

class CLampButton : public COwnerDrawButton {
public:
    CLampButton(COLORREF lamp, COLORREF back);

    void DrawItem(wxDC& dc, const wxRect& rect, int action, int state) override;

    COLORREF m_crLamp;
    COLORREF m_crBack;
};
