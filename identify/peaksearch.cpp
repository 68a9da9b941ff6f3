#include "peaksearch.h"

#include "background.h"
#include "tophat.h"


#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace identify {

namespace {

const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

// The width of the peak whose maximum is at bin i, from a parabola fitted
// to the logarithm of its net counts within 0.7 FWHM of it (a Gaussian's
// logarithm is a parabola), weighted by the Poisson variance of each
// logarithm. 0 when the peak is too narrow for the bins or the fit fails.
double measureWidth(const WorkGrid &grid, const std::vector<double> &background, std::size_t i, double fwhmBins)
{
    const double reach = 0.7 * fwhmBins;
    if (reach < 1.5)
        return 0;
    const std::ptrdiff_t r = std::ptrdiff_t(std::floor(reach));
    // Normal equations of ln y = c0 + c1 x + c2 x^2.
    std::array<double, 5> xs{};
    std::array<double, 3> xy{};
    int points = 0;
    for (std::ptrdiff_t d = -r; d <= r; ++d) {
        const std::ptrdiff_t k = std::ptrdiff_t(i) + d;
        if (k < 0 || k >= std::ptrdiff_t(grid.size()))
            continue;
        const double net = grid.counts[std::size_t(k)] - background[std::size_t(k)];
        if (!(net > 0))
            continue;
        const double weight = net * net / std::max(grid.counts[std::size_t(k)], 1.0);
        const double x = double(d), y = std::log(net);
        double power = weight;
        for (int p = 0; p < 5; ++p) {
            xs[std::size_t(p)] += power;
            if (p < 3)
                xy[std::size_t(p)] += power * y;
            power *= x;
        }
        ++points;
    }
    if (points < 4)
        return 0;
    // Solve the 3x3 system by Cramer's rule.
    const double a[3][3] = {{xs[0], xs[1], xs[2]}, {xs[1], xs[2], xs[3]}, {xs[2], xs[3], xs[4]}};
    const auto det3 = [](const double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
               + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double d = det3(a);
    if (!(std::fabs(d) > 0))
        return 0;
    double m[3][3];
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            m[row][col] = col == 2 ? xy[std::size_t(row)] : a[row][col];
    const double c2 = det3(m) / d;
    if (!(c2 < 0))
        return 0;
    const double width = FwhmPerSigma * std::sqrt(-1 / (2 * c2));
    // A blend or noise, not a measurement, when far from what the detector gives.
    return width > 0.5 * fwhmBins && width < 3 * fwhmBins ? width * grid.gain_eV : 0.0;
}

} // namespace

double zeroPeakLimit_eV(const xray::Detector &detector)
{
    return 0.75 * detector.fwhm(0);
}

std::vector<Peak> findPeaks(const WorkGrid &grid, const std::vector<double> &background,
                            const xray::Detector &detector)
{
    std::vector<Peak> peaks;
    const std::size_t n = grid.size();
    if (n < 3)
        return peaks;
    const TopHat filter(grid, detector);
    const TopHat::Output f = filter.apply(grid.counts, poissonVariance(grid.counts));
    // Maxima of the filtered counts that stand out from the noise.
    std::vector<std::size_t> maxima;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (!filter.fits(i) || !(f.sigma[i] > 0))
            continue;
        if (f.value[i] > f.value[i - 1] && f.value[i] >= f.value[i + 1]
            && f.value[i] >= PeakThreshold * f.sigma[i])
            maxima.push_back(i);
    }
    // Of maxima closer than half the FWHM, the higher stands for both.
    std::vector<std::size_t> kept;
    for (const std::size_t i : maxima) {
        if (!kept.empty() && double(i - kept.back()) < 0.5 * filter.fwhmBins(i)) {
            if (f.value[i] > f.value[kept.back()])
                kept.back() = i;
            continue;
        }
        kept.push_back(i);
    }
    const double zeroLimit = zeroPeakLimit_eV(detector);
    for (const std::size_t i : kept) {
        // The vertex of the parabola through the filter's three values.
        const double left = f.value[i - 1], mid = f.value[i], right = f.value[i + 1];
        const double curvature = left - 2 * mid + right;
        const double shift = curvature < 0 ? std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5) : 0.0;
        Peak p;
        p.energy_eV = grid.energy(double(i) + shift);
        const double response = filter.response(i);
        p.netCounts = response > 0 ? mid / response : 0.0;
        p.significance = mid / f.sigma[i];
        p.fwhm_eV = measureWidth(grid, background, i, filter.fwhmBins(i));
        p.zero = p.energy_eV < zeroLimit;
        peaks.push_back(p);
    }
    return peaks;
}

std::vector<Peak> findPeaks(const spectrum::Spectrum &spectrum, const xray::Detector &detector)
{
    const WorkGrid grid = workGrid(spectrum, detector);
    std::vector<Peak> peaks = findPeaks(grid, snipBackground(grid, detector), detector);
    for (Peak &p : peaks)
        p.netCounts *= grid.scale;
    return peaks;
}

} // namespace identify
