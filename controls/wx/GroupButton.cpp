#include "controls/wx/GroupButton.h"

#include <algorithm>
#include <cstring>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/font.h>

#include "app/SfpAppData.h"
#include "controls/GroupOperation.h"
#include "panels/PanelLookup.h"
#include "platform/Facade.h"
#include "platform/wx/Accessibility.h"
#include "platform/wx/Drawing.h"
#include "switching/GroupModel.h"
#include "switching/GroupPositionChange.h"

namespace {

// The context's pen, brush and font, given back when a drawing ends; defaultPen is the pen it began
// with.
struct CKeptContext {
    explicit CKeptContext(wxDC& dc)
        : defaultPen(dc.GetPen()), pen(dc, defaultPen), brush(dc, dc.GetBrush()), font(dc, dc.GetFont()) {}
    const wxPen defaultPen;
    const wxDCPenChanger pen;
    const wxDCBrushChanger brush;
    const wxDCFontChanger font;
};

const wxColour kYellow(255, 255, 0);
const wxColour kBlue(0, 0, 255);
const wxColour kDarkGrey(64, 64, 64);
// The elements of a group whose state is unknown.
const wxColour kGrey(128, 128, 128);

std::string Text(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// A label of an 8-byte field: at most 8 characters, even when the terminator is missing.
std::string Field(const char* field) {
    return std::string(field, strnlen(field, kLabelSize));
}

wxString Wx(const std::string& text) {
    return wxString::FromUTF8(text);
}

// The group key of a key typed on the keyboard, and its digit. Keys with Ctrl, Alt or the like belong to
// the window, not to the group.
GroupKey KeyOf(const wxKeyEvent& event, int& digit) {
    if ((event.GetModifiers() & ~wxMOD_SHIFT) != 0) {
        return GroupKey::Other;
    }
    const int code = event.GetKeyCode();
    if (code >= '0' && code <= '9') {
        digit = code - '0';
        return GroupKey::Digit;
    }
    if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9) {
        digit = code - WXK_NUMPAD0;
        return GroupKey::Digit;
    }
    switch (code) {
    case WXK_SPACE:
    case '+':
    case WXK_ADD:
    case WXK_NUMPAD_ADD:
    case WXK_RIGHT:
    case WXK_UP:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_UP:
        return GroupKey::Forward;
    case '-':
    case WXK_SUBTRACT:
    case WXK_NUMPAD_SUBTRACT:
    case WXK_LEFT:
    case WXK_DOWN:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_DOWN:
        return GroupKey::Back;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        return GroupKey::First;
    case WXK_END:
    case WXK_NUMPAD_END:
        return GroupKey::Last;
    default:
        return GroupKey::Other;
    }
}

} // namespace

CGroupButton::CGroupButton(int type, const char* pole, const char* label0, const char* label1,
                           const char* label2, const char* label3, const char* label4, const char* label5,
                           int groupIndex, int firstOnTop)
    : m_nGroupIndex(groupIndex), m_strPole(Text(pole)), m_bFirstOnTop(firstOnTop), m_nType(type) {
    const char* labels[6] = {label0, label1, label2, label3, label4, label5};
    for (int i = 0; i < 6; ++i) {
        m_strLabel[i] = Text(labels[i]);
    }
}

int CGroupButton::PositionCount() const {
    return ::PositionCount(m_nType);
}

bool CGroupButton::AcceptsFocusFromKeyboard() const {
    return PositionCount() > 0;
}

void CGroupButton::Describe() {
    std::string description = GroupDescription(m_nGroupIndex, m_nType, m_nPos, m_bUnknown);
    if (description != m_description && GetHandle() != nullptr) {
        SetAccessibleName(this, description);
        m_description = std::move(description);
    }
}

int CGroupButton::DialType() const {
    return IsAttenuator(m_nType) ? m_nType : kDeviceAttenuatorA;
}

void CGroupButton::SetPosition(int pos, bool unknown) {
    const int n = PositionCount();
    m_bUnknown = unknown;
    if (unknown) {
        m_nPos = -1;
    } else if (n > 0 && pos >= n) {
        if (m_nPos < -1 || m_nPos >= n) {
            m_nPos = 0;
        }
    } else {
        // Any negative value means "no position".
        m_nPos = pos < -1 ? -1 : pos;
    }
    Describe();
}

void CGroupButton::SetType(int type) {
    m_nType = type;
    Describe();
}

void CGroupButton::SetLabels(const char (&labels)[kLabelsPerBank][kLabelSize]) {
    for (int i = 0; i < 6; ++i) {
        m_strLabel[i] = Field(labels[i]);
    }
    m_strPole = Field(labels[kPoleLabel]);
}

const wxFont& CGroupButton::DialFont() {
    // Kept for the whole run (never destroyed, so it outlives the toolkit's shutdown).
    static const wxFont* font = [] {
        auto* f =
            new wxFont(wxFontInfo(wxSize(0, 16)).Family(wxFONTFAMILY_SWISS).FaceName("Liberation Sans"));
        f->SetNumericWeight(900);
        return f;
    }();
    return *font;
}

wxSize CGroupButton::Extent(wxDC& dc, const std::string& text) const {
    return Extent(dc, text, dc.GetFont());
}

wxSize CGroupButton::Extent(wxDC& dc, const std::string& text, const wxFont& font) const {
    if (text.empty()) {
        return wxSize(0, 0);
    }
    auto entry = std::find_if(m_extents.begin(), m_extents.end(),
                              [&](const auto& e) { return e.first.GetRefData() == font.GetRefData(); });
    if (entry == m_extents.end()) {
        if (m_extents.size() >= 4) {
            m_extents.clear();
        }
        m_extents.emplace_back(font, std::map<std::string, wxSize>());
        entry = m_extents.end() - 1;
    }
    auto& extents = entry->second;
    const auto found = extents.find(text);
    if (found != extents.end()) {
        return found->second;
    }
    wxCoord w = 0;
    wxCoord h = 0;
    dc.GetTextExtent(Wx(text), &w, &h, nullptr, nullptr, &font);
    const wxSize extent(w, h);
    extents.emplace(text, extent);
    return extent;
}

// ---------------------------------------------------------------------------------------------------
// Drawing

void CGroupButton::DrawItem(wxDC& dc, const wxRect& rect, int action, int state) {
    // The press of the button and focus changes draw nothing: the picture changes once per click,
    // after the command.
    if (action == ODA_FOCUS || (action == ODA_SELECT && state == (ODS_SELECTED | ODS_FOCUS))) {
        return;
    }
    // What is drawn is what the accessibility layer hears.
    Describe();
    const bool full = action == ODA_DRAWENTIRE;
    if (IsAttenuator(m_nType)) {
        DrawAttenuator(dc, rect, full);
    } else if (m_nType == kDeviceSwitch4) {
        DrawSwitch4(dc, rect, full);
    } else if (m_nType == kDeviceSwitch6) {
        DrawSwitch6(dc, rect, full);
    }
}

void CGroupButton::DrawFrame(wxDC& dc, const wxRect& rect) {
    const int W = rect.width;
    const int H = rect.height;
    const wxPen shadow(ToWxColour(Facade().SystemColour(SysColour::ButtonShadow)), 4, wxPENSTYLE_SOLID);
    const wxPen highlight(ToWxColour(Facade().SystemColour(SysColour::ButtonHighlight)), 4, wxPENSTYLE_SOLID);
    dc.SetBrush(*wxLIGHT_GREY_BRUSH);
    dc.DrawRectangle(0, 0, W, H);
    dc.SetPen(shadow);
    dc.DrawLine(0, H, 0, 0);
    dc.DrawLine(0, 0, W, 0);
    dc.SetPen(highlight);
    dc.DrawLine(W, 0, W, H);
    dc.DrawLine(W, H, 0, H);
}

SwitchGeometry CGroupButton::ComputeSwitchGeometry(wxDC& dc, const wxSize& client) const {
    return SwitchLayout(dc, client,
                        ::PositionCount(m_nType == kDeviceSwitch6 ? kDeviceSwitch6 : kDeviceSwitch4));
}

SwitchGeometry CGroupButton::SwitchLayout(wxDC& dc, const wxSize& client, int count) const {
    PixelSize labelText[6];
    for (int i = 0; i < count; ++i) {
        labelText[i] = FromWx(Extent(dc, m_strLabel[i]));
    }
    const bool hasPole = !m_strPole.empty();
    const PixelSize poleText = FromWx(Extent(dc, m_strPole));
    return LayoutSwitch(count, FromWx(client), m_nPos, m_bFirstOnTop != 0, hasPole, poleText, labelText);
}

void CGroupButton::DrawSwitch4(wxDC& dc, const wxRect& rect, bool full) {
    DrawSwitch(dc, rect, ::PositionCount(kDeviceSwitch4), full);
}

void CGroupButton::DrawSwitch6(wxDC& dc, const wxRect& rect, bool full) {
    DrawSwitch(dc, rect, ::PositionCount(kDeviceSwitch6), full);
}

bool CGroupButton::CFixedKey::operator==(const CFixedKey& o) const {
    if (type != o.type || size != o.size || firstOnTop != o.firstOnTop || unknown != o.unknown ||
        pole != o.pole || pen != o.pen || text != o.text || shadow != o.shadow || highlight != o.highlight ||
        font.GetRefData() != o.font.GetRefData()) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        if (labels[i] != o.labels[i]) {
            return false;
        }
    }
    return true;
}

const wxBitmap& CGroupButton::FixedPicture(wxDC& dc, const wxRect& rect,
                                           const std::function<void(wxDC&)>& paint) {
    CFixedKey key;
    key.type = m_nType;
    key.size = rect.GetSize();
    key.firstOnTop = m_bFirstOnTop;
    key.unknown = m_bUnknown;
    for (int i = 0; i < 6; ++i) {
        key.labels[i] = m_strLabel[i];
    }
    key.pole = m_strPole;
    key.font = dc.GetFont();
    key.pen = dc.GetPen().GetColour();
    key.text = dc.GetTextForeground();
    key.shadow = Facade().SystemColour(SysColour::ButtonShadow);
    key.highlight = Facade().SystemColour(SysColour::ButtonHighlight);
    if (!m_fixedPicture.IsOk() || !(key == m_fixedKey)) {
        m_fixedPicture.Create(key.size, 24);
        wxMemoryDC layer(m_fixedPicture);
        PrepareFreshContext(layer, dc.GetFont());
        layer.SetPen(dc.GetPen());
        layer.SetTextForeground(dc.GetTextForeground());
        paint(layer);
        m_fixedKey = key;
    }
    return m_fixedPicture;
}

void CGroupButton::DrawFixedParts(wxDC& dc, const wxRect& rect, const wxRect& band, bool full,
                                  const std::function<void(wxDC&, bool)>& draw) {
    if (!m_bKeepFixedPicture) {
        draw(dc, full);
        return;
    }
    const wxBitmap& fixed = FixedPicture(dc, rect, [&](wxDC& layer) { draw(layer, true); });
    if (full) {
        dc.DrawBitmap(fixed, 0, 0);
    } else {
        wxDCClipper clip(dc, band);
        dc.DrawBitmap(fixed, 0, 0);
    }
}

void CGroupButton::DrawSwitch(wxDC& dc, const wxRect& rect, int count, bool full) {
    const CKeptContext kept(dc);
    const wxPen& defaultPen = kept.defaultPen;
    const SwitchGeometry g = SwitchLayout(dc, rect.GetSize(), count);
    m_dUnit = g.r;
    m_rcPole = ToWx(g.pole);
    for (int i = 0; i < count; ++i) {
        m_rcElem[i] = ToWx(g.contact[i]);
    }
    for (int k = 0; k < 9; ++k) {
        m_ptArm[k] = ToWx(g.arm[k]);
    }

    DrawFixedParts(dc, rect, ToWx(g.band), full,
                   [&](wxDC& layer, bool whole) { DrawSwitchFixed(layer, rect, g, count, whole); });

    // The moving parts: the arm, the selected contact and the connected pole.
    if (g.hasArm) {
        const wxPen highlight(ToWxColour(Facade().SystemColour(SysColour::ButtonHighlight)), 4,
                              wxPENSTYLE_SOLID);
        const wxPen shadow(ToWxColour(Facade().SystemColour(SysColour::ButtonShadow)), 4, wxPENSTYLE_SOLID);
        const wxPen black(*wxBLACK, 4, wxPENSTYLE_SOLID);
        const wxPen inner(kYellow, 2, wxPENSTYLE_SOLID);
        const wxBrush yellow(kYellow);
        dc.SetPen(highlight);
        dc.DrawLines(3, &m_ptArm[3]);
        dc.SetPen(shadow);
        dc.DrawLines(3, &m_ptArm[6]);
        dc.SetPen(black);
        dc.DrawLines(3, &m_ptArm[0]);
        dc.SetPen(inner);
        dc.DrawLines(3, &m_ptArm[0]);
        dc.SetPen(defaultPen);
        dc.SetBrush(yellow);
        DrawEllipseIn(dc, ToWx(g.contact[m_nPos]));
        DrawEllipseIn(dc, ToWx(g.pole));
    }
}

void CGroupButton::DrawBackground(wxDC& dc, const wxRect& rect, const wxRect& band, bool full) {
    const wxPen defaultPen = dc.GetPen();
    if (full) {
        DrawFrame(dc, rect);
    } else {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxLIGHT_GREY_BRUSH);
        dc.DrawRectangle(band);
    }
    dc.SetPen(defaultPen);
}

void CGroupButton::DrawSwitchFixed(wxDC& dc, const wxRect& rect, const SwitchGeometry& g, int count,
                                   bool full) {
    DrawBackground(dc, rect, ToWx(g.band), full);
    if (full && !m_strPole.empty()) {
        dc.DrawText(Wx(m_strPole), ToWx(g.poleLabel));
    }
    // The contacts and the pole of a switch whose state is unknown are grey: neither open nor closed.
    const wxBrush blue(m_bUnknown ? kGrey : kBlue);
    dc.SetBrush(blue);
    for (int i = 0; i < count; ++i) {
        DrawEllipseIn(dc, ToWx(g.contact[i]));
        if (full && !m_strLabel[i].empty()) {
            dc.DrawText(Wx(m_strLabel[i]), ToWx(g.label[i]));
        }
    }
    DrawEllipseIn(dc, ToWx(g.pole));
}

DialGeometry CGroupButton::ComputeDialGeometry(wxDC& dc, const wxSize& client) const {
    const AttenuatorScaleRow& scale = AttenuatorScale[DialType()];
    return DialLayout(dc, client, scale, DialFont());
}

DialGeometry CGroupButton::DialLayout(wxDC& dc, const wxSize& client, const AttenuatorScaleRow& scale,
                                      const wxFont& font) const {
    PixelSize labelText[12];
    for (int k = 0; k < 12; ++k) {
        labelText[k] = FromWx(Extent(dc, scale.labels[k]));
    }
    const PixelSize dBText = FromWx(Extent(dc, "dB", font));
    return LayoutAttenuator(FromWx(client), m_nPos, labelText, dBText);
}

void CGroupButton::DrawAttenuator(wxDC& dc, const wxRect& rect, bool full) {
    const CKeptContext kept(dc);
    const AttenuatorScaleRow& scale = AttenuatorScale[DialType()];
    const int count = ::PositionCount(DialType());
    for (int k = 0; k < 12; ++k) {
        m_strLabel[k] = scale.labels[k];
    }
    const DialGeometry g = DialLayout(dc, rect.GetSize(), scale, DialFont());
    m_dUnit = g.r;
    m_rcPole = ToWx(g.hub);
    for (int k = 0; k < 12; ++k) {
        m_rcElem[k] = ToWx(g.circle[k]);
    }
    if (g.hasNeedle) {
        for (int i = 0; i < 3; ++i) {
            m_ptNeedle[i] = ToWx(g.needle[i]);
        }
    }

    DrawFixedParts(dc, rect, ToWx(g.fill), full,
                   [&](wxDC& layer, bool whole) { DrawAttenuatorFixed(layer, rect, g, count, whole); });

    // The moving parts. An attenuator whose position is not known has no pointer and no selected
    // circle; the hub is drawn again over the pointer's base.
    if (g.hasNeedle) {
        const wxBrush yellow(kYellow);
        dc.SetPen(kept.defaultPen);
        dc.SetBrush(yellow);
        dc.DrawPolygon(3, m_ptNeedle);
        DrawEllipseIn(dc, ToWx(g.circle[m_nPos]));
        DrawEllipseIn(dc, ToWx(g.hub));
    }
}

void CGroupButton::DrawAttenuatorFixed(wxDC& dc, const wxRect& rect, const DialGeometry& g, int count,
                                       bool full) {
    DrawBackground(dc, rect, ToWx(g.fill), full);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    DrawEllipseIn(dc, ToWx(g.ring));

    // The steps and the hub of a dial whose state is unknown are grey: no step is set.
    const wxBrush blue(m_bUnknown ? kGrey : kBlue);
    const wxBrush darkGrey(kDarkGrey);
    const wxBrush yellow(m_bUnknown ? kGrey : kYellow);
    dc.SetBrush(blue);
    for (int k = 0; k < 12; ++k) {
        // The positions the type does not have are dark grey.
        if (k >= 8 && count <= k) {
            dc.SetBrush(darkGrey);
        }
        DrawEllipseIn(dc, ToWx(g.circle[k]));
        if (!m_strLabel[k].empty()) {
            dc.DrawText(Wx(m_strLabel[k]), ToWx(g.label[k]));
        }
    }
    {
        const wxDCFontChanger font(dc, DialFont());
        dc.DrawText("dB", ToWx(g.dB));
        if (!m_strPole.empty()) {
            dc.DrawText(Wx(m_strPole.substr(m_strPole.size() - 1)), ToWx(g.digit));
        }
    }
    dc.SetBrush(yellow);
    DrawEllipseIn(dc, ToWx(g.hub));
}

// ---------------------------------------------------------------------------------------------------
// Clicks

void CGroupButton::OnLButtonUp(wxMouseEvent& event) {
    // The release that completes a double click shows no wait cursor.
    const bool doubleClick = m_bDblClk != 0;
    m_bDblClk = 0;
    const int old = m_nPos;
    int pos = m_nPos;
    const wxPoint p = event.GetPosition();
    const int n = PositionCount();
    bool hit = false;
    if (n > 0) {
        // Every element is tested; a later hit overrides an earlier one.
        for (int k = 0; k < n; ++k) {
            if (m_rcElem[k].Contains(p)) {
                // The selected channel of a switch clicked again is opened.
                pos = ChosenPosition(m_nType, pos, k);
                hit = true;
            }
        }
        if (m_rcPole.Contains(p)) {
            // The common element advances the position, wrapping to 0; no position advances to 0.
            pos = NextPosition(n, pos);
            hit = true;
            if (doubleClick) {
                m_nPos = pos;
                Refresh(true);
                Update();
            }
        }
    }
    if (!hit || CommitPosition(old, pos, !doubleClick)) {
        DefaultLeftButtonUp(event);
    }
}

void CGroupButton::OnKeyChar(wxKeyEvent& event) {
    int digit = 0;
    const GroupKey key = KeyOf(event, digit);
    const GroupKeyAction action = ActionForKey(m_nType, m_nPos, key, digit);
    if (action.kind == GroupKeyAction::Ignore) {
        event.Skip();
        return;
    }
    if (action.kind == GroupKeyAction::Beep) {
        Facade().Beep();
        return;
    }
    // The path of a click that takes the group to the same position.
    if (CommitPosition(m_nPos, action.position, true)) {
        DrawAtOnce(ODA_SELECT, ODS_FOCUS);
    }
}

bool CGroupButton::CommitPosition(int old, int to, bool waitCursor) {
    CSfpAppData* app = TheApp();
    CInstrument* instrument = app != nullptr ? app->m_pInstrument.get() : nullptr;
    CPan1Obj* panel = FindMainPanel();
    const bool inModel = panel != nullptr && m_nGroupIndex >= 0 && m_nGroupIndex < kGroupCount;
    if (instrument == nullptr || !inModel) {
        SetPosition(to);
        return true;
    }
    GroupState groups = panel->Groups();
    groups.types[m_nGroupIndex] = m_nType;
    groups.positions[m_nGroupIndex] = old;
    const PositionOutcome outcome =
        ApplyGroupPosition(*instrument, groups, m_nGroupIndex, old, to, waitCursor);
    SetPosition(groups.positions[m_nGroupIndex], groups.unknown[m_nGroupIndex]);
    panel->m_nGroupPos[m_nGroupIndex] = groups.positions[m_nGroupIndex];
    panel->m_bGroupUnknown[m_nGroupIndex] = groups.unknown[m_nGroupIndex];
    if (outcome == PositionOutcome::ReadBack) {
        Refresh(false);
    }
    return outcome == PositionOutcome::Sent;
}

void CGroupButton::OnLButtonDblClk(wxMouseEvent& event) {
    if (m_rcPole.Contains(event.GetPosition())) {
        m_bDblClk = 1;
    }
    DefaultLeftButtonDblClk(event);
}
