#include "app/SfpAppData.h"

#include "instrument/NonLiveInstrument.h"
#include "panels/Panel.h"
#include "platform/Facade.h"

namespace {
CSfpAppData* g_app = nullptr;
}

CSfpAppData* TheApp() {
    return g_app;
}

CSfpAppData::CSfpAppData() {
    g_app = this;
}

CSfpAppData::~CSfpAppData() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

void CSfpAppData::TakeCommandLine(const std::string& text) {
    m_commandLine = ParseCommandLine(text);
    m_labelsFileName = m_commandLine.labelsFile;
}

void CSfpAppData::CreateNonLivePanel() {
    m_indicatorColor = PanelColor(kPanelDarkGrey);
    m_pInstrument = std::make_unique<CNonLiveInstrument>();
    Facade().EndWaitCursor();
}

void CSfpAppData::ReleaseResources() {
    m_resourceName.clear();
    m_labelsFileName.clear();
    for (auto& panel : m_panels) {
        panel.reset();
    }
    m_panels.clear();
    m_pActivePanel = nullptr;
    m_pInstrument.reset();
}
