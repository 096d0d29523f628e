// The group control: an owner-drawn button that shows one group of the module (a four- or six-position
// switch or an attenuator dial) in its present state and operates it with the mouse and the keyboard. A
// release on a drawn element finds the new position and hands it to the group model's ApplyGroupPosition
// (switching/GroupPositionChange.h), which sends the command and decides what a failure leaves; the
// control records the outcome in the main-panel object and shows it. A double click on the common element
// advances the position once more on its second release.
//
// A group of a known type is a tab stop. It takes the focus from the keyboard only (a click leaves the
// focus where it was), and while it has the focus the keys of controls/GroupOperation.h move it along the
// same path as the equivalent click: the wait cursor, the command, the failure handling and the partial
// redraw. The control describes its group and state to the desktop's accessibility layer.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>
#include <wx/bitmap.h>
#include <wx/font.h>

#include "controls/GroupGeometry.h"
#include "panels/Pan1Obj.h"
#include "platform/wx/OwnerDrawButton.h"

class CInstrument;

class CGroupButton : public COwnerDrawButton {
public:
    // Device type; pole label; channel labels 0 to 5; group index; first-on-top flag. A null label
    // stays empty.
    CGroupButton(int type, const char* pole, const char* label0, const char* label1, const char* label2,
                 const char* label3, const char* label4, const char* label5, int groupIndex, int firstOnTop);

    // Sets the position; a value at or above the type's position count is refused (a valid position
    // is kept, any other becomes 0). A group whose state is unknown has no position and is drawn
    // greyed, without arm or pointer. Does not repaint.
    void SetPosition(int pos, bool unknown = false);
    // Stores the device type. Does not repaint.
    void SetType(int type);
    // Channel labels 0 to 5 and the pole label, each up to 7 characters in an 8-byte field. Does not
    // repaint.
    void SetLabels(const char (&labels)[kLabelsPerBank][kLabelSize]);

    // The position count of the current type, or 0 for a type with no elements (negative codes).
    int PositionCount() const;

    // A group of a known type is a tab stop.
    bool AcceptsFocusFromKeyboard() const override;

    void DrawItem(wxDC& dc, const wxRect& rect, int action, int state) override;
    // The three pictures; full is false for a partial drawing (only what can change).
    void DrawSwitch4(wxDC& dc, const wxRect& rect, bool full);
    void DrawSwitch6(wxDC& dc, const wxRect& rect, bool full);
    void DrawAttenuator(wxDC& dc, const wxRect& rect, bool full);

    // The geometry the pictures are drawn with, measuring the labels in the given context.
    SwitchGeometry ComputeSwitchGeometry(wxDC& dc, const wxSize& client) const;
    DialGeometry ComputeDialGeometry(wxDC& dc, const wxSize& client) const;

    // The font of "dB" and the group digit: Arial (or its metric twin), 16 pixels, weight 900. Made
    // once: a font is never changed, so every drawing can select the same one.
    static const wxFont& DialFont();

    wxRect m_rcElem[12]; // hit rectangles of the position elements, written by every drawing
    wxRect m_rcPole;     // hit rectangle of the common element (pole circle or hub)
    double m_dUnit = 0;  // the unit r of the last drawing
    wxPoint m_ptArm[9];  // pole centre, arm corner, arm end and the six shading points
    wxPoint m_ptNeedle[3];
    int m_nPos = -1;         // position 0..n-1, or -1 for none
    bool m_bUnknown = false; // the module's state of the group could not be read
    int m_nGroupIndex;       // group 0..5
    std::string m_strLabel[12];
    std::string m_strPole;
    int m_bFirstOnTop; // 1: switch position 0 at the top
    int m_bDblClk = 0; // a double click on the common element awaits its release
    int m_nType;

    // The parts of a picture that do not move with the position (frame, labels, contacts or dial
    // positions, ring) are kept as a bitmap and redrawn only when what they show changes; a drawing then
    // copies them and draws the moving parts over them. Clearing the flag draws every part each time.
    bool m_bKeepFixedPicture = true;

protected:
    void OnLButtonUp(wxMouseEvent& event) override;
    void OnLButtonDblClk(wxMouseEvent& event) override;
    void OnKeyChar(wxKeyEvent& event) override;
    bool TakesFocusOnClick() const override { return false; }
    bool WantsFocusMark() const override { return PositionCount() > 0; }

private:
    // The attenuator type whose dial is drawn: the own type, or type 0 for a type that is no attenuator.
    int DialType() const;
    // The switch picture, on the skeleton the dial (DrawAttenuator) shares: the context's pen, brush and
    // font kept; the layout, which stores the hit rectangles; the parts that do not move, through
    // DrawFixedParts; then the moving parts over them.
    void DrawSwitch(wxDC& dc, const wxRect& rect, int count, bool full);
    // The parts that do not move, drawn by draw (on a context, whole or only the band a partial drawing
    // fills): copied from the kept fixed picture, only within band for a partial drawing, or drawn at
    // once when no picture is kept.
    void DrawFixedParts(wxDC& dc, const wxRect& rect, const wxRect& band, bool full,
                        const std::function<void(wxDC&, bool whole)>& draw);
    void DrawSwitchFixed(wxDC& dc, const wxRect& rect, const SwitchGeometry& g, int count, bool full);
    void DrawAttenuatorFixed(wxDC& dc, const wxRect& rect, const DialGeometry& g, int count, bool full);

    // What the kept fixed picture shows.
    struct CFixedKey {
        int type = -100;
        wxSize size;
        int firstOnTop = 0;
        bool unknown = false;
        std::string labels[6];
        std::string pole;
        wxFont font;
        wxColour pen, text;
        COLORREF shadow = 0, highlight = 0;
        bool operator==(const CFixedKey& o) const;
    };
    // The fixed picture for the present state, painted again by the given drawing when it changed.
    const wxBitmap& FixedPicture(wxDC& dc, const wxRect& rect, const std::function<void(wxDC&)>& paint);
    void DrawFrame(wxDC& dc, const wxRect& rect);
    // Under the fixed parts of both pictures: the frame of a whole drawing, or the light grey band that a
    // partial drawing fills; the pen is the one the drawing began with again afterwards.
    void DrawBackground(wxDC& dc, const wxRect& rect, const wxRect& band, bool full);
    // The extent of a text in the context's current font. Extents are kept per font, since measuring
    // is the dearest part of a drawing and the labels seldom change.
    wxSize Extent(wxDC& dc, const std::string& text) const;
    // The same in the given font, selected only when the extent is not known yet.
    wxSize Extent(wxDC& dc, const std::string& text, const wxFont& font) const;
    SwitchGeometry SwitchLayout(wxDC& dc, const wxSize& client, int count) const;
    DialGeometry DialLayout(wxDC& dc, const wxSize& client, const AttenuatorScaleRow& scale,
                            const wxFont& font) const;
    // Takes the group from the position old to the position to, for a click and a key alike, through
    // the group model's operation, and shows and records what it leaves: the new position, the old one
    // after a time-out, or what the module reports after another failure. Returns true when the command
    // was sent.
    bool CommitPosition(int old, int to, bool waitCursor);
    // Tells the accessibility layer the group's present state.
    void Describe();

    // Measured extents, per font object (a font is recognised by its shared data: comparing font
    // descriptions costs as much as measuring).
    mutable std::vector<std::pair<wxFont, std::map<std::string, wxSize>>> m_extents;
    wxBitmap m_fixedPicture;
    CFixedKey m_fixedKey;
    std::string m_description; // what the accessibility layer was told last
};
