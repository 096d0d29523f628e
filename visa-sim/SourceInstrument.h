// The RF signal source of a wired station: frequency, power level and output on or off. Its settings
// live in its state file like a module's relays, so that a meter in another program sees them.
#pragma once

#include "Instrument.h"
#include "SharedState.h"

#include <memory>
#include <optional>
#include <string>

namespace visasim {

class SourceInstrument : public Instrument, private SharedState::Owner {
public:
    // `store` may be null: the settings then live in this instrument only.
    SourceInstrument(const ResourceSpec& resourceSpec, std::unique_ptr<StateStore> store);

    // The settings as this source last saw them (after the latest command, or the latest access to its
    // shared state).
    const SourceSettings& Settings() const { return m_settings; }
    // The settings as every program shares them.
    SharedState& State() { return m_state; }

protected:
    void ResetDevice() override;

private:
    bool Adopt(const std::string* text, std::string* problem) override;
    std::string Dump() const override;
    // Adds a setting's command and query; `set` checks and stores a value (or queues the error), `get`
    // formats it.
    void AddSetting(std::string_view pattern, std::function<void(const ScpiParameter&)> set,
                    std::function<std::string()> get);

    SourceSettings m_settings;
    SourceSettings m_initial;
    SharedState m_state;
};

// The text of a source's state file ("source frequency 1e9 power -10 output 1"), and back: nothing (with
// *problem) when the text holds no settings a source can have.
std::optional<SourceSettings> ReadSourceSettings(const std::string& text, std::string* problem);
std::string SourceSettingsText(const SourceSettings& settings);

} // namespace visasim
