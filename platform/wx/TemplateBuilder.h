// Windows built from the program's dialog templates (resources/DialogTemplates.h), and attaching the
// program's own control objects to template items by id.
//
// Building. BuildFromTemplate(parent, templateId) gives the parent window the template's font and client
// size and creates one child per template item, in template order, so that the tab order follows the
// template. Places and sizes are converted from dialog units with the template's 8-point font: x and
// widths by the font's average letter width / 4, y and heights by its character height / 8 (truncated).
// Each item gets its wx id (WxId of its number: 1 is wxID_OK, 2 wxID_CANCEL; -1 items get wx's automatic
// ids), its text ("&&" shows as "&", "&x" marks an access key), and its style:
//   Text           wxStaticText, centred when the template says so, in the dialog colours
//   BlackFrame     a placeholder window framed in black (a display field or bitmap control takes it over)
//   Icon           wxStaticBitmap of the program icon
//   PushButton     wxButton; DefPushButton: the same, made the default button
//   OwnerDraw      a placeholder window that draws nothing (an owner-drawn control takes it over)
//   ComboList      wxChoice (a drop-down list without typing, not sorted)
//   GroupBox       wxStaticBox, in the dialog colours
//   Radio          wxRadioButton; an item that starts a group starts a new radio group
// and items marked disabled are created disabled. Native controls take the focus by themselves; the
// placeholders never do (the tab stop of an item is the business of the control attached to it), and the
// group mark matters to radio buttons only.
//
// Attaching. The caller makes the control object and hands it over; the item's placeholder gives way to
// it: the control takes the item's id, rectangle and tab place, and the placeholder is destroyed. The
// control may be handed over created or not yet created (two-step creation):
//
//     // created by the caller on the item's rectangle:
//     const wxRect r = TemplateItemRect(this, IDC_HEADER);
//     m_pHeader = AttachToItem(this, IDC_HEADER, new CDisplayField(this, WxId(IDC_HEADER), r.GetPosition(),
//                                                                  r.GetSize()));
//     // or default-constructed: AttachToItem calls control->Create(parent, id, pos, size) itself:
//     m_pLamp = AttachToItem(this, IDC_LAMP, new CLampButton());
//
// The parent window then owns the control (wx deletes child windows with their parent). Attaching to an
// item a second time replaces the control attached before. Sibling windows are stacked in template
// order too, so a frame attached late stays behind the items that follow it in the template.
#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/window.h>

#include "platform/CommandIds.h"
#include "resources/DialogTemplates.h"

// The font of a template: its point size in a Swiss face ("Liberation Sans", the metric twin of Arial,
// else the system's Swiss face), standing in for "MS Sans Serif".
wxFont TemplateFont(const DialogTemplate& dialogTemplate);
// The dialog base units of a font: the average width of the letters A to Z and a to z (rounded up from
// a half, as the dialog manager does) and the character height.
wxSize DialogBaseUnits(const wxFont& font);
// A rectangle in dialog units converted to pixels with the given base units.
wxRect DialogToPixels(const wxSize& baseUnits, int x, int y, int cx, int cy);

// Builds the children of the parent from the template; false (and nothing built) when the program has
// no template of that number or the parent has been built already.
bool BuildFromTemplate(wxWindow* parent, int templateId);
// The dialog base units the parent was built with (0 x 0 when it was not built from a template).
wxSize TemplateBaseUnits(const wxWindow* parent);

// The rectangle of the item with the given number (its template number, e.g. IDC_LAMP or IDOK) in the
// parent's client coordinates; an empty rectangle when the parent's template has no such item.
wxRect TemplateItemRect(const wxWindow* parent, int id);
// The item's place in template order (its tab place), counted from 0; -1 when there is no such item.
int TemplateTabPlace(const wxWindow* parent, int id);
// The window that stands at the item now: the placeholder or the control attached to it; null when none.
wxWindow* TemplateItemWindow(const wxWindow* parent, int id);

// Puts the control (a child of the parent) at the item: the item's id, rectangle and tab place, and
// destroys the window that stood there. Returns the control, or null when the parent's template has no
// such item (the control is then destroyed, so nothing is left half-attached).
wxWindow* AttachWindowToItem(wxWindow* parent, int id, wxWindow* control);

template <class T>
T* AttachToItem(wxWindow* parent, int id, T* control) {
    if constexpr (requires { control->Create(parent, id, wxPoint(), wxSize()); }) {
        if (control->GetParent() == nullptr) {
            const wxRect rect = TemplateItemRect(parent, id);
            if (rect.IsEmpty()) {
                delete control;
                return nullptr;
            }
            control->Create(parent, WxId(id), rect.GetPosition(), rect.GetSize());
        }
    }
    return AttachWindowToItem(parent, id, control) != nullptr ? control : nullptr;
}

// Puts the toolkit's own order of the parent's children (stacking, and the keyboard order of native
// controls such as radio buttons) back in line with the child list, after windows were made in another
// order than the one they stand in. Costly: for dialogs that replace many items, once, at the end.
void RestackInChildOrder(wxWindow* parent);

// Resizes the top-level window that holds the child window, without moving it, so that its outer width
// equals the child's client width and its client height equals the child's client height: outer width W,
// outer height (outer height - client height) + H.
void FitTopLevelToChild(wxWindow* child);
