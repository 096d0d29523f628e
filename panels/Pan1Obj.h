// The main-panel object, "Main Panel": it holds the group state (device types and positions of the six
// groups) and the switch labels, so that they outlive the window that shows them.
#pragma once

#include "panels/Panel.h"
#include "switching/GroupModel.h"

class CPan1Obj : public CPanel {
public:
    // Takes the default labels, reads the labels file, and sets every group unknown (-1) and
    // unreported (-3).
    CPan1Obj();

    void OpenDlg() override;

    // Each type that is 0 or more replaces the type of its group; then a shown main panel is given all
    // six types (and runs Reset), even when nothing changed.
    void SetGroupTypes(const GroupValues& types);
    // All six positions and unknown flags replace the stored ones; then a shown main panel is given them.
    void SetGroupPositions(const GroupValues& positions, const GroupFlags& unknown = {});

    // The device types and positions of the six groups.
    GroupState Groups() const { return {m_nGroupType, m_nGroupPos, m_bGroupUnknown}; }

    // The shown main panel window, or null.
    CMainPanelView* MainView() const;

    GroupValues m_nGroupPos;
    GroupValues m_nGroupType;
    GroupFlags m_bGroupUnknown{}; // groups whose state could not be read from the module (position -1)
    char m_szLabels[kGroupCount][kLabelsPerBank][kLabelSize];
    char m_szTypeName[kTypeNameCount][kTypeNameSize];

private:
    CMainPanelView* m_pMainView = nullptr; // the same window as m_pDlg, as the main panel view
};
