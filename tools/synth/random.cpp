#include "random.h"

#include <cmath>

namespace synth {

double Random::uniform()
{
    return double(engine_() >> 11) * 0x1.0p-53;
}

double logFactorial(double k)
{
    if (k < 16) {
        double sum = 0;
        for (int i = 2; i <= int(k); ++i)
            sum += std::log(double(i));
        return sum;
    }
    // Stirling: ln k! = (k + 1/2) ln(k + 1) - (k + 1) + ln(2 pi)/2 + 1/(12 (k+1)) - 1/(360 (k+1)^3)
    const double n = k + 1;
    const double halfLog2Pi = 0.91893853320467274178; // ln(2 pi) / 2
    return (n - 0.5) * std::log(n) - n + halfLog2Pi + 1.0 / (12.0 * n) - 1.0 / (360.0 * n * n * n);
}

double Random::poisson(double mean)
{
    if (!(mean > 0))
        return 0;
    if (mean < 30) {
        // Inversion: walk up the cumulative distribution.
        const double u = uniform();
        double p = std::exp(-mean), cumulative = p;
        double k = 0;
        while (u > cumulative && k < 1000) {
            k += 1;
            p *= mean / k;
            cumulative += p;
        }
        return k;
    }
    // PTRS, with the constants of Hörmann's paper.
    const double slam = std::sqrt(mean);
    const double logMean = std::log(mean);
    const double b = 0.931 + 2.53 * slam;
    const double a = -0.059 + 0.02483 * b;
    const double invAlpha = 1.1239 + 1.1328 / (b - 3.4);
    const double vr = 0.9277 - 3.6224 / (b - 2);
    while (true) {
        const double u = uniform() - 0.5;
        const double v = uniform();
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2 * a / us + b) * u + mean + 0.43);
        if (us >= 0.07 && v <= vr)
            return k;
        if (k < 0 || (us < 0.013 && v > us))
            continue;
        if (std::log(v) + std::log(invAlpha) - std::log(a / (us * us) + b)
            <= -mean + k * logMean - logFactorial(k))
            return k;
    }
}

} // namespace synth
