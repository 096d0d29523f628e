// A read-out box that is a button: one line of centred text in a box with a two-pixel edge in two
// colours, drawn the same way for every item action and state. A click on it is a normal button click;
// a double click is also posted to the parent as a left double click at (0, 0).
#pragma once

#include "platform/wx/FramedText.h"
#include "platform/wx/OwnerDrawButton.h"

class CReadoutButton : public COwnerDrawButton, public CFramedText {
public:
    // Fill colour, text colour, left/top edge colour, right/bottom edge colour, font of the owner
    // drawing (not owned; null: the stock system font).
    CReadoutButton(COLORREF back, COLORREF text, COLORREF edge1, COLORREF edge2, const wxFont* font);

    // Stores the text and repaints the inside of the box at once, in the stock system font; the edges
    // are not redrawn.
    void SetText(const char* text);

    void DrawItem(wxDC& dc, const wxRect& rect, int action, int state) override;
    // A tab stop, pressed with Space as a push button is.
    bool AcceptsFocusFromKeyboard() const override { return true; }
    // The inside repainted by SetText.
    void DrawText(wxDC& dc, const wxRect& rect) const;

protected:
    void OnLButtonDblClk(wxMouseEvent& event) override;
};
