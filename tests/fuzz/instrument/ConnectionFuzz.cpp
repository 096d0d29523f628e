// The choice of the card from the replies of any content a module or switchbox gives to the card type
// query, and the reading back of the chosen "Card %d  " text. The first byte gives the interface type
// (0 to 3), the second the logical address, the third the operator's answer to the choice (an index, or
// Cancel when negative); the rest holds the replies of cards 1, 2, ... one a line, where a line "!T",
// "!E" or "!A" makes that query fail with a time-out, the module's error report or an API failure.
// The card chosen must be 1..99 and one that identified itself as ours (or the fallback 1); every text
// offered must read back as its own card.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "app/SfpAppData.h"
#include "instrument/Connection.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

constexpr int kLastCard = 99;

// The texts of the choice logged by the recording facade: "choose: <caption>: <a> | <b> -> <chosen>".
std::set<std::string> OfferedTexts(const std::string& line, std::string& chosen) {
    std::set<std::string> texts;
    const std::string head = "choose: Select Instrument: ";
    const size_t arrow = line.rfind(" -> ");
    if (line.rfind(head, 0) != 0 || arrow == std::string::npos) {
        std::abort();
    }
    chosen = line.substr(arrow + 4);
    const std::string items = line.substr(head.size(), arrow - head.size());
    for (size_t start = 0;;) {
        const size_t bar = items.find(" | ", start);
        texts.insert(items.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 3;
    }
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const auto interfaceType = static_cast<std::uint16_t>(data[0] % 4);
    const int logicalAddress = data[1];
    const int answer = static_cast<int8_t>(data[2]);

    CRecordingFacade facade;
    CSfpAppData app;
    auto owned = std::make_unique<CScriptedInstrument>();
    CScriptedInstrument& instrument = *owned;
    app.m_pInstrument = std::move(owned);
    instrument.m_cardType = "NONE"; // cards past the last line are not there

    const std::string cardId = LoadString(IDS_CARD_ID);
    std::set<int> ours;
    const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);
    int card = 1;
    for (size_t start = 0; start <= text.size() && card <= kLastCard; ++card) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line == "!T" || line == "!E" || line == "!A") {
            const std::int32_t status =
                line == "!T" ? kStatusTimeOut : (line == "!E" ? kStatusInstrumentError : kStatusNotSupported);
            instrument.FailOn("QueryCardType", status, card);
            continue;
        }
        instrument.m_cardTypes[card] = line;
        if (line.compare(0, cardId.size(), cardId) == 0) {
            ours.insert(card);
        }
    }
    facade.ScriptChoice(answer);

    const short chosen = ChooseCard(instrument, interfaceType, logicalAddress);
    if (chosen < 1 || chosen > kLastCard) {
        std::abort();
    }
    if (interfaceType == VI_INTF_VXI && chosen != 1) {
        std::abort();
    }
    if (chosen != 1 && ours.count(chosen) == 0) {
        std::abort(); // a card that never said it is ours
    }
    for (const std::string& line : facade.m_log) {
        if (line.rfind("choose: ", 0) != 0) {
            continue;
        }
        std::string picked;
        for (const std::string& offered : OfferedTexts(line, picked)) {
            const int number = CardFromChoice(offered, -1);
            if (offered != "Card " + std::to_string(number) + "  " || ours.count(number) == 0) {
                std::abort();
            }
        }
        if (picked != "cancel" && CardFromChoice(picked, -1) != chosen) {
            std::abort();
        }
    }
    // Any text at all reads as a card number of at most two digits, or as the fallback.
    const int read = CardFromChoice(text, -7);
    if (read != -7 && (read < 0 || read > kLastCard)) {
        std::abort();
    }
    return 0;
}
