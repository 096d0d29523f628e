#include "app/RemoteControl.h"

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "platform/Facade.h"
#include "platform/MessageCapture.h"
#include "resources/ResourceIds.h"

namespace {

// The main-panel object, or null when there is none; unlike FindMainPanel, a missing object is no
// fatal error here, as a request may arrive at any moment.
CPan1Obj* QuietMainPanel() {
    CSfpAppData* app = TheApp();
    return app != nullptr ? dynamic_cast<CPan1Obj*>(FindPanel(IDS_MAIN_PANEL)) : nullptr;
}

CInstrument* Instrument() {
    CSfpAppData* app = TheApp();
    return app != nullptr ? app->m_pInstrument.get() : nullptr;
}

} // namespace

RemoteOutcome CRemoteControl::Reset() {
    return Run(&OnReset);
}

RemoteOutcome CRemoteControl::Refresh() {
    return Run(&OnRefresh);
}

bool CRemoteControl::IsBusy() const {
    return m_running || ModalDepth() > 0 || QuietMainPanel() == nullptr || Instrument() == nullptr;
}

RemoteOutcome CRemoteControl::Run(bool (*command)()) {
    RemoteOutcome outcome;
    if (IsBusy()) {
        outcome.kind = RemoteOutcome::Kind::Busy;
        return outcome;
    }
    // Cleared however the command ends, so that nothing it throws leaves the panel refusing every call.
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running(m_running);
    CMessageCapture shown;
    if (!command()) {
        outcome.kind = RemoteOutcome::Kind::Failed;
        for (const std::string& text : shown.Texts()) {
            outcome.message += (outcome.message.empty() ? "" : "\n") + text;
        }
    }
    return outcome;
}

std::string CRemoteControl::ResourceName() {
    return Live() ? TheApp()->m_resourceName : std::string();
}

bool CRemoteControl::Live() {
    const CInstrument* instrument = Instrument();
    return instrument != nullptr && instrument->m_bLive == 1;
}

int CRemoteControl::CardNumber() {
    CInstrument* instrument = Instrument();
    return instrument != nullptr ? instrument->GetCardNumber() : 0;
}

GroupState CRemoteControl::Groups() {
    const CPan1Obj* panel = QuietMainPanel();
    return panel != nullptr ? panel->Groups() : GroupState();
}

CRemoteControl::Changes CRemoteControl::TakeChanges() {
    Changes changes;
    if (m_running || ModalDepth() > 0) {
        return changes;
    }
    const GroupState now = Groups();
    if (m_taken) {
        changes.types = now.types != m_takenState.types;
        changes.positions = now.positions != m_takenState.positions;
    }
    m_taken = true;
    m_takenState = now;
    return changes;
}
