// The main window's commands that act on all six groups: the start-up panel set-up, Reset, Refresh and
// Self Test. They talk to the module through the application's instrument, update the group model of
// the main-panel object and redraw the shown panel.
#pragma once

// Start-up: connects the instrument, creates the main-panel and status-panel objects, runs Reset for an
// instrument on a VXI interface (Refresh otherwise) and shows the main panel.
void SetUpPanels();
void OnReset();
void OnRefresh();
void OnSelfTest();
