#include "SourceInstrument.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace visasim {
namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

SourceInstrument::SourceInstrument(const ResourceSpec& resourceSpec, std::unique_ptr<StateStore> store)
    : Instrument(resourceSpec), m_settings(resourceSpec.source), m_initial(resourceSpec.source),
      m_state(std::move(store), *this) {
    // A number within limits; out of range is -222, not a number -104.
    auto number = [this](double* target, double low, double high) {
        return [this, target, low, high](const ScpiParameter& value) {
            auto given = RealNumber(value);
            if (!given || *given < low || *given > high) {
                PushError(given ? -222 : -104);
                return;
            }
            *target = *given;
        };
    };
    AddSetting("[SOURce]:FREQuency[:CW]", number(&m_settings.frequencyHz, kSourceMinHz, kSourceMaxHz),
               [this] { return Format("%.12g", m_settings.frequencyHz); });
    AddSetting("[SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]",
               number(&m_settings.powerDbm, kSourceMinDbm, kSourceMaxDbm),
               [this] { return Format("%.2f", m_settings.powerDbm); });
    AddSetting(
        "OUTPut[:STATe]",
        [this](const ScpiParameter& value) {
            std::string word = value.text;
            for (char& c : word) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            if (word != "ON" && word != "OFF" && word != "1" && word != "0") {
                PushError(-224);
                return;
            }
            m_settings.output = word == "ON" || word == "1";
        },
        [this] { return std::string(m_settings.output ? "1" : "0"); });
}

void SourceInstrument::AddSetting(std::string_view pattern, std::function<void(const ScpiParameter&)> set,
                                  std::function<std::string()> get) {
    AddCommand(pattern, false, [this, set](const ScpiCommand& c, std::string&) {
        if (!ExpectCount(c, 1)) {
            return;
        }
        m_state.With(SharedState::Access::Change, [&] { set(c.parameters[0]); });
    });
    AddCommand(pattern, true, [this, get](const ScpiCommand& c, std::string& reply) {
        if (ExpectCount(c, 0)) {
            m_state.With(SharedState::Access::Read, [&] { reply = get(); });
        }
    });
}

void SourceInstrument::ResetDevice() {
    m_state.With(SharedState::Access::Change, [this] {
        m_settings = m_initial;
        m_settings.output = false;
    });
}

bool SourceInstrument::Adopt(const std::string* text, std::string* problem) {
    if (!text) {
        m_settings = m_initial;
        return true;
    }
    auto read = ReadSourceSettings(*text, problem);
    if (read) {
        m_settings = *read;
    }
    return read.has_value();
}

std::string SourceInstrument::Dump() const {
    return SourceSettingsText(m_settings);
}

std::optional<SourceSettings> ReadSourceSettings(const std::string& text, std::string* problem) {
    std::istringstream in(text);
    std::string source, frequency, power, output, extra;
    SourceSettings read;
    int on = -1;
    if (!(in >> source >> frequency >> read.frequencyHz >> power >> read.powerDbm >> output >> on) ||
        source != "source" || frequency != "frequency" || power != "power" || output != "output" ||
        (in >> extra)) {
        *problem = "it is not a source's settings";
        return std::nullopt;
    }
    if (!(read.frequencyHz >= kSourceMinHz && read.frequencyHz <= kSourceMaxHz &&
          read.powerDbm >= kSourceMinDbm && read.powerDbm <= kSourceMaxDbm) ||
        (on != 0 && on != 1)) {
        *problem = "a setting is out of range";
        return std::nullopt;
    }
    read.output = on == 1;
    return read;
}

std::string SourceSettingsText(const SourceSettings& settings) {
    char text[128];
    std::snprintf(text, sizeof text, "source frequency %.17g power %.17g output %d\n", settings.frequencyHz,
                  settings.powerDbm, settings.output ? 1 : 0);
    return text;
}

} // namespace visasim
