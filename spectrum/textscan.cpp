#include "textscan.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace spectrum::scan {

bool Lines::next(std::string_view &line)
{
    if (position_ >= text_.size())
        return false;
    const std::size_t start = position_;
    std::size_t end = start;
    const char *data = text_.data();
    const std::size_t size = text_.size();
    while (end < size && data[end] != '\n' && data[end] != '\r')
        ++end;
    line = text_.substr(start, end - start);
    if (end < size && data[end] == '\r') {
        ++end;
        if (end < size && data[end] == '\n')
            ++end;
    } else if (end < size) {
        ++end; // the LF
    }
    position_ = end;
    ++number_;
    return true;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trimAll(std::string_view text)
{
    const auto space = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool containsNoCase(std::string_view text, std::string_view part)
{
    if (part.empty())
        return true;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (equalsNoCase(text.substr(i, part.size()), part))
            return true;
    return false;
}

std::string toUpper(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = upper(c);
    return out;
}

namespace {

// The exponent that stands apart from its digits: blanks, then 'E' or 'e',
// an optional sign, and at least one digit. Its length (from the first
// blank), or 0.
std::size_t detachedExponent(std::string_view rest)
{
    std::size_t i = 0;
    while (i < rest.size() && isBlank(rest[i]))
        ++i;
    if (i == 0 || i >= rest.size() || upper(rest[i]) != 'E')
        return 0;
    ++i;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-'))
        ++i;
    if (i >= rest.size() || !isDigit(rest[i]))
        return 0;
    while (i < rest.size() && isDigit(rest[i]))
        ++i;
    return i;
}

// Whether a number that from_chars found out of range is too large (rather
// than too small): the decimal exponent of its first significant digit,
// from the digits and the exponent, is positive.
bool tooLarge(std::string_view number)
{
    long long magnitude = 0;
    std::size_t i = 0;
    bool seenPoint = false, seenDigit = false;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
        } else if (isDigit(c)) {
            if (c != '0')
                seenDigit = true;
            if (!seenPoint && seenDigit)
                ++magnitude;
            else if (seenPoint && !seenDigit)
                --magnitude;
        } else {
            break;
        }
    }
    while (i < number.size() && upper(number[i]) != 'E')
        ++i;
    if (i < number.size()) {
        ++i;
        while (i < number.size() && isBlank(number[i]))
            ++i;
        bool negative = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        long long exponent = 0;
        for (; i < number.size() && isDigit(number[i]); ++i)
            exponent = exponent < 100000 ? exponent * 10 + (number[i] - '0') : exponent;
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

} // namespace

Number readNumber(std::string_view text, double &value, std::size_t &length)
{
    std::size_t skip = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        skip = 1;
    }
    const std::string_view body = text.substr(skip);
    // Only digits or a '.' then a digit start a number; this keeps from_chars
    // from reading "nan" or "inf" as numbers unless they are spelt out.
    const bool digitFirst = !body.empty() && (isDigit(body[0]) || (body[0] == '.' && body.size() > 1 && isDigit(body[1])));
    const bool word = !body.empty() && (upper(body[0]) == 'N' || upper(body[0]) == 'I');
    if (!digitFirst && !word)
        return Number::None;
    double parsed = 0.0;
    const char *begin = body.data();
    const char *end = body.data() + body.size();
    auto [ptr, ec] = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (ptr == begin)
        return Number::None; // a word that is no number
    std::size_t used = std::size_t(ptr - begin);
    bool outOfRange = ec == std::errc::result_out_of_range;
    if (digitFirst) {
        if (const std::size_t extra = detachedExponent(body.substr(used))) {
            // Rare: rebuild the number without the blanks and read it again.
            std::string joined(body.substr(0, used));
            for (char c : body.substr(used, extra))
                if (!isBlank(c))
                    joined.push_back(c);
            auto again = std::from_chars(joined.data(), joined.data() + joined.size(), parsed,
                                         std::chars_format::general);
            outOfRange = again.ec == std::errc::result_out_of_range;
            used += extra;
        }
    }
    length = skip + used;
    if (outOfRange) {
        // from_chars reports underflow the same way, and leaves the value
        // alone: a number too small for a double reads as 0.
        if (!tooLarge(body.substr(0, used))) {
            value = negative ? -0.0 : 0.0;
            return Number::Read;
        }
        return Number::NotFinite;
    }
    value = negative ? -parsed : parsed;
    return std::isfinite(value) ? Number::Read : Number::NotFinite;
}

Number parseNumber(std::string_view text, double &value)
{
    text = trimAll(text);
    std::size_t length = 0;
    const Number result = readNumber(text, value, length);
    if (result == Number::None || length != text.size())
        return Number::None;
    return result;
}

Number leadingNumber(std::string_view text, double &value)
{
    text = trimAll(text);
    std::size_t length = 0;
    return readNumber(text, value, length);
}

} // namespace spectrum::scan

namespace spectrum::scan {

namespace {

inline bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; }

} // namespace

Number appendValues(std::string_view line, std::vector<double> &values, std::string &bad, std::size_t most)
{
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && isSeparator(line[i]))
            ++i;
        if (i >= n || values.size() > most)
            return Number::Read;
        double value = 0.0;
        std::size_t length = 0;
        const Number result = readNumber(line.substr(i), value, length);
        // A number must end at a separator or the end of the line: "12abc"
        // is no number.
        if (result == Number::Read && (i + length == n || isSeparator(line[i + length]))) {
            values.push_back(value);
            i += length;
            continue;
        }
        std::size_t end = i;
        while (end < n && !isSeparator(line[end]))
            ++end;
        bad = quote(line.substr(i, end - i));
        // "nan" and "inf" spelt out are not finite; "Inferno" is no number.
        return result == Number::NotFinite && i + length == end ? Number::NotFinite : Number::None;
    }
}

std::string quote(std::string_view text)
{
    constexpr std::size_t MaxShown = 30;
    std::string out = "'";
    std::size_t shown = text.size() < MaxShown ? text.size() : MaxShown;
    while (shown < text.size() && shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80)
        --shown;
    for (std::size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += (c < 0x20 || c == 0x7f) ? '?' : char(c);
    }
    if (shown < text.size())
        out += "...";
    out += '\'';
    return out;
}

} // namespace spectrum::scan
