// The owner-drawn button of the framework layer. A control whose picture is drawn entirely by its
// DrawItem hook, which is handed the drawing context, the item rectangle, the item action (draw entire,
// select, focus) and the item state (selected, focus):
//   - a paint draws the entire item;
//   - a left press draws "select" with state selected | focus;
//   - a left release draws "select" with state focus and then sends the button-click command event,
//     which travels up to the parent;
//   - a focus change draws "focus".
// The press and release go through virtual handlers so that a derived control can run its own work
// around the default processing.
//
// Keyboard. A control that takes the focus from the keyboard (AcceptsFocusFromKeyboard) is a tab stop;
// Space on it is a click. While it has the focus and the focus arrived by keyboard (Tab), or a key has
// been used on it since, it shows the focus mark: a one-pixel dotted rectangle just inside its two-pixel
// frame, drawn over the picture on the screen only, so the picture stays what the owner drawing made and
// a control used with the pointer alone never shows it. A control whose TakesFocusOnClick is false keeps
// the focus where it was when it is clicked.
//
// Drawing happens in paint handlers: "draw at once" remembers what is to be drawn, invalidates the
// control and updates it at once. The control keeps its picture in an off-screen bitmap, so a partial
// drawing (one that repaints only the part that changes) keeps the rest of the picture, as a screen
// context would; every paint then copies the bitmap to the window.
#pragma once

#include <functional>
#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/dc.h>

#include "platform/wx/Drawing.h"

// Item actions.
constexpr int ODA_DRAWENTIRE = 0x0001;
constexpr int ODA_SELECT = 0x0002;
constexpr int ODA_FOCUS = 0x0004;
// Item states.
constexpr int ODS_SELECTED = 0x0001;
constexpr int ODS_FOCUS = 0x0010;

class COwnerDrawButton : public wxControl {
public:
    COwnerDrawButton();
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // The owner-draw hook. The rectangle is the client rectangle with origin (0, 0).
    virtual void DrawItem(wxDC& dc, const wxRect& rect, int action, int state) = 0;

    // Draws the item at once with the given action and state.
    void DrawAtOnce(int action, int state);
    // Runs the given drawing on the control's picture at once (outside the owner-draw cycle).
    void PaintAtOnce(std::function<void(wxDC&, const wxRect&)> drawing);

    // Invalidating the control from outside asks for an entire drawing at the next paint.
    void Refresh(bool eraseBackground = true, const wxRect* rect = nullptr) override;

    // The current picture of the control (valid after its first paint).
    const wxBitmap& Picture() const { return m_picture; }
    // Drawings handed to DrawItem by paints so far (for diagnostics and tests).
    int PaintCount() const { return m_paints; }

    bool AcceptsFocusFromKeyboard() const override { return false; }
    // Keyboard navigation gives the focus here: the focus mark is shown.
    void SetFocusFromKbd() override;

protected:
    // The left-button handlers; the defaults are the button's own processing.
    virtual void OnLButtonDown(wxMouseEvent& event) { DefaultLeftButtonDown(event); }
    virtual void OnLButtonUp(wxMouseEvent& event) { DefaultLeftButtonUp(event); }
    virtual void OnLButtonDblClk(wxMouseEvent& event) { DefaultLeftButtonDblClk(event); }
    // A key on the focused control; the default presses the control on Space and passes other keys on.
    virtual void OnKeyChar(wxKeyEvent& event);
    // Whether a click gives this control the focus (the default, as a push button takes it).
    virtual bool TakesFocusOnClick() const { return true; }
    // Whether the control draws the focus mark when it has the focus from the keyboard.
    virtual bool WantsFocusMark() const { return true; }

    // The button's default processing. Press (and double click, which a button takes as a press):
    // draw "select" with selected | focus. Release: draw "select" with focus, then send the click to
    // the parent when the point lies in the control.
    void DefaultLeftButtonDown(wxMouseEvent& event);
    void DefaultLeftButtonUp(wxMouseEvent& event);
    void DefaultLeftButtonDblClk(wxMouseEvent& event);

    wxSize DoGetBestSize() const override { return wxSize(40, 20); }

private:
    void OnPaint(wxPaintEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    int CurrentState() const;
    // True while the focus mark is shown (platform/FocusMark.h places it).
    bool ShowsFocusMark() const;
    // Sends the button-click command to the parent.
    void NotifyClick();

    wxBitmap m_picture;
    std::function<void(wxDC&, const wxRect&)> m_pending; // drawing asked for "at once", if any
    bool m_needEntire = true;                            // the next paint draws the entire item
    bool m_pressed = false;
    bool m_keyboardFocus = false; // the focus arrived by keyboard, or a key was used since it arrived
    int m_paints = 0;
};
