// A round lamp in a fixed colour on a plain background, shaded like a bezel: a face-coloured disc with
// a highlight rim whose lower right half is in shadow, and the lamp disc inside. Drawn the same way for
// every item action and state (controls/LampGeometry.h places the two discs).
#pragma once

#include "platform/wx/OwnerDrawButton.h"

class CLampButton : public COwnerDrawButton {
public:
    CLampButton(COLORREF lamp, COLORREF back);

    void DrawItem(wxDC& dc, const wxRect& rect, int action, int state) override;

    COLORREF m_crLamp;
    COLORREF m_crBack;
};
