#include "sampleabsorption.h"

#include "constants.h"

#include "xray/absorption.h"

#include <cmath>
#include <numbers>

namespace synth {

SampleAbsorption::SampleAbsorption(const std::vector<Constituent> &sample, double beam_eV, double takeOff_deg)
    : sample_(sample), beam_keV_(beam_eV / 1000), cosecant_(1 / std::sin(takeOff_deg * std::numbers::pi / 180))
{
    for (const Constituent &c : sample_)
        h_ += c.massFraction * PhilibertH * xray::atomicWeight(c.Z) / (double(c.Z) * c.Z);
}

double SampleAbsorption::massAttenuation(double energy_eV) const
{
    double mu = 0;
    for (const Constituent &c : sample_)
        mu += c.massFraction * xray::sampleAttenuation(c.Z, energy_eV).value_or(0.0);
    return mu;
}

double SampleAbsorption::emerging(double energy_eV, double critical_eV) const
{
    const double critical_keV = critical_eV / 1000;
    if (!(beam_keV_ > critical_keV))
        return 1.0;
    const double sigma =
        LenardNumerator / (std::pow(beam_keV_, LenardExponent) - std::pow(critical_keV, LenardExponent));
    const double x = 1 + massAttenuation(energy_eV) * cosecant_ / sigma;
    return (1 + h_) / (x * (1 + h_ * x));
}

} // namespace synth
