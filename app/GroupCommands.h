// The main window's commands that act on all six groups: the start-up panel set-up, Reset, Refresh and
// Self Test. They talk to the module through the application's instrument, update the group model of
// the main-panel object and redraw the shown panel. A failing instrument call ends the command with the
// error report; the wait cursor each command begins is always ended.
#pragma once

// Start-up: connects the instrument, creates the main-panel and status-panel objects, runs Reset for an
// instrument on a VXI interface (Refresh otherwise) and shows the main panel.
void SetUpPanels();
// Reads the card's device types, then sets every attenuator to 0 and opens every channel of every
// switch group; stores the new positions and redraws the shown panel. When resetting a group fails
// other than by a time-out, the report is followed by a read-back of all six groups, which the shown
// panel then draws. False when an instrument call failed (and was reported) or there is no main-panel
// object or instrument to work on.
bool OnReset();
// Reads the card's device types, then reads every group's position back from the module and redraws
// the shown panel. False as for OnReset.
bool OnRefresh();
// Runs the module's self-test and shows its result text.
void OnSelfTest();
