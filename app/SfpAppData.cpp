#include "app/SfpAppData.h"

#include <optional>

#include "instrument/Connection.h"
#include "instrument/NonLiveInstrument.h"
#include "panels/Panel.h"
#include "platform/Facade.h"
#include "platform/ProgramFiles.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

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

void CSfpAppData::TakeCommandLine(const CCommandLine& line) {
    m_commandLine = line;
    // Started from the menu, the program's current folder is the home folder, which is no place for
    // the example labels file: the default file lives in the user's settings folder instead.
    const std::string settings = line.fromMenu ? UserSettingsFolder() : std::string();
    m_defaultLabelsFileName = settings.empty() ? kDefaultLabelsFile : settings + kDefaultLabelsFile;
    m_labelsFileName = line.hasLabelsFile ? line.labelsFile : m_defaultLabelsFileName;
}

bool CSfpAppData::ConnectInstrument() {
    m_cardNumber = 1;
    if (m_pInstrument) {
        return false;
    }
    Facade().BeginWaitCursor();
    const std::optional<std::string> address =
        m_commandLine.hasAddress ? std::optional<std::string>(m_commandLine.address) : std::nullopt;
    const InstrumentSearch search = FindInstrument(address, m_commandLine.noIdentify);
    if (search.failure != 0) {
        Facade().MessageBox(LoadString(search.failure));
        CreateNonLivePanel();
        return true;
    }
    m_resourceName = search.resource;
    m_slot = search.slot;
    m_logicalAddress = search.logicalAddress;
    if (search.interfaceType) {
        m_interfaceType = *search.interfaceType;
    }
    OpenDriverSession(search.resource, *search.driverLibrary);
    // A resource given on the command line is addressed at card 1; a found one has its card chosen.
    if (!search.explicitAddress) {
        SelectCard();
    }
    return true;
}

void CSfpAppData::OpenDriverSession(const std::string& name, const CDynamicLibrary& library) {
    std::unique_ptr<CInstrument> instrument =
        OpenDriverInstrument(name, library, m_interfaceType, m_commandLine.reset);
    if (!instrument) {
        Facade().MessageBox(LoadString(IDS_INIT_FAILED));
        CreateNonLivePanel();
        return;
    }
    m_indicatorColor = RGB(0, 255, 0);
    m_pInstrument = std::move(instrument);
    Facade().EndWaitCursor();
}

void CSfpAppData::SelectCard() {
    m_cardNumber = ChooseCard(*m_pInstrument, m_interfaceType, m_logicalAddress);
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
