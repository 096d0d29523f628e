// The RF power meter of a wired station. A reading is the power arriving at its input through the
// bench's wiring, added to its noise floor; where the signals come from is the station's business, given
// to the meter as a probe once every instrument of the bench exists.
#pragma once

#include "Instrument.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace visasim {

class MeterInstrument : public Instrument {
public:
    explicit MeterInstrument(const ResourceSpec& resourceSpec);

    // Gives the power (dBm) of every signal arriving at the input now.
    using Probe = std::function<std::vector<double>()>;
    void SetProbe(Probe probe) { m_probe = std::move(probe); }

    // Takes a reading, as *TRG does.
    void DeviceTrigger() override;

protected:
    void ResetDevice() override { m_reading.reset(); }

private:
    void Measure();
    std::string ReadingText();

    Probe m_probe;
    std::optional<double> m_reading; // the last reading, dBm
};

// Gives every meter of the bench its probe: the wiring, and the present settings of the modules,
// switchboxes and sources it runs through, each read under its own state file's lock.
void ConnectStation(const Bench& bench, const std::vector<std::unique_ptr<Instrument>>& instruments);

} // namespace visasim
