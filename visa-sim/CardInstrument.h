// Instruments that hold RQK4712V cards: the module (one card) and the GPIB switchbox (numbered cards,
// some of other types). They carry the card command set and keep the card state in a state file.
#pragma once

#include "Instrument.h"
#include "SharedState.h"

#include <memory>

namespace visasim {

class CardInstrument : public Instrument, private SharedState::Owner {
public:
    // `store` may be null: the state then lives in this instrument only.
    CardInstrument(const ResourceSpec& resourceSpec, std::unique_ptr<StateStore> store);

    // The cards as this instrument last saw them (after the latest command, or the latest access to
    // its shared state).
    const std::vector<CardState>& Cards() const { return m_cards; }
    // The cards' state as every program shares it.
    SharedState& State() { return m_state; }

protected:
    void ResetDevice() override;

private:
    using Access = SharedState::Access;
    // Runs `body` on the current card state: re-reads the state file under its lock first, and writes
    // it back when a Change altered the cards. When the lock stays taken for longer than the message
    // may wait, `body` is not run and the message times out.
    template <typename Body>
    void WithState(Access access, Body body) {
        m_state.With(access, body);
    }
    bool Adopt(const std::string* text, std::string* problem) override;
    std::string Dump() const override;

    CardState* K4712Card(long number);                    // queues -241 when there is none
    bool CheckChannels(const std::vector<int>& channels); // queues the first error
    bool ChannelListAt(const ScpiCommand& command, std::vector<int>* channels);
    void AddCardCommands();

    std::vector<CardState> m_cards;
    std::vector<CardState> m_initial;
    SharedState m_state;
};

class GenericInstrument : public Instrument {
public:
    explicit GenericInstrument(const ResourceSpec& resourceSpec);

protected:
    bool AnswerFromTable(const ScpiCommand& command, std::string& reply) override;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_table; // folded command, reply
};

// Upper case with runs of white space folded to one space and no space around commas.
std::string FoldCommand(std::string_view command);

} // namespace visasim
