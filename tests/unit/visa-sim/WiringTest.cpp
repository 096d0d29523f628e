#include "Bench.h"

#include <gtest/gtest.h>

using namespace visasim;

namespace {

// A source, a module and a meter; the wiring follows.
const char* kResources = R"(resources:
  - name: GPIB0::19::INSTR
    source: {}
  - name: VXI0::112::INSTR
    module: {card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}}
  - name: GPIB0::13::INSTR
    meter: {}
wiring:
)";

const char* kStation = R"(  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 group 3 channel 2]
  - [VXI0::112::INSTR card 1 group 3 common, VXI0::112::INSTR card 1 group 0 in]
  - [VXI0::112::INSTR card 1 group 0 out, GPIB0::13::INSTR in]
)";

Bench Load(const std::string& wiring) {
    std::string error;
    auto bench = LoadBenchText(kResources + wiring, "bench.yaml", &error);
    EXPECT_TRUE(bench) << error;
    return bench ? *bench : Bench{};
}

std::string Refusal(const std::string& wiring) {
    std::string error;
    EXPECT_FALSE(LoadBenchText(kResources + wiring, "bench.yaml", &error)) << wiring;
    return error;
}

// The station's settings: source on at `power`, channel `closed` of group 3, group 0 at `attenuation`.
StationSettings Settings(const Bench& bench, double power, int closed, int attenuation) {
    StationSettings settings;
    settings.sources[0] = SourceSettings{1e9, power, true};
    std::vector<CardState> cards = bench.resources[1].cards;
    cards[0].closed[3] = closed;
    cards[0].attenuation[0] = attenuation;
    settings.cards[1] = cards;
    return settings;
}

} // namespace

TEST(Wiring, PowerFollowsTheClosedChannelAndTheAttenuation) {
    Bench bench = Load(kStation);
    ASSERT_EQ(bench.wiring.size(), 3u);
    EXPECT_EQ(ArrivingPowers(bench.wiring, 2, Settings(bench, 0, 2, 5)), std::vector<double>{-5});
    EXPECT_EQ(ArrivingPowers(bench.wiring, 2, Settings(bench, 10, 2, 11)), std::vector<double>{-1});
    // Another channel closed, or none: nothing arrives.
    EXPECT_TRUE(ArrivingPowers(bench.wiring, 2, Settings(bench, 0, 1, 5)).empty());
    EXPECT_TRUE(ArrivingPowers(bench.wiring, 2, Settings(bench, 0, -1, 5)).empty());
    // The source's output off.
    StationSettings off = Settings(bench, 0, 2, 5);
    off.sources[0].output = false;
    EXPECT_TRUE(ArrivingPowers(bench.wiring, 2, off).empty());
    // Group 0 turned into a switch by a new option list: the attenuator the cable went to is gone.
    StationSettings changed = Settings(bench, 0, 2, 0);
    changed.cards[1][0].options[0] = "QZSWTA01";
    EXPECT_TRUE(ArrivingPowers(bench.wiring, 2, changed).empty());
}

TEST(Wiring, PowersAddInMilliwatts) {
    EXPECT_NEAR(AddPowers({-10, -10}), -6.9897, 1e-4);
    EXPECT_NEAR(AddPowers({-5, -90}), -5, 1e-6);
    EXPECT_DOUBLE_EQ(AddPowers({-90}), -90);
}

TEST(Wiring, TwoBranchesBetweenTwoSwitchesAreNoLoop) {
    // Group 3 picks one of two attenuators, group 4 picks it up again.
    Bench bench = Load(R"(  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 group 3 common]
  - [VXI0::112::INSTR card 1 group 3 channel 0, VXI0::112::INSTR card 1 group 1 in]
  - [VXI0::112::INSTR card 1 group 3 channel 1, VXI0::112::INSTR card 1 group 2 in]
  - [VXI0::112::INSTR card 1 group 1 out, VXI0::112::INSTR card 1 group 4 channel 0]
  - [VXI0::112::INSTR card 1 group 2 out, VXI0::112::INSTR card 1 group 4 channel 1]
  - [VXI0::112::INSTR card 1 group 4 common, GPIB0::13::INSTR in]
)");
    StationSettings settings;
    settings.sources[0] = SourceSettings{1e9, 0, true};
    std::vector<CardState> cards = bench.resources[1].cards;
    cards[0].attenuation[1] = 20;
    cards[0].attenuation[2] = 30;
    cards[0].closed[3] = 1;
    cards[0].closed[4] = 1;
    settings.cards[1] = cards;
    EXPECT_EQ(ArrivingPowers(bench.wiring, 2, settings), std::vector<double>{-30});
    settings.cards[1][0].closed[4] = 0; // the branches do not meet
    EXPECT_TRUE(ArrivingPowers(bench.wiring, 2, settings).empty());
}

TEST(Wiring, RefusesLoopsPortsUsedTwiceAndPortsThatDoNotExist) {
    // Line 9 is the first connection.
    EXPECT_EQ(Refusal(std::string(kStation) +
                      "  - [VXI0::112::INSTR card 1 group 3 channel 1, "
                      "VXI0::112::INSTR card 1 group 1 out]\n" +
                      "  - [VXI0::112::INSTR card 1 group 1 in, VXI0::112::INSTR card 1 group 0 out]\n"),
              "bench.yaml:13: VXI0::112::INSTR card 1 group 0 out is already connected (line 11)");
    EXPECT_EQ(Refusal("  - [VXI0::112::INSTR card 1 group 1 out, VXI0::112::INSTR card 1 group 3 channel 0]\n"
                      "  - [VXI0::112::INSTR card 1 group 3 common, VXI0::112::INSTR card 1 group 1 in]\n"),
              "bench.yaml:10: the wiring makes a loop through VXI0::112::INSTR card 1 group 1 in");
    EXPECT_EQ(Refusal("  - [VXI0::112::INSTR card 1 group 2 out, VXI0::112::INSTR card 1 group 2 in]\n"),
              "bench.yaml:9: the wiring makes a loop through VXI0::112::INSTR card 1 group 2 in");
    EXPECT_EQ(Refusal("  - [GPIB0::13::INSTR in, GPIB0::13::INSTR in]\n"),
              "bench.yaml:9: GPIB0::13::INSTR in is already connected (line 9)");
    EXPECT_EQ(Refusal("  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 group 3 channel 4]\n"),
              "bench.yaml:9: VXI0::112::INSTR has no port \"card 1 group 3 channel 4\": card 1 group 3 has "
              "channels 0 to 3");
    EXPECT_EQ(Refusal("  - [GPIB0::13::INSTR out, VXI0::112::INSTR card 1 group 3 in]\n"),
              "bench.yaml:9: GPIB0::13::INSTR has no port \"out\"; a meter has one port, in");
    EXPECT_EQ(Refusal("  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 2 group 3 common]\n"),
              "bench.yaml:9: VXI0::112::INSTR has no port \"card 2 group 3 common\": it holds no RQK4712V "
              "card 2");
    EXPECT_EQ(Refusal("  - [GPIB0::19::INSTR out, GPIB0::7::INSTR in]\n"),
              "bench.yaml:9: \"GPIB0::7::INSTR in\" does not begin with the name of a resource on the bench");
}
