// The status-panel object, "Status Panel".
#pragma once

#include "panels/Panel.h"

class CStatObj : public CPanel {
public:
    CStatObj();
    void OpenDlg() override;
};
