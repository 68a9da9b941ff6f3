#include "background.h"

#include <algorithm>
#include <cmath>

namespace identify {

namespace {

double compress(double c) { return std::log(std::log(std::sqrt(std::max(c, 0.0) + 1) + 1) + 1); }

double expand(double v)
{
    const double r = std::exp(std::exp(v) - 1) - 1;
    return std::max(0.0, r * r - 1);
}

} // namespace

std::vector<double> snipBackground(const WorkGrid &grid, const xray::Detector &detector)
{
    const std::size_t n = grid.size();
    std::vector<double> v(n), next(n);
    std::vector<std::size_t> window(n);
    std::size_t widest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = compress(grid.counts[i]);
        const double w = 2.5 * detector.fwhm(std::max(0.0, grid.energy(double(i)))) / grid.gain_eV;
        window[i] = std::size_t(std::clamp(std::ceil(w), 1.0, double(n)));
        widest = std::max(widest, window[i]);
    }
    for (std::size_t p = widest; p >= 1; --p) {
        next = v;
        for (std::size_t i = p; i + p < n; ++i)
            if (p <= window[i])
                next[i] = std::min(v[i], (v[i - p] + v[i + p]) / 2);
        v.swap(next);
    }
    for (double &x : v)
        x = expand(x);
    return v;
}

} // namespace identify
