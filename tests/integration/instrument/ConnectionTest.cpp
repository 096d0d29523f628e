// The connection as the program makes it at start-up: the program's discovery, choice and card
// selection over the real driver library and the simulated VISA library, one bench per case. Each
// connection runs in a child process, since a process keeps its VISA resource manager (and so its bench)
// open for good.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "platform/UserException.h"
#include "switching/GroupStateReading.h"
#include "tests/integration/instrument/SimulatedBench.h"
#include "tests/support/RecordingFacade.h"

namespace fs = std::filesystem;

namespace {

std::int32_t g_lastStatus = 0;
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kDarkGrey = RGB(64, 64, 64);
const std::string kNoInstrument = "message: Did not find instrument.  Creating non live panel.";

// What a connection left in the application object, and what the operator was shown or asked.
struct Outcome {
    std::string resource;
    int slot = 0;
    int logicalAddress = 0;
    int interfaceType = 0;
    int card = 0;
    int live = 0;
    COLORREF lamp = 0;
    int waitDepth = 0;
    std::vector<std::string> log; // the facade's log: messages and choices
    std::string extra;            // what the test's own step wrote
};

const char* const kModule = R"(  - name: VXI0::112::INSTR
    slot: 3
    module:
      card:
        options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"
        states: [5, 30, 20, 2, 4, 1]
)";

std::string Switchbox(const std::string& name, const std::vector<std::string>& types,
                      const std::string& faults = "") {
    std::string text = "  - name: " + name + "\n    switchbox:\n      cards:\n";
    for (const auto& type : types) {
        text += "        - type: \"" + type + "\"\n";
    }
    return text + faults;
}

const std::string kOurCard = "QUILLON-VANTERA,K4712V,0,A.01.00";
const std::string kRelay = "QUILLON-VANTERA,RELAY16,0,A.01.00";

class Connection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bench.Made());
        setenv("RQK4712V_DRIVER_LIBRARY", DRIVER_PATH, 1);
    }

    void Bench(const std::string& resources) { bench.Use("resources:\n" + resources); }

    // Starts a program with the command line, answers its choices from the list (an index, or -1 for
    // Cancel; the first entry when the list runs out), presses Cancel at the n-th progress report (0:
    // never), connects, then runs the test's own step.
    Outcome Connect(const std::string& commandLine, std::vector<int> choices = {},
                    std::function<void(CSfpAppData&, std::ostream&)> step = {}, int cancelProgressAt = 0) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            if (chdir(folder.c_str()) != 0) {
                _exit(2);
            }
            std::ostringstream out;
            try {
                CRecordingFacade facade;
                for (int c : choices) {
                    facade.ScriptChoice(c);
                }
                if (cancelProgressAt > 0) {
                    facade.CancelProgressAt(cancelProgressAt);
                }
                CSfpAppData app;
                app.TakeCommandLine(commandLine);
                app.ConnectInstrument();
                std::ostringstream extra;
                if (step) {
                    try {
                        step(app, extra);
                    } catch (const CUserException&) {
                        g_lastStatus = app.m_pInstrument->GetLastStatus();
                        throw;
                    }
                }
                out << app.m_resourceName << '\n'
                    << app.m_slot << ' ' << app.m_logicalAddress << ' ' << app.m_interfaceType << ' '
                    << app.m_cardNumber << ' ' << (app.m_pInstrument ? app.m_pInstrument->m_bLive : -1) << ' '
                    << app.m_indicatorColor << ' ' << facade.m_waitDepth << '\n'
                    << extra.str() << '\n';
                for (const auto& line : facade.m_log) {
                    out << line << '\n';
                }
                app.ReleaseResources();
            } catch (const CUserException&) {
                out.str("");
                out << "user exception in the connection child, status " << std::hex << g_lastStatus << "\n";
            } catch (...) {
                // The child never returns into the test framework: it reports and ends here.
                out.str("");
                out << "exception in the connection child\n";
            }
            const std::string text = out.str();
            size_t written = 0;
            while (written < text.size()) {
                const ssize_t n = write(fds[1], text.data() + written, text.size() - written);
                if (n <= 0) {
                    _exit(3);
                }
                written += static_cast<size_t>(n);
            }
            _exit(0);
        }
        close(fds[1]);
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof(buffer))) > 0) {
            text.append(buffer, static_cast<size_t>(n));
        }
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
        std::istringstream in(text);
        Outcome o;
        std::getline(in, o.resource);
        in >> o.slot >> o.logicalAddress >> o.interfaceType >> o.card >> o.live >> o.lamp >> o.waitDepth;
        in.ignore(1);
        std::getline(in, o.extra);
        for (std::string line; std::getline(in, line);) {
            o.log.push_back(line);
        }
        return o;
    }

    // Expects the non-live panel after the one message.
    static void ExpectNonLive(const Outcome& o, const std::string& message) {
        EXPECT_EQ(o.live, 0);
        EXPECT_EQ(o.lamp, kDarkGrey);
        EXPECT_EQ(o.waitDepth, 0);
        ASSERT_FALSE(o.log.empty());
        EXPECT_EQ(o.log.back(), "message: " + message);
    }

    // The test's step that reads the six group positions back through the connected instrument.
    static void ReadPositions(CSfpAppData& app, std::ostream& out) {
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        OnRefresh();
        OnReset();
        CPan1Obj* panel = FindMainPanel();
        for (int g = 0; g < 6; ++g) {
            out << panel->m_nGroupType[g] << ':' << panel->m_nGroupPos[g] << ' ';
        }
    }

    CSimulatedBench bench{"sfp-connection"};
    const fs::path& folder = bench.Folder();
};

} // namespace

TEST_F(Connection, VxiModuleIsConnectedWithoutAskingAndResetAtOpening) {
    Bench(kModule);
    const Outcome o = Connect("", {}, [](CSfpAppData& app, std::ostream& out) {
        // Right after the connection: the reset at opening left attenuators at 0 and switches open.
        char options[kOptionListBufferSize];
        app.m_pInstrument->QueryCardOption(1, options);
        const GroupStateReading reading = ReadGroupStates(*app.m_pInstrument, {0, 1, 2, 3, 4, 3});
        for (const int position : reading.positions) {
            out << position << ' ';
        }
    });
    EXPECT_EQ(o.resource, "VXI0::112::INSTR");
    EXPECT_EQ(o.slot, 3);
    EXPECT_EQ(o.logicalAddress, 112);
    EXPECT_EQ(o.interfaceType, 2);
    EXPECT_EQ(o.card, 1);
    EXPECT_EQ(o.live, 1);
    EXPECT_EQ(o.lamp, kGreen);
    EXPECT_EQ(o.waitDepth, 0);
    EXPECT_TRUE(o.log.empty());
    EXPECT_EQ(o.extra, "0 0 0 -1 -1 -1 ");
}

TEST_F(Connection, ModelCodeIsJudgedByItsLowTwelveBits) {
    Bench(R"(  - name: VXI0::120::INSTR
    model_code: 0x2D4
    module: {}
  - name: VXI0::112::INSTR
    model_code: 0xF2D3
    module: {}
)");
    const Outcome o = Connect("");
    EXPECT_EQ(o.resource, "VXI0::112::INSTR"); // the only candidate: no dialog
    EXPECT_TRUE(o.log.empty());
    EXPECT_EQ(o.live, 1);
}

TEST_F(Connection, SwitchboxWithoutOurCardIsRefused) {
    Bench(Switchbox("GPIB0::9::INSTR", {kRelay, "QUILLON-VANTERA,MATRIX8,0,A.01.00"}));
    ExpectNonLive(Connect(""), "Did not find instrument.  Creating non live panel.");
}

TEST_F(Connection, GpibVxiAndGpibViewOfOneModuleConnectToTheGpibVxiOne) {
    Bench(std::string("  - name: GPIB-VXI0::24::INSTR\n    slot: 5\n    module: {}\n") +
          Switchbox("GPIB0::9::INSTR", {kOurCard}));
    const Outcome o = Connect("");
    EXPECT_EQ(o.resource, "GPIB-VXI0::24::INSTR");
    EXPECT_EQ(o.interfaceType, 3);
    EXPECT_EQ(o.card, 1); // logical address 24: card 24 mod 8 + 1
    EXPECT_TRUE(o.log.empty());
}

TEST_F(Connection, HighCardOfTheSwitchboxMakesTheOperatorChoose) {
    std::vector<std::string> cards(8, kRelay);
    cards.push_back(kOurCard); // card 9
    Bench(std::string("  - name: GPIB-VXI0::24::INSTR\n    module: {}\n") +
          Switchbox("GPIB0::9::INSTR", cards));
    const Outcome o = Connect("", {1});
    ASSERT_FALSE(o.log.empty());
    EXPECT_EQ(o.log[0],
              "choose: Select Instrument: GPIB-VXI0::24::INSTR | GPIB0::9::INSTR -> GPIB0::9::INSTR");
    EXPECT_EQ(o.resource, "GPIB0::9::INSTR");
    EXPECT_EQ(o.card, 9); // the scan of the switchbox finds only card 9
    EXPECT_EQ(o.logicalAddress, 10900);
}

TEST_F(Connection, NoIdentifyOffersEveryInstrumentEvenASingleOne) {
    Bench(kModule);
    Outcome o = Connect("/n");
    EXPECT_EQ(o.log,
              std::vector<std::string>{"choose: Select Instrument: VXI0::112::INSTR -> VXI0::112::INSTR"});
    EXPECT_EQ(o.live, 1);
    Bench(std::string(kModule) + "  - name: GPIB0::5::INSTR\n    generic:\n      identity: \"ACME,DMM\"\n");
    o = Connect("-N", {1});
    ASSERT_FALSE(o.log.empty());
    EXPECT_EQ(o.log[0], "choose: Select Instrument: VXI0::112::INSTR | GPIB0::5::INSTR -> GPIB0::5::INSTR");
    EXPECT_EQ(o.resource, "GPIB0::5::INSTR");
}

TEST_F(Connection, ExplicitConnectionToNothingFallsBackAfterInit) {
    Bench(kModule);
    const Outcome o = Connect("/a vxi0::5::instr");
    EXPECT_EQ(o.resource, "VXI0::5::INSTR");
    EXPECT_EQ(o.card, 1);
    ExpectNonLive(o, "Instrument  _init failed!  Creating non live panel.");
    EXPECT_EQ(o.log.size(), 1u); // no card choice after an explicit connection
}

TEST_F(Connection, ExplicitConnectionNeedsNoSearch) {
    Bench(std::string(kModule) + "  - name: VXI0::120::INSTR\n    module: {}\n");
    const Outcome o = Connect("-a VXI0::120");
    EXPECT_EQ(o.resource, "VXI0::120");
    EXPECT_EQ(o.logicalAddress, 120);
    EXPECT_EQ(o.live, 1);
    EXPECT_TRUE(o.log.empty());
}

TEST_F(Connection, GpibSecondaryAddressGoesIntoTheLogicalAddress) {
    Bench(Switchbox("GPIB0::9::3::INSTR", {kRelay, kOurCard}));
    const Outcome o = Connect("");
    EXPECT_EQ(o.resource, "GPIB0::9::3::INSTR");
    EXPECT_EQ(o.slot, -1);
    EXPECT_EQ(o.logicalAddress, 10903);
    EXPECT_EQ(o.interfaceType, 1);
    EXPECT_EQ(o.card, 2);
    EXPECT_EQ(o.live, 1);
}

TEST_F(Connection, EveryFallBackHasItsMessage) {
    Bench(kModule);
    setenv("RQK4712V_VISA_LIBRARY", (folder / "no-such-visa.so").c_str(), 1);
    ExpectNonLive(Connect(""), "Could not find VISA.DLL.  Creating non live panel.");
    setenv("RQK4712V_VISA_LIBRARY", PARTIAL_VISA_PATH, 1);
    ExpectNonLive(Connect(""), "Could not find VISA.DLL.  Creating non live panel.");
    setenv("RQK4712V_VISA_LIBRARY", SIM_VISA_PATH, 1);
    setenv("RQK4712V_DRIVER_LIBRARY", (folder / "no-such-driver.so").c_str(), 1);
    ExpectNonLive(Connect(""), "Could not find the instrument driver dll.  Creating non live panel.");
    setenv("RQK4712V_DRIVER_LIBRARY", DRIVER_PATH, 1);
    Bench("  - name: VXI0::112::INSTR\n    modul: {}\n");
    ExpectNonLive(Connect(""), "Open of default RM failed, creating non live panel.");
    Bench("  - name: GPIB0::5::INSTR\n    generic:\n      identity: \"ACME,DMM\"\n");
    ExpectNonLive(Connect(""), "Did not find instrument.  Creating non live panel.");
    Bench(std::string(kModule) + "  - name: VXI0::120::INSTR\n    module: {}\n");
    const Outcome cancelled = Connect("", {-1});
    ExpectNonLive(cancelled, "Cancel will create non live panel.");
    EXPECT_EQ(cancelled.log[0], "choose: Select Instrument: VXI0::112::INSTR | VXI0::120::INSTR -> cancel");
}

TEST_F(Connection, SlowSearchShowsItsProgressAndItsCancelEndsInTheNonLivePanel) {
    // Three instruments that take 0.6 s each to take a command: the search is more than a second old
    // before the third one (or the second on a slow machine), and Cancel there ends it.
    std::string resources;
    for (int primary = 1; primary <= 3; ++primary) {
        resources += "  - name: GPIB0::" + std::to_string(primary) +
                     "::INSTR\n    generic: {identity: \"ACME,DMM\"}\n    faults: {latency_ms: 600}\n";
    }
    Bench(resources);
    const Outcome o = Connect("", {}, {}, 1);
    ExpectNonLive(o, "Cancel will create non live panel.");
    ASSERT_EQ(o.log.size(), 3u);
    EXPECT_THAT(o.log[0], testing::MatchesRegex("progress: Searching for the module: resource ([23]) of 3, "
                                                "GPIB0::[23]::INSTR \\([12]/3\\) -> cancel"));
    EXPECT_EQ(o.log[1], "end progress");
}

TEST_F(Connection, GpibVxiModuleAtLogicalAddress26IsCard3) {
    Bench("  - name: GPIB-VXI0::26::INSTR\n    module: {}\n");
    const Outcome o = Connect("");
    EXPECT_EQ(o.card, 3);
    EXPECT_EQ(o.live, 1);
    EXPECT_TRUE(o.log.empty());
}

TEST_F(Connection, TwoQualifyingCardsAreOfferedAndTheChoiceIsReadBack) {
    std::vector<std::string> cards(12, kRelay);
    cards[1] = kOurCard;  // card 2
    cards[11] = kOurCard; // card 12
    Bench(Switchbox("GPIB0::9::INSTR", cards));
    Outcome o = Connect("", {1});
    ASSERT_EQ(o.log.size(), 1u);
    EXPECT_EQ(o.log[0], "choose: Select Instrument: Card 2   | Card 12   -> Card 12  ");
    EXPECT_EQ(o.card, 12);
    o = Connect("", {-1});
    EXPECT_EQ(o.card, 2);
}

TEST_F(Connection, RefusedSessionOverGpibOffersAllNinetyNineCards) {
    Bench(Switchbox("GPIB0::9::INSTR", {kOurCard},
                    "    faults:\n      commands:\n        - header: \"*RST\"\n          action: timeout\n"));
    const Outcome o = Connect("/r", {98});
    ASSERT_EQ(o.log.size(), 2u);
    EXPECT_EQ(o.log[0], "message: Instrument  _init failed!  Creating non live panel.");
    EXPECT_NE(o.log[1].find("Card 1   | Card 2   |"), std::string::npos);
    EXPECT_NE(o.log[1].find("| Card 99   -> Card 99  "), std::string::npos);
    EXPECT_EQ(o.card, 99);
    EXPECT_EQ(o.live, 0);
}

TEST_F(Connection, InstrumentThatNeverAnswersTheCardQueryIsSkipped) {
    Bench(Switchbox(
              "GPIB0::9::INSTR", {kOurCard},
              "    faults:\n      commands:\n        - header: \"SYST:CTYP?\"\n          action: timeout\n") +
          kModule);
    const Outcome o = Connect("");
    EXPECT_EQ(o.resource, "VXI0::112::INSTR");
    EXPECT_TRUE(o.log.empty());
}

TEST_F(Connection, ResetAndRefreshWorkOnTheConnectedModule) {
    Bench(Switchbox("GPIB0::9::INSTR", {kRelay, kOurCard}));
    // A GPIB connection opens without reset: Refresh reads the states the card kept.
    const fs::path state = folder / "state";
    Outcome o = Connect("", {}, [](CSfpAppData& app, std::ostream& out) {
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        app.m_pInstrument->SetCardOption(2, "QZSWTA01,QZATNB01,,,,");
        OnRefresh();
        app.m_pInstrument->CloseRoute(202);
        app.m_pInstrument->SetAttenuation(1, 70);
        OnRefresh();
        CPan1Obj* panel = FindMainPanel();
        out << panel->m_nGroupType[0] << ':' << panel->m_nGroupPos[0] << ' ' << panel->m_nGroupType[1] << ':'
            << panel->m_nGroupPos[1] << ' ';
        OnReset();
        out << panel->m_nGroupPos[0] << ' ' << panel->m_nGroupPos[1];
    });
    EXPECT_EQ(o.card, 2);
    EXPECT_EQ(o.extra, "3:2 1:7 -1 0");
    EXPECT_TRUE(o.log.empty());
}
