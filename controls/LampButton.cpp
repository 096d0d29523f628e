#include "controls/LampButton.h"

#include <cmath>

#include "platform/Facade.h"

wxRect LampSquare(const wxRect& rect) {
    if (rect.width > rect.height) {
        return wxRect(rect.x + (rect.width - rect.height) / 2, rect.y, rect.height, rect.height);
    }
    return wxRect(rect.x, rect.y + (rect.height - rect.width) / 2, rect.width, rect.width);
}

wxRect LampDisc(const wxRect& square) {
    const int inset = static_cast<int>(0.2 * square.width);
    wxRect disc = square;
    disc.Deflate(inset);
    return disc;
}

CLampButton::CLampButton(COLORREF lamp, COLORREF back) : m_crLamp(lamp), m_crBack(back) {}

void CLampButton::DrawItem(wxDC& dc, const wxRect& rect, int, int) {
    const wxPen previous = dc.GetPen();
    const wxBrush previousBrush = dc.GetBrush();
    const wxColour face = ToWxColour(Facade().SystemColour(SysColour::ButtonFace));
    const wxPen highlightPen(ToWxColour(Facade().SystemColour(SysColour::ButtonHighlight)), 1);
    const wxPen shadowPen(ToWxColour(Facade().SystemColour(SysColour::ButtonShadow)), 1);
    const wxPen facePen(face, 1);
    const wxPen backPen(ToWxColour(m_crBack), 1);
    const wxBrush lampBrush(ToWxColour(m_crLamp));
    const wxBrush backBrush(ToWxColour(m_crBack));
    const wxBrush faceBrush(face);

    dc.SetPen(backPen);
    dc.SetBrush(backBrush);
    dc.DrawRectangle(rect);

    const wxRect square = LampSquare(rect);
    dc.SetPen(highlightPen);
    dc.SetBrush(faceBrush);
    dc.DrawEllipse(square);

    // The shadow on the lower right half of the rim: counter-clockwise from the lower-left point at
    // 45 degrees to the upper-right one.
    const double angle = 0.7853975;
    const int p = square.width / 2;
    const int left = square.x;
    const int top = square.y;
    const wxPoint start(static_cast<int>(left + p - p * std::cos(angle)),
                        static_cast<int>(top + p + p * std::sin(angle)));
    const wxPoint end(static_cast<int>(left + p + p * std::cos(angle)),
                      static_cast<int>(top + p - p * std::sin(angle)));
    dc.SetPen(shadowPen);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawArc(start, end, wxPoint(left + p, top + p));

    dc.SetPen(facePen);
    dc.SetBrush(lampBrush);
    dc.DrawEllipse(LampDisc(square));

    dc.SetPen(previous);
    dc.SetBrush(previousBrush);
}
