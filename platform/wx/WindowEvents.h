// Window messages and commands sent to a window as wx events. A window message (such as 0x466, which
// runs Reset on the main window) travels as an EVT_SFP_WINDOW_MESSAGE command event whose GetInt() is the
// message number; a command (such as 32772, Refresh) travels as an ordinary menu event with the wx id
// of the command number (platform/CommandIds.h), exactly as if its menu item had been chosen.
#pragma once

#include <wx/event.h>

class wxWindow;

wxDECLARE_EVENT(EVT_SFP_WINDOW_MESSAGE, wxCommandEvent);

// Handles the message at once in the window (as SendMessage does); false when nothing handled it.
bool SendWindowMessage(wxWindow* window, int message);
// Handles the command at once in the window; false when nothing handled it.
bool SendCommand(wxWindow* window, int command);
