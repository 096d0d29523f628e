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

    // Gives the power (dBm) of every signal arriving at the input now; nothing when the instruments on
    // the way could not be read (the thread's wait budget says why).
    using Probe = std::function<std::optional<std::vector<double>>()>;
    void SetProbe(Probe probe) { m_probe = std::move(probe); }

    // Takes a reading, as *TRG does.
    void DeviceTrigger() override;

protected:
    void ResetDevice() override { m_reading.reset(); }

private:
    // Takes a reading; false when the probe could not.
    bool Measure();
    std::string ReadingText();

    Probe m_probe;
    std::optional<double> m_reading; // the last reading, dBm
};

// Gives every meter of the bench its probe: the wiring, and the present settings of the modules,
// switchboxes and sources it runs through, read at one moment: the probe takes their mutexes and then
// their state files' locks, each in bench order, and holds them all while it reads.
void ConnectStation(const Bench& bench, const std::vector<std::unique_ptr<Instrument>>& instruments);

} // namespace visasim
