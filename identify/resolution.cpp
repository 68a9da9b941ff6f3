#include "resolution.h"

#include "model.h"
#include "peakfit.h"
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

} // namespace

std::optional<FwhmEstimate> estimateFwhm(const WorkGrid &grid, const std::vector<Peak> &peaks,
                                         xray::Material material, std::optional<double> beam_eV, bool electrons,
                                         double budget)
{
    double work = 0;
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
        find.limit = EstimateCandidates;
        double best = std::numeric_limits<double>::infinity(), bestFwhm = 0;
        for (const xray::Candidate &c : xray::findLines(p->energy_eV, reference, find).candidates) {
            if (c.kind == xray::CandidateKind::Sum || work > budget)
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
            if (lines.empty())
                continue;
            // The pattern with its position and width free to move, and a
            // usual tail beneath it: a calibration a few eV off, or a tail,
            // must not pass for a wider peak. Other peaks found in the
            // window (or a FWHM beyond it) that the pattern does not
            // explain are fitted with it, each a line of its own.
            std::vector<std::vector<GroupLine>> groups(1);
            for (const PatternLine &l : lines)
                groups.front().push_back({l.energy_eV, l.area, reference.fwhm(l.energy_eV)});
            for (const Peak &q : peaks) {
                if (&q == p || q.zero || std::fabs(q.energy_eV - p->energy_eV) > reach + reference.fwhm(q.energy_eV))
                    continue;
                const bool explained = std::any_of(lines.begin(), lines.end(), [&](const PatternLine &l) {
                    return std::fabs(l.energy_eV - q.energy_eV) < 0.5 * reference.fwhm(q.energy_eV);
                });
                if (!explained)
                    groups.push_back({{q.energy_eV, 1.0, reference.fwhm(q.energy_eV)}});
            }
            GroupFitOptions fit;
            fit.maxShift_eV = EstimateShift * reference.fwhm(p->energy_eV);
            fit.tail = UsualTail;
            // A fit takes some tens of trials of every line over the window.
            std::size_t count = 0;
            for (const std::vector<GroupLine> &g : groups)
                count += g.size() + 2;
            if (work + FitTrials * LineBinWork * (hi - lo + 1) * double(count) > budget)
                continue;
            const GroupFit result = fitGroups(grid, std::size_t(lo), std::size_t(hi), groups, fit);
            work += result.work;
            if (result.ok && result.chiSquare < best) {
                best = result.chiSquare;
                // The FWHM at Mn K-alpha that gives this width here.
                const double f = result.widthScale * reference.fwhm(p->energy_eV);
                const double noise2 = f * f - xray::Detector::FanoTerm_eV * p->energy_eV;
                bestFwhm = std::sqrt(std::max(0.0, noise2) + xray::Detector::FanoTerm_eV * xray::mnKalpha_eV());
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
