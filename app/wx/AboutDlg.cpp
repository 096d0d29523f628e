#include "app/wx/AboutDlg.h"

#include "platform/wx/TemplateBuilder.h"
#include "resources/ResourceIds.h"

CAboutDlg::CAboutDlg(wxWindow* owner) {
    const DialogTemplate* t = FindDialogTemplate(IDD_ABOUTBOX);
    Create(owner, wxID_ANY, wxString::FromUTF8(t->caption), wxDefaultPosition, wxDefaultSize,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
    BuildFromTemplate(this, IDD_ABOUTBOX);
    // The template places the box relative to its owner's client area.
    const wxRect place = DialogToPixels(TemplateBaseUnits(this), t->x, t->y, 0, 0);
    if (owner != nullptr) {
        Move(owner->ClientToScreen(place.GetPosition()));
    } else {
        CentreOnScreen();
    }
}
