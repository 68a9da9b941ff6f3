// How the detector answers a line: where the peak lands on the spectrum's
// energy scale, and its shape. A Gaussian of the detector's resolution
// plus what incomplete charge collection adds below it: an exponential
// tail a few tens of eV long (charge lost near the entrance window) and a
// flat shelf down to zero (charge lost on the way to the anode), the
// Hypermet shape of Phillips and Marlow (Nucl. Instrum. Meth. 137 (1976)
// 525) as used for silicon detectors by Campbell et al. and Scholze and
// Procop (X-Ray Spectrom. 38 (2009) 312).
#pragma once

#include "settings.h"

#include <cmath>
#include <algorithm>
#include <cstddef>

namespace identify {

struct Response {
    // The peak of a line at true energy E lands at E + shift(E) on the
    // spectrum's scale: offset + gain E + quadratic E^2 (eV; E in keV in
    // the quadratic term). Zero for a well calibrated spectrum.
    double shiftOffset_eV = 0;
    double shiftGain = 0;
    double shiftQuadratic_eV = 0;

    // The tail's share of a peak's counts at energy E: tailRef at Mn K-alpha,
    // scaled as the detector's mass attenuation to the power tailPower (the
    // charge of photons absorbed near the entrance is collected worst).
    double tailRef = UsualTail;
    double tailPower = UsualTailPower;
    // The tail's decay length in units of the Gaussian's sigma.
    double tailSlope = TailSlope;
    // The shelf's share, as a fraction of the tail's.
    double shelfPerTail = ShelfPerTail;
    // The tail's share below LowEnergyLimit, where the light elements' lines
    // lose charge by amounts no law of the attenuation follows, as their
    // own peaks measured it; negative: the law above, held at the limit.
    double softTail = -1;

    // Below LowEnergyLimit the peaks of light elements stray from any
    // calibration that holds above it (the detector's response is least
    // linear there): their own shifts beyond it, measured at a few
    // energies, linearly between them and fading out towards the limit.
    static constexpr double LowEnergyLimit_eV = 1000;
    static constexpr int MaxLowPoints = 4;
    int lowPoints = 0;
    double lowEnergy_eV[MaxLowPoints] = {};
    double lowShift_eV[MaxLowPoints] = {};

    // The calibration above is measured from this energy up; below it, it
    // holds its value there rather than run on unchecked to zero.
    double measuredFrom_eV = 0;

    double linearShift(double energy_eV) const
    {
        const double k = std::max(energy_eV, measuredFrom_eV) / 1000;
        return shiftOffset_eV + shiftGain * 1000 * k + shiftQuadratic_eV * k * k;
    }
    double lowShift(double energy_eV) const
    {
        if (lowPoints == 0 || energy_eV >= LowEnergyLimit_eV)
            return 0;
        if (energy_eV <= lowEnergy_eV[0])
            return lowShift_eV[0];
        for (int i = 0; i + 1 < lowPoints; ++i)
            if (energy_eV <= lowEnergy_eV[i + 1]) {
                const double f = (energy_eV - lowEnergy_eV[i]) / (lowEnergy_eV[i + 1] - lowEnergy_eV[i]);
                return lowShift_eV[i] + f * (lowShift_eV[i + 1] - lowShift_eV[i]);
            }
        const double last = lowEnergy_eV[lowPoints - 1];
        return lowShift_eV[lowPoints - 1] * (LowEnergyLimit_eV - energy_eV) / (LowEnergyLimit_eV - last);
    }
    double shift(double energy_eV) const { return linearShift(energy_eV) + lowShift(energy_eV); }
};

// The share of counts in the tail of a line at energy E, given the
// detector's mass attenuation there (at LowEnergyLimit for softer lines)
// and at Mn K-alpha.
double tailShare(const Response &r, double energy_eV, double attenuation, double attenuationMnKa);

// Adds a peak of that area, Gaussian centre and FWHM, with tail share
// `tail` (decay tailSlope sigma) and shelf share `shelf`, to `count` bins of
// width gain starting (centre of the first) at firstEnergy.
void addPeak(double *values, std::size_t count, double firstEnergy_eV, double gain_eV, double energy_eV,
             double fwhm_eV, double area, double tail, double tailSlope, double shelf);

// The share of such a peak's tail and shelf (not its Gaussian) that falls
// between low and high, relative to the centre (eV).
double tailAreaBetween(double low_eV, double high_eV, double fwhm_eV, double tail, double tailSlope, double shelf);

// How far below its centre a peak with that tail reaches (eV).
double peakReachBelow(double fwhm_eV, double tail, double tailSlope, double shelf);

} // namespace identify
