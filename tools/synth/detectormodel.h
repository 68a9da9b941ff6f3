// The detector of a synthetic spectrum: its material and resolution (an
// xray::Detector, which also gives the escape peaks) and its efficiency,
// from the layers a photon crosses before it is absorbed in the crystal.
#pragma once

#include "xray/detector.h"

#include <string>
#include <utility>
#include <vector>

namespace synth {

// A layer of absorber elements (xray::absorberElements) given by mass
// fractions, and its mass thickness in g/cm2, so that no density is needed.
struct Layer {
    std::string name;
    std::vector<std::pair<int, double>> massFractions; // Z, fraction; they add up to 1
    double massThickness_g_cm2 = 0;

    // Transmission exp(-mu rho t) at energy E (eV).
    double transmission(double energy_eV) const;
    // The photons absorbed in the layer: 1 - transmission.
    double absorption(double energy_eV) const { return 1.0 - transmission(energy_eV); }
};

// The mass fractions of a compound from its formula, atoms per formula
// unit: {{6, 22}, {1, 10}, {7, 2}, {8, 5}} is polyimide, C22H10N2O5.
std::vector<std::pair<int, double>> compound(const std::vector<std::pair<int, int>> &atoms);

struct DetectorModel {
    xray::Detector detector{xray::Material::Si};
    std::vector<Layer> window; // from the outside in, the dead layer last
    Layer crystal;             // photons absorbed here are counted

    // The share of the photons of energy E reaching the detector that are
    // counted: transmission through every window layer times absorption in
    // the crystal.
    double efficiency(double energy_eV) const;

    // Ordinary detectors of each kind, with the resolution given (or the
    // material's usual one):
    //   si: a silicon drift detector with a thin polymer window (polyimide
    //       40 ug/cm2, about 0.3 um, with 10 ug/cm2 of aluminium), a silicon
    //       dead layer of 6 ug/cm2 (25 nm) and 0.105 g/cm2 (0.45 mm) of silicon;
    //   ge: a beryllium window of 4.6 mg/cm2 (25 um), a germanium dead
    //       layer of 0.1 mg/cm2 (0.2 um) and 2.7 g/cm2 (5 mm) of germanium;
    //   cdte: beryllium 18.5 mg/cm2 (100 um), a CdTe dead layer of
    //       0.06 mg/cm2 (0.1 um) and 0.58 g/cm2 (1 mm) of CdTe.
    // These are settings of ordinary instruments, not constants of nature;
    // the attenuation they use comes from xraylib (xray/absorption.h).
    static DetectorModel typical(xray::Material material);
    static DetectorModel typical(xray::Material material, double fwhmMnKa_eV);
};

} // namespace synth
