#include "platform/OwnerDrawButton.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

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
    screen.DrawBitmap(m_picture, 0, 0);
}

void COwnerDrawButton::OnFocus(wxFocusEvent& event) {
    DrawAtOnce(ODA_FOCUS, CurrentState());
    event.Skip();
}

void COwnerDrawButton::DefaultLeftButtonDown(wxMouseEvent&) {
    m_pressed = true;
    if (!HasFocus() && IsShownOnScreen()) {
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
        wxCommandEvent click(wxEVT_BUTTON, GetId());
        click.SetEventObject(this);
        HandleWindowEvent(click);
    }
}
