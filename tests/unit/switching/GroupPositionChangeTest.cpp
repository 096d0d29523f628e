#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SfpAppData.h"
#include "switching/GroupPositionChange.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

TEST(GroupPositionChange, SendsTheCommandAndLeavesWhatTheOutcomeTells) {
    using Calls = std::vector<std::string>;
    struct Case {
        int type, to;
        std::int32_t status; // of the command; 0: it succeeds
        bool readBackFails;
        PositionOutcome outcome;
        int position; // from position 1
        Calls calls;
    };
    using O = PositionOutcome;
    const std::int32_t other = VI_ERROR_SYSTEM_ERROR;
    const Case cases[] = {
        {4, -1, 0, false, O::Sent, -1, Calls{"OpenRoute 131"}},
        {3, 2, kStatusTimeOut, false, O::TimedOut, 1, Calls{"CloseRoute 132", "DeviceClear", "ErrorQuery"}},
        {1, 2, other, false, O::ReadBack, 0, Calls{"SetAttenuation 3 20", "QueryAttenuation 1 3"}},
        {1, 2, other, true, O::ReadBack, -1, Calls{"SetAttenuation 3 20", "QueryAttenuation 1 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.calls) + (c.readBackFails ? " read-back fails" : ""));
        CRecordingFacade facade;
        CSfpAppData app;
        auto& instrument = *new CScriptedInstrument;
        app.m_pInstrument.reset(&instrument);
        instrument.m_readPositions = {0, 0, 0, 0, 0, 0};
        instrument.FailOn(IsAttenuator(c.type) ? "SetAttenuation" : "CloseRoute", c.status);
        instrument.FailOn("QueryAttenuation", c.readBackFails ? VI_ERROR_SYSTEM_ERROR : 0);
        GroupState groups;
        groups.types[3] = c.type;
        EXPECT_EQ(ApplyGroupPosition(instrument, groups, 3, 1, c.to), c.outcome);
        EXPECT_EQ(groups.positions[3], c.position);
        EXPECT_EQ(groups.unknown[3], c.readBackFails);
        EXPECT_EQ(instrument.m_calls, c.calls);
        // Every failure, a failed read-back's included, is reported, all under one wait cursor.
        EXPECT_EQ(facade.m_messages.size(), (c.status != 0 ? 1u : 0u) + (c.readBackFails ? 1u : 0u));
        EXPECT_EQ(facade.m_waitBegins - facade.m_waitDepth, 1);
    }
}
