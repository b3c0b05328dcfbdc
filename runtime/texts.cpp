// Text services. Plain std::string storage: the demo's texts are short and
// built at start-up or on the rare error path.
#include <cctype>

#include "runtime/runtime.h"

std::string Blanks(int count) {
    return std::string(count > 0 ? static_cast<size_t>(count) : 0, ' ');
}

std::string NumberToText(int32_t value) {
    return std::to_string(value);
}

namespace {
// Shared by both widths: unsigned accumulation wraps, which is the modulo
// arithmetic the conversion promises, without signed overflow.
template <typename Unsigned> Unsigned ParseDecimal(const std::string &text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        i++;
    }
    Unsigned value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++)
        value = static_cast<Unsigned>(value * 10u + static_cast<Unsigned>(text[i] - '0'));
    return negative ? static_cast<Unsigned>(0u - value) : value;
}
} // namespace

int32_t TextToNumber(const std::string &text) {
    return static_cast<int32_t>(ParseDecimal<uint32_t>(text));
}

int64_t TextToNumber64(const std::string &text) {
    return static_cast<int64_t>(ParseDecimal<uint64_t>(text));
}
