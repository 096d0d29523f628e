// The main window's commands that act on all six groups: the start-up panel set-up, Reset, Refresh and
// Self Test. They talk to the module through the application's instrument, update the group model of
// the main-panel object and redraw the shown panel. A failing instrument call ends the command with the
// error report; the wait cursor each command begins is always ended.
#pragma once

// Start-up: connects the instrument, creates the main-panel and status-panel objects, runs Reset for an
// instrument on a VXI interface (Refresh otherwise) and shows the main panel.
void SetUpPanels();
// Reads the card's device types, then sets every attenuator to 0 and opens every channel of every
// switch group; stores the new positions and redraws the shown panel. Each group's position is stored
// as its command succeeds: after a time-out the groups reset before it are shown reset and the others
// as they were. When resetting a group fails otherwise, all six groups are read back, and the shown
// panel draws what the module holds. False when an instrument call failed (and was reported) or there
// is no main-panel object or instrument to work on.
bool OnReset();
// Reads the card's device types, then reads every group's position back from the module, stores and
// redraws them. A group whose read fails is stored as unknown and the others keep what was read; the
// first failure is reported once, after the redraw. False as for OnReset, and when any read failed.
bool OnRefresh();
// Runs the module's self-test and shows its result text.
void OnSelfTest();
