// The colours that the application gives every dialog and the captions, texts and radio buttons on it:
// light grey (192, 192, 192) with black text unless the application sets others at start-up. The
// template builder applies them to the windows it builds.
#pragma once

#include <wx/colour.h>

void SetDialogColours(const wxColour& background, const wxColour& text);
wxColour DialogBackgroundColour();
wxColour DialogTextColour();
