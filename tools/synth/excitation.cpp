#include "excitation.h"

#include "xray/absorption.h"
#include "xray/edges.h"
#include "xray/excitation.h"

namespace synth {

std::array<double, xray::ShellCount> shellAbsorption(int Z, const PhotonSpectrum &incident)
{
    std::array<double, xray::ShellCount> J{};
    for (int s = 0; s < xray::ShellCount; ++s) {
        const auto shell = static_cast<xray::Shell>(s);
        if (!xray::hasPhotoionisation(Z, shell))
            continue;
        for (std::size_t i = 0; i < incident.energy_eV.size(); ++i)
            J[std::size_t(s)] += incident.photons[i] * xray::photoionisation(Z, shell, incident.energy_eV[i]);
    }
    return J;
}

double photonLineYield(const xray::Line &line, const std::array<double, xray::ShellCount> &J)
{
    const xray::Shell m = xray::mainShell(line.family);
    const double Jm = J[std::size_t(m)], Js = J[std::size_t(line.shell)];
    const xray::Edge *edge = xray::findEdge(line.Z, m);
    if (!(Jm > 0) || !(Js > 0) || !edge)
        return 0.0;
    double c = 1.0;
    if (line.shell != m) {
        const double reference = 2 * xray::deepestEdge_eV(line.Z, line.family);
        const double atReference = xray::photoionisation(line.Z, line.shell, reference)
                                   / xray::photoionisation(line.Z, m, reference);
        c = atReference > 0 ? (Js / Jm) / atReference : 0.0;
    }
    return edge->fluorescenceYield * Jm * line.relative * c;
}

} // namespace synth
