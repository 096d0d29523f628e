// Search expressions and resource names of any content: the first line is the expression, the rest the
// name. Nothing may crash, and a compiled expression must match its own literal text when it has no
// special characters.
#include "ResourceExpression.h"
#include "ResourceName.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace visasim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\n');
    std::string expression = input.substr(0, split);
    std::string name = split == std::string::npos ? expression : input.substr(split + 1);

    if (auto address = ParseResourceName(name)) {
        // The canonical name parses back to the same address.
        auto again = ParseResourceName(CanonicalName(*address));
        if (!again || CanonicalName(*again) != CanonicalName(*address) || !NameDesignates(*address, *again))
            std::abort();
    }
    auto compiled = ResourceExpression::Compile(expression);
    if (!compiled)
        return 0;
    compiled->Matches(name);
    bool plain = !expression.empty() && expression.find_first_of("?*+[]()|\\") == std::string::npos;
    if (plain && !compiled->Matches(expression))
        std::abort();
    return 0;
}
