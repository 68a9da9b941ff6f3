// Reading an energy that a person typed: "6.4keV", "6400eV", "6.4 keV",
// "6.4" (a bare number is keV). Shared by the command line and the windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xray {

// What was read: the energy in eV, or why the text is not one. The reason
// reads after the quoted text: "'6.4keu' has an unknown unit 'keu' (use eV
// or keV)".
struct EnergyReading {
    std::optional<double> eV;
    std::string reason;

    explicit operator bool() const { return eV.has_value(); }
};

// A photon energy (a line, a tolerance, a resolution): a number, then
// optionally blanks and a unit, eV or keV in any letter case; a bare number
// is keV. The result is finite and above zero.
EnergyReading parseEnergy(std::string_view text);

// A beam energy, as an accelerating voltage: as parseEnergy, and the units
// kV and V too ("20", "20kV", "20 keV" are all 20 keV); a bare number is kV.
EnergyReading parseBeamEnergy(std::string_view text);

// True when word is a unit that parseEnergy (or, with beam, parseBeamEnergy)
// takes: the command line joins `6.4 keV` given as two arguments.
bool isEnergyUnit(std::string_view word, bool beam = false);

} // namespace xray
