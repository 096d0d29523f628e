#include <gtest/gtest.h>

#include "app/SfpAppData.h"
#include "instrument/Connection.h"
#include "instrument/DriverInstrument.h"
#include "instrument/NonLiveInstrument.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

const char* const kOurCard = "QUILLON-VANTERA,K4712V,0,A.01.00";

class CardSelection : public ::testing::Test {
protected:
    CScriptedInstrument& Scripted() {
        auto instrument = std::make_unique<CScriptedInstrument>();
        CScriptedInstrument& ref = *instrument;
        app.m_pInstrument = std::move(instrument);
        return ref;
    }
    CRecordingFacade facade;
    CSfpAppData app;
};

} // namespace

TEST_F(CardSelection, GpibVxiAsksOnlyTheCardOfItsLogicalAddress) {
    CScriptedInstrument& instrument = Scripted();
    app.m_interfaceType = 3;
    app.m_logicalAddress = 26;
    app.SelectCard();
    EXPECT_EQ(app.m_cardNumber, 3);
    EXPECT_EQ(instrument.m_calls, std::vector<std::string>{"QueryCardType 3"});
}

TEST_F(CardSelection, GpibVxiFailingItsCardScansAfterTheReport) {
    CScriptedInstrument& instrument = Scripted();
    app.m_interfaceType = 3;
    app.m_logicalAddress = 26;
    instrument.m_cardType = "NONE";
    instrument.m_cardTypes = {{1, "ACME,OTHER"}, {2, kOurCard}};
    instrument.FailOn("QueryCardType", kStatusTimeOut);
    app.SelectCard();
    EXPECT_EQ(app.m_cardNumber, 2);
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Time Out !"});
    EXPECT_EQ(instrument.m_calls.front(), "QueryCardType 3");
}

TEST_F(CardSelection, VxiNeverAsks) {
    CScriptedInstrument& instrument = Scripted();
    app.m_interfaceType = 2;
    app.m_cardNumber = 7;
    app.SelectCard();
    EXPECT_EQ(app.m_cardNumber, 1);
    EXPECT_TRUE(instrument.m_calls.empty());
}

TEST_F(CardSelection, SwitchboxScanStopsAtNoneWithoutDialogForOneCard) {
    CScriptedInstrument& instrument = Scripted();
    app.m_interfaceType = 1;
    instrument.m_cardTypes = {{1, "QUILLON-VANTERA,OTHER"}, {2, "ACME,RELAY"}, {3, kOurCard}, {4, "NONE"}};
    app.SelectCard();
    EXPECT_EQ(app.m_cardNumber, 3);
    EXPECT_EQ(instrument.m_calls.size(), 4u);
    EXPECT_TRUE(facade.m_log.empty());
}

TEST_F(CardSelection, TwoQualifyingCardsAreOfferedInOrder) {
    for (int answer : {1, -1}) {
        CScriptedInstrument& instrument = Scripted();
        app.m_interfaceType = 1;
        instrument.m_cardType = "ACME,OTHER";
        instrument.m_cardTypes = {{2, kOurCard}, {12, kOurCard}, {13, "NONE"}};
        facade.ScriptChoice(answer);
        app.SelectCard();
        EXPECT_EQ(app.m_cardNumber, answer == 1 ? 12 : 2);
    }
    EXPECT_EQ(facade.m_log[0], "choose: Select Instrument: Card 2   | Card 12   -> Card 12  ");
    EXPECT_EQ(facade.m_log[1], "choose: Select Instrument: Card 2   | Card 12   -> cancel");
}

TEST_F(CardSelection, NonLiveOverGpibOffersAllNinetyNineCards) {
    app.m_pInstrument = std::make_unique<CNonLiveInstrument>();
    app.m_interfaceType = 1;
    facade.ScriptChoice(98);
    app.SelectCard();
    EXPECT_EQ(app.m_cardNumber, 99);
    ASSERT_EQ(facade.m_log.size(), 1u);
    EXPECT_NE(facade.m_log[0].find("Card 1   | Card 2  "), std::string::npos);
    EXPECT_NE(facade.m_log[0].find("| Card 99   -> Card 99  "), std::string::npos);
}

TEST_F(CardSelection, ApiFailureEndsTheScanAfterTheFailingCard) {
    CScriptedInstrument& instrument = Scripted();
    app.m_interfaceType = 1;
    instrument.m_cardTypes = {{1, kOurCard}};
    instrument.m_cardType = "ACME";
    instrument.FailOn("QueryCardType", VI_ERROR_SYSTEM_ERROR, 2);
    app.SelectCard();
    EXPECT_EQ(instrument.m_calls.size(), 2u);
    EXPECT_EQ(app.m_cardNumber, 1);
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"API failure."});
}

TEST(ConnectionRules, PairOfGpibVxiAndGpibPrefersGpibVxi) {
    EXPECT_EQ(PreferredOfPair({"GPIB-VXI0::24::INSTR", "GPIB0::9::INSTR"}), "GPIB-VXI0::24::INSTR");
    EXPECT_EQ(PreferredOfPair({"GPIB0::9::INSTR", "GPIB-VXI0::24::INSTR"}), "GPIB-VXI0::24::INSTR");
    EXPECT_EQ(PreferredOfPair({"GPIB0::9::INSTR", "GPIB0::10::INSTR"}), "");
    EXPECT_EQ(PreferredOfPair({"VXI0::112::INSTR", "GPIB0::9::INSTR"}), "");
    // The second of a pair must be a GPIB name: a plain VXI name beside a GPIB-VXI one is no pair.
    EXPECT_EQ(PreferredOfPair({"GPIB-VXI0::24::INSTR", "VXI0::112::INSTR"}), "");
    EXPECT_EQ(PreferredOfPair({"GPIB-VXI0::24::INSTR"}), "");
}

TEST(ConnectionRules, CardChoiceAndGpibAddress) {
    EXPECT_EQ(CardFromChoice("Card 2  ", 1), 2);
    EXPECT_EQ(CardFromChoice("Card 12  ", 1), 12);
    EXPECT_EQ(CardFromChoice("Card ", 4), 4);
    EXPECT_EQ(GpibLogicalAddress(9, 3), 10903);
    EXPECT_EQ(GpibLogicalAddress(9, 14), 10914);
    EXPECT_EQ(GpibLogicalAddress(9, 0xFFFF), 10900);
}
