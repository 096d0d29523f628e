#include "platform/wx/TemplateBuilder.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/fontenum.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include <vector>

#include "platform/wx/DialogColours.h"
#include "resources/ResourceIds.h"
#include "resources/wx/Bitmaps.h"

namespace {

// What the builder remembers of a built window: its template and base units.
class CTemplateInfo : public wxClientData {
public:
    CTemplateInfo(const DialogTemplate* dialogTemplate, wxSize baseUnits)
        : m_template(dialogTemplate), m_baseUnits(baseUnits) {}
    const DialogTemplate* m_template;
    wxSize m_baseUnits;
};

const CTemplateInfo* InfoOf(const wxWindow* parent) {
    return parent != nullptr ? dynamic_cast<const CTemplateInfo*>(parent->GetClientObject()) : nullptr;
}

// The window that holds a template item until the program attaches its own control: a black frame, or
// nothing at all for an owner-drawn button.
class CItemPlaceholder : public wxWindow {
public:
    CItemPlaceholder(wxWindow* parent, int id, const wxRect& rect, bool blackFrame, const wxString& label)
        : wxWindow(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE), m_blackFrame(blackFrame) {
        SetLabel(label);
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &CItemPlaceholder::OnPaint, this);
    }
    bool AcceptsFocus() const override { return false; }

private:
    void OnPaint(wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.SetBrush(wxBrush(GetParent()->GetBackgroundColour()));
        dc.SetPen(m_blackFrame ? *wxBLACK_PEN : *wxTRANSPARENT_PEN);
        const wxSize size = GetClientSize();
        dc.DrawRectangle(0, 0, size.x, size.y);
    }
    bool m_blackFrame;
};

int ItemWxId(const DialogItem& item) {
    return item.id == IDC_STATIC ? wxID_ANY : WxId(item.id);
}

void UseDialogColours(wxWindow* window) {
    window->SetBackgroundColour(DialogBackgroundColour());
    window->SetForegroundColour(DialogTextColour());
}

wxWindow* CreateItem(wxWindow* parent, const DialogItem& item, const wxRect& rect) {
    const int id = ItemWxId(item);
    const wxString text = wxString::FromUTF8(item.text);
    const wxPoint pos = rect.GetPosition();
    const wxSize size = rect.GetSize();
    wxWindow* window = nullptr;
    switch (item.kind) {
    case ItemKind::Text: {
        const long align = (item.style & kCentre) != 0 ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
        window = new wxStaticText(parent, id, text, pos, size, align | wxST_NO_AUTORESIZE);
        UseDialogColours(window);
        break;
    }
    case ItemKind::BlackFrame:
        window = new CItemPlaceholder(parent, id, rect, true, text);
        break;
    case ItemKind::OwnerDraw:
        window = new CItemPlaceholder(parent, id, rect, false, text);
        break;
    case ItemKind::Icon: {
        wxBitmap icon;
        icon.CopyFromIcon(LoadProgramIcon());
        window = new wxStaticBitmap(parent, id, icon, pos, size);
        break;
    }
    case ItemKind::PushButton:
    case ItemKind::DefPushButton: {
        auto* button = new wxButton(parent, id, text, pos, size);
        if (item.kind == ItemKind::DefPushButton) {
            button->SetDefault();
        }
        window = button;
        break;
    }
    case ItemKind::ComboList:
        // The template's height is that of the opened list; the closed box keeps its natural height.
        window = new wxChoice(parent, id, pos, wxSize(size.x, -1));
        break;
    case ItemKind::GroupBox:
        window = new wxStaticBox(parent, id, text, pos, size);
        UseDialogColours(window);
        break;
    case ItemKind::Radio:
        window = new wxRadioButton(parent, id, text, pos, size, (item.style & kGroup) != 0 ? wxRB_GROUP : 0);
        UseDialogColours(window);
        break;
    }
    if ((item.style & kDisabled) != 0) {
        window->Disable();
    }
    return window;
}

// The index of the item in template order, or -1.
int ItemIndex(const DialogTemplate& t, int id) {
    if (id == IDC_STATIC) {
        return -1;
    }
    for (size_t i = 0; i < t.items.size(); ++i) {
        if (t.items[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

wxWindow* ChildWithId(const wxWindow* parent, int wxId, const wxWindow* except) {
    for (wxWindow* child : parent->GetChildren()) {
        if (child != except && child->GetId() == wxId) {
            return child;
        }
    }
    return nullptr;
}

// Restacks the siblings that follow the window in the child list and would be hidden by it, so that the
// stacking order of overlapping windows stays the template order after a late attachment. GTK draws the
// children of a window in the order they were put into it, so a sibling is brought to the top by taking
// it out and putting it back. Only what must move is moved, since each move is costly: the later
// siblings that overlap the window, and, in turn, the later siblings that overlap one of those (which
// must stay above it). The child list, and with it the tab order, is put back as it was.
void RestackAfter(wxWindow* window) {
#ifdef __WXGTK__
    wxWindow* parent = window->GetParent();
    std::vector<wxWindow*> order;
    for (wxWindow* child : parent->GetChildren()) {
        if (!child->IsTopLevel()) {
            order.push_back(child);
        }
    }
    const auto at = std::find(order.begin(), order.end(), window);
    if (at == order.end()) {
        return;
    }
    std::vector<wxWindow*> above = {window}; // the window and the siblings that must stay above it
    std::vector<wxWindow*> later;
    for (auto it = at + 1; it != order.end(); ++it) {
        const wxRect rect = (*it)->GetRect();
        for (wxWindow* lower : above) {
            if (lower->GetRect().Intersects(rect)) {
                above.push_back(*it);
                later.push_back(*it);
                break;
            }
        }
    }
    if (later.empty()) {
        return;
    }
    auto* holder = new wxWindow(parent, wxID_ANY, wxPoint(0, 0), wxSize(1, 1));
    holder->Hide();
    for (wxWindow* child : later) {
        child->Reparent(holder);
        child->Reparent(parent);
    }
    holder->Destroy();
    // Moving a window to the top also moved it to the end of the child list: put each back after its
    // old predecessor, in list order.
    for (size_t i = 1; i < order.size(); ++i) {
        if (std::find(later.begin(), later.end(), order[i]) != later.end()) {
            order[i]->MoveAfterInTabOrder(order[i - 1]);
        }
    }
#else
    (void)window;
#endif
}

} // namespace

void RestackInChildOrder(wxWindow* parent) {
#ifdef __WXGTK__
    std::vector<wxWindow*> children;
    for (wxWindow* child : parent->GetChildren()) {
        if (!child->IsTopLevel()) {
            children.push_back(child);
        }
    }
    auto* holder = new wxWindow(parent, wxID_ANY, wxPoint(0, 0), wxSize(1, 1));
    holder->Hide();
    for (wxWindow* child : children) {
        child->Reparent(holder);
        child->Reparent(parent);
    }
    holder->Destroy();
#else
    (void)parent;
#endif
}

wxFont TemplateFont(const DialogTemplate& dialogTemplate) {
    static const bool haveLiberation = wxFontEnumerator::IsValidFacename("Liberation Sans");
    wxFontInfo info(dialogTemplate.pointSize);
    info.Family(wxFONTFAMILY_SWISS);
    if (haveLiberation) {
        info.FaceName("Liberation Sans");
    }
    return wxFont(info);
}

wxSize DialogBaseUnits(const wxFont& font) {
    wxBitmap bitmap(1, 1);
    wxMemoryDC dc(bitmap);
    dc.SetFont(font);
    wxCoord width = 0;
    wxCoord height = 0;
    dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &width, &height);
    return wxSize((width / 26 + 1) / 2, height);
}

wxRect DialogToPixels(const wxSize& baseUnits, int x, int y, int cx, int cy) {
    return wxRect(x * baseUnits.x / 4, y * baseUnits.y / 8, cx * baseUnits.x / 4, cy * baseUnits.y / 8);
}

bool BuildFromTemplate(wxWindow* parent, int templateId) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    if (t == nullptr || InfoOf(parent) != nullptr) {
        return false;
    }
    const wxFont font = TemplateFont(*t);
    const wxSize units = DialogBaseUnits(font);
    parent->SetClientObject(new CTemplateInfo(t, units));
    parent->SetFont(font);
    if (t->kind == DialogKind::Popup) {
        UseDialogColours(parent);
    }
    parent->SetClientSize(DialogToPixels(units, 0, 0, t->cx, t->cy).GetSize());
    for (const DialogItem& item : t->items) {
        CreateItem(parent, item, DialogToPixels(units, item.x, item.y, item.cx, item.cy));
    }
    return true;
}

wxSize TemplateBaseUnits(const wxWindow* parent) {
    const CTemplateInfo* info = InfoOf(parent);
    return info != nullptr ? info->m_baseUnits : wxSize(0, 0);
}

wxRect TemplateItemRect(const wxWindow* parent, int id) {
    const CTemplateInfo* info = InfoOf(parent);
    if (info == nullptr) {
        return wxRect();
    }
    const int index = ItemIndex(*info->m_template, id);
    if (index < 0) {
        return wxRect();
    }
    const DialogItem& item = info->m_template->items[static_cast<size_t>(index)];
    return DialogToPixels(info->m_baseUnits, item.x, item.y, item.cx, item.cy);
}

int TemplateTabPlace(const wxWindow* parent, int id) {
    const CTemplateInfo* info = InfoOf(parent);
    return info != nullptr ? ItemIndex(*info->m_template, id) : -1;
}

wxWindow* TemplateItemWindow(const wxWindow* parent, int id) {
    if (TemplateTabPlace(parent, id) < 0) {
        return nullptr;
    }
    return ChildWithId(parent, WxId(id), nullptr);
}

wxWindow* AttachWindowToItem(wxWindow* parent, int id, wxWindow* control) {
    if (control == nullptr) {
        return nullptr;
    }
    const wxRect rect = TemplateItemRect(parent, id);
    if (TemplateTabPlace(parent, id) < 0 || control->GetParent() != parent) {
        control->Destroy();
        return nullptr;
    }
    control->SetId(WxId(id));
    control->SetSize(rect);
    if (wxWindow* old = ChildWithId(parent, WxId(id), control)) {
        control->MoveAfterInTabOrder(old);
        old->Destroy();
    }
    RestackAfter(control);
    return control;
}

void FitTopLevelToChild(wxWindow* child) {
    wxWindow* top = wxGetTopLevelParent(child);
    if (top == nullptr || top == child) {
        return;
    }
    const wxSize panel = child->GetClientSize();
    const wxSize outer = top->GetSize();
    const wxSize client = top->GetClientSize();
    top->SetSize(panel.x, (outer.y - client.y) + panel.y);
}
