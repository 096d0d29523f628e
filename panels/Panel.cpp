#include "panels/Panel.h"

namespace {
MainPanelFactory g_mainPanelFactory;
StatusPanelFactory g_statusPanelFactory;
} // namespace

void SetPanelWindowFactories(MainPanelFactory mainPanel, StatusPanelFactory statusPanel) {
    g_mainPanelFactory = std::move(mainPanel);
    g_statusPanelFactory = std::move(statusPanel);
}

const MainPanelFactory& GetMainPanelFactory() {
    return g_mainPanelFactory;
}
const StatusPanelFactory& GetStatusPanelFactory() {
    return g_statusPanelFactory;
}

void CPanel::CloseDlg() {
    if (m_pDlg != nullptr) {
        CPanelWindow* window = m_pDlg;
        m_pDlg = nullptr;
        window->DestroyPanelWindow();
    }
}
