#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "app/RemoteControl.h"
#include "app/SfpAppData.h"
#include "instrument/DriverInstrument.h"
#include "instrument/NonLiveInstrument.h"
#include "panels/Pan1Obj.h"
#include "panels/StatObj.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

using Kind = RemoteOutcome::Kind;
using Operation = CRemoteControl::Operation;

// A request as the bus makes it: claimed, then run, giving the outcome answered.
RemoteOutcome Call(CRemoteControl& remote, Operation operation) {
    RemoteOutcome answered;
    answered.kind = Kind::Busy;
    if (remote.Claim()) {
        remote.Run(operation, [&](const RemoteOutcome& outcome) { answered = outcome; });
    }
    return answered;
}

class RemoteControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto scripted = std::make_unique<CScriptedInstrument>();
        instrument = scripted.get();
        instrument->m_cardOptions = "QZATNA01,QZSWTA01,,,,";
        app.m_pInstrument = std::move(scripted);
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        panel = static_cast<CPan1Obj*>(app.m_panels[0].get());
        remote.SetReady(true);
    }

    CRecordingFacade facade;
    CSfpAppData app;
    CScriptedInstrument* instrument = nullptr;
    CPan1Obj* panel = nullptr;
    CRemoteControl remote;
};

// Stands for a request that the bus delivers while an error report's message box is open.
class ReenteringFacade : public CRecordingFacade {
public:
    explicit ReenteringFacade(CRemoteControl* remote) : m_remote(remote) {}
    void MessageBox(const std::string& text) override {
        CRecordingFacade::MessageBox(text);
        m_inner.push_back(Call(*m_remote, Operation::Refresh).kind);
    }
    CRemoteControl* m_remote;
    std::vector<Kind> m_inner;
};

// Stands for an operation that ends by an exception no error report handles.
class ThrowingFacade : public CRecordingFacade {
public:
    void BeginWaitCursor() override { throw std::runtime_error("out of resources"); }
};

} // namespace

TEST_F(RemoteControlTest, AnOperationEndedByAnExceptionLeavesTheNextOneFree) {
    {
        ThrowingFacade throwing;
        EXPECT_THROW(Call(remote, Operation::Refresh), std::runtime_error);
    }
    EXPECT_EQ(Call(remote, Operation::Refresh).kind, Kind::Done);
}

TEST_F(RemoteControlTest, RefusedWhileAModalWindowIsOpenOrAnotherOperationRuns) {
    {
        const CModalScope dialog;
        EXPECT_EQ(Call(remote, Operation::Reset).kind, Kind::Busy);
        EXPECT_EQ(Call(remote, Operation::Refresh).kind, Kind::Busy);
    }
    EXPECT_TRUE(instrument->m_calls.empty());

    ReenteringFacade inner(&remote);
    instrument->FailOn("OpenRouteList", VI_ERROR_SYSTEM_ERROR);
    EXPECT_EQ(Call(remote, Operation::Reset).kind, Kind::Failed);
    EXPECT_EQ(inner.m_inner, std::vector<Kind>{Kind::Busy});
    // The inner request sent nothing: the failed command is followed only by the Reset's own read-back.
    ASSERT_GE(instrument->m_calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(instrument->m_calls.end() - 3, instrument->m_calls.end()),
              (std::vector<std::string>{"OpenRouteList 110:113", "QueryAttenuation 1 0",
                                        "QueryClosedList 110:113"}));

    instrument->m_calls.clear();
    EXPECT_EQ(Call(remote, Operation::Refresh).kind, Kind::Done);
    EXPECT_EQ(instrument->m_calls.back(), "QueryClosedList 110:113");

    app.m_panels.clear(); // start-up or shutdown: nothing to work on
    EXPECT_EQ(Call(remote, Operation::Refresh).kind, Kind::Busy);
}

TEST_F(RemoteControlTest, RefusedUntilThePanelIsShownAndWhileAnotherCallHoldsTheClaim) {
    CRemoteControl starting;
    RemoteProperties properties;
    EXPECT_FALSE(starting.Claim());
    EXPECT_FALSE(starting.Properties(properties));
    starting.SetReady(true);
    EXPECT_TRUE(starting.Properties(properties));
    ASSERT_TRUE(starting.Claim());
    EXPECT_FALSE(starting.Claim()); // a second call while the first waits to run or runs
    starting.Run(Operation::Refresh, [](const RemoteOutcome&) {});
    EXPECT_TRUE(starting.Claim());
}

TEST_F(RemoteControlTest, AFailureAnswersWithEveryTextTheOperatorWasShown) {
    instrument->FailOn("QueryClosedList", kStatusInstrumentError);
    instrument->m_errors = {{-240, "Relay driver fault"}, {201, "Relay K3 worn"}};
    // The caller is answered before the operator has seen the report, whose boxes then wait alone.
    RemoteOutcome outcome;
    size_t shownWhenAnswered = 99;
    ASSERT_TRUE(remote.Claim());
    remote.Run(Operation::Refresh, [&](const RemoteOutcome& answered) {
        outcome = answered;
        shownWhenAnswered = facade.m_messages.size() + static_cast<size_t>(facade.m_beeps);
    });
    EXPECT_EQ(shownWhenAnswered, 0u);
    EXPECT_EQ(outcome.kind, Kind::Failed);
    EXPECT_EQ(
        outcome.message,
        "Instrument reports error: -240  Relay driver fault\nInstrument reports error: 201  Relay K3 worn");
    EXPECT_EQ(facade.m_messages.size(), 2u); // the operator saw them too
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(RemoteControlTest, PropertiesOfTheConnectionAndTheMainPanel) {
    app.m_resourceName = "VXI0::112::INSTR";
    instrument->m_card = 7;
    instrument->m_bLive = 0;
    EXPECT_EQ(CRemoteControl::ResourceName(), "");
    EXPECT_FALSE(CRemoteControl::Live());
    instrument->m_bLive = 1;
    EXPECT_EQ(CRemoteControl::ResourceName(), "VXI0::112::INSTR");
    EXPECT_TRUE(CRemoteControl::Live());
    EXPECT_EQ(CRemoteControl::CardNumber(), 7);

    panel->m_nGroupType[1] = 3;
    panel->m_nGroupPos[1] = 2;
    EXPECT_EQ(CRemoteControl::Groups().types, (std::array<int, 6>{-3, 3, -3, -3, -3, -3}));
    EXPECT_EQ(CRemoteControl::Groups().positions, (std::array<int, 6>{-1, 2, -1, -1, -1, -1}));
    app.m_panels.clear();
    EXPECT_EQ(CRemoteControl::Groups().positions, (std::array<int, 6>{-1, -1, -1, -1, -1, -1}));
}

TEST_F(RemoteControlTest, ChangesAreTakenOnceWhenTheOperationHasEnded) {
    EXPECT_FALSE(remote.TakeChanges().Any()); // the first call takes the state it starts from
    panel->m_nGroupPos[0] = 4;                // a click
    GroupChanges changes = remote.TakeChanges();
    EXPECT_TRUE(changes.positions);
    EXPECT_FALSE(changes.types);
    EXPECT_FALSE(remote.TakeChanges().Any());
    {
        // The Configuration dialog stores new types, then its Reset's error report holds a message box open.
        const CModalScope dialog;
        panel->m_nGroupType[0] = 1;
        panel->m_nGroupPos[0] = 0;
        EXPECT_FALSE(remote.TakeChanges().Any());
    }
    changes = remote.TakeChanges();
    EXPECT_TRUE(changes.types);
    EXPECT_TRUE(changes.positions);
    EXPECT_FALSE(remote.TakeChanges().Any());
}
