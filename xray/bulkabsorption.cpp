#include "bulkabsorption.h"

#include "absorption.h"
#include "edges.h"

#include <cmath>
#include <numbers>

namespace xray {

namespace {

// The model's constants (the sources in bulkabsorption.h).
constexpr double LenardNumerator = 4.5e5;
constexpr double LenardExponent = 1.65;
constexpr double PhilibertH = 1.2;

} // namespace

BulkAbsorption::BulkAbsorption(std::vector<std::pair<int, double>> composition, double beam_eV, double takeOff_deg)
    : composition_(std::move(composition)), beam_keV_(beam_eV / 1000),
      cosecant_(1 / std::sin(takeOff_deg * std::numbers::pi / 180))
{
    for (const auto &[Z, w] : composition_)
        h_ += w * PhilibertH * atomicWeight(Z) / (double(Z) * Z);
}

double BulkAbsorption::massAttenuation(double energy_eV) const
{
    double mu = 0;
    for (const auto &[Z, w] : composition_)
        mu += w * sampleAttenuation(Z, energy_eV).value_or(0.0);
    return mu;
}

double BulkAbsorption::emerging(double energy_eV, double critical_eV) const
{
    const double critical_keV = critical_eV / 1000;
    if (!(beam_keV_ > critical_keV))
        return 1.0;
    const double sigma =
        LenardNumerator / (std::pow(beam_keV_, LenardExponent) - std::pow(critical_keV, LenardExponent));
    const double x = 1 + massAttenuation(energy_eV) * cosecant_ / sigma;
    return (1 + h_) / (x * (1 + h_ * x));
}

double BulkAbsorption::emerging(const Line &line) const
{
    const Edge *edge = findEdge(line.Z, line.shell);
    return edge ? emerging(line.energy_eV, edge->energy_eV) : 1.0;
}

} // namespace xray
