#include "absorption.h"

#include "elements.h"
#include "interpolation.h"
#include "generated/tables.h"

#include <algorithm>
#include <array>

namespace xray {

namespace {

const table::PhotoShell *photoShell(int Z, Shell shell)
{
    const table::PhotoShell *first = table::photoShells;
    const table::PhotoShell *last = first + table::PhotoShellCount;
    const auto key = [](const table::PhotoShell &p) { return std::pair(int(p.Z), int(p.shell)); };
    const auto found = std::lower_bound(first, last, std::pair(Z, int(shell)),
                                        [&](const table::PhotoShell &p, const std::pair<int, int> &k) {
                                            return key(p) < k;
                                        });
    return found != last && key(*found) == std::pair(Z, int(shell)) ? found : nullptr;
}

} // namespace

std::span<const int> absorberElements()
{
    static const std::array<int, table::AbsorberCount> elements = [] {
        std::array<int, table::AbsorberCount> zs{};
        for (int i = 0; i < table::AbsorberCount; ++i)
            zs[std::size_t(i)] = table::absorbers[i].Z;
        return zs;
    }();
    return elements;
}

std::optional<double> absorberAttenuation(int Z, double energy_eV)
{
    for (const table::Absorber &a : table::absorbers)
        if (a.Z == Z)
            return table::interpolateLogLog(a.attenuation, a.attenuationCount, energy_eV);
    return std::nullopt;
}

std::optional<double> sampleAttenuation(int Z, double energy_eV)
{
    if (Z < table::FirstLineZ || Z >= table::FirstLineZ + table::SampleElementCount)
        return std::nullopt;
    const table::Absorber &a = table::sampleElements[Z - table::FirstLineZ];
    return table::interpolateLogLog(a.attenuation, a.attenuationCount, energy_eV);
}

double photoionisation(int Z, Shell shell, double energy_eV)
{
    const table::PhotoShell *p = photoShell(Z, shell);
    if (!p || !(energy_eV > p->edge_eV))
        return 0.0;
    if (energy_eV < p->points[0].energy_eV)
        return p->points[0].mu_cm2_g;
    return table::interpolateLogLog(p->points, p->count, energy_eV);
}

bool hasPhotoionisation(int Z, Shell shell) { return photoShell(Z, shell) != nullptr; }

double atomicWeight(int Z)
{
    return Z >= 1 && Z <= table::LastLineZ ? table::atomicWeights[Z] : 0.0;
}

} // namespace xray
