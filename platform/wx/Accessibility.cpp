#include "platform/wx/Accessibility.h"

#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>

namespace {

AtkObject* AccessibleOf(const wxWindow* window) {
    GtkWidget* widget = window != nullptr ? window->GetHandle() : nullptr;
    return widget != nullptr ? gtk_widget_get_accessible(widget) : nullptr;
}

} // namespace

void SetAccessibleName(wxWindow* window, const std::string& name) {
    if (AtkObject* accessible = AccessibleOf(window)) {
        atk_object_set_name(accessible, name.c_str());
    }
}

std::string AccessibleName(const wxWindow* window) {
    AtkObject* accessible = AccessibleOf(window);
    const char* name = accessible != nullptr ? atk_object_get_name(accessible) : nullptr;
    return name != nullptr ? name : "";
}

#else

void SetAccessibleName(wxWindow*, const std::string&) {}

std::string AccessibleName(const wxWindow*) {
    return "";
}

#endif
