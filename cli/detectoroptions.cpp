#include "detectoroptions.h"

#include "errors.h"
#include "xrayformat.h"

#include "xray/elements.h"
#include "xray/energy.h"

#include <algorithm>

namespace cli {

std::vector<std::string> joinUnits(const std::vector<std::string> &args)
{
    std::vector<std::string> joined;
    for (const std::string &arg : args) {
        const bool afterNumber = !joined.empty() && !joined.back().empty()
                                 && joined.back().back() >= '0' && joined.back().back() <= '9'
                                 && !joined.back().starts_with("--");
        if (afterNumber && xray::isEnergyUnit(arg, true))
            joined.back() += " " + arg;
        else
            joined.push_back(arg);
    }
    return joined;
}

double energyValue(std::string_view what, const std::string &text, bool beam)
{
    const xray::EnergyReading reading = beam ? xray::parseBeamEnergy(text) : xray::parseEnergy(text);
    if (!reading)
        throw UsageError(std::string(what) + " " + cli::quoted(text) + " " + reading.reason);
    return *reading.eV;
}

void requireAtMost(std::string_view what, const std::string &text, double value_eV, double most_eV, bool beam)
{
    if (value_eV <= most_eV)
        return;
    const char *unit = beam ? "kV" : "keV";
    std::string message = std::string(what) + " " + cli::quoted(text) + " is " + keV(value_eV) + " " + unit +
                          ", above " + keV(most_eV) + " " + unit;
    // The hint is for a number given without its unit.
    const std::size_t last = text.find_last_not_of(" \t");
    if (last != std::string::npos && ((text[last] >= '0' && text[last] <= '9') || text[last] == '.'))
        message += std::string(" (a bare number is ") + unit + "; write the unit, as in " + (beam ? "20kV" : "129eV") + ")";
    throw UsageError(message);
}

std::vector<int> elementList(std::string_view option, const std::string &text, std::vector<std::string> &symbols)
{
    std::vector<int> elements;
    std::size_t entries = 1 + std::size_t(std::count(text.begin(), text.end(), ','));
    if (entries > std::size_t(xray::LastElementZ))
        throw UsageError(format("%s lists %zu entries, more than there are elements (%d)",
                                std::string(option).c_str(), entries, xray::LastElementZ));
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view entry = std::string_view(text).substr(start, comma - start);
        if (entry.find_first_not_of(" \t") == std::string_view::npos)
            throw UsageError(std::string(option) + " " + cli::quoted(text) + " has an empty entry");
        const int Z = elementArgument(entry);
        if (std::find(elements.begin(), elements.end(), Z) == elements.end()) {
            elements.push_back(Z);
            symbols.emplace_back(xray::elementSymbol(Z));
        }
        if (comma == text.size())
            break;
        start = comma + 1;
    }
    return elements;
}

xray::Material materialValue(const std::string &text)
{
    const auto m = xray::parseMaterial(text);
    if (!m)
        throw UsageError("unknown detector " + cli::quoted(text) + " (use si, ge or cdte)");
    return *m;
}

double fwhmValue(std::string_view what, const std::string &text)
{
    const double fwhm = energyValue(what, text);
    requireAtMost(what, text, fwhm, MaxFwhm_eV);
    return fwhm;
}

double beamValue(std::string_view what, const std::string &text)
{
    const double beam = energyValue(what, text, true);
    requireAtMost(what, text, beam, MaxBeam_eV, true);
    return beam;
}

xray::Material materialOption(const ParsedArgs &parsed)
{
    const auto text = parsed.value("--detector");
    return text ? materialValue(*text) : xray::Material::Si;
}

std::optional<double> fwhmOption(const ParsedArgs &parsed)
{
    const auto text = parsed.value("--fwhm");
    return text ? std::optional(fwhmValue("--fwhm", *text)) : std::nullopt;
}

std::optional<double> beamOption(const ParsedArgs &parsed)
{
    const auto text = parsed.value("--beam");
    return text ? std::optional(beamValue("--beam", *text)) : std::nullopt;
}

} // namespace cli
