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

std::optional<std::size_t> Search::pileUpColumn(const Fit &fit)
{
    const Model &model = ws_.model();
    const WorkGrid &grid = ws_.grid();
    // The lines as fitted, with their counts.
    std::vector<CountedPart> lines;
    double most = 0;
    for (std::size_t i = 0; i < fit.ids.size(); ++i) {
        const ModelColumn &c = model.column(fit.ids[i]);
        if (c.Z <= 0)
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
        }
    if (column.parts.empty())
        return std::nullopt;
    return ws_.add(std::move(column));
}

bool Search::tryPileUp(const ResidualPeak &target)
{
    const std::optional<std::size_t> column = pileUpColumn(current_);
    if (!column)
        return false;
    Fit f = fitWith(accepted_, column, false);
    const std::size_t position = 0;
    const double share = f.amplitudes[position];
    if (!(share > 0) || share > MaxPileUp || current_.chiSquare - f.chiSquare < AcceptSums)
        return false;
    std::vector<double> others(ws_.grid().size(), 0.0);
    for (std::size_t i = 0; i < f.ids.size(); ++i)
        if (i != position)
            ws_.model().addValues(f.ids[i], f.amplitudes[i], others);
    const Check c = check(ws_, f, {position}, target.energy_eV, others);
    if (c.explained < ExplainShare || !c.missing.empty())
        return false;
    pileUpId_ = column;
    current_ = std::move(f);
    return true;
}

void Search::tryWeakSums()
{
    // Sum peaks too weak to stand out one by one may still be there
    // together: the one amplitude that predicts them all, if it helps by
    // three standard deviations and is plausible.
    if (const auto column = pileUpColumn(current_)) {
        Fit f = fitWith(accepted_, column);
        const double share = f.amplitudes.front();
        if (share > 0 && share <= MaxPileUp && current_.chiSquare - f.chiSquare >= AcceptSums) {
            pileUpId_ = column;
            current_ = std::move(f);
        }
    }
}

void Search::redoSums()
{
    // The sum peaks as the final elements make them.
    if (const auto column = pileUpColumn(current_)) {
        pileUpId_ = column;
        current_ = fitWith(accepted_, pileUpId_);
    }
}

} // namespace identify
