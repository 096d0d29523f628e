#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "app/SfpAppData.h"
#include "instrument/Connection.h"
#include "instrument/DriverInstrument.h"
#include "instrument/NonLiveInstrument.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

const char* const kOurCard = "QUILLON-VANTERA,K4712V,0,A.01.00";
const char* const kSwitchbox = "QUILLON-VANTERA,SWITCHBOX,1042,A.01.00";

// A VISA library with one open instrument: it answers "*IDN?" and "SYST:CTYP? n" from its tables; every
// write is recorded.
struct FakeVisaInstrument {
    std::string identity;
    std::map<int, std::string> cards; // any other card answers "NONE"
    std::vector<std::string> written;
    std::string reply;
};
FakeVisaInstrument g_fake;

ViStatus _VI_FUNC FakeWrite(ViSession, ViConstBuf buffer, ViUInt32 count, ViUInt32* done) {
    const std::string command(reinterpret_cast<const char*>(buffer), count);
    g_fake.written.push_back(command);
    int card = 0;
    if (command == "*IDN?") {
        g_fake.reply = g_fake.identity;
    } else if (std::sscanf(command.c_str(), "SYST:CTYP? %d", &card) == 1) {
        g_fake.reply = g_fake.cards.count(card) != 0 ? g_fake.cards[card] : "NONE";
    }
    *done = count;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC FakeRead(ViSession, ViBuf buffer, ViUInt32 count, ViUInt32* done) {
    *done = std::min(count, static_cast<ViUInt32>(g_fake.reply.size()));
    std::memcpy(buffer, g_fake.reply.data(), *done);
    return VI_SUCCESS;
}

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

TEST(ConnectionRules, TcpipIsIdentifiedAsGpibAndMayBeTheModuleItself) {
    const ViUInt16 kAsrl = 4;
    std::map<int, std::string> ourNinth = {{9, kOurCard}};
    for (int card = 1; card < 9; ++card) {
        ourNinth[card] = "ACME,RELAY";
    }
    struct Case {
        const char* what;
        ViUInt16 type;
        const char* identity;
        std::map<int, std::string> cards;
        bool accepted;
        bool highCard;
        size_t writes; // "*IDN?" and one "SYST:CTYP?" per card asked
    } cases[] = {
        // clang-format off
        {"switchbox over TCPIP, scanned as over GPIB", VI_INTF_TCPIP, kSwitchbox, ourNinth, true, true, 10},
        {"switchbox without our card over TCPIP", VI_INTF_TCPIP, kSwitchbox, {{1, "ACME,RELAY"}}, false, false, 3},
        {"the module itself over TCPIP, no card asked", VI_INTF_TCPIP, kOurCard, {}, true, false, 1},
        {"the module itself over GPIB", VI_INTF_GPIB, kOurCard, {{1, kOurCard}}, false, false, 1},
        {"another instrument over TCPIP", VI_INTF_TCPIP, "ACME INSTRUMENTS,DMM-200", {}, false, false, 1},
        {"shorter than our card's type", VI_INTF_TCPIP, "QUILLON-VANTERA,K471", {}, false, false, 1},
        {"a serial interface is skipped", kAsrl, kSwitchbox, ourNinth, false, false, 0},
        // clang-format on
    };
    VisaApi api{};
    api.viWrite = FakeWrite;
    api.viRead = FakeRead;
    for (const Case& c : cases) {
        g_fake = FakeVisaInstrument{c.identity, c.cards, {}, ""};
        bool highCard = false;
        EXPECT_EQ(IsCandidate(api, 1, c.type, false, highCard), c.accepted) << c.what;
        EXPECT_EQ(highCard, c.highCard) << c.what;
        EXPECT_EQ(g_fake.written.size(), c.writes) << c.what;
    }
}
