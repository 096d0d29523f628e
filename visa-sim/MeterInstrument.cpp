#include "MeterInstrument.h"

#include "CardInstrument.h"
#include "SourceInstrument.h"

#include <cstdio>
#include <set>

namespace visasim {

MeterInstrument::MeterInstrument(const ResourceSpec& resourceSpec) : Instrument(resourceSpec) {
    auto measureAndAnswer = [this](const ScpiCommand& c, std::string& reply) {
        if (ExpectCount(c, 0)) {
            Measure();
            reply = ReadingText();
        }
    };
    AddCommand("MEASure[:SCALar]:POWer[:AC]", true, measureAndAnswer);
    AddCommand("READ[:SCALar][:POWer][:AC]", true, measureAndAnswer);
    AddCommand("FETCh[:SCALar][:POWer][:AC]", true, [this](const ScpiCommand& c, std::string& reply) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        if (!m_reading) {
            PushError(-230); // nothing measured yet
            return;
        }
        reply = ReadingText();
    });
    AddCommand("INITiate[:IMMediate]", false, [this](const ScpiCommand& c, std::string&) {
        if (ExpectCount(c, 0)) {
            Measure();
        }
    });
    AddCommand("*TRG", false, [this](const ScpiCommand& c, std::string&) {
        if (ExpectCount(c, 0)) {
            Measure();
        }
    });
}

void MeterInstrument::DeviceTrigger() {
    Measure();
}

void MeterInstrument::Measure() {
    std::vector<double> powers = m_probe ? m_probe() : std::vector<double>{};
    powers.push_back(Description().noiseFloorDbm);
    m_reading = AddPowers(powers);
}

std::string MeterInstrument::ReadingText() {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *m_reading);
    std::string reading = text;
    return reading == "-0.00" ? "0.00" : reading;
}

void ConnectStation(const Bench& bench, const std::vector<std::unique_ptr<Instrument>>& instruments) {
    // Only the instruments the wiring reaches are asked for their settings.
    std::set<size_t> wired;
    for (const Connection& connection : bench.wiring) {
        wired.insert(connection.a.resource);
        wired.insert(connection.b.resource);
    }
    for (size_t index = 0; index < instruments.size(); ++index) {
        auto* meter = dynamic_cast<MeterInstrument*>(instruments[index].get());
        if (!meter || !wired.count(index)) {
            continue;
        }
        std::vector<Instrument*> all;
        for (const auto& instrument : instruments) {
            all.push_back(instrument.get());
        }
        meter->SetProbe([wiring = bench.wiring, wired, all, index] {
            StationSettings settings;
            for (size_t other : wired) {
                if (auto* cards = dynamic_cast<CardInstrument*>(all[other])) {
                    settings.cards[other] = cards->CurrentCards();
                } else if (auto* source = dynamic_cast<SourceInstrument*>(all[other])) {
                    settings.sources[other] = source->CurrentSettings();
                }
            }
            return ArrivingPowers(wiring, index, settings);
        });
    }
}

} // namespace visasim
