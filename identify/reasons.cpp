#include "reasons.h"

#include "xray/elements.h"
#include "xray/lines.h"

#include <cstdio>

namespace identify {

namespace {

std::string symbol(int Z) { return std::string(xray::elementSymbol(Z)); }

// "Si Ka1": the element and its line.
std::string lineText(const xray::Line &line) { return symbol(line.Z) + " " + std::string(xray::displayName(line)); }

// "Ka1 at 1.49 keV", "line at 1.49 keV" for a peak whose line is not named.
std::string peakText(const LinePeak &peak)
{
    return (peak.line ? std::string(xray::displayName(*peak.line)) : std::string("line")) + " at " + keVText(peak.energy_eV);
}

// The rivals, separated by commas.
std::string rivalsText(const std::vector<Rival> &rivals)
{
    std::string list;
    for (std::size_t i = 0; i < rivals.size(); ++i)
        list += (i ? ", " : "") + reasonText(rivals[i]);
    return list;
}

} // namespace

std::string keVText(double energy_eV)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f keV", energy_eV / 1000);
    return text;
}

std::string reasonText(const Rival &rival)
{
    const std::string name = symbol(rival.Z);
    switch (rival.kind) {
    case Rival::Kind::FitsLessWell:
        return name + " (fits less well)";
    case Rival::Kind::Missing:
        return name + " (its " + peakText(rival.peak) + " is missing)";
    case Rival::Kind::NotSeen:
        return name + " (its " + peakText(rival.peak) + " is not seen)";
    case Rival::Kind::FitsPoorly:
        return name + " (fits the peak poorly)";
    case Rival::Kind::ExplainedAlready:
        return name + " (the elements found explain it as well)";
    }
    return name;
}

std::string reasonText(const ElementReason &reason)
{
    switch (reason.kind) {
    case ElementReason::Kind::None:
        return {};
    case ElementReason::Kind::Required:
        return "required";
    case ElementReason::Kind::RequiredUnseen:
        return "required; its lines are not seen";
    case ElementReason::Kind::Explains:
        break;
    }
    std::string text = "the peak at " + keVText(reason.peak_eV);
    if (reason.line)
        text += " is its " + std::string(xray::displayName(*reason.line));
    const std::vector<LinePeak> &partners = reason.partners;
    if (!partners.empty()) {
        text += ", with ";
        for (std::size_t i = 0; i < partners.size(); ++i)
            text += (i ? (i + 1 == partners.size() ? " and " : ", ") : "") + peakText(partners[i]);
    }
    if (!reason.rivals.empty())
        text += "; rather than " + rivalsText(reason.rivals);
    return text;
}

std::string reasonText(const PeakReason &reason)
{
    switch (reason.kind) {
    case PeakReason::Kind::None:
        return {};
    case PeakReason::Kind::BelowLines:
        return "below " + keVText(reason.energy_eV) + ", in the noise peak's reach, where no line is looked for";
    case PeakReason::Kind::Rayleigh:
        return "the beam scattered by the sample (Rayleigh, at the beam energy), no element's line";
    case PeakReason::Kind::Compton:
        return "the beam scattered by the sample (Compton, below the beam energy), no element's line";
    case PeakReason::Kind::TooWide:
        return "wider than a line: the shape of the continuum, or scattered radiation";
    case PeakReason::Kind::NoLineFits:
        return "no element has a line there that fits";
    case PeakReason::Kind::Refused:
        return "tried " + rivalsText(reason.rivals);
    case PeakReason::Kind::NotExplained:
        return "no element found explains it";
    case PeakReason::Kind::PartlyExplained:
        return "the elements found explain only part of it";
    case PeakReason::Kind::Internal:
    case PeakReason::Kind::TubeRayleigh:
    case PeakReason::Kind::TubeCompton: {
        const std::string line = reason.line ? lineText(*reason.line) : std::string("a line");
        const std::string what = reason.kind == PeakReason::Kind::Internal
                                     ? line + " of the detector itself (internal fluorescence)"
                                     : "the tube's " + line + " scattered by the sample ("
                                           + (reason.kind == PeakReason::Kind::TubeRayleigh ? "Rayleigh" : "Compton")
                                           + ")";
        return (reason.escape ? "escape peak of " : "") + what + ", no element of the sample";
    }
    }
    return {};
}

} // namespace identify
