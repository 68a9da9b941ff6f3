// Random numbers for synthetic spectra that come out the same on every
// platform: std::mt19937_64 is specified bit for bit by the standard, and
// everything built on it here is our own arithmetic (the standard's
// distributions are not portable: each library has its own algorithms).
#pragma once

#include <cstdint>
#include <random>

namespace synth {

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, 1), from the top 53 bits of one draw.
    double uniform();

    // A Poisson variate of that mean (0 for a mean that is not above 0):
    // by inversion below a mean of 30, by Hörmann's transformed rejection
    // (PTRS; W. Hörmann, Insurance Math. Econom. 12 (1993) 39) above. Uses
    // only +, -, *, /, sqrt, exp and log of IEEE doubles.
    double poisson(double mean);

private:
    std::mt19937_64 engine_;
};

// ln(k!) for k >= 0: summed exactly for small k, Stirling's series above.
double logFactorial(double k);

} // namespace synth
