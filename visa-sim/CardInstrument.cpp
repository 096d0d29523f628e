#include "CardInstrument.h"

#include "MeterInstrument.h"
#include "SourceInstrument.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace visasim {

CardInstrument::CardInstrument(const ResourceSpec& resourceSpec, std::unique_ptr<StateStore> store)
    : Instrument(resourceSpec), m_cards(resourceSpec.cards), m_initial(resourceSpec.cards),
      m_state(std::move(store), *this) {
    AddCardCommands();
}

bool CardInstrument::Adopt(const std::string* text, std::string* problem) {
    if (!text) {
        m_cards = m_initial;
        return true;
    }
    auto cards = DeserializeCards(*text, m_initial, problem);
    if (!cards) {
        return false;
    }
    m_cards = std::move(*cards);
    return true;
}

std::string CardInstrument::Dump() const {
    return SerializeCards(m_cards);
}

void CardInstrument::ResetDevice() {
    WithState(Access::Change, [this] {
        for (CardState& card : m_cards) {
            card.Reset();
        }
    });
}

CardState* CardInstrument::K4712Card(long number) {
    for (CardState& card : m_cards) {
        if (card.number == number && card.IsK4712()) {
            return &card;
        }
    }
    PushError(-241);
    return nullptr;
}

bool CardInstrument::CheckChannels(const std::vector<int>& channels) {
    for (int channel : channels) {
        CardState* card = K4712Card(channel / 100);
        if (!card) {
            return false;
        }
        int group = (channel / 10) % 10;
        if (group >= kGroupCount) {
            PushError(-222);
            return false;
        }
        GroupDevice device = card->Device(group);
        if (device.kind != GroupKind::Switch) {
            PushError(-221);
            return false;
        }
        if (channel % 10 >= device.channels) {
            PushError(-222);
            return false;
        }
    }
    return true;
}

bool CardInstrument::ChannelListAt(const ScpiCommand& command, std::vector<int>* channels) {
    if (!ExpectCount(command, 1)) {
        return false;
    }
    const ScpiParameter& parameter = command.parameters[0];
    if (parameter.kind != ScpiParameter::Kind::ChannelList) {
        PushError(-104);
        return false;
    }
    int error = 0;
    auto expanded = ExpandChannelList(parameter.text, &error);
    if (!expanded) {
        PushError(error);
        return false;
    }
    *channels = std::move(*expanded);
    return true;
}

void CardInstrument::AddCardCommands() {
    AddCommand("SYSTem:CTYPe", true, [this](const ScpiCommand& c, std::string& reply) {
        long number = 0;
        if (!ExpectCount(c, 1) || !IntegerAt(c, 0, &number)) {
            return;
        }
        reply = "NONE";
        for (const CardState& card : m_cards) {
            if (card.number == number) {
                reply = card.type;
            }
        }
    });
    AddCommand("SYSTem:COPTion", true, [this](const ScpiCommand& c, std::string& reply) {
        long number = 0;
        if (!ExpectCount(c, 1) || !IntegerAt(c, 0, &number)) {
            return;
        }
        WithState(Access::Read, [&] {
            if (CardState* card = K4712Card(number)) {
                reply = "\"" + JoinOptionList(card->options) + "\"";
            }
        });
    });
    AddCommand("SYSTem:COPTion", false, [this](const ScpiCommand& c, std::string&) {
        long number = 0;
        if (!ExpectCount(c, 2) || !IntegerAt(c, 0, &number)) {
            return;
        }
        if (c.parameters[1].kind != ScpiParameter::Kind::String) {
            PushError(-104);
            return;
        }
        auto options = ParseOptionList(c.parameters[1].text);
        WithState(Access::Change, [&] {
            CardState* card = K4712Card(number);
            if (!card) {
                return;
            }
            if (!options) {
                PushError(-224);
                return;
            }
            card->SetOptions(*options);
        });
    });
    auto route = [this](bool close) {
        return [this, close](const ScpiCommand& c, std::string&) {
            std::vector<int> channels;
            if (!ChannelListAt(c, &channels)) {
                return;
            }
            WithState(Access::Change, [&] {
                if (!CheckChannels(channels)) {
                    return;
                }
                for (int channel : channels) {
                    CardState* card = K4712Card(channel / 100);
                    int group = (channel / 10) % 10;
                    if (close) {
                        card->closed[group] = channel % 10;
                    } else if (card->closed[group] == channel % 10) {
                        card->closed[group] = -1;
                    }
                }
            });
        };
    };
    auto routeQuery = [this](bool closed) {
        return [this, closed](const ScpiCommand& c, std::string& reply) {
            std::vector<int> channels;
            if (!ChannelListAt(c, &channels)) {
                return;
            }
            WithState(Access::Read, [&] {
                if (!CheckChannels(channels)) {
                    return;
                }
                for (size_t i = 0; i < channels.size(); ++i) {
                    const CardState* card = K4712Card(channels[i] / 100);
                    bool isClosed = card->closed[(channels[i] / 10) % 10] == channels[i] % 10;
                    if (i > 0) {
                        reply += ',';
                    }
                    reply += isClosed == closed ? '1' : '0';
                }
            });
        };
    };
    AddCommand("ROUTe:CLOSe", false, route(true));
    AddCommand("ROUTe:OPEN", false, route(false));
    AddCommand("ROUTe:CLOSe", true, routeQuery(true));
    AddCommand("ROUTe:OPEN", true, routeQuery(false));
    AddCommand("ROUTe:ATTenuation", false, [this](const ScpiCommand& c, std::string&) {
        long number = 0;
        long group = 0;
        long value = 0;
        if (!ExpectCount(c, 3) || !IntegerAt(c, 0, &number) || !IntegerAt(c, 1, &group) ||
            !IntegerAt(c, 2, &value)) {
            return;
        }
        WithState(Access::Change, [&] {
            CardState* card = K4712Card(number);
            if (!card) {
                return;
            }
            if (group < 0 || group >= kGroupCount) {
                PushError(-222);
                return;
            }
            GroupDevice device = card->Device(static_cast<int>(group));
            if (device.kind != GroupKind::Attenuator) {
                PushError(-221);
                return;
            }
            if (!IsValidAttenuation(device, value)) {
                PushError(-222);
                return;
            }
            card->attenuation[group] = static_cast<int>(value);
        });
    });
    AddCommand("ROUTe:ATTenuation", true, [this](const ScpiCommand& c, std::string& reply) {
        long number = 0;
        long group = 0;
        if (!ExpectCount(c, 2) || !IntegerAt(c, 0, &number) || !IntegerAt(c, 1, &group)) {
            return;
        }
        WithState(Access::Read, [&] {
            CardState* card = K4712Card(number);
            if (!card) {
                return;
            }
            if (group < 0 || group >= kGroupCount) {
                PushError(-222);
                return;
            }
            if (card->Device(static_cast<int>(group)).kind != GroupKind::Attenuator) {
                PushError(-221);
                return;
            }
            reply = std::to_string(card->attenuation[group]);
        });
    });
}

std::string FoldCommand(std::string_view command) {
    std::string folded;
    bool space = false;
    for (char c : command) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = true;
            continue;
        }
        if (space && !folded.empty() && folded.back() != ',' && c != ',') {
            folded += ' ';
        }
        space = false;
        folded += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (!folded.empty() && folded.front() == ':') {
        folded.erase(0, 1);
    }
    return folded;
}

GenericInstrument::GenericInstrument(const ResourceSpec& resourceSpec) : Instrument(resourceSpec) {
    for (const GenericReply& entry : resourceSpec.replies) {
        m_table.emplace_back(FoldCommand(entry.command), entry.reply);
    }
}

bool GenericInstrument::AnswerFromTable(const ScpiCommand& command, std::string& reply) {
    std::string folded = FoldCommand(command.text);
    for (const auto& [key, answer] : m_table) {
        if (key == folded) {
            if (answer) {
                reply = *answer;
            }
            return true;
        }
    }
    return false;
}

std::unique_ptr<Instrument> CreateInstrument(const ResourceSpec& resourceSpec, const std::string& stateFolder,
                                             const std::string& stateName, const std::string& refusal) {
    std::unique_ptr<StateStore> store = StateStoreFor(stateFolder, stateName, resourceSpec.name, refusal);
    switch (resourceSpec.kind) {
    case DeviceKind::Generic:
        return std::make_unique<GenericInstrument>(resourceSpec);
    case DeviceKind::Source:
        return std::make_unique<SourceInstrument>(resourceSpec, std::move(store));
    case DeviceKind::Meter:
        return std::make_unique<MeterInstrument>(resourceSpec);
    case DeviceKind::Module:
    case DeviceKind::Switchbox:
        break;
    }
    return std::make_unique<CardInstrument>(resourceSpec, std::move(store));
}

} // namespace visasim
