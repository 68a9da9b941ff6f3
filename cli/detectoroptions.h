// The options the X-ray sub-commands share: energies with their units, the
// detector and its resolution, the beam energy, lists of elements. Each
// reads its value or throws a UsageError that names it.
#pragma once

#include "options.h"

#include "xray/detector.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Bounds that catch a bare number meant as eV (or V) but read as keV (kV).
inline constexpr double MaxFwhm_eV = 1000;
inline constexpr double MaxBeam_eV = 1000000;

// `6.4 keV` given as two arguments is one energy: a number followed by a
// unit word is joined, for positionals and the options' values alike.
std::vector<std::string> joinUnits(const std::vector<std::string> &args);

// The energy `text` gives (a photon energy, or with beam an accelerating
// voltage), in eV; `what` names it in the message.
double energyValue(std::string_view what, const std::string &text, bool beam = false);

// An upper bound, with the hint that a bare number is keV (kV for a beam)
// when the text is a bare number.
void requireAtMost(std::string_view what, const std::string &text, double value_eV, double most_eV,
                   bool beam = false);

// A detector: si, ge or cdte in any letter case.
xray::Material materialValue(const std::string &text);
// A detector's FWHM at Mn Ka, at most MaxFwhm_eV, in eV.
double fwhmValue(std::string_view what, const std::string &text);
// A beam energy, at most MaxBeam_eV, in eV.
double beamValue(std::string_view what, const std::string &text);

// --detector si|ge|cdte; Si without it.
xray::Material materialOption(const ParsedArgs &parsed);
// --fwhm E, at most MaxFwhm_eV; nothing without it.
std::optional<double> fwhmOption(const ParsedArgs &parsed);
// --beam KV in eV, at most MaxBeam_eV; nothing without it.
std::optional<double> beamOption(const ParsedArgs &parsed);

// A comma-separated list of elements given to `option`: each once, in the
// order given, with its symbol added to `symbols`. Refused: an empty entry,
// an unknown element, more entries than there are elements.
std::vector<int> elementList(std::string_view option, const std::string &text, std::vector<std::string> &symbols);

} // namespace cli
