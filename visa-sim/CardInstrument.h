// Instruments that hold RQK4712V cards: the module (one card) and the GPIB switchbox (numbered cards,
// some of other types). They carry the card command set and keep the card state in a state file.
#pragma once

#include "Instrument.h"
#include "StateStore.h"

#include <memory>

namespace visasim {

class CardInstrument : public Instrument {
public:
    // `store` may be null: the state then lives in this instrument only.
    CardInstrument(const ResourceSpec& resourceSpec, std::unique_ptr<StateStore> store);

    // The cards as this instrument last saw them (after the latest command).
    const std::vector<CardState>& Cards() const { return m_cards; }

protected:
    void ResetDevice() override;

private:
    enum class Access { Read, Change };
    // Runs `body` on the current card state: re-reads the state file under its lock first, and writes
    // it back when a Change altered the cards.
    template <typename Body>
    void WithState(Access access, Body body);
    void Synchronise();
    void Save();

    CardState* K4712Card(long number);                    // queues -241 when there is none
    bool CheckChannels(const std::vector<int>& channels); // queues the first error
    bool ChannelListAt(const ScpiCommand& command, std::vector<int>* channels);
    void AddCardCommands();

    std::vector<CardState> m_cards;
    std::vector<CardState> m_initial;
    std::unique_ptr<StateStore> m_store;
    std::string m_lastText; // the state text last read from or written to the file
    bool m_haveFileState = false;
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
