// The group control: an owner-drawn button that shows one group of the module (a four- or six-position
// switch or an attenuator dial) in its present state and operates it with the mouse. A release on a
// drawn element closes or opens a channel or sets an attenuation through the instrument and records the
// new position in the main-panel object; a double click on the common element advances the position
// once more on its second release.
#pragma once

#include <string>

#include "controls/GroupGeometry.h"
#include "panels/Pan1Obj.h"
#include "platform/OwnerDrawButton.h"

// The status of a driver call that timed out.
constexpr std::int32_t kTimeOutStatus = static_cast<std::int32_t>(0xBFFF0015u);

class CGroupButton : public COwnerDrawButton {
public:
    // Device type; pole label; channel labels 0 to 5; group index; first-on-top flag. A null label
    // stays empty.
    CGroupButton(int type, const char* pole, const char* label0, const char* label1, const char* label2,
                 const char* label3, const char* label4, const char* label5, int groupIndex, int firstOnTop);

    // Sets the position; a value at or above the type's position count is refused (a valid position
    // is kept, any other becomes 0). Does not repaint.
    void SetPosition(int pos);
    // Stores the device type. Does not repaint.
    void SetType(int type);
    // Channel labels 0 to 5 and the pole label, each up to 7 characters in an 8-byte field. Does not
    // repaint.
    void SetLabels(const char (&labels)[kLabelsPerBank][kLabelSize]);

    // The position count of the current type, or 0 for a type with no elements (negative codes).
    int PositionCount() const;

    void DrawItem(wxDC& dc, const wxRect& rect, int action, int state) override;
    // The three pictures; full is false for a partial drawing (only what can change).
    void DrawSwitch4(wxDC& dc, const wxRect& rect, bool full);
    void DrawSwitch6(wxDC& dc, const wxRect& rect, bool full);
    void DrawAttenuator(wxDC& dc, const wxRect& rect, bool full);

    // The geometry the pictures are drawn with, measuring the labels in the given context.
    SwitchGeometry ComputeSwitchGeometry(wxDC& dc, const wxSize& client) const;
    DialGeometry ComputeDialGeometry(wxDC& dc, const wxSize& client) const;

    // The font of "dB" and the group digit: Arial (or its metric twin), 16 pixels, weight 900.
    static wxFont DialFont();

    wxRect m_rcElem[12]; // hit rectangles of the position elements, written by every drawing
    wxRect m_rcPole;     // hit rectangle of the common element (pole circle or hub)
    double m_dUnit = 0;  // the unit r of the last drawing
    wxPoint m_ptArm[9];  // pole centre, arm corner, arm end and the six shading points
    wxPoint m_ptNeedle[3];
    int m_nPos = -1;   // position 0..n-1, or -1 for none
    int m_nGroupIndex; // group 0..5
    std::string m_strLabel[12];
    std::string m_strPole;
    int m_bFirstOnTop; // 1: switch position 0 at the top
    int m_bDblClk = 0; // a double click on the common element awaits its release
    int m_nType;
    int m_nPositions[5] = {12, 10, 8, 4, 6};

protected:
    void OnLButtonUp(wxMouseEvent& event) override;
    void OnLButtonDblClk(wxMouseEvent& event) override;

private:
    void DrawSwitch(wxDC& dc, const wxRect& rect, int count, bool full);
    void DrawFrame(wxDC& dc, const wxRect& rect);
    SwitchGeometry SwitchLayout(wxDC& dc, const wxSize& client, int count) const;
    DialGeometry DialLayout(wxDC& dc, const wxSize& client, const AttenuatorScaleRow& scale,
                            const wxFont& font) const;
    // Sends the command of the current position; returns false after a failure has been handled.
    bool SendCommand(int old, bool waitCursor);
};
