#include "panels/PanelLookup.h"

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/StatObj.h"
#include "platform/Facade.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace {

// Returned for a name that no panel has; it belongs to no panel class.
CSFPObject g_placeholder;

template <typename T>
T* CheckedConversion(CSFPObject* object, const char* className) {
    if (T* converted = dynamic_cast<T*>(object)) {
        return converted;
    }
    Facade().MessageBox(std::string(className) + " failed conversion, fatal");
    Facade().DestroyMainWindow();
    return nullptr;
}

} // namespace

CSFPObject* FindPanel(const std::string& name) {
    for (const auto& panel : TheApp()->m_panels) {
        if (panel->m_strName == name) {
            return panel.get();
        }
    }
    return &g_placeholder;
}

CSFPObject* FindPanel(int stringId) {
    return FindPanel(LoadString(stringId));
}

CPan1Obj* ToPan1Obj(CSFPObject* object) {
    return CheckedConversion<CPan1Obj>(object, "CPan1Obj");
}
CStatObj* ToStatObj(CSFPObject* object) {
    return CheckedConversion<CStatObj>(object, "CStatObj");
}
CPanel* ToPanel(CSFPObject* object) {
    return CheckedConversion<CPanel>(object, "CPanel");
}

CPan1Obj* FindMainPanel() {
    return ToPan1Obj(FindPanel(IDS_MAIN_PANEL));
}

void ShowPanel(int nameStringId) {
    CPanel* panel = nullptr;
    if (nameStringId == IDS_STATUS_PANEL) {
        panel = ToStatObj(FindPanel(IDS_STATUS_PANEL));
    } else {
        panel = ToPan1Obj(FindPanel(IDS_MAIN_PANEL));
    }
    if (panel == nullptr) {
        return;
    }
    if (CPanel* active = TheApp()->m_pActivePanel) {
        active->CloseDlg();
    }
    panel->OpenDlg();
}
