// The main-panel object, "Main Panel": it holds the group state (device types and positions of the six
// groups) and the switch labels, so that they outlive the window that shows them.
#pragma once

#include "panels/Panel.h"

constexpr int kGroupCount = 6;
constexpr int kLabelsPerBank = 7; // labels of positions 0 to 5, then the pole label
constexpr int kPoleLabel = 6;
constexpr int kLabelSize = 8; // a label of at most 7 characters and its terminator
constexpr int kTypeNameCount = 5;
constexpr int kTypeNameSize = 10;

class CPan1Obj : public CPanel {
public:
    // Takes the default labels, reads the labels file, and sets every group unknown (-1) and
    // unreported (-3).
    CPan1Obj();

    void OpenDlg() override;

    // Each argument that is 0 or more replaces the type of its group; then a shown main panel is given
    // all six types (and runs Reset), even when nothing changed.
    void SetGroupTypes(int t0, int t1, int t2, int t3, int t4, int t5);
    // All six arguments replace the stored positions; then a shown main panel is given them.
    void SetGroupPositions(int p0, int p1, int p2, int p3, int p4, int p5);

    // The shown main panel window, or null.
    CMainPanelView* MainView() const;

    int m_nGroupPos[kGroupCount];
    int m_nGroupType[kGroupCount];
    char m_szLabels[kGroupCount][kLabelsPerBank][kLabelSize];
    char m_szTypeName[kTypeNameCount][kTypeNameSize];

private:
    CMainPanelView* m_pMainView = nullptr; // the same window as m_pDlg, as the main panel view
};
