// The search's pruning: weakest first, an element whose lines the others
// explain as well goes. Each pass weighs every element; the last one's costs
// are the elements' significances.
#include "search.h"

#include "settings.h"

#include <algorithm>
#include <cmath>

namespace identify {

double Search::removalCost(int Z)
{
    // The elements its peaks touch fitted again without it; the others as
    // they are.
    std::vector<int> without;
    for (const int other : accepted_)
        if (other != Z)
            without.push_back(other);
    std::vector<int> free = overlapping(Z, accepted_);
    std::erase(free, Z);
    // Weighed with the noise where the model is without it.
    const std::vector<double> weights = robustWeights(spreadWithout(current_, positionsOf(ws_, current_, Z)));
    const Fit withZ = fitWith(accepted_, pileUpId_, true, {}, overlapping(Z, accepted_), &weights);
    return gainOver(weights, fitWith(without, pileUpId_, true, {}, free, &weights), withZ);
}

void Search::prune()
{
    while (work() < 2 * workBound(options_.maxWork)) {
        rises_.clear();
        for (const int Z : accepted_)
            if (std::find(options_.require.begin(), options_.require.end(), Z) == options_.require.end())
            {
            }
        const auto weakest = std::min_element(rises_.begin(), rises_.end(),
                                              [](const auto &a, const auto &b) { return a.second < b.second; });
        if (weakest == rises_.end()
            || weakest->second
                   >= AcceptChiSquare + PerAmplitudeChiSquare * double(patterns_.pattern(weakest->first).ids.size()))
            return;
        const int Z = weakest->first;
        std::vector<int> free = overlapping(Z, accepted_);
        std::erase(free, Z);
        std::erase(accepted_, Z);
        current_ = fitWith(accepted_, pileUpId_, true, {}, free);
    }
    rises_.clear();
}

double Search::ownShare(int Z) const
{
    const Model &model = ws_.model();
    double best = 0;
    for (const Cluster &c : clusters(ws_, current_, positionsOf(ws_, current_, Z))) {
        const double half = 0.5 * ws_.detector().fwhm(c.energy_eV);
        // A peak: one the peak search found there.
        if (std::none_of(found_eV_.begin(), found_eV_.end(), [&](double e) { return std::fabs(e - c.energy_eV) < half; }))
            continue;
        double own = 0, all = 0;
        for (std::size_t i = 0; i < current_.ids.size(); ++i) {
            if (!(current_.amplitudes[i] > 0))
                continue;
            const ModelColumn &col = model.column(current_.ids[i]);
            for (const ModelPart &part : col.parts) {
                if (part.kind == ModelPart::Kind::Step || part.kind == ModelPart::Kind::Zero)
                    continue;
                const double n = current_.amplitudes[i] * partAreaBetween(part, c.energy_eV - half, c.energy_eV + half);
                all += n;
                if (col.Z == Z && part.kind == ModelPart::Kind::Line)
                    own += n;
            }
        }
        if (all > 0)
            best = std::max(best, own / all);
    }
    return best;
}

bool Search::shadowed(int Z) const
{
    // Every peak the model draws that is not Z's (lines, escapes, sums, the
    // detector's own lines, the scattered tube), those closer than half a
    // FWHM together, with what the model may miss of it.
    struct Heap {
        double energy_eV, counts, doubt;
    };
    const Model &model = ws_.model();
    std::vector<Heap> parts;
    for (std::size_t i = 0; i < current_.ids.size(); ++i) {
        const ModelColumn &col = model.column(current_.ids[i]);
        if (!(current_.amplitudes[i] > 0) || col.Z == Z)
            continue;
        for (const ModelPart &p : col.parts) {
            double doubt = p.at() < Response::LowEnergyLimit_eV ? SoftShadow : Shadow;
            if (p.kind == ModelPart::Kind::Escape || p.kind == ModelPart::Kind::Sum
                || p.source != ModelPart::Source::Sample)
                doubt = ArtefactShadow;
            else if (p.kind != ModelPart::Kind::Line)
                continue;
            parts.push_back({p.at(), current_.amplitudes[i] * p.area, doubt});
        }
    }
    std::sort(parts.begin(), parts.end(), [](const Heap &a, const Heap &b) { return a.energy_eV < b.energy_eV; });
    std::vector<Heap> others;
    for (const Heap &p : parts) {
        if (!others.empty() && p.energy_eV - others.back().energy_eV < 0.5 * ws_.detector().fwhm(p.energy_eV)) {
            Heap &h = others.back();
            h.energy_eV = (h.energy_eV * h.counts + p.energy_eV * p.counts) / (h.counts + p.counts);
            h.doubt = (h.doubt * h.counts + p.doubt * p.counts) / (h.counts + p.counts);
            h.counts += p.counts;
        } else {
            others.push_back(p);
        }
    }
    const std::vector<Cluster> mine = clusters(ws_, current_, positionsOf(ws_, current_, Z));
    double most = 0;
    for (const Cluster &c : mine)
        most = std::max(most, c.counts);
    // Without a peak of its own, an element in the shadow of stronger peaks
    // is dropped whatever it holds there; with one, when it holds less than
    // what the model of them may miss. Its weak lines say nothing either way.
    const bool own = ownShare(Z) >= OwnShare;
    for (const Cluster &c : mine) {
        if (c.counts < ShadowWeakPeak * most)
            continue;
        const bool inShadow = std::any_of(others.begin(), others.end(), [&](const Heap &h) {
            const double w = ws_.detector().fwhm(h.energy_eV);
            return c.energy_eV >= h.energy_eV - ShadowBelow * w && c.energy_eV <= h.energy_eV + ShadowAbove * w
                   && c.counts < (own ? h.doubt * h.counts : h.counts);
        });
        if (!inShadow)
            return false;
    }
    return !mine.empty();
}

void Search::rejectShadowed()
{
    for (;;) {
        // In the shadow of stronger peaks; or without a peak of its own and
        // not even CertainSignificance standard deviations: all it shows is
        // in other elements' peaks, within what their shapes may hide.
        const auto drop = std::find_if(accepted_.begin(), accepted_.end(), [&](int Z) {
            if (std::find(options_.require.begin(), options_.require.end(), Z) != options_.require.end())
                return false;
            if (shadowed(Z))
                return true;
            return ownShare(Z) < OwnShare && removalCost(Z) < CertainSignificance * CertainSignificance;
        });
        if (drop == accepted_.end())
            return;
        const int Z = *drop;
        std::vector<int> free = overlapping(Z, accepted_);
        std::erase(free, Z);
        std::erase(accepted_, Z);
        rises_.clear();
        current_ = fitWith(accepted_, pileUpId_, true, {}, free);
    }
}

} // namespace identify
