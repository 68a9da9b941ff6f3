#include "tophat.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace identify {

namespace {

const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

double normalCdf(double x) { return 0.5 * std::erfc(-x / std::numbers::sqrt2); }

// Running sums: sums[k] = v[0] + ... + v[k-1].
std::vector<double> runningSums(const std::vector<double> &v)
{
    std::vector<double> sums(v.size() + 1, 0.0);
    for (std::size_t i = 0; i < v.size(); ++i)
        sums[i + 1] = sums[i] + v[i];
    return sums;
}

// The correlation factor for a filter of central half-width a and side
// width s and a Gaussian of FWHM w bins: (T'F F'T) / (sum of squared
// weights x T'T) for the filtered Gaussian T (see TopHat::correlation).
double correlationFactor(int a, int s, double w)
{
    const int reach = a + s;
    const int n = 2 * (reach + int(std::ceil(3 * w)) + 1) + 1;
    const int centre = n / 2;
    const double sigma = w / FwhmPerSigma;
    const auto weight = [&](int j) {
        if (j < -reach || j > reach)
            return 0.0;
        return std::abs(j) <= a ? 1.0 / (2 * a + 1) : -1.0 / (2 * s);
    };
    std::vector<double> T(static_cast<std::size_t>(n)), FT(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i)
        T[std::size_t(i)] = std::exp(-0.5 * ((i - centre) / sigma) * ((i - centre) / sigma));
    double sw2 = 0;
    for (int j = -reach; j <= reach; ++j)
        sw2 += weight(j) * weight(j);
    for (int i = 0; i < n; ++i)
        for (int j = -reach; j <= reach; ++j)
            if (i + j >= 0 && i + j < n)
                FT[std::size_t(i)] += weight(j) * T[std::size_t(i + j)];
    double num = 0, den = 0;
    for (int k = 0; k < n; ++k) {
        double g = 0;
        for (int j = -reach; j <= reach; ++j)
            if (k - j >= 0 && k - j < n)
                g += FT[std::size_t(k - j)] * weight(j);
        num += g * g;
        den += FT[std::size_t(k)] * FT[std::size_t(k)];
    }
    return den > 0 ? std::max(1.0, num / (sw2 * den)) : 1.0;
}

} // namespace

TopHat::TopHat(const WorkGrid &grid, const xray::Detector &detector)
{
    const std::size_t n = grid.size();
    half_.resize(n);
    side_.resize(n);
    fwhm_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = detector.fwhm(std::max(0.0, grid.energy(double(i)))) / grid.gain_eV;
        fwhm_[i] = w;
        // Large enough for any grid (at most MaxWorkBins) and never overflowing.
        const double h = std::clamp(std::round((w - 1) / 2), 0.0, double(MaxWorkBins));
        half_[i] = int(h);
        side_[i] = std::max(1, int(std::round((2 * h + 1) / 2)));
    }
    // The correlation factor depends only on the windows (for a peak as
    // wide as the central window): work it out once for each.
    thread_local std::map<std::pair<int, int>, double> known;
    correlation_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::pair<int, int> key{half_[i], side_[i]};
        auto found = known.find(key);
        if (found == known.end())
            found = known.emplace(key, correlationFactor(half_[i], side_[i], 2.0 * half_[i] + 1)).first;
        correlation_[i] = found->second;
    }
}


double TopHat::correlation(std::size_t i) const { return correlation_[i]; }

std::vector<double> TopHat::applyLocal(const std::vector<double> &values, std::size_t first,
                                       std::size_t &outFirst) const
{
    return local(values, first, outFirst, -1.0);
}

std::vector<double> TopHat::spreadLocal(const std::vector<double> &values, std::size_t first,
                                        std::size_t &outFirst) const
{
    return local(values, first, outFirst, 1.0);
}

std::vector<double> TopHat::local(const std::vector<double> &values, std::size_t first, std::size_t &outFirst,
                                  double sideSign) const
{
    std::vector<double> filtered, spread;
    applyAndSpreadLocal(values, first, filtered, spread, outFirst);
    if (sideSign > 0)
        return spread;
    return filtered;
}

void TopHat::applyAndSpreadLocal(const std::vector<double> &values, std::size_t first, std::vector<double> &filtered,
                                 std::vector<double> &spread, std::size_t &outFirst) const
{
    filtered.clear();
    spread.clear();
    const std::size_t n = half_.size();
    if (values.empty() || n == 0) {
        outFirst = 0;
        return;
    }
    // Every output bin whose windows can reach the signal.
    std::size_t reach = 0;
    for (std::size_t i = first; i < first + values.size() && i < n; ++i)
        reach = std::max(reach, std::size_t(half_[i] + side_[i]));
    reach = 2 * reach + 2; // widths grow with energy: leave room
    const std::size_t lo = first > reach ? first - reach : 0;
    const std::size_t hi = std::min(n, first + values.size() + reach);
    // Running sums of the signal over lo .. hi.
    std::vector<double> sums(hi - lo + 1, 0.0);
    for (std::size_t i = lo; i < hi; ++i) {
        const double v = i >= first && i < first + values.size() ? values[i - first] : 0.0;
        sums[i - lo + 1] = sums[i - lo] + v;
    }
    const auto sumTo = [&](std::size_t bin) { // sum of bins lo .. bin - 1, clamped
        return sums[std::min(std::max(bin, lo), hi) - lo];
    };
    filtered.assign(hi - lo, 0.0);
    spread.assign(hi - lo, 0.0);
    for (std::size_t i = lo; i < hi; ++i) {
        const std::size_t a = std::size_t(half_[i]), w = std::size_t(side_[i]);
        if (i < a + w || i + a + w >= n)
            continue; // the windows do not fit (fits(i))
        const double nc = double(2 * a + 1), ns = double(w);
        const std::size_t c0 = i - a, c1 = i + a + 1, l0 = c0 - w, r1 = c1 + w;
        const double centre = sumTo(c1) - sumTo(c0);
        const double sides = (sumTo(c0) - sumTo(l0)) + (sumTo(r1) - sumTo(c1));
        filtered[i - lo] = centre / nc - sides / (2 * ns);
        spread[i - lo] = centre / nc + sides / (2 * ns);
    }
    outFirst = lo;
}

bool TopHat::fits(std::size_t i) const
{
    const std::size_t reach = std::size_t(half_[i] + side_[i]);
    return i >= reach && i + reach < half_.size();
}

TopHat::Output TopHat::apply(const std::vector<double> &signal, const std::vector<double> &variance) const
{
    const std::size_t n = half_.size();
    Output out{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
    const std::vector<double> s = runningSums(signal), v = runningSums(variance);
    for (std::size_t i = 0; i < n; ++i) {
        if (!fits(i))
            continue;
        const std::size_t a = std::size_t(half_[i]), w = std::size_t(side_[i]);
        const double nc = double(2 * a + 1), ns = double(w);
        const std::size_t c0 = i - a, c1 = i + a + 1, l0 = c0 - w, r1 = c1 + w;
        const double centre = s[c1] - s[c0], sides = (s[c0] - s[l0]) + (s[r1] - s[c1]);
        const double vCentre = v[c1] - v[c0], vSides = (v[c0] - v[l0]) + (v[r1] - v[c1]);
        out.value[i] = centre / nc - sides / (2 * ns);
        out.sigma[i] = std::sqrt(std::max(0.0, vCentre / (nc * nc) + vSides / (4 * ns * ns)));
    }
    return out;
}

std::vector<double> TopHat::spread(const std::vector<double> &signal) const
{
    const std::size_t n = half_.size();
    std::vector<double> out(n, 0.0);
    const std::vector<double> s = runningSums(signal);
    for (std::size_t i = 0; i < n && i < signal.size(); ++i) {
        if (!fits(i))
            continue;
        const std::size_t a = std::size_t(half_[i]), w = std::size_t(side_[i]);
        const double nc = double(2 * a + 1), ns = double(w);
        const std::size_t c0 = i - a, c1 = i + a + 1, l0 = c0 - w, r1 = c1 + w;
        out[i] = (s[c1] - s[c0]) / nc + ((s[c0] - s[l0]) + (s[r1] - s[c1])) / (2 * ns);
    }
    return out;
}

double TopHat::response(std::size_t i) const
{
    const double sigma = fwhm_[i] / FwhmPerSigma;
    const double a = half_[i] + 0.5, w = side_[i];
    const double centre = normalCdf(a / sigma) - normalCdf(-a / sigma);
    const double oneSide = normalCdf((a + w) / sigma) - normalCdf(a / sigma);
    return centre / (2 * half_[i] + 1) - oneSide / w;
}

std::vector<double> poissonVariance(const std::vector<double> &counts)
{
    std::vector<double> v(counts.size());
    std::transform(counts.begin(), counts.end(), v.begin(), [](double c) { return std::max(c, 1.0); });
    return v;
}

} // namespace identify
