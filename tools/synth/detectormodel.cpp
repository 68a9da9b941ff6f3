#include "detectormodel.h"

#include "xray/absorption.h"

#include <cmath>

namespace synth {

double Layer::transmission(double energy_eV) const
{
    double muRhoT = 0;
    for (const auto &[Z, fraction] : massFractions)
        muRhoT += fraction * xray::absorberAttenuation(Z, energy_eV).value_or(0.0);
    return std::exp(-muRhoT * massThickness_g_cm2);
}

std::vector<std::pair<int, double>> compound(const std::vector<std::pair<int, int>> &atoms)
{
    double total = 0;
    for (const auto &[Z, n] : atoms)
        total += n * xray::atomicWeight(Z);
    std::vector<std::pair<int, double>> fractions;
    for (const auto &[Z, n] : atoms)
        fractions.emplace_back(Z, n * xray::atomicWeight(Z) / total);
    return fractions;
}

double DetectorModel::efficiency(double energy_eV) const
{
    double e = crystal.absorption(energy_eV);
    for (const Layer &layer : window)
        e *= layer.transmission(energy_eV);
    return e;
}

DetectorModel DetectorModel::typical(xray::Material material)
{
    return typical(material, xray::defaultFwhm(material));
}

DetectorModel DetectorModel::typical(xray::Material material, double fwhmMnKa_eV)
{
    DetectorModel m;
    m.detector = xray::Detector(material, fwhmMnKa_eV);
    switch (material) {
    case xray::Material::Si:
        m.window = {{"polyimide", compound({{6, 22}, {1, 10}, {7, 2}, {8, 5}}), 40e-6},
                    {"aluminium", {{13, 1.0}}, 10e-6},
                    {"silicon dead layer", {{14, 1.0}}, 6e-6}};
        m.crystal = {"silicon", {{14, 1.0}}, 0.105};
        break;
    case xray::Material::Ge:
        m.window = {{"beryllium", {{4, 1.0}}, 4.6e-3}, {"germanium dead layer", {{32, 1.0}}, 0.1e-3}};
        m.crystal = {"germanium", {{32, 1.0}}, 2.7};
        break;
    case xray::Material::CdTe:
        m.window = {{"beryllium", {{4, 1.0}}, 18.5e-3}, {"CdTe dead layer", compound({{48, 1}, {52, 1}}), 0.06e-3}};
        m.crystal = {"CdTe", compound({{48, 1}, {52, 1}}), 0.58};
        break;
    }
    return m;
}

} // namespace synth
