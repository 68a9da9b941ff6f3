#include "scatter.h"

#include "xray/constants.h"

#include <cmath>

namespace identify {

std::optional<std::string> scatteredBeam(const Workspace &ws, double energy_eV)
{
    if (ws.electrons() || !ws.beam())
        return std::nullopt;
    const double beam = *ws.beam(), width = ws.detector().fwhm(beam);
    if (std::fabs(energy_eV - beam) <= width)
        return "the beam scattered by the sample (Rayleigh, at the beam energy), no element's line";
    const double backscattered = beam / (1 + 2 * beam / xray::ElectronRestEnergy_eV);
    if (energy_eV < beam && energy_eV >= backscattered - width)
        return "the beam scattered by the sample (Compton, below the beam energy), no element's line";
    return std::nullopt;
}

} // namespace identify
