#include "refineresponse.h"

#include "settings.h"

#include <algorithm>
#include <cmath>

namespace identify {

namespace {

struct Point {
    double energy_eV;
    double value;
    double error;
};

// Weighted least squares of value against powers of E (keV) up to `degree`.
bool polynomial(const std::vector<Point> &points, int degree, double c[3], double &chi)
{
    double m[3][3] = {}, v[3] = {};
    for (const Point &p : points) {
        const double x = p.energy_eV / 1000, w = 1 / (p.error * p.error);
        const double f[3] = {1, x, x * x};
        for (int a = 0; a <= degree; ++a) {
            v[a] += w * f[a] * p.value;
            for (int b = 0; b <= degree; ++b)
                m[a][b] += w * f[a] * f[b];
        }
    }
    // What calibrations are off by, as a prior that the peaks must outweigh
    // (a ridge: each term drawn towards 0 by its spread).
    const double spread[3] = {CalibrationOffsetSpread_eV, CalibrationGainSpread_eV, CalibrationQuadraticSpread_eV};
    for (int a = 0; a <= degree; ++a)
        m[a][a] += 1 / (spread[a] * spread[a]);
    // Gaussian elimination on (degree + 1) unknowns.
    const int n = degree + 1;
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col]))
                pivot = r;
        if (!(std::fabs(m[pivot][col]) > 1e-300))
            return false;
        std::swap(m[col], m[pivot]);
        std::swap(v[col], v[pivot]);
        for (int r = col + 1; r < n; ++r) {
            const double f = m[r][col] / m[col][col];
            for (int k = col; k < n; ++k)
                m[r][k] -= f * m[col][k];
            v[r] -= f * v[col];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = v[r];
        for (int k = r + 1; k < n; ++k)
            s -= m[r][k] * c[k];
        c[r] = s / m[r][r];
    }
    for (int k = n; k < 3; ++k)
        c[k] = 0;
    chi = 0;
    for (const Point &p : points) {
        const double x = p.energy_eV / 1000;
        const double d = (p.value - (c[0] + c[1] * x + c[2] * x * x)) / p.error;
        chi += d * d;
    }
    return true;
}

} // namespace

RefinedResponse refineResponse(const WorkGrid &grid, const std::vector<FittedGroup> &groups,
                               const xray::Detector &detector, const Response &start, bool refineWidth, double budget)
{
    double work = 0;
    RefinedResponse out;
    out.response = start;
    const double muMn = detector.massAttenuation(xray::mnKalpha_eV());
    std::vector<Point> shifts, noise, tails, soft;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const FittedGroup &group = groups[g];
        if (group.counts < MinRefineCounts || group.lines.empty() || work > budget)
            continue;
        double most = 0, area = 0, weighted = 0;
        for (const GroupLine &l : group.lines) {
            most = std::max(most, l.area);
            area += l.area;
            weighted += l.area * l.energy_eV;
        }
        double low = 1e300, high = -1e300;
        for (const GroupLine &l : group.lines)
            if (l.area >= 0.01 * most) {
                low = std::min(low, l.energy_eV);
                high = std::max(high, l.energy_eV);
            }
        const double energy = weighted / area;
        const double fwhm = detector.fwhm(energy);
        if (energy < 250)
            continue;
        const double from = low - 3 * fwhm, to = high + 2.5 * fwhm;
        // The other groups with lines in the window are fitted with it.
        std::vector<std::vector<GroupLine>> window{group.lines};
        for (std::size_t h = 0; h < groups.size(); ++h) {
            if (h == g)
                continue;
            const bool inside = std::any_of(groups[h].lines.begin(), groups[h].lines.end(), [&](const GroupLine &l) {
                return l.energy_eV > from - fwhm && l.energy_eV < to + fwhm;
            });
            if (inside)
                window.push_back(groups[h].lines);
        }
        if (window.size() > MaxRefineGroups)
            continue;
        const double n = double(grid.size());
        const double b0 = std::clamp(std::ceil(grid.bin(from)), 0.0, n - 1);
        const double b1 = std::clamp(std::floor(grid.bin(to)), 0.0, n - 1);
        if (b1 - b0 < 10)
            continue;
        GroupFitOptions options;
        options.maxShift_eV = std::max(MinRefineShift_eV, RefineShift * fwhm);
        const bool hard = energy >= 1000;
        options.fitWidth = refineWidth && hard;
        options.fitTail = group.counts >= MinTailCounts;
        options.tail = tailShare(start, energy, detector.massAttenuation(std::max(1000.0, energy)), muMn);
        options.tailSlope = start.tailSlope;
        // The lines where the start put them: the fit measures what is left.
        for (std::vector<GroupLine> &lines : window)
            for (GroupLine &l : lines)
                l.energy_eV += start.shift(l.energy_eV);
        std::size_t count = 0;
        for (const std::vector<GroupLine> &g : window)
            count += g.size() + 2;
        if (work + FitTrials * LineBinWork * (b1 - b0 + 1) * double(count) > budget)
            continue;
        const GroupFit fit = fitGroups(grid, std::size_t(b0), std::size_t(b1), window, options);
        work += fit.work;
        if (!fit.ok || fit.counts <= 0 || fit.chiSquare > MaxRefineReducedChiSquare * std::max(1, fit.degrees))
            continue;
        // A peak much wider or narrower than the resolution says is a blend
        // of lines the model does not hold, or not what it was named:
        // it measures nothing.
        if (std::fabs(fit.widthScale - 1) > MaxWidthChange)
            continue;
        ++out.peaks;
        shifts.push_back({energy, start.shift(energy) + fit.shift_eV, std::hypot(fit.shiftError_eV, PositionFloor_eV)});
        if (options.fitWidth && fit.widthScaleError > 0) {
            const double f = fit.widthScale * fwhm;
            noise.push_back({energy, f * f - xray::Detector::FanoTerm_eV * energy,
                             std::max(2 * f * fit.widthScaleError * fwhm, 1.0)});
        }
        // The tails by the detector's attenuation (relative to Mn K-alpha's),
        // in the place of the energy.
        if (options.fitTail && fit.tailError > 0 && !hard)
            soft.push_back({energy, fit.tail, std::max(fit.tailError, 0.002)});
        else if (options.fitTail && fit.tailError > 0)
            tails.push_back({detector.massAttenuation(energy) / muMn, fit.tail, std::max(fit.tailError, 0.002)});
    }

    // The calibration: an offset from one peak, a gain from two a keV
    // apart, a quadratic term from three over 3 keV when it lowers
    // chi-square by nine (three standard deviations); from the peaks above
    // the low-energy limit, or from the lowest alone when there are none.
    std::vector<Point> low;
    std::vector<Point> high;
    for (const Point &p : shifts)
        (p.energy_eV < Response::LowEnergyLimit_eV ? low : high).push_back(p);
    if (high.empty() && !low.empty()) {
        const auto top = std::max_element(low.begin(), low.end(), [](const Point &a, const Point &b) {
            return a.energy_eV < b.energy_eV;
        });
        high.push_back(*top);
        low.erase(top);
    }
    // A peak whose position strays from the others' by more than
    // MaxShiftResidual standard deviations is a blend of lines the model
    // does not hold: left out, the worst first.
    for (;;) {
        if (high.size() < 3)
            break;
        double c[3] = {0, 0, 0}, chi = 0;
        if (!polynomial(high, 1, c, chi))
            break;
        std::size_t worst = high.size();
        double most = MaxShiftResidual;
        for (std::size_t i = 0; i < high.size(); ++i) {
            const double x = high[i].energy_eV / 1000;
            const double z = std::fabs(high[i].value - (c[0] + c[1] * x)) / high[i].error;
            if (z > most) {
                most = z;
                worst = i;
            }
        }
        if (worst == high.size())
            break;
        high.erase(high.begin() + std::ptrdiff_t(worst));
    }
    shifts = high;
    out.response.lowPoints = 0;
    if (!shifts.empty()) {
        double lo = 1e300, hi = -1e300;
        for (const Point &p : shifts) {
            lo = std::min(lo, p.energy_eV);
            hi = std::max(hi, p.energy_eV);
        }
        double c[3] = {0, 0, 0}, chi = 0;
        int degree = shifts.size() >= 2 && hi - lo >= GainSpan_eV ? 1 : 0;
        polynomial(shifts, degree, c, chi);
        if (shifts.size() >= 3 && hi - lo >= QuadraticSpan_eV) {
            double q[3], chiQ = 0;
            if (polynomial(shifts, 2, q, chiQ) && chi - chiQ >= QuadraticChiSquare) {
                std::copy(q, q + 3, c);
                out.quadratic = true;
            }
        }
        out.response.measuredFrom_eV = lo;
        out.response.shiftOffset_eV = c[0];
        out.response.shiftGain = c[1] / 1000;
        out.response.shiftQuadratic_eV = c[2];
        // A calibration that far off is no calibration error but peaks
        // named wrongly or blended: the start's is kept.
        const auto tooFar = [&](double e) {
            return std::fabs(out.response.linearShift(e)) > MaxCalibrationShift_eV + MaxCalibrationShift * e;
        };
        if (tooFar(lo) || tooFar(hi)) {
            out.response.measuredFrom_eV = start.measuredFrom_eV;
            out.response.shiftOffset_eV = start.shiftOffset_eV;
            out.response.shiftGain = start.shiftGain;
            out.response.shiftQuadratic_eV = start.shiftQuadratic_eV;
            out.quadratic = false;
            low.clear();
        }
        // Each low peak's own shift beyond that, by energy, at most
        // MaxLowShift either way; a few eV is within the noise of the
        // position and not kept.
        std::sort(low.begin(), low.end(), [](const Point &a, const Point &b) { return a.energy_eV < b.energy_eV; });
        for (const Point &p : low) {
            if (out.response.lowPoints == Response::MaxLowPoints)
                break;
            const double extra = p.value - out.response.linearShift(p.energy_eV);
            if (std::fabs(extra) < 3 * p.error)
                continue;
            out.response.lowEnergy_eV[out.response.lowPoints] = p.energy_eV;
            out.response.lowShift_eV[out.response.lowPoints] = std::clamp(extra, -MaxLowShift_eV, MaxLowShift_eV);
            ++out.response.lowPoints;
        }
    }
    // The resolution: the electronic noise's share of FWHM^2, from every
    // peak measured (the statistical share follows from the energy).
    if (!noise.empty()) {
        double sw = 0, s = 0;
        for (const Point &p : noise) {
            const double w = 1 / (p.error * p.error);
            sw += w;
            s += w * p.value;
        }
        const double n2 = std::max(0.0, s / sw);
        out.fwhmMnKa_eV = std::sqrt(n2 + xray::Detector::FanoTerm_eV * xray::mnKalpha_eV());
    }
    // The tail: its share at Mn K-alpha and its power of the attenuation,
    // the power measured only across a factor of two in attenuation.
    if (!tails.empty()) {
        double lo = 1e300, hi = 0;
        for (const Point &p : tails) {
            lo = std::min(lo, p.energy_eV);
            hi = std::max(hi, p.energy_eV);
        }
        const auto fitShare = [&](double power, double &chi) {
            double num = 0, den = 0;
            for (const Point &p : tails) {
                const double f = std::pow(p.energy_eV, power), w = 1 / (p.error * p.error);
                num += w * f * p.value;
                den += w * f * f;
            }
            const double a = den > 0 ? std::max(0.0, num / den) : 0.0;
            chi = 0;
            for (const Point &p : tails) {
                const double d = (p.value - a * std::pow(p.energy_eV, power)) / p.error;
                chi += d * d;
            }
            return a;
        };
        double power = start.tailPower, chi = 0;
        double share = fitShare(power, chi);
        if (hi / lo >= 2) {
            for (double k = 0; k <= 1.5001; k += 0.1) {
                double c = 0;
                const double a = fitShare(k, c);
                if (c < chi) {
                    chi = c;
                    share = a;
                    power = k;
                }
            }
        }
        out.response.tailRef = share;
        out.response.tailPower = power;
    }
    // The soft lines' tail: the mean of what their peaks measured.
    if (!soft.empty()) {
        double sw = 0, sum = 0;
        for (const Point &p : soft) {
            const double w = 1 / (p.error * p.error);
            sw += w;
            sum += w * p.value;
        }
        out.response.softTail = std::clamp(sum / sw, 0.0, MaxTail);
    }
    return out;
}

} // namespace identify
