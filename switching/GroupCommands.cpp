#include "switching/GroupCommands.h"

#include <memory>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "resources/ResourceIds.h"

void SetUpPanels() {
    CSfpAppData* app = TheApp();
    app->ConnectInstrument();
    app->m_panels.push_back(std::make_unique<CPan1Obj>());
    app->m_panels.push_back(std::make_unique<CStatObj>());
    if (app->m_pInstrument->GetInterfaceType() == 2) {
        OnReset();
    } else {
        OnRefresh();
    }
    ShowPanel(IDS_MAIN_PANEL);
}

void OnReset() {}
void OnRefresh() {}
void OnSelfTest() {}
