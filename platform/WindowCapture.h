// Pictures of windows as they stand on the screen.
#pragma once

#include <wx/image.h>

class wxWindow;

// The top-level window with its menu bar and client area, read back from the screen after every
// pending paint has been done. An invalid image when the window is not shown.
wxImage CaptureWindow(wxWindow* window);
