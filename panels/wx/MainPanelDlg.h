// The main panel's window: a child window of the main window built from template 103 on a dark grey
// ground. At the top a teal title band with the two logos and the identification strip (slot or card,
// address, and the "Active" lamp); below it, in a raised frame, the six group controls in two columns:
// groups 0, 1, 2 down the left column, groups 3, 4, 5 up the right one.
//
// The window is built anew each time the main panel is opened and fits the main window to itself. The
// main-panel object forwards new group positions and types to it while it is shown. Enter and Escape do
// nothing, so the panel cannot be closed from the keyboard; Tab and Shift+Tab move the focus through the
// group controls in template order, and the first of them has it when the panel opens.
//
// Ownership of the controls: they are child windows of the panel. The panel deletes them itself, in the
// order of its fields, when it is destroyed (before the window system would delete the remaining children);
// the pointers are cleared as each goes, so nothing is deleted twice.
#pragma once

#include "panels/wx/PanelDlg.h"
#include "platform/Colour.h"
#include "resources/ResourceIds.h"

class CPan1Obj;
class CDisplayField;
class CLampButton;
class CBitmapStatic;
class CGroupButton;

class CMainPanelDlg : public CPanelDlg<CMainPanelView> {
public:
    // The template items of the group controls of groups 0 to 5.
    static constexpr int kGroupItems[kGroupCount] = {IDC_GROUP0, IDC_GROUP1, IDC_GROUP2,
                                                     IDC_GROUP3, IDC_GROUP4, IDC_GROUP5};

    // Creates the window at once in the parent (the main window) and builds the panel.
    CMainPanelDlg(wxWindow* parent, CPan1Obj* panel);
    // Deletes the controls in the order of the fields, then the window goes.
    ~CMainPanelDlg() override;

    // Gives group controls 0 to 5 the positions and the unknown flags; nothing is repainted (the caller
    // repaints).
    void ShowGroupPositions(const GroupValues& positions, const GroupFlags& unknown) override;
    // Gives group controls 0 to 5 the types, and their labels from the main-panel object again; nothing
    // is repainted.
    void TakeGroupTypes(const GroupValues& types) override;
    // Gives group controls 0 to 5 the types, then runs the main window's Reset command, which reads the
    // types back, resets every group and repaints the panel.
    void ShowGroupTypes(const GroupValues& types) override;

    // Gives each group control the position and the labels of its group from the main-panel object.
    void LoadGroupControls();

    CPan1Obj* m_pPanel;                       // the main-panel object that opened this window; not owned
    CDisplayField* m_pHeader = nullptr;       // title band, item 1000
    CLampButton* m_pLamp = nullptr;           // "Active" lamp, item 1004
    CDisplayField* m_pInfoStrip = nullptr;    // strip behind the identification fields, item 1006
    COLORREF m_crHeader;                      // fill colour of the title band
    CBitmapStatic* m_pLogo = nullptr;         // logo, item 1002
    CBitmapStatic* m_pPnpLogo = nullptr;      // VXIplug&play logo, item 1001
    CDisplayField* m_pSlotField = nullptr;    // slot or card, item 1010
    CDisplayField* m_pAddrField = nullptr;    // address, item 1011
    CDisplayField* m_pBody = nullptr;         // frame behind the groups, item 1012
    CGroupButton* m_pGroup[kGroupCount] = {}; // group controls of groups 0 to 5

private:
    // Builds the panel on the windows the template created.
    bool OnInitDialog();
    // Fills the slot and address fields; an instrument failure is reported and ends the filling.
    void ShowIdentification();
    void OnLeftDoubleClick(wxMouseEvent& event);
};
