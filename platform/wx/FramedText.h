// What the panels' framed text fields and the read-out buttons have in common: one line of text in a
// box of one fill colour, within a two-colour edge, and the drawing of the box's inside.
#pragma once

#include <string>
#include <wx/dc.h>
#include <wx/font.h>

#include "platform/Colour.h"

class CFramedText {
public:
    // Fill colour, text colour, left-and-top edge colour, right-and-bottom edge colour, font (not owned;
    // null: the stock system font). The text starts empty.
    CFramedText(COLORREF back, COLORREF text, COLORREF edge1, COLORREF edge2, const wxFont* font)
        : m_crBack(back), m_crText(text), m_crEdge1(edge1), m_crEdge2(edge2), m_pFont(font) {}

    // Fills the box with the fill colour and draws the text centred in it, clipped to it, on a
    // transparent background. The place comes from the context's current font; the text is drawn in
    // drawIn when one is given (it stays selected), else in the current font. The pen and brush are the
    // caller's again afterwards.
    void DrawInside(wxDC& dc, const wxRect& box, const wxFont* drawIn = nullptr) const;

    // The font of the owner drawing: m_pFont, or the stock system font.
    wxFont Font() const;

    std::string m_strText;
    COLORREF m_crBack;
    COLORREF m_crText;
    COLORREF m_crEdge1;
    COLORREF m_crEdge2;
    const wxFont* m_pFont;
};
