#include "scatter.h"

#include "xray/constants.h"

#include <cmath>

namespace identify {

std::optional<PeakReason> scatteredBeam(const Workspace &ws, double energy_eV)
{
    if (ws.electrons() || !ws.beam())
        return std::nullopt;
    const double beam = *ws.beam(), width = ws.detector().fwhm(beam);
    if (std::fabs(energy_eV - beam) <= width)
        return PeakReason{.kind = PeakReason::Kind::Rayleigh};
    const double backscattered = beam / (1 + 2 * beam / xray::ElectronRestEnergy_eV);
    if (energy_eV < beam && energy_eV >= backscattered - width)
        return PeakReason{.kind = PeakReason::Kind::Compton};
    return std::nullopt;
}

} // namespace identify
