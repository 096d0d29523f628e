#include "panels/Pan1Obj.h"

#include <cstdio>

#include "app/SfpAppData.h"
#include "panels/LabelsFile.h"
#include "platform/Facade.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace {
const char* const kTypeNames[kTypeNameCount] = {"QZATNA01", "QZATNB01", "QZATNC01", "QZSWTA01", "QZSWTB01"};
} // namespace

CPan1Obj::CPan1Obj() : CPanel(LoadString(IDS_MAIN_PANEL)) {
    SetDefaultLabels(m_szLabels);
    // The labels file may replace labels; its tags are matched against the connected instrument's
    // address. Without an instrument there is nothing to match, so the defaults stay.
    CSfpAppData* app = TheApp();
    if (app != nullptr && app->m_pInstrument) {
        const std::string name = app->m_pInstrument->GetLabelsFileName();
        const std::string why =
            ReadLabelsFile(name, app->m_pInstrument->GetAddress(), m_szLabels, app->m_defaultLabelsFileName);
        // The operator is told, so that the defaults are not taken for the bench's own names.
        if (!why.empty()) {
            Facade().MessageBox(FormatLabelsNotRead(name, why));
        }
    }
    const GroupState unreported;
    m_nGroupPos = unreported.positions;
    m_nGroupType = unreported.types;
    for (int t = 0; t < kTypeNameCount; ++t) {
        std::snprintf(m_szTypeName[t], kTypeNameSize, "%s", kTypeNames[t]);
    }
}

void CPan1Obj::OpenDlg() {
    const MainPanelFactory& factory = GetMainPanelFactory();
    m_pMainView = factory ? factory(this) : nullptr;
    m_pDlg = m_pMainView;
    TheApp()->m_pActivePanel = this;
}

CMainPanelView* CPan1Obj::MainView() const {
    return m_pDlg != nullptr ? m_pMainView : nullptr;
}

void CPan1Obj::SetGroupTypes(const GroupValues& types) {
    for (int g = 0; g < kGroupCount; ++g) {
        if (types[g] >= 0) {
            m_nGroupType[g] = types[g];
        }
    }
    if (CMainPanelView* view = MainView()) {
        view->ShowGroupTypes(m_nGroupType);
    }
}

void CPan1Obj::SetGroupPositions(const GroupValues& positions, const GroupFlags& unknown) {
    m_nGroupPos = positions;
    m_bGroupUnknown = unknown;
    if (CMainPanelView* view = MainView()) {
        view->ShowGroupPositions(m_nGroupPos, m_bGroupUnknown);
    }
}
