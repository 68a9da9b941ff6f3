#include "numbertext.h"

#include <charconv>

namespace spectrum {

void appendNumber(std::string &out, double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec == std::errc())
        out.append(buffer, end);
    else
        out += '0'; // cannot happen: 32 characters hold any double
}

std::string numberText(double value)
{
    std::string out;
    appendNumber(out, value);
    return out;
}

} // namespace spectrum
