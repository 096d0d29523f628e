// The framed text field of the panels: a box filled with one colour, edged with a two-pixel line in two
// colours (left and top, right and bottom), with one line of text centred in it. Edges (button shadow,
// button highlight) look sunken; exchanging them after construction gives a raised field.
#pragma once

#include <string>
#include <wx/bitmap.h>
#include <wx/control.h>

#include "platform/wx/FramedText.h"

class CDisplayField : public wxControl, public CFramedText {
public:
    // Fill colour, text colour, left-and-top edge colour, right-and-bottom edge colour, and the font
    // that SetText draws with (not owned; null: the stock system font). The text starts empty.
    CDisplayField(COLORREF back, COLORREF text, COLORREF edge1, COLORREF edge2, const wxFont* font);
    // Puts the field on the parent at the given place (the template item's rectangle).
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

    // Stores the text and draws it at once, inside the edges, without redrawing them.
    void SetText(const std::string& text);

    // The two drawings, on any context whose client rectangle is the given one: the whole field (a
    // paint), and the inside with the text (SetText).
    void PaintField(wxDC& dc, const wxRect& client) const;
    void PaintText(wxDC& dc, const wxRect& client) const;

    // The current picture of the field (valid after its first paint).
    const wxBitmap& Picture() const { return m_picture; }

    bool AcceptsFocus() const override { return false; }

private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_picture;
    bool m_textPending = false;
};

// The edge of a panel field: sunken (button shadow on the left and top, button highlight on the right
// and bottom) or raised (the two exchanged).
enum class FieldEdge { Sunken, Raised };
// A field as the panels make them: the given fill, black text, the given edge, the stock system font.
CDisplayField* NewPanelField(COLORREF fill, FieldEdge edge = FieldEdge::Sunken);
