#include "Instrument.h"

#include "SharedState.h"

#include <algorithm>
#include <cctype>

namespace visasim {

std::string_view ScpiErrorText(int code) {
    switch (code) {
    case 0:
        return "No error";
    case -100:
        return "Command error";
    case -101:
        return "Invalid character";
    case -102:
        return "Syntax error";
    case -103:
        return "Invalid separator";
    case -104:
        return "Data type error";
    case -108:
        return "Parameter not allowed";
    case -109:
        return "Missing parameter";
    case -113:
        return "Undefined header";
    case -151:
        return "Invalid string data";
    case -200:
        return "Execution error";
    case -220:
        return "Parameter error";
    case -221:
        return "Settings conflict";
    case -222:
        return "Data out of range";
    case -223:
        return "Too much data";
    case -224:
        return "Illegal parameter value";
    case -230:
        return "Data corrupt or stale";
    case -240:
        return "Hardware error";
    case -241:
        return "Hardware missing";
    case -300:
        return "Device-specific error";
    case -310:
        return "System error";
    case -330:
        return "Self-test failed";
    case -350:
        return "Queue overflow";
    case -400:
        return "Query error";
    case -410:
        return "Query INTERRUPTED";
    case -420:
        return "Query UNTERMINATED";
    case -430:
        return "Query DEADLOCKED";
    case -440:
        return "Query UNTERMINATED after indefinite response";
    default:
        return {};
    }
}

namespace {

constexpr size_t kErrorQueueSize = 30;

uint8_t EventBitFor(int code) {
    if (code <= -100 && code >= -199) {
        return 0x20; // command error
    }
    if (code <= -200 && code >= -299) {
        return 0x10; // execution error
    }
    if (code <= -400 && code >= -499) {
        return 0x04; // query error
    }
    return 0x08; // device-dependent error (-300..-399 and the device's own codes)
}

std::string Joined(const std::vector<std::string>& nodes) {
    std::string text;
    for (const std::string& node : nodes) {
        if (!text.empty()) {
            text += ':';
        }
        text += node;
    }
    return text;
}

} // namespace

Instrument::Instrument(const ResourceSpec& resourceSpec)
    : m_spec(resourceSpec), m_faultCounts(resourceSpec.faults.commands.size(), 0) {
    for (const auto& [code, text] : resourceSpec.faults.errorQueue) {
        PushError(code, text);
    }
    AddCommonCommands();
}

Instrument::~Instrument() = default;

void Instrument::AddCommand(std::string_view pattern, bool query, Handler handler) {
    Entry entry{HeaderPattern::FromText(pattern), query, std::move(handler), {}};
    entry.canonical = entry.pattern.ShortText() + (query ? "?" : "");
    m_entries.push_back(std::move(entry));
}

const Instrument::Entry* Instrument::Find(const std::vector<std::string>& nodes, bool query) const {
    for (const Entry& entry : m_entries) {
        if (entry.query == query && entry.pattern.Matches(nodes)) {
            return &entry;
        }
    }
    return nullptr;
}

void Instrument::PushError(int code, std::string text) {
    if (text.empty()) {
        text = std::string(ScpiErrorText(code));
    }
    if (text.empty()) {
        text = "Device error";
    }
    m_esr |= EventBitFor(code);
    if (m_errors.size() >= kErrorQueueSize) {
        m_errors.back() = {-350, std::string(ScpiErrorText(-350))};
        return;
    }
    m_errors.emplace_back(code, std::move(text));
}

uint8_t Instrument::SummaryByte(bool messageAvailable) const {
    uint8_t stb = 0;
    if (!m_errors.empty()) {
        stb |= 0x04;
    }
    if (messageAvailable) {
        stb |= 0x10;
    }
    if (m_esr & m_ese) {
        stb |= 0x20;
    }
    if (stb & m_sre & ~0x40) {
        stb |= 0x40;
    }
    return stb;
}

uint8_t Instrument::StatusByte() const {
    return SummaryByte(!m_output.empty());
}

void Instrument::WatchServiceRequest(bool messageAvailable) {
    bool requesting = (SummaryByte(messageAvailable) & 0x40) != 0;
    if (requesting && !m_requestingService) {
        ++m_serviceRequests;
    }
    m_requestingService = requesting;
}

void Instrument::Consume(size_t count) {
    m_output.erase(0, count);
    WatchServiceRequest(!m_output.empty());
}

void Instrument::DeviceClear() {
    m_output.clear();
    m_replyInProgress.clear();
    WatchServiceRequest(false);
}

void Instrument::NoteEmptyRead() {
    if (m_hungQuery) {
        m_hungQuery = false; // the instrument never finished the query: nothing to note
    } else {
        PushError(-420);
    }
    WatchServiceRequest(!m_output.empty());
}

bool Instrument::ExpectCount(const ScpiCommand& command, size_t count) {
    if (command.parameters.size() < count) {
        PushError(-109);
        return false;
    }
    if (command.parameters.size() > count) {
        PushError(-108);
        return false;
    }
    return true;
}

bool Instrument::IntegerAt(const ScpiCommand& command, size_t index, long* value) {
    auto number = WholeNumber(command.parameters.at(index));
    if (!number) {
        PushError(command.parameters[index].kind == ScpiParameter::Kind::Number ? -222 : -104);
        return false;
    }
    *value = *number;
    return true;
}

const CommandFault* Instrument::FaultFor(const std::string& written, const std::string& canonical) {
    const CommandFault* found = nullptr;
    for (size_t i = 0; i < m_spec.faults.commands.size(); ++i) {
        const CommandFault& fault = m_spec.faults.commands[i];
        const std::string& prefix = fault.headerPrefix;
        if (written.compare(0, prefix.size(), prefix) != 0 &&
            canonical.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        int count = ++m_faultCounts[i];
        if (!found && (fault.occurrence == 0 || fault.occurrence == count)) {
            found = &fault;
        }
    }
    return found;
}

Instrument::Outcome Instrument::Write(std::string_view message, unsigned timeoutMs) {
    WaitBudgetScope budget(timeoutMs);
    if (!m_output.empty()) {
        m_output.clear();
        PushError(-410);
    }
    m_replyInProgress.clear();
    m_hungQuery = false;
    bool anyReply = false;
    std::vector<std::string> path; // the header path relative commands continue from
    bool first = true;
    // The message ends here, from this command on: nothing more is executed and nothing answered.
    auto abandon = [&](const ScpiCommand& command, Outcome outcome) {
        m_replyInProgress.clear();
        m_hungQuery = command.query;
        return outcome;
    };
    ScpiMessageReader reader(message);
    for (ScpiCommand command; reader.Next(command);) {
        WatchServiceRequest(!m_replyInProgress.empty()); // after the command before
        // A long message ends when its time is up; the first command needs no look at the clock.
        if (!first && BudgetExpired()) {
            return abandon(command, Outcome::TimedOut);
        }
        if (command.error != 0) {
            PushError(command.error);
            break; // the rest of the message cannot be trusted
        }
        std::vector<std::string> nodes = command.nodes;
        const Entry* entry = nullptr;
        if (!command.common && !command.absolute && !first && !path.empty()) {
            std::vector<std::string> relative = path;
            relative.insert(relative.end(), nodes.begin(), nodes.end());
            entry = Find(relative, command.query);
            if (entry) {
                nodes = std::move(relative);
            }
        }
        if (!entry) {
            entry = Find(nodes, command.query);
        }
        first = false;
        if (!command.common && entry) {
            path.assign(nodes.begin(), nodes.end() - 1);
        }

        std::string written = Joined(nodes) + (command.query ? "?" : "");
        const CommandFault* fault = FaultFor(written, entry ? entry->canonical : written);
        if (fault && fault->action == CommandFault::Action::Timeout) {
            // A hung query times out its read, a hung command its write.
            return abandon(command, command.query ? Outcome::Done : Outcome::TimedOut);
        }
        if (fault) {
            PushError(fault->code, fault->text);
            continue;
        }

        std::string reply;
        bool handled = AnswerFromTable(command, reply);
        if (!handled) {
            if (!entry) {
                PushError(-113);
                break;
            }
            entry->handler(command, reply);
            if (budget.RanOut()) {
                return abandon(command, Outcome::TimedOut);
            }
            if (budget.Failed()) {
                return abandon(command, Outcome::Failed);
            }
        }
        if (command.query && !reply.empty()) {
            if (anyReply) {
                m_replyInProgress += ';';
            }
            m_replyInProgress += reply;
            anyReply = true;
        }
    }
    if (anyReply) {
        m_output = std::move(m_replyInProgress);
        m_output += '\n';
    }
    m_replyInProgress.clear();
    WatchServiceRequest(!m_output.empty());
    return Outcome::Done;
}

void Instrument::AddCommonCommands() {
    AddCommand("*IDN", true, [this](const ScpiCommand& c, std::string& reply) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        if (m_spec.identity.empty()) {
            PushError(-113);
            return;
        }
        reply = m_spec.identity;
    });
    AddCommand("*RST", false, [this](const ScpiCommand& c, std::string&) {
        if (ExpectCount(c, 0)) {
            ResetDevice();
        }
    });
    AddCommand("*CLS", false, [this](const ScpiCommand& c, std::string&) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        m_errors.clear();
        m_esr = 0;
    });
    auto registerCommand = [this](const char* header, uint8_t* target, uint8_t ignoredBits) {
        AddCommand(header, false, [this, target, ignoredBits](const ScpiCommand& c, std::string&) {
            long value = 0;
            if (!ExpectCount(c, 1) || !IntegerAt(c, 0, &value)) {
                return;
            }
            if (value < 0 || value > 255) {
                PushError(-222);
                return;
            }
            *target = static_cast<uint8_t>(value) & static_cast<uint8_t>(~ignoredBits);
        });
        AddCommand(header, true, [this, target](const ScpiCommand& c, std::string& reply) {
            if (ExpectCount(c, 0)) {
                reply = std::to_string(*target);
            }
        });
    };
    registerCommand("*ESE", &m_ese, 0);
    registerCommand("*SRE", &m_sre, 0x40);
    AddCommand("*ESR", true, [this](const ScpiCommand& c, std::string& reply) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        reply = std::to_string(m_esr);
        m_esr = 0;
    });
    AddCommand("*STB", true, [this](const ScpiCommand& c, std::string& reply) {
        if (ExpectCount(c, 0)) {
            reply = std::to_string(SummaryByte(!m_output.empty() || !m_replyInProgress.empty()));
        }
    });
    AddCommand("*OPC", false, [this](const ScpiCommand& c, std::string&) {
        if (ExpectCount(c, 0)) {
            m_esr |= 0x01;
        }
    });
    AddCommand("*OPC", true, [this](const ScpiCommand& c, std::string& reply) {
        if (ExpectCount(c, 0)) {
            reply = "1";
        }
    });
    AddCommand("*WAI", false, [this](const ScpiCommand& c, std::string&) { ExpectCount(c, 0); });
    AddCommand("*TST", true, [this](const ScpiCommand& c, std::string& reply) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        m_selfTestRun = true;
        reply = std::to_string(m_spec.faults.selfTestCode);
    });
    AddCommand("SYSTem:ERRor[:NEXT]", true, [this](const ScpiCommand& c, std::string& reply) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        if (m_errors.empty()) {
            reply = "0,\"No error\"";
            return;
        }
        auto [code, text] = m_errors.front();
        m_errors.pop_front();
        std::replace(text.begin(), text.end(), '"', '\'');
        reply = std::to_string(code) + ",\"" + text + "\"";
    });
    AddCommand("SYSTem:VERSion", true, [this](const ScpiCommand& c, std::string& reply) {
        if (ExpectCount(c, 0)) {
            reply = "1999.0";
        }
    });
    AddCommand("DIAGnostic:TEST:MESSage", true, [this](const ScpiCommand& c, std::string& reply) {
        if (!ExpectCount(c, 0)) {
            return;
        }
        std::string text = m_selfTestRun ? m_spec.faults.selfTestMessage : std::string("No self test run");
        std::replace(text.begin(), text.end(), '"', '\'');
        reply = "\"" + text + "\"";
    });
}

} // namespace visasim
