#include "search.h"

#include "checks.h"
#include "scatter.h"
#include "settings.h"

#include "xray/elements.h"

#include <algorithm>
#include <cmath>

namespace identify {

Search::Search(const WorkGrid &grid, const std::vector<double> &background, const xray::Detector &detector,
               std::optional<double> beam_eV, const IdentifyOptions &options, const std::vector<Peak> &peaks,
               bool electrons, const Response &response)
    : ws_(grid, background, detector, detector, beam_eV, electrons, peaks, response, options.tube.value_or(0),
          FitWorkShare * workBound(options.maxWork)),
      patterns_(ws_), options_(options)
{
    for (const Peak &p : peaks)
        if (!p.zero)
            found_eV_.push_back(p.energy_eV);
}

void Search::run()
{
    for (const int Z : options_.require)
        if (xray::hasLines(Z) && std::find(accepted_.begin(), accepted_.end(), Z) == accepted_.end()) {
            accepted_.push_back(Z);
            found_.reasons[Z] = ElementReason{.kind = ElementReason::Kind::Required};
        }
    current_ = fitWith(accepted_, std::nullopt);
    if (!options_.searchElements)
        return;
    std::vector<double> tried; // energies of peaks nothing explained
    // Every acceptance explains at least one peak. The bounds keep the work
    // bounded on spectra unlike any an instrument makes (a smooth curve
    // read as a spectrum takes element after element).
    for (int round = 0;; ++round) {
        if (round == MaxRounds || accepted_.size() >= MaxElements || work() > workBound(options_.maxWork)) {
            found_.notes.push_back({Note::Kind::Stopped,
                                    "stopped after " + std::to_string(accepted_.size()) + " elements and "
                                        + std::to_string(round)
                                        + " peaks tried: the spectrum is not one this method can take apart",
                                    int(accepted_.size()), round});
            break;
        }
        const std::vector<ResidualPeak> peaks = residualPeaks(ws_, current_);
        const ResidualPeak *target = nullptr;
        for (const ResidualPeak &p : peaks) {
            const bool done = std::any_of(tried.begin(), tried.end(), [&](double e) {
                return std::fabs(e - p.energy_eV) < 0.5 * ws_.detector().fwhm(p.energy_eV);
            });
            if (!done) {
                target = &p;
                break;
            }
        }
        if (!target)
            break;
        if (std::optional<PeakReason> why = take(*target)) {
            tried.push_back(target->energy_eV);
            found_.unexplained.emplace_back(target->energy_eV, std::move(*why));
        }
    }
    prune();
    rejectShadowed();
    if (!pileUpId_ && !accepted_.empty())
        tryWeakSums();
    if (pileUpId_)
        redoSums();
}

std::optional<PeakReason> Search::take(const ResidualPeak &target)
{
    // Sum peaks first: groups of them are wider than one line.
    if (!accepted_.empty() && tryPileUp(target))
        return std::nullopt;
    if (std::optional<PeakReason> why = scatteredBeam(ws_, target.energy_eV))
        return why;
    if (!lineLike(ws_, current_, target))
        return PeakReason{.kind = PeakReason::Kind::TooWide};
    return tryElements(target);
}

std::vector<FittedGroup> Search::fittedGroups() const
{
    std::vector<FittedGroup> out;
    for (std::size_t i = 0; i < current_.ids.size(); ++i) {
        const ModelColumn &c = ws_.model().column(current_.ids[i]);
        if (!c.sample() || !(current_.amplitudes[i] > 0))
            continue;
        FittedGroup g;
        double area = 0;
        for (const ModelPart &p : c.parts)
            if (p.kind == ModelPart::Kind::Line) {
                g.lines.push_back({p.energy_eV, p.area, p.fwhm_eV});
                area += p.area;
            }
        g.counts = current_.amplitudes[i] * area;
        out.push_back(std::move(g));
    }
    return out;
}

std::vector<double> Search::robustWeights(const Fit &base) const
{
    return robustWeights(ws_.model().spreadValues(base.ids, base.amplitudes));
}

std::vector<double> Search::robustWeights(const std::vector<double> &spread) const
{
    std::vector<double> w(ws_.grid().size(), 0.0);
    for (std::size_t i = 0; i < w.size(); ++i)
        if (ws_.filter().fits(i) && ws_.sigma()[i] > 0) {
            const double n = ws_.noise(i, spread[i]);
            w[i] = 1 / (n * n * ws_.filter().correlation(i));
        }
    return w;
}

double Search::gainOver(const Fit &base, const Fit &with, double from_eV, double to_eV) const
{
    return gainOver(robustWeights(base), base, with, from_eV, to_eV);
}

double Search::gainOver(const std::vector<double> &w, const Fit &base, const Fit &with, double from_eV,
                        double to_eV) const
{
    const std::vector<double> mb = ws_.model().values(base.ids, base.amplitudes);
    const std::vector<double> mw = ws_.model().values(with.ids, with.amplitudes);
    const std::vector<double> &y = ws_.model().data();
    double gain = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const double e = ws_.grid().energy(double(i));
        if (e >= from_eV && e <= to_eV)
            gain += w[i] * ((y[i] - mb[i]) * (y[i] - mb[i]) - (y[i] - mw[i]) * (y[i] - mw[i]));
    }
    return gain;
}

std::vector<double> Search::spreadWithout(const Fit &fit, const std::vector<std::size_t> &skip) const
{
    std::vector<double> spread(ws_.grid().size(), 0.0);
    for (std::size_t i = 0; i < fit.ids.size(); ++i)
        if (std::find(skip.begin(), skip.end(), i) == skip.end())
            ws_.model().addSpread(fit.ids[i], fit.amplitudes[i], spread);
    return spread;
}

std::vector<Tie> Search::tiesOf(const ElementPattern &pattern, const std::vector<int> &sample)
{
    const bool accepted = std::find(accepted_.begin(), accepted_.end(), pattern.Z) != accepted_.end();
    return patterns_.tiesIn(pattern, sample, accepted);
}

Fit Search::fitWith(const std::vector<int> &elements, std::optional<std::size_t> pileUp, bool freeExtras,
                    const std::vector<std::size_t> &freeSteps, const std::optional<std::vector<int>> &freeElements,
                    const std::vector<double> *weights)
{
    Model &model = ws_.model();
    Fit f;
    std::vector<std::size_t> held;
    std::vector<double> heldAmplitudes;
    const auto hold = [&](std::size_t id) {
        held.push_back(id);
        heldAmplitudes.push_back(0.0);
        for (std::size_t i = 0; i < current_.ids.size(); ++i)
            if (current_.ids[i] == id)
                heldAmplitudes.back() = current_.amplitudes[i];
    };
    if (pileUp)
        f.ids.push_back(*pileUp);
    for (const int Z : elements) {
        const ElementPattern &pattern = patterns_.pattern(Z);
        if (freeElements && std::find(freeElements->begin(), freeElements->end(), Z) == freeElements->end()) {
            for (const std::size_t id : pattern.ids)
                hold(id);
            continue;
        }
        const std::size_t base = f.ids.size();
        f.ids.insert(f.ids.end(), pattern.ids.begin(), pattern.ids.end());
        for (const Tie &t : tiesOf(pattern, elements))
            f.ties.push_back({base + t.column, base + t.parent, t.low, t.high});
    }
    // Extras fitted with the rest, or held as they are (taken from the data
    // before): all, or all but the steps named.
    // Bounded ones (the detector's own lines) are always fitted.
    const std::vector<std::size_t> &steps = ws_.steps();
    for (const std::size_t id : ws_.extras()) {
        const bool step = std::find(steps.begin(), steps.end(), id) != steps.end();
        const std::optional<double> most = ws_.bound(id);
        if (freeExtras || most || std::find(freeSteps.begin(), freeSteps.end(), id) != freeSteps.end()) {
            if (step)
                f.ties.push_back({f.ids.size(), Tie::Bound, 0.0, StepCap});
            if (most)
                f.ties.push_back({f.ids.size(), Tie::Bound, 0.0, *most});
            f.ids.push_back(id);
            continue;
        }
        hold(id);
    }
    if (weights)
        f.amplitudes = model.fitWeighted(f.ids, f.ties, held, heldAmplitudes, *weights);
    else
        f.amplitudes = held.empty() ? model.fit(f.ids, f.ties) : model.fitAround(f.ids, f.ties, held, heldAmplitudes);
    f.ids.insert(f.ids.end(), held.begin(), held.end());
    f.amplitudes.insert(f.amplitudes.end(), heldAmplitudes.begin(), heldAmplitudes.end());
    f.chiSquare = model.chiSquare(f.ids, f.amplitudes);
    return f;
}

std::vector<int> Search::overlapping(int Z, const std::vector<int> &elements)
{
    const Model &model = ws_.model();
    std::vector<int> out = {Z};
    const ElementPattern &mine = patterns_.pattern(Z);
    for (const int other : elements) {
        if (other == Z)
            continue;
        const ElementPattern &theirs = patterns_.pattern(other);
        const bool touches = std::any_of(mine.ids.begin(), mine.ids.end(), [&](std::size_t a) {
            const ModelColumn &ca = model.column(a);
            return std::any_of(theirs.ids.begin(), theirs.ids.end(), [&](std::size_t b) {
                const ModelColumn &cb = model.column(b);
                return ca.first < cb.first + cb.values.size() && cb.first < ca.first + ca.values.size();
            });
        });
        if (touches)
            out.push_back(other);
    }
    return out;
}

Identification Search::finish(const std::vector<Peak> &peaks)
{
    // Each element's significance: how much chi-square rises without it (as
    // pruning last measured it).
    for (const int Z : accepted_) {
        const auto known = rises_.find(Z);
        found_.significance[Z] = std::sqrt(std::max(0.0, known != rises_.end() ? known->second : removalCost(Z)));
    }
    found_.fit = current_;
    found_.accepted = accepted_;
    return explain(ws_, found_, peaks, options_);
}

} // namespace identify
