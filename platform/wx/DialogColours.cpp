#include "platform/wx/DialogColours.h"

namespace {
wxColour g_background(192, 192, 192);
wxColour g_text(0, 0, 0);
} // namespace

void SetDialogColours(const wxColour& background, const wxColour& text) {
    g_background = background;
    g_text = text;
}

wxColour DialogBackgroundColour() {
    return g_background;
}

wxColour DialogTextColour() {
    return g_text;
}
