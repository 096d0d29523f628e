// What the desktop's accessibility layer (a screen reader, for instance) learns of the program's own
// controls. On GTK the text goes to the accessible object (ATK) of the control's widget; on a platform
// without one it goes nowhere.
#pragma once

#include <string>

class wxWindow;

// Gives the window the name the accessibility layer reports for it. A window not yet created is left
// alone.
void SetAccessibleName(wxWindow* window, const std::string& name);
// The name the accessibility layer reports for the window; empty when it has none or there is no such
// layer.
std::string AccessibleName(const wxWindow* window);
