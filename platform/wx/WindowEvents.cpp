#include "platform/wx/WindowEvents.h"

#include <wx/window.h>

#include "platform/CommandIds.h"

wxDEFINE_EVENT(EVT_SFP_WINDOW_MESSAGE, wxCommandEvent);

namespace {

wxCommandEvent MessageEvent(wxWindow* window, int message) {
    wxCommandEvent event(EVT_SFP_WINDOW_MESSAGE, window->GetId());
    event.SetInt(message);
    event.SetEventObject(window);
    return event;
}

wxCommandEvent CommandEvent(wxWindow* window, int command) {
    wxCommandEvent event(wxEVT_MENU, WxId(command));
    event.SetEventObject(window);
    return event;
}

} // namespace

bool SendWindowMessage(wxWindow* window, int message) {
    wxCommandEvent event = MessageEvent(window, message);
    return window->GetEventHandler()->ProcessEvent(event);
}

bool SendCommand(wxWindow* window, int command) {
    wxCommandEvent event = CommandEvent(window, command);
    return window->GetEventHandler()->ProcessEvent(event);
}
