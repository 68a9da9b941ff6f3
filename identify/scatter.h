// Under X-rays of a known beam energy, the beam scattered by the sample:
// Rayleigh at the beam energy, Compton below it (down to the energy of
// photons scattered straight back, and a FWHM lower for the Doppler
// broadening). A peak there says nothing of the sample's elements.
#pragma once

#include "reasons.h"
#include "workspace.h"

#include <optional>

namespace identify {

// Why a peak at that energy is the scattered beam (Rayleigh or Compton);
// nothing outside the scattered beam's reach, under electrons, or without a
// beam energy.
std::optional<PeakReason> scatteredBeam(const Workspace &ws, double energy_eV);

} // namespace identify
