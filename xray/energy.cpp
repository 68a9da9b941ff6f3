#include "energy.h"

#include "textutil.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace xray {

namespace {

struct Unit {
    std::string_view name;
    int exponent; // eV = 10^exponent of the unit
    bool beamOnly;
};

constexpr Unit units[] = {
    {"ev", 0, false}, {"kev", 3, false}, {"v", 0, true}, {"kv", 3, true},
};

const Unit *findUnit(std::string_view word, bool beam)
{
    for (const Unit &unit : units)
        if ((beam || !unit.beamOnly) && equalsIgnoringCase(word, unit.name))
            return &unit;
    return nullptr;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the decimal number at the start of text: digits with at
// most one '.', at least one digit, then optionally an exponent. 0 when
// text does not start with one.
std::size_t numberLength(std::string_view text, std::size_t &mantissaEnd)
{
    std::size_t i = 0, digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i]))
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return 0;
    mantissaEnd = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t exponentStart = j;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        // "6.4eV": the e belongs to the unit, not to an exponent.
        if (j > exponentStart)
            i = j;
    }
    return i;
}

EnergyReading failed(std::string reason) { return {std::nullopt, std::move(reason)}; }

EnergyReading parse(std::string_view text, bool beam)
{
    const std::string_view unitsHint = beam ? "(use kV, V, keV or eV)" : "(use eV or keV)";
    text = trimmed(text);
    if (text.empty())
        return failed("is empty");
    if (text.front() == '-')
        return failed("is negative");
    if (text.front() == '+')
        text.remove_prefix(1);
    std::size_t mantissaEnd = 0;
    const std::size_t length = numberLength(text, mantissaEnd);
    if (length == 0)
        return failed("is not a number");
    const std::string_view unitText = trimmed(text.substr(length));
    if (!unitText.empty() && unitText.front() == ',')
        return failed("is not a number (the decimal mark is '.')");
    if (!unitText.empty() && (unitText.front() == '.' || isDigit(unitText.front())))
        return failed("is not a number");
    // A bare number is keV (kV for a beam).
    const Unit *unit = unitText.empty() ? findUnit(beam ? "kv" : "kev", beam) : findUnit(unitText, beam);
    if (!unit) {
        std::string shown(unitText.substr(0, 20));
        for (char &c : shown)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                c = '?';
        return failed("has an unknown unit '" + shown + "' " + std::string(unitsHint));
    }

    // Scale in decimal, by moving the exponent, so that "6.4" keV is
    // exactly the double nearest 6400 eV.
    long long exponent = 0;
    if (length > mantissaEnd) {
        std::string_view digits = text.substr(mantissaEnd + 1, length - mantissaEnd - 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (char c : digits) {
            exponent = exponent * 10 + (c - '0');
            if (exponent > 100000) // far beyond any double either way
                break;
        }
        if (negative)
            exponent = -exponent;
    }
    std::string number(text.substr(0, mantissaEnd));
    number += 'e';
    number += std::to_string(exponent + unit->exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        return failed(exponent > 0 ? "is too large" : "is too small");
    if (error != std::errc() || end != number.data() + number.size())
        return failed("is not a number");
    if (!std::isfinite(value))
        return failed("is too large");
    if (value <= 0)
        return failed("is not above zero");
    return {value, {}};
}

} // namespace

EnergyReading parseEnergy(std::string_view text) { return parse(text, false); }

EnergyReading parseBeamEnergy(std::string_view text) { return parse(text, true); }

bool isEnergyUnit(std::string_view word, bool beam) { return findUnit(word, beam) != nullptr; }

} // namespace xray
