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

bool CRemoteControl::Claim() {
    if (!m_ready || ModalDepth() > 0) {
        return false;
    }
    bool free = false;
    return m_claimed.compare_exchange_strong(free, true);
}

void CRemoteControl::Run(Operation operation, const Answer& answer) {
    // The claim is given back however the operation ends, so that nothing it throws leaves the panel
    // refusing every call.
    struct Claimed {
        std::atomic<bool>& claimed;
        ~Claimed() { claimed = false; }
    } claimed{m_claimed};
    RemoteOutcome outcome;
    if (ModalDepth() > 0 || QuietMainPanel() == nullptr || Instrument() == nullptr) {
        outcome.kind = RemoteOutcome::Kind::Busy;
        answer(outcome);
        return;
    }
    CMessageCapture report;
    if (!(operation == Operation::Reset ? OnReset() : OnRefresh())) {
        outcome.kind = RemoteOutcome::Kind::Failed;
        for (const std::string& text : report.Texts()) {
            outcome.message += (outcome.message.empty() ? "" : "\n") + text;
        }
    }
    outcome.changes = Take();
    answer(outcome);
    report.Release(); // the report's boxes now wait for the operator alone
}

void CRemoteControl::SetReady(bool ready) {
    if (ready) {
        Take();
    }
    m_ready = ready;
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

bool CRemoteControl::Properties(RemoteProperties& properties) const {
    if (!m_ready) {
        return false;
    }
    const std::lock_guard<std::mutex> lock(m_takenLock);
    properties = m_taken;
    return true;
}

GroupChanges CRemoteControl::TakeChanges() {
    if (!m_ready || m_claimed || ModalDepth() > 0) {
        return {};
    }
    return Take();
}

GroupChanges CRemoteControl::Take() {
    RemoteProperties now;
    now.resourceName = ResourceName();
    now.live = Live();
    now.cardNumber = CardNumber();
    now.groups = Groups();
    const std::lock_guard<std::mutex> lock(m_takenLock);
    GroupChanges changes;
    changes.types = now.groups.types != m_taken.groups.types;
    changes.positions = now.groups.positions != m_taken.groups.positions;
    m_taken = std::move(now);
    return changes;
}
