#include "Bench.h"
#include "Instrument.h"
#include "MeterInstrument.h"

#include "StateStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace visasim;

namespace {

std::unique_ptr<Instrument> Make(const std::string& yaml) {
    std::string error;
    auto bench = LoadBenchText("resources:\n  - name: GPIB0::1::INSTR\n    " + yaml + "\n", "test", &error);
    EXPECT_TRUE(bench) << error;
    return CreateInstrument(bench->resources.at(0), "", "");
}

std::string Ask(Instrument& instrument, const std::string& message) {
    EXPECT_EQ(instrument.Write(message), Instrument::Outcome::Done);
    std::string reply = instrument.Pending();
    instrument.Consume(reply.size());
    return reply;
}

} // namespace

TEST(StationInstruments, SourceSettingsTheirLimitsAndReset) {
    auto source = Make("source: {power: -3.5, frequency: 2.5e9}");
    EXPECT_EQ(Ask(*source, "POW?;FREQ?;OUTP?"), "-3.50;2500000000;0\n");
    EXPECT_EQ(Ask(*source, "SOUR:POW:LEV:IMM:AMPL -12.25;:FREQ:CW 1E6;:OUTP:STAT on;:POW?;FREQ?;OUTP?"),
              "-12.25;1000000;1\n");
    // Out of range, not a number, not a state: the setting stays.
    EXPECT_EQ(Ask(*source, "POW 30;POW ON;OUTP 2;FREQ 1;POW?;OUTP?"), "-12.25;1\n");
    EXPECT_EQ(Ask(*source, "SYST:ERR?;SYST:ERR?;SYST:ERR?;SYST:ERR?"),
              "-222,\"Data out of range\";-104,\"Data type error\";-224,\"Illegal parameter value\";"
              "-222,\"Data out of range\"\n");
    // *RST: the bench's power and frequency, output off.
    EXPECT_EQ(Ask(*source, "*RST;POW?;FREQ?;OUTP?"), "-3.50;2500000000;0\n");
}

TEST(StationInstruments, MeterReadsWhatArrivesAboveItsNoiseFloor) {
    auto instrument = Make("meter: {noise_floor: -80}");
    auto* meter = dynamic_cast<MeterInstrument*>(instrument.get());
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(Ask(*meter, "FETC?"), "");
    EXPECT_EQ(Ask(*meter, "SYST:ERR?"), "-230,\"Data corrupt or stale\"\n");
    EXPECT_EQ(Ask(*meter, "MEAS:POW?"), "-80.00\n");
    std::vector<double> arriving{-20};
    meter->SetProbe([&] { return arriving; });
    EXPECT_EQ(Ask(*meter, "READ?"), "-20.00\n");
    arriving = {-80};
    EXPECT_EQ(Ask(*meter, "FETC?"), "-20.00\n"); // the last reading, not a new one
    meter->DeviceTrigger();
    EXPECT_EQ(Ask(*meter, "FETC?"), "-76.99\n"); // a signal at the noise floor doubles the power
    arriving = {0.001};
    EXPECT_EQ(Ask(*meter, "*TRG;FETC?"), "0.00\n");
}

TEST(StationInstruments, MeterReadsTheWholeWayAtOneMoment) {
    char pattern[] = "/tmp/visa-sim-station-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string folder = pattern;
    std::string error;
    auto bench = LoadBenchText(R"(
resources:
  - {name: GPIB0::19::INSTR, source: {power: -10, output: on}}
  - {name: VXI0::112::INSTR, module: {card: {options: "QZATNA01,QZATNB01,,,,"}}}
  - {name: GPIB0::13::INSTR, meter: {}}
wiring:
  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 group 1 in]
  - [VXI0::112::INSTR card 1 group 1 out, GPIB0::13::INSTR in]
)",
                               "test", &error);
    ASSERT_TRUE(bench) << error;
    std::vector<std::unique_ptr<Instrument>> instruments;
    for (const ResourceSpec& resourceSpec : bench->resources)
        instruments.push_back(CreateInstrument(resourceSpec, folder, "way"));
    ConnectStation(*bench, instruments);
    // Another process changes power and attenuation together, under both locks, so that every state it
    // leaves reads -10 dBm at the meter. It takes the module's lock first and waits a while for the
    // source's (giving both up when that takes too long): a reading that let go of the source before it
    // read the module would see one half of a change.
    pid_t writer = fork();
    if (writer == 0) {
        StateStore source(folder + "/way.GPIB0__19__INSTR.state");
        StateStore module(folder + "/way.VXI0__112__INSTR.state");
        std::vector<CardState> cards = bench->resources[1].cards;
        std::string problem;
        for (int step = 0;; ++step) {
            if (module.Lock(StateStore::kWaitForever, &problem) != StateStore::LockResult::Locked)
                _exit(1);
            bool both = false;
            for (int tries = 0; tries < 20 && !both; ++tries)
                both = source.Lock(0, &problem) == StateStore::LockResult::Locked || usleep(50) != 0;
            if (!both) {
                module.Unlock();
                usleep(200);
                continue;
            }
            cards[0].attenuation[1] = step % 2 == 0 ? 10 : 0;
            module.Write(SerializeCards(cards));
            source.Write(step % 2 == 0 ? "source frequency 1e9 power 0 output 1\n"
                                       : "source frequency 1e9 power -10 output 1\n");
            source.Unlock();
            module.Unlock();
        }
    }
    while (!std::filesystem::exists(folder + "/way.GPIB0__19__INSTR.state"))
        usleep(1000); // the writer is at work
    int mixed = 0;
    for (int i = 0; i < 5000; ++i)
        mixed += Ask(*instruments[2], "READ?") != "-10.00\n";
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    std::filesystem::remove_all(folder);
    EXPECT_EQ(mixed, 0);
}
