#include "controls/wx/LampButton.h"

#include "controls/LampGeometry.h"
#include "platform/Facade.h"
#include "platform/wx/Drawing.h"

CLampButton::CLampButton(COLORREF lamp, COLORREF back) : m_crLamp(lamp), m_crBack(back) {}

void CLampButton::DrawItem(wxDC& dc, const wxRect& rect, int, int) {
    const wxColour face = ToWxColour(Facade().SystemColour(SysColour::ButtonFace));
    const wxPen highlightPen(ToWxColour(Facade().SystemColour(SysColour::ButtonHighlight)), 1);
    const wxPen shadowPen(ToWxColour(Facade().SystemColour(SysColour::ButtonShadow)), 1);
    const wxPen facePen(face, 1);
    const wxPen backPen(ToWxColour(m_crBack), 1);
    const wxBrush lampBrush(ToWxColour(m_crLamp));
    const wxBrush backBrush(ToWxColour(m_crBack));
    const wxBrush faceBrush(face);

    // The context's pen and brush are the caller's again when the drawing ends.
    const wxDCPenChanger pen(dc, backPen);
    const wxDCBrushChanger brush(dc, backBrush);
    dc.DrawRectangle(rect);

    const wxRect square = ToWx(LampSquare(FromWx(rect)));
    dc.SetPen(highlightPen);
    dc.SetBrush(faceBrush);
    DrawEllipseIn(dc, square);

    // The shadow on the lower right half of the rim: counter-clockwise from the lower-left point at
    // 45 degrees (left + p - p cos 45, top + p + p sin 45) to the upper-right one, on the same circle.
    const double angle = 0.7853975;
    const double degrees = angle * 180.0 / 3.14159265358979;
    dc.SetPen(shadowPen);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    DrawArcIn(dc, square, 180.0 + degrees, degrees);

    dc.SetPen(facePen);
    dc.SetBrush(lampBrush);
    DrawEllipseIn(dc, ToWx(LampDisc(FromWx(square))));
}
