// State file contents of any kind: the reader must refuse or accept without crashing, and whatever it
// accepts must be settings the cards can have, written back unchanged.
#include "CardModel.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace visasim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<CardState> shape = [] {
        std::vector<CardState> cards(3);
        cards[0].number = 1;
        cards[0].type = std::string(kK4712Type);
        cards[0].options = *ParseOptionList("QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,UNKNOWN-SW");
        cards[1].number = 2;
        cards[1].type = "OTHER,CARD";
        cards[2].number = 12;
        cards[2].type = std::string(kK4712Type);
        return cards;
    }();
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string problem;
    auto cards = DeserializeCards(text, shape, &problem);
    if (!cards)
        return 0;
    for (const CardState& card : *cards) {
        if (card.IsK4712() && !card.CheckSettings().empty())
            std::abort();
    }
    std::string written = SerializeCards(*cards);
    auto again = DeserializeCards(written, shape, &problem);
    if (!again || SerializeCards(*again) != written)
        std::abort();
    return 0;
}
