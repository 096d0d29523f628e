#include "Bench.h"
#include "Instrument.h"
#include "MeterInstrument.h"

#include <gtest/gtest.h>

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
