// How many photons of each line a thin sample gives per unit mass fraction
// under the photons of an X-ray tube (XRF), in arbitrary units shared by
// all elements of one spectrum. Electron excitation (EDS) is the X-ray
// core's model, xray/excitation.h.
#pragma once

#include "xray/types.h"

#include <array>
#include <vector>

namespace synth {

// A photon spectrum falling on the sample: energies (eV) and photons.
struct PhotonSpectrum {
    std::vector<double> energy_eV;
    std::vector<double> photons;
};

// For each shell of element Z, J_s: the photons of `incident` times the
// shell's photoionisation cross section, summed; 0 for shells without
// photoionisation in the table (edges below 1 keV or from 100 keV).
std::array<double, xray::ShellCount> shellAbsorption(int Z, const PhotonSpectrum &incident);

// The photons of `line` per unit mass fraction of its element excited by
// a spectrum whose shellAbsorption is J (thin sample: no absorption in it):
// w_m J_m r c', with m the family's main shell, w_m its fluorescence yield,
// r the line's relative intensity and, for a line from another subshell s,
// c' = (J_s / J_m) / (tau_s / tau_m at twice the family's deepest edge, the
// excitation the relative intensities were computed for). 0 for a line
// whose shells have no photoionisation in the table.
double photonLineYield(const xray::Line &line, const std::array<double, xray::ShellCount> &J);

} // namespace synth
