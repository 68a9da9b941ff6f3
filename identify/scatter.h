// Under X-rays of a known beam energy, the beam scattered by the sample:
// Rayleigh at the beam energy, Compton below it (down to the energy of
// photons scattered straight back, and a FWHM lower for the Doppler
// broadening). A peak there says nothing of the sample's elements.
#pragma once

#include "workspace.h"

#include <optional>
#include <string>

namespace identify {

// Why a peak at that energy is the scattered beam, in words; nothing
// outside the scattered beam's reach, under electrons, or without a beam
// energy.
std::optional<std::string> scatteredBeam(const Workspace &ws, double energy_eV);

} // namespace identify
