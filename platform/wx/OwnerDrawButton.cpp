#include "platform/wx/OwnerDrawButton.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "platform/FocusMark.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace {

// True while the toolkit is handling a key press: a focus change then is the keyboard's (Tab, or the
// Enter that chose a menu command). GTK moves the focus for Tab itself, so the focus events say nothing
// of the cause; the event being handled does. Elsewhere the keyboard navigation of wx calls
// SetFocusFromKbd.
bool HandlingKeyPress() {
#ifdef __WXGTK__
    GdkEvent* event = gtk_get_current_event();
    if (event == nullptr) {
        return false;
    }
    const bool key = gdk_event_get_event_type(event) == GDK_KEY_PRESS;
    gdk_event_free(event);
    return key;
#else
    return false;
#endif
}

} // namespace

COwnerDrawButton::COwnerDrawButton() = default;

bool COwnerDrawButton::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    // The picture covers the whole control: nothing may erase the background underneath it.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE)) {
        return false;
    }
    Bind(wxEVT_PAINT, &COwnerDrawButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { OnLButtonDown(e); });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) { OnLButtonUp(e); });
    Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent& e) { OnLButtonDblClk(e); });
    Bind(wxEVT_SET_FOCUS, &COwnerDrawButton::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &COwnerDrawButton::OnFocus, this);
    Bind(wxEVT_KEY_DOWN, &COwnerDrawButton::OnKeyDown, this);
    Bind(wxEVT_CHAR, [this](wxKeyEvent& e) { OnKeyChar(e); });
    return true;
}

void COwnerDrawButton::DrawAtOnce(int action, int state) {
    PaintAtOnce([this, action, state](wxDC& dc, const wxRect& rect) { DrawItem(dc, rect, action, state); });
}

void COwnerDrawButton::PaintAtOnce(std::function<void(wxDC&, const wxRect&)> drawing) {
    m_pending = std::move(drawing);
    wxControl::Refresh(false);
    Update();
}

void COwnerDrawButton::Refresh(bool eraseBackground, const wxRect* rect) {
    m_needEntire = true;
    wxControl::Refresh(eraseBackground, rect);
}

int COwnerDrawButton::CurrentState() const {
    return (m_pressed ? ODS_SELECTED : 0) | (HasFocus() ? ODS_FOCUS : 0);
}

void COwnerDrawButton::OnPaint(wxPaintEvent&) {
    wxPaintDC screen(this);
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) {
        return;
    }
    bool entire = m_needEntire || !m_pending;
    if (!m_picture.IsOk() || m_picture.GetSize() != size) {
        m_picture.Create(size, 24);
        // A control whose drawing leaves its area untouched shows the window behind it, not an
        // uninitialised picture.
        wxMemoryDC ground(m_picture);
        const wxColour behind =
            GetParent() != nullptr ? GetParent()->GetBackgroundColour() : GetBackgroundColour();
        ground.SetBackground(wxBrush(behind));
        ground.Clear();
        entire = true;
    }
    {
        wxMemoryDC dc(m_picture);
        PrepareFreshContext(dc, GetFont());
        const wxRect rect(wxPoint(0, 0), size);
        if (entire) {
            DrawItem(dc, rect, ODA_DRAWENTIRE, CurrentState());
        } else {
            m_pending(dc, rect);
        }
        ++m_paints;
    }
    m_needEntire = false;
    m_pending = nullptr;
    if (!ShowsFocusMark()) {
        screen.DrawBitmap(m_picture, 0, 0);
        return;
    }
    // The mark goes on a copy: the picture itself stays the owner drawing's.
    wxBitmap shown = m_picture.GetSubBitmap(wxRect(size));
    {
        wxMemoryDC dc(shown);
        PrepareFreshContext(dc, GetFont());
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxBLACK_BRUSH);
        for (const PixelPoint& dot : FocusMarkDots(FromWx(size))) {
            dc.DrawRectangle(dot.x, dot.y, 1, 1);
        }
    }
    screen.DrawBitmap(shown, 0, 0);
}

void COwnerDrawButton::OnFocus(wxFocusEvent& event) {
    m_keyboardFocus = event.GetEventType() == wxEVT_SET_FOCUS && (m_keyboardFocus || HandlingKeyPress());
    DrawAtOnce(ODA_FOCUS, CurrentState());
    event.Skip();
}

void COwnerDrawButton::SetFocusFromKbd() {
    m_keyboardFocus = true;
    if (HasFocus()) {
        DrawAtOnce(ODA_FOCUS, CurrentState());
    } else {
        SetFocus();
    }
}

bool COwnerDrawButton::ShowsFocusMark() const {
    return m_keyboardFocus && HasFocus() && WantsFocusMark();
}

void COwnerDrawButton::OnKeyDown(wxKeyEvent& event) {
    // A key used on the control shows the focus mark, as the desktop does once the keyboard is in use.
    // Tab only moves the focus on, and a modifier alone is no key used yet.
    const int key = event.GetKeyCode();
    const bool modifier = key == WXK_SHIFT || key == WXK_CONTROL || key == WXK_ALT ||
                          key == WXK_WINDOWS_LEFT || key == WXK_WINDOWS_RIGHT || key == WXK_RAW_CONTROL;
    if (!m_keyboardFocus && key != WXK_TAB && !modifier && HasFocus()) {
        m_keyboardFocus = true;
        DrawAtOnce(ODA_FOCUS, CurrentState());
    }
    event.Skip();
}

void COwnerDrawButton::OnKeyChar(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_SPACE || event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    // Space presses the button and releases it at once, as a click on it does.
    DrawAtOnce(ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
    DrawAtOnce(ODA_SELECT, ODS_FOCUS);
    NotifyClick();
}

void COwnerDrawButton::NotifyClick() {
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    HandleWindowEvent(click);
}

void COwnerDrawButton::DefaultLeftButtonDown(wxMouseEvent&) {
    m_pressed = true;
    if (TakesFocusOnClick() && !HasFocus() && IsShownOnScreen()) {
        SetFocus();
    }
    DrawAtOnce(ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
}

void COwnerDrawButton::DefaultLeftButtonDblClk(wxMouseEvent& event) {
    DefaultLeftButtonDown(event);
}

void COwnerDrawButton::DefaultLeftButtonUp(wxMouseEvent& event) {
    m_pressed = false;
    DrawAtOnce(ODA_SELECT, ODS_FOCUS);
    if (wxRect(GetClientSize()).Contains(event.GetPosition())) {
        NotifyClick();
    }
}
