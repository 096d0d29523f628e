#include "panels/StatObj.h"

#include "app/SfpAppData.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

CStatObj::CStatObj() : CPanel(LoadString(IDS_STATUS_PANEL)) {}

void CStatObj::OpenDlg() {
    const StatusPanelFactory& factory = GetStatusPanelFactory();
    m_pDlg = factory ? factory(this) : nullptr;
    TheApp()->m_pActivePanel = this;
}
