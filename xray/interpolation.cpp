#include "interpolation.h"

#include <algorithm>
#include <cmath>

namespace xray::table {

double interpolateLogLog(const AttenuationPoint *points, int count, double energy_eV)
{
    const AttenuationPoint *first = points;
    const AttenuationPoint *last = first + count;
    const AttenuationPoint *above = std::upper_bound(
        first, last, energy_eV, [](double e, const AttenuationPoint &p) { return e < p.energy_eV; });
    // The segment [a, b] with a.energy <= E < b.energy, or an end segment.
    const AttenuationPoint *b = std::clamp(above, first + 1, last - 1);
    const AttenuationPoint *a = b - 1;
    if (a->energy_eV == b->energy_eV) // E beyond the table, at an edge
        return energy_eV < a->energy_eV ? a->mu_cm2_g : b->mu_cm2_g;
    const double t = std::log(energy_eV / a->energy_eV) / std::log(b->energy_eV / a->energy_eV);
    return std::exp(std::log(a->mu_cm2_g) + t * std::log(b->mu_cm2_g / a->mu_cm2_g));
}

} // namespace xray::table
