// The status panel's window: a child window of the main window built from template 106 on a dark grey
// ground, where the operator reads the module's error queue one entry at a time, reads its status byte
// and sends an operation-complete query. It fits the main window to itself when it is built, and
// deletes itself when its window is destroyed.
#pragma once

#include "panels/wx/PanelDlg.h"

class CDisplayField;
class CReadoutButton;
class CStatObj;

class CStatusPanelDlg : public CPanelDlg<CPanelWindow> {
public:
    // Creates the window at once in the parent (the main window) and builds the panel.
    CStatusPanelDlg(wxWindow* parent, CStatObj* panel);

    // Builds the panel: fits the main window, then attaches the title band, the two frames, the number
    // and message fields and the status byte read-out to their template items. Returns true.
    bool OnInitDialog();

    // Read Error Queue: reads one entry of the module's error queue and shows its code and message.
    void OnReadErrorQueue();
    // OPC?: waits for the module to complete its pending operations; the answer is not shown.
    void OnOpcQuery();
    // The status byte read-out: reads the status byte and shows it on the button.
    void OnStatusByte();
    // OK and Cancel (Enter and Escape) end the panel as a dialog ends: its window is hidden, and stays
    // the panel object's window until another panel is opened.
    void OnOK() override;
    void OnCancel() override;

    CStatObj* m_pPanel; // the status-panel object that opened this window; not owned
    // The read-outs are child windows of this one: wx deletes them with it (in the order they stand
    // among its children), so these pointers do not own them. They are null until the panel is built.
    CDisplayField* m_pTitle;        // title band, item 1018
    CDisplayField* m_pErrorBox;     // frame around the error-queue controls, item 1026
    CDisplayField* m_pLowerBox;     // frame of the lower area, item 1024
    CDisplayField* m_pNumberField;  // error number read-out, item 1016
    CDisplayField* m_pMessageField; // error message read-out, item 1017
    CReadoutButton* m_pStatusByte;  // status byte read-out and button, item 1022
};
