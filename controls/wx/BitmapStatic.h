// A static that paints one of the program's bitmaps, unscaled, at its top-left corner; what does not
// fit is cut off by the control. The bitmap is loaded again at every paint.
#pragma once

#include <wx/control.h>

class CBitmapStatic : public wxControl {
public:
    explicit CBitmapStatic(int bitmapId);
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

    // The painting, on any context.
    void PaintBitmap(wxDC& dc) const;

    bool AcceptsFocus() const override { return false; }

    int m_nBitmapId;

private:
    void OnPaint(wxPaintEvent& event);
};
