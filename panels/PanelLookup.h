// Finding the panel objects by name in the application's panel list, the checked conversions to the
// panel classes, and showing a panel in the main window.
#pragma once

#include <string>

class CSFPObject;
class CPanel;
class CPan1Obj;
class CStatObj;

// The first panel object whose name equals the given text exactly, or a placeholder object of no panel
// class (which every checked conversion rejects) when none does.
CSFPObject* FindPanel(const std::string& name);
// The same, by the string-table entry of the name.
CSFPObject* FindPanel(int stringId);

// Checked conversions: the object as the target class, or null after a fatal message box
// ("<class> failed conversion, fatal") and the destruction of the main window, which ends the program.
CPan1Obj* ToPan1Obj(CSFPObject* object);
CStatObj* ToStatObj(CSFPObject* object);
CPanel* ToPanel(CSFPObject* object);

// The main-panel object ("Main Panel"), through FindPanel and ToPan1Obj.
CPan1Obj* FindMainPanel();

// Shows the panel named by string-table entry 7 (main panel) or 6 (status panel): closes the window of
// the active panel, then opens the chosen one. Showing the panel already shown rebuilds its window.
void ShowPanel(int nameStringId);
