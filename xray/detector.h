// An energy-dispersive detector: its material, its resolution and the
// escape peaks it makes.
#pragma once

#include "types.h"

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xray {

enum class Material { Si, Ge, CdTe };

// "si", "ge", "cdte": the names the command line takes.
std::string_view materialKey(Material material);
// "Si", "Ge", "CdTe": how a material is shown.
std::string_view materialLabel(Material material);
// A material from its key in any letter case; nothing for anything else.
std::optional<Material> parseMaterial(std::string_view text);

// The usual resolution at Mn K-alpha (FWHM, eV): Si (SDD or Si(Li)) 129,
// Ge 145, CdTe 250.
double defaultFwhm(Material material);

// The energy at which detector resolutions are quoted: Mn K-alpha1
// (Mn KL3), 5898.7 eV, from the line table.
double mnKalpha_eV();

// One escape peak of a parent line.
struct Escape {
    const EscapeLine *line; // the detector element's line that left
    double energy_eV;       // the parent's energy minus that line's
    double fraction;        // expected size relative to the parent peak
};

// "Si KL3": the element and line an escape is named after.
std::string escapeLineLabel(const EscapeLine &line);

// A parent's escape peaks: at most MaxEscapes, in a fixed array.
struct Escapes {
    static constexpr int MaxEscapes = 4;
    std::array<Escape, MaxEscapes> items{};
    int count = 0;

    const Escape *begin() const { return items.data(); }
    const Escape *end() const { return items.data() + count; }
    bool empty() const { return count == 0; }
};

class Detector {
public:
    // The material with its usual resolution (defaultFwhm).
    explicit Detector(Material material = Material::Si);
    // fwhmMnKa_eV: the FWHM at Mn K-alpha; must be above zero and finite.
    Detector(Material material, double fwhmMnKa_eV);

    Material material() const { return material_; }
    double fwhmMnKa() const { return fwhmMnKa_; }

    // The FWHM at energy E (eV): FWHM(E)^2 = FWHM(Mn Ka)^2 + 2.49 eV (E - E(Mn Ka)),
    // with E(Mn Ka) = 5898.7 eV. The constant term (electronic noise) is
    // never taken below zero: a resolution at Mn K-alpha better than a
    // perfect detector's (121.2 eV) gives FWHM(E)^2 = 2.49 eV E.
    double fwhm(double energy_eV) const { return std::sqrt(fwhmSquared(energy_eV)); }
    // Its square, without the root: for comparing distances with it.
    double fwhmSquared(double energy_eV) const
    {
        return noiseSquared_ + FanoTerm_eV * (energy_eV > 0 ? energy_eV : 0.0);
    }

    // The statistical term of the resolution, 2.355^2 F eps, for F = 0.118
    // and eps = 3.8 eV (silicon): the same for every material, as is
    // customary for quoting resolutions at Mn K-alpha.
    static constexpr double FanoTerm_eV = 2.49;

    // The lines of the detector's elements that can escape: K-alpha and
    // K-beta of Si; of Ge; of Cd and Te.
    std::span<const EscapeLine> escapeLines() const;

    // The escape peaks of a parent at that energy: one per escape line whose
    // element's K edge lies below the parent; none below every K edge.
    Escapes escapes(double parent_eV) const;

    // The expected size of the escape peak through `line` relative to a
    // parent of that energy, by Reed and Ware (1972) for a thick detector
    // struck at normal incidence:
    //   f = 1/2 w (1 - 1/r) s c (mu_i(E)/mu(E)) [1 - (mu(Ee)/mu(E)) ln(1 + mu(E)/mu(Ee))]
    // w: K fluorescence yield, r: K jump ratio, s: the line's share of the K
    // radiative rate, c: mass fraction of the element in the material,
    // mu_i and mu: mass attenuation of the element and of the material, at
    // the parent (E) and at the escaping line (Ee). For a pure element
    // c mu_i/mu = 1. 0 at or below the element's K edge.
    double escapeFraction(const EscapeLine &line, double parent_eV) const;

    // Mass attenuation of the detector material, cm2/g: its elements'
    // xraylib values, interpolated log-log over 1 .. 200 keV.
    double massAttenuation(double energy_eV) const;

private:
    Material material_;
    double fwhmMnKa_;
    double noiseSquared_; // the constant term of FWHM(E)^2
    // The material's mass attenuation at each of its escape lines' energies.
    std::array<double, Escapes::MaxEscapes> escapeAttenuation_{};
};

} // namespace xray
