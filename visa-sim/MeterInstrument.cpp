#include "MeterInstrument.h"

#include "CardInstrument.h"
#include "SourceInstrument.h"

#include <cstdio>
#include <set>

namespace visasim {

MeterInstrument::MeterInstrument(const ResourceSpec& resourceSpec) : Instrument(resourceSpec) {
    auto measureAndAnswer = [this](const ScpiCommand& c, std::string& reply) {
        if (ExpectCount(c, 0) && Measure()) {
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

bool MeterInstrument::Measure() {
    std::optional<std::vector<double>> powers = m_probe ? m_probe() : std::vector<double>{};
    if (!powers) {
        return false;
    }
    powers->push_back(Description().noiseFloorDbm);
    m_reading = AddPowers(*powers);
    return true;
}

std::string MeterInstrument::ReadingText() {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *m_reading);
    std::string reading = text;
    return reading == "-0.00" ? "0.00" : reading;
}

void ConnectStation(const Bench& bench, const std::vector<std::unique_ptr<Instrument>>& instruments) {
    // Only the instruments the wiring reaches are asked for their settings: those that hold cards and
    // the sources, in bench order.
    std::set<size_t> wired;
    for (const Connection& connection : bench.wiring) {
        wired.insert(connection.a.resource);
        wired.insert(connection.b.resource);
    }
    struct Part {
        size_t index;
        Instrument* instrument;
        CardInstrument* cards;
        SourceInstrument* source;
    };
    std::vector<Part> parts;
    std::vector<SharedState*> states;
    for (size_t index : wired) {
        Instrument* instrument = instruments[index].get();
        auto* cards = dynamic_cast<CardInstrument*>(instrument);
        auto* source = dynamic_cast<SourceInstrument*>(instrument);
        if (cards || source) {
            parts.push_back({index, instrument, cards, source});
            states.push_back(cards ? &cards->State() : &source->State());
        }
    }
    for (size_t index = 0; index < instruments.size(); ++index) {
        auto* meter = dynamic_cast<MeterInstrument*>(instruments[index].get());
        if (!meter || !wired.count(index)) {
            continue;
        }
        meter->SetProbe(
            [wiring = bench.wiring, parts, states, index]() -> std::optional<std::vector<double>> {
                // Every caller takes these in the same order, so two readings never wait for each other.
                std::vector<std::unique_lock<std::timed_mutex>> held;
                for (const Part& part : parts) {
                    held.emplace_back(part.instrument->Mutex(), std::defer_lock);
                    if (!LockWithinBudget(held.back())) {
                        return std::nullopt;
                    }
                }
                StationSettings settings;
                bool read = SharedState::ReadTogether(states, [&] {
                    for (const Part& part : parts) {
                        if (part.cards) {
                            settings.cards[part.index] = part.cards->Cards();
                        } else {
                            settings.sources[part.index] = part.source->Settings();
                        }
                    }
                });
                if (!read) {
                    return std::nullopt;
                }
                return ArrivingPowers(wiring, index, settings);
            });
    }
}

} // namespace visasim
