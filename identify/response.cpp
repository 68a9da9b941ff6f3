#include "response.h"

#include "model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace identify {

namespace {

const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

// exp(z) erfc(w) without overflow: for large w, erfc(w) ~ exp(-w^2)/(w sqrt(pi)).
double expErfc(double z, double w)
{
    if (w < 5)
        return std::exp(z) * std::erfc(w);
    const double w2 = w * w;
    return std::exp(z - w2) / (w * std::sqrt(std::numbers::pi)) * (1 - 0.5 / w2 + 0.75 / (w2 * w2));
}

// The densities (per eV, unit area) at offset d from the centre.
struct Shape {
    double sigma, beta, tail, shelf, fade;
    double gauss(double d) const
    {
        return std::exp(-0.5 * d * d / (sigma * sigma)) / (sigma * std::sqrt(2 * std::numbers::pi));
    }
    double tailDensity(double d) const
    {
        const double z = d / beta + sigma * sigma / (2 * beta * beta);
        const double w = d / (std::numbers::sqrt2 * sigma) + sigma / (std::numbers::sqrt2 * beta);
        return expErfc(z, w) / (2 * beta);
    }
    // A flat shelf below the peak, of unit area: level for two FWHM
    // (`fade` is the FWHM), then fading out linearly over six more, which
    // the filter, blind to straight stretches, barely sees.
    double shelfDensity(double d) const
    {
        const double step = 0.5 * std::erfc(d / (std::numbers::sqrt2 * sigma));
        const double taper = std::clamp((d + 8 * fade) / (6 * fade), 0.0, 1.0);
        return step * taper / (5 * fade);
    }
    double density(double d) const
    {
        double v = (1 - tail - shelf) * gauss(d);
        if (tail > 0)
            v += tail * tailDensity(d);
        if (shelf > 0)
            v += shelf * shelfDensity(d);
        return v;
    }
};

} // namespace

double tailShare(const Response &r, double energy_eV, double attenuation, double attenuationMnKa)
{
    if (energy_eV < Response::LowEnergyLimit_eV && r.softTail >= 0)
        return std::min(MaxTail, r.softTail);
    if (r.tailRef <= 0 || !(attenuation > 0) || !(attenuationMnKa > 0))
        return 0;
    return std::min(MaxTail, r.tailRef * std::pow(attenuation / attenuationMnKa, r.tailPower));
}

double tailAreaBetween(double low_eV, double high_eV, double fwhm_eV, double tail, double tailSlope, double shelf)
{
    const double sigma = fwhm_eV / FwhmPerSigma;
    if (!(sigma > 0) || !(high_eV > low_eV) || (tail <= 0 && shelf <= 0))
        return 0;
    const Shape shape{sigma, std::max(1.0, tailSlope * sigma), tail, shelf, fwhm_eV};
    // Simpson's rule over 16 intervals: the window is about a FWHM.
    constexpr int n = 16;
    const double h = (high_eV - low_eV) / n;
    double sum = 0;
    for (int k = 0; k <= n; ++k) {
        const double d = low_eV + h * k;
        const double v = (tail > 0 ? tail * shape.tailDensity(d) : 0.0) + (shelf > 0 ? shelf * shape.shelfDensity(d) : 0.0);
        sum += v * (k == 0 || k == n ? 1 : (k % 2 ? 4 : 2));
    }
    return sum * h / 3;
}

double peakReachBelow(double fwhm_eV, double tail, double tailSlope, double shelf)
{
    const double sigma = fwhm_eV / FwhmPerSigma;
    double reach = 5 * sigma;
    if (tail > 0)
        reach = std::max(reach, sigma + 8 * tailSlope * sigma);
    if (shelf > 0)
        reach = std::max(reach, 8 * fwhm_eV);
    return reach;
}

namespace {

// erfc to a relative error below 1.2e-7 with one exponential (Numerical
// Recipes' erfcc, after Chebyshev fitting): the peak shapes need many.
double fastErfc(double x)
{
    const double z = std::fabs(x);
    const double t = 1 / (1 + 0.5 * z);
    const double r =
        t * std::exp(-z * z - 1.26551223
                     + t * (1.00002368
                            + t * (0.37409196
                                   + t * (0.09678418
                                          + t * (-0.18628806
                                                 + t * (0.27886807
                                                        + t * (-1.13520398
                                                               + t * (1.48851587 + t * (-0.82215223 + t * 0.17087277)))))))));
    return x >= 0 ? r : 2 - r;
}

double phi(double x) { return 0.5 * fastErfc(-x / std::numbers::sqrt2); }

} // namespace

void addPeak(double *values, std::size_t count, double firstEnergy_eV, double gain_eV, double energy_eV,
             double fwhm_eV, double area, double tail, double tailSlope, double shelf)
{
    const double sigma = fwhm_eV / FwhmPerSigma;
    if (!(sigma > 0) || count == 0)
        return;
    if (tail <= 0 && shelf <= 0) {
        addGaussian(values, count, firstEnergy_eV, gain_eV, energy_eV, fwhm_eV, area);
        return;
    }
    // Each bin gets the difference of the shape's cumulative distribution at
    // its edges: the Gaussian's; the tail's, an exponential of decay length
    // beta convolved with the Gaussian (the mirrored exponentially modified
    // Gaussian), Phi(d/s) + exp(d/b + s^2/2b^2) Phi(-d/s - s/b); and the
    // shelf's, an error-function step fading in linearly below.
    const double beta = std::max(1.0, tailSlope * sigma);
    const double lambda = 1 / beta, ls = sigma / beta;
    const double gauss = 1 - tail - shelf;
    const double fade = fwhm_eV;
    const double edge0 = firstEnergy_eV - gain_eV / 2 - energy_eV;
    // Far below the centre the Gaussian's share is 0 and the tail's is a
    // pure exponential, stepped by a factor per bin.
    const double farBelow = -(5 + ls) * sigma; // both normal factors within 3e-7 of 0 and 1
    const double step = std::exp(lambda * gain_eV);
    double tailFar = 0; // the tail's distribution at the current edge, while far below
    bool far = false;
    // The shelf: level from the centre down to 2 FWHM below it, then fading
    // out linearly over 6 more, unit area (its step at the centre taken as
    // sharp: it holds a small share of a small share).
    const auto shelfCdf = [&](double d) {
        if (d <= -8 * fade)
            return 0.0;
        if (d <= -2 * fade)
            return (d + 8 * fade) * (d + 8 * fade) / (60 * fade * fade);
        if (d <= 0)
            return (5 * fade + d) / (5 * fade);
        return 1.0;
    };
    double previous = 0;
    for (std::size_t k = 0; k <= count; ++k) {
        const double d = edge0 + gain_eV * double(k);
        double cdf;
        if (d < farBelow && tail > 0) {
            if (!far) {
                tailFar = std::exp(lambda * d + 0.5 * ls * ls);
                far = true;
            } else {
                tailFar *= step;
            }
            cdf = tail * tailFar;
        } else if (d > 5 * sigma) {
            cdf = gauss + tail;
        } else {
            far = false;
            const double g = phi(d / sigma);
            cdf = gauss * g;
            if (tail > 0) {
                const double e = lambda * d + 0.5 * ls * ls;
                const double p = phi(-d / sigma - ls);
                cdf += tail * (g + (p > 0 ? std::exp(std::min(e, 700.0)) * p : 0.0));
            }
        }
        if (shelf > 0)
            cdf += shelf * shelfCdf(d);
        if (k > 0)
            values[k - 1] += area * (cdf - previous);
        previous = cdf;
    }
}

} // namespace identify
