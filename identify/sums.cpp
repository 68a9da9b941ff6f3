// The search's sum peaks: two photons counted as one. The elements found
// make them whenever the count rate is high, so one column holds the sums
// of every pair of the fit's lines, drawn by their counts, and one
// amplitude, the share of events that are pairs, predicts them all.
#include "search.h"

#include "checks.h"
#include "settings.h"

#include <algorithm>
#include <cmath>

namespace identify {

std::optional<std::size_t> Search::pileUpColumn(const Fit &fit, double share)
{
    const Model &model = ws_.model();
    const WorkGrid &grid = ws_.grid();
    // The lines as fitted, with their counts.
    std::vector<CountedPart> lines;
    double most = 0;
    for (std::size_t i = 0; i < fit.ids.size(); ++i) {
        const ModelColumn &c = model.column(fit.ids[i]);
        if (!c.sample())
            continue;
        for (const ModelPart &p : c.parts)
            if (p.kind == ModelPart::Kind::Line && fit.amplitudes[i] > 0) {
                lines.push_back({&p, fit.amplitudes[i] * p.area});
                most = std::max(most, lines.back().counts);
            }
    }
    std::erase_if(lines, [&](const CountedPart &c) { return c.counts < MinSumLineShare * most; });
    const double total = ws_.total();
    if (lines.empty() || !(total > 0))
        return std::nullopt;
    // Per unit of the pile-up share: pairs drawn by their counts.
    ModelColumn column;
    const double high = grid.energy(double(grid.size()) - 1);
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t j = i; j < lines.size(); ++j) {
            const ModelPart &a = *lines[i].part, &b = *lines[j].part;
            const double energy = a.energy_eV + b.energy_eV;
            const double counts = lines[i].counts * lines[j].counts / total * (i == j ? 1 : 2);
            if (energy > high || !(counts > 0))
                continue;
            const bool ordered = a.energy_eV <= b.energy_eV;
            column.parts.push_back({ModelPart::Kind::Sum, ordered ? a.line : b.line, ordered ? b.line : a.line,
                                    nullptr, energy, std::hypot(a.fwhm_eV, b.fwhm_eV), counts});
            ws_.shape(column.parts.back());
        }
    // Three photons in one pulse: about the share squared, so with the
    // share last fitted as a factor the column stays linear in the share.
    if (share > 0) {
        std::vector<CountedPart> strong = lines;
        std::erase_if(strong, [&](const CountedPart &c) { return c.counts < MinTripleLineShare * most; });
        for (std::size_t i = 0; i < strong.size(); ++i)
            for (std::size_t j = i; j < strong.size(); ++j)
                for (std::size_t k = j; k < strong.size(); ++k) {
                    const ModelPart &a = *strong[i].part, &b = *strong[j].part, &c = *strong[k].part;
                    const double energy = a.energy_eV + b.energy_eV + c.energy_eV;
                    const double ways = i == j && j == k ? 1 : (i == j || j == k ? 3 : 6);
                    const double counts =
                        share * strong[i].counts * strong[j].counts * strong[k].counts / (total * total) * ways;
                    if (energy > high || !(counts > 0))
                        continue;
                    column.parts.push_back({ModelPart::Kind::Sum, a.line, b.line, nullptr, energy,
                                            std::hypot(a.fwhm_eV, b.fwhm_eV, c.fwhm_eV), counts});
                    ws_.shape(column.parts.back());
                }
    }
    if (column.parts.empty())
        return std::nullopt;
    return ws_.add(std::move(column));
}

bool Search::tryPileUp(const ResidualPeak &target)
{
    std::optional<std::size_t> column = pileUpColumn(current_);
    if (!column)
        return false;
    const std::vector<double> weights = robustWeights(current_);
    const Fit base = fitWith(accepted_, pileUpId_, false, {}, std::nullopt, &weights);
    Fit f = fitWith(accepted_, column, false, {}, std::nullopt, &weights);
    const std::size_t position = 0;
    double share = f.amplitudes[position];
    // Again with the sums of three at the share found, when they fit better.
    if (share > 0 && share <= MaxPileUp)
        if (const auto triples = pileUpColumn(current_, share)) {
            Fit g = fitWith(accepted_, triples, false, {}, std::nullopt, &weights);
            if (gainOver(weights, f, g) > 0) {
                column = triples;
                f = std::move(g);
                share = f.amplitudes[position];
            }
        }
    if (!(share > 0) || share > MaxPileUp || gainOver(weights, base, f) < AcceptSums)
        return false;
    std::vector<double> others(ws_.grid().size(), 0.0);
    for (std::size_t i = 0; i < f.ids.size(); ++i)
        if (i != position)
            ws_.model().addValues(f.ids[i], f.amplitudes[i], others);
    const Check c = check(ws_, f, {position}, target.energy_eV, others, spreadWithout(f, {position}));
    if (c.explained < ExplainShare || !c.missing.empty())
        return false;
    pileUpId_ = column;
    current_ = fitWith(accepted_, column, false);
    return true;
}

void Search::tryWeakSums()
{
    // Sum peaks too weak to stand out one by one may still be there
    // together: the one amplitude that predicts them all, if it helps by
    // three standard deviations and is plausible.
    if (const auto column = pileUpColumn(current_)) {
        const std::vector<double> weights = robustWeights(current_);
        const Fit base = fitWith(accepted_, std::nullopt, true, {}, std::nullopt, &weights);
        Fit f = fitWith(accepted_, column, true, {}, std::nullopt, &weights);
        const double share = f.amplitudes.front();
        if (share > 0 && share <= MaxPileUp && gainOver(weights, base, f) >= AcceptSums) {
            pileUpId_ = column;
            current_ = fitWith(accepted_, column);
        }
    }
}

void Search::redoSums()
{
    // The sum peaks as the final elements make them, with the sums of three
    // the share makes.
    const double share =
        !current_.ids.empty() && current_.ids.front() == *pileUpId_ ? current_.amplitudes.front() : 0.0;
    if (const auto column = pileUpColumn(current_, share)) {
        pileUpId_ = column;
        current_ = fitWith(accepted_, pileUpId_);
    }
}

} // namespace identify
