#include "db.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace db {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }

} // namespace

double NumericValue(std::string_view text)
{
    // Blanks, TABs and line feeds count nowhere, not even inside the number.
    // Data fields rarely hold any, so the copy is made only when needed.
    std::string stripped;
    std::string_view compact = text;
    if (text.find_first_of(" \t\n") != std::string_view::npos) {
        stripped.reserve(text.size());
        for (char c : text)
            if (!isSkipped(c))
                stripped.push_back(c);
        compact = stripped;
    }

    // Find the longest prefix of the form [sign] digits [. digits] [E [sign] digits].
    std::size_t i = 0;
    const std::size_t n = compact.size();
    if (i < n && (compact[i] == '+' || compact[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    while (i < n && isDigit(compact[i]))
        ++i;
    std::size_t digits = i - mantissaStart;
    if (i < n && compact[i] == '.') {
        std::size_t j = i + 1;
        while (j < n && isDigit(compact[j]))
            ++j;
        digits += j - (i + 1);
        if (digits > 0)
            i = j;
    }
    if (digits == 0)
        return 0.0;
    if (i < n && (compact[i] == 'e' || compact[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (compact[j] == '+' || compact[j] == '-'))
            ++j;
        const std::size_t exponentStart = j;
        while (j < n && isDigit(compact[j]))
            ++j;
        if (j > exponentStart)
            i = j; // an E without digits after it is not an exponent
    }

    // from_chars takes no "+" sign; the sign is applied here.
    const bool negative = compact[0] == '-';
    const char *first = compact.data() + mantissaStart;
    const char *last = compact.data() + i;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double gives 0; too small is simply 0 as well.
        return 0.0;
    }
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

} // namespace db
