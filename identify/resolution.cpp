#include "resolution.h"

#include "minimise.h"
#include "model.h"
#include "settings.h"

#include "xray/excitation.h"
#include "xray/finder.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace identify {

namespace {

struct PatternLine {
    double energy_eV;
    double area;
};

// Chi-square of the best fit of amplitude x pattern + a + b x over the
// window's bins, the amplitude not below 0.
double patternChiSquare(const WorkGrid &grid, std::size_t b0, std::size_t b1, const std::vector<PatternLine> &lines,
                        const xray::Detector &detector)
{
    const double centre = grid.energy(0.5 * double(b0 + b1));
    std::vector<double> pattern(b1 - b0 + 1, 0.0);
    for (const PatternLine &l : lines)
        addGaussian(pattern.data(), pattern.size(), grid.energy(double(b0)), grid.gain_eV, l.energy_eV,
                    detector.fwhm(l.energy_eV), l.area);
    // Sums for the normal equations of (pattern, 1, x).
    double s[3][3] = {}, t[3] = {}, yy = 0;
    for (std::size_t i = b0; i <= b1; ++i) {
        const double e = grid.energy(double(i));
        const double v[3] = {pattern[i - b0], 1.0, (e - centre) / 1000};
        const double w = 1.0 / std::max(grid.counts[i], 1.0), y = grid.counts[i];
        for (int r = 0; r < 3; ++r) {
            t[r] += w * v[r] * y;
            for (int c = 0; c < 3; ++c)
                s[r][c] += w * v[r] * v[c];
        }
        yy += w * y * y;
    }
    // Solve by Cramer's rule; without the pattern when its amplitude is negative.
    const auto det3 = [](const double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
               + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double d = det3(s);
    double x[3] = {0, 0, 0};
    if (std::fabs(d) > 0) {
        for (int k = 0; k < 3; ++k) {
            double m[3][3];
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    m[r][c] = c == k ? t[r] : s[r][c];
            x[k] = det3(m) / d;
        }
    }
    if (!(x[0] > 0)) {
        x[0] = 0;
        const double d2 = s[1][1] * s[2][2] - s[1][2] * s[2][1];
        if (std::fabs(d2) > 0) {
            x[1] = (t[1] * s[2][2] - s[1][2] * t[2]) / d2;
            x[2] = (s[1][1] * t[2] - t[1] * s[2][1]) / d2;
        }
    }
    double chi = yy;
    for (int r = 0; r < 3; ++r) {
        chi -= 2 * x[r] * t[r];
        for (int c = 0; c < 3; ++c)
            chi += x[r] * x[c] * s[r][c];
    }
    return chi;
}

} // namespace

std::optional<FwhmEstimate> estimateFwhm(const WorkGrid &grid, const std::vector<Peak> &peaks,
                                         xray::Material material, std::optional<double> beam_eV, bool electrons)
{
    const double usual = xray::defaultFwhm(material);
    const xray::Detector reference(material, usual);
    std::vector<const Peak *> strong;
    for (const Peak &p : peaks)
        if (!p.zero && p.significance >= 25 && p.energy_eV >= 1000 && p.energy_eV <= 20000)
            strong.push_back(&p);
    std::sort(strong.begin(), strong.end(),
              [](const Peak *a, const Peak *b) { return a->significance > b->significance; });
    if (strong.size() > 5)
        strong.resize(5);
    std::vector<std::pair<double, double>> estimates; // FWHM, weight
    for (const Peak *p : strong) {
        const double reach = 2.5 * reference.fwhm(p->energy_eV);
        const double n = double(grid.size());
        const double lo = std::clamp(std::ceil(grid.bin(p->energy_eV - reach)), 0.0, n - 1);
        const double hi = std::clamp(std::floor(grid.bin(p->energy_eV + reach)), 0.0, n - 1);
        if (hi - lo < 6)
            continue;
        xray::FindOptions find;
        find.tolerance_eV = 0.5 * reference.fwhm(p->energy_eV);
        find.beam_eV = beam_eV;
        find.limit = 10;
        double best = std::numeric_limits<double>::infinity(), bestFwhm = 0;
        for (const xray::Candidate &c : xray::findLines(p->energy_eV, reference, find).candidates) {
            if (c.kind == xray::CandidateKind::Sum)
                continue;
            // The candidate's family near the peak, shifted for an escape.
            const double shift = c.kind == xray::CandidateKind::Escape ? c.line->energy_eV - c.energy_eV : 0.0;
            // Lines up to three FWHM beyond the window too: their tails reach in.
            const double wider = reach + 3 * reference.fwhm(p->energy_eV);
            std::vector<PatternLine> lines;
            for (const xray::Line &l : xray::linesOf(c.line->Z))
                if (l.family == c.line->family && l.relative >= 0.01 && xray::isExcited(l, beam_eV)
                    && std::fabs(l.energy_eV - shift - p->energy_eV) <= wider)
                    lines.push_back({l.energy_eV - shift,
                                     beam_eV && electrons ? xray::electronLineYield(l, *beam_eV) : l.relative});
            // Every other peak in the window must be one of the pattern's:
            // a peak it cannot explain would widen the fit.
            const bool alone = std::all_of(peaks.begin(), peaks.end(), [&](const Peak &q) {
                if (&q == p || q.zero || std::fabs(q.energy_eV - p->energy_eV) > wider)
                    return true;
                return std::any_of(lines.begin(), lines.end(), [&](const PatternLine &l) {
                    return std::fabs(l.energy_eV - q.energy_eV) < 0.5 * reference.fwhm(q.energy_eV);
                });
            });
            if (lines.empty() || !alone)
                continue;
            const auto chi = [&](double f) {
                return patternChiSquare(grid, std::size_t(lo), std::size_t(hi), lines, xray::Detector(material, f));
            };
            const double f = goldenSectionMinimum(chi, 0.6 * usual, 1.8 * usual, 0.005 * usual);
            const double value = chi(f);
            if (value < best) {
                best = value;
                bestFwhm = f;
            }
        }
        // A peak no candidate fits closely is a blend of lines of several
        // elements: it says nothing about the resolution.
        if (bestFwhm > 0 && best <= MaxReducedChiSquare * (hi - lo - 2))
            estimates.push_back({bestFwhm, p->significance * p->significance});
    }
    if (estimates.empty())
        return std::nullopt;
    // The median weighted by the square of significance: a peak's width is
    // known about as well as its significance squared.
    std::sort(estimates.begin(), estimates.end());
    double total = 0;
    for (const auto &e : estimates)
        total += e.second;
    double sum = 0;
    for (const auto &[fwhm, weight] : estimates) {
        sum += weight;
        if (sum >= total / 2)
            return FwhmEstimate{fwhm, int(estimates.size())};
    }
    return FwhmEstimate{estimates.back().first, int(estimates.size())};
}

} // namespace identify
