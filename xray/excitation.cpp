#include "excitation.h"

#include "absorption.h"
#include "edges.h"

#include <cmath>

namespace xray {

namespace {

double edgeEnergy(int Z, Shell shell)
{
    const Edge *edge = findEdge(Z, shell);
    return edge ? edge->energy_eV : 0.0;
}

double fluorescenceYield(int Z, Shell shell)
{
    const Edge *edge = findEdge(Z, shell);
    return edge ? edge->fluorescenceYield : 0.0;
}

} // namespace

double overvoltageFactor(double U)
{
    return U > 1 ? U * std::log(U) - U + 1 : 0.0;
}

int shellOccupancy(Shell shell)
{
    constexpr int occupancy[] = {2, 2, 2, 4, 2, 2, 4, 4, 6};
    return occupancy[static_cast<int>(shell)];
}

Shell mainShell(Family family)
{
    constexpr Shell main[] = {Shell::K, Shell::L3, Shell::M5};
    return main[static_cast<int>(family)];
}

double deepestEdge_eV(int Z, Family family)
{
    constexpr Shell deepest[] = {Shell::K, Shell::L1, Shell::M1};
    return edgeEnergy(Z, deepest[static_cast<int>(family)]);
}

double electronLineYield(const Line &line, double beam_eV)
{
    const Shell m = mainShell(line.family);
    const double Em = edgeEnergy(line.Z, m), Es = edgeEnergy(line.Z, line.shell);
    const double A = atomicWeight(line.Z);
    if (!(Em > 0) || !(Es > 0) || !(A > 0) || !(Es < beam_eV) || !(Em < beam_eV))
        return 0.0;
    const auto generation = [](double beam, double edge) { return overvoltageFactor(beam / edge); };
    double c = 1.0;
    if (line.shell != m) {
        const double reference = 2 * deepestEdge_eV(line.Z, line.family);
        const double atReference = generation(reference, Es) / generation(reference, Em);
        c = atReference > 0 ? (generation(beam_eV, Es) / generation(beam_eV, Em)) / atReference : 0.0;
    }
    return shellOccupancy(m) * fluorescenceYield(line.Z, m) * generation(beam_eV, Em) / A * line.relative * c;
}

} // namespace xray
