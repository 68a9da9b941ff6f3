// The search's candidates for a peak: the elements with a line there, each
// tested quickly against what the model leaves, the best few fitted again
// with everything accepted, and the best of those accepted.
#include "search.h"

#include "checks.h"
#include "settings.h"

#include "xray/finder.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace identify {

namespace {

// The first `most` of a list.
std::vector<Rival> first(const std::vector<Rival> &rivals, std::size_t most)
{
    return {rivals.begin(), rivals.begin() + std::ptrdiff_t(std::min(most, rivals.size()))};
}

} // namespace

std::optional<PeakReason> Search::tryElements(const ResidualPeak &target)
{
    const std::vector<double> model = ws_.model().values(current_.ids, current_.amplitudes);
    const std::vector<double> weights = robustWeights(current_);
    const std::vector<double> spread = ws_.model().spreadValues(current_.ids, current_.amplitudes);
    std::vector<Quick> passed;
    std::vector<Rival> refused;
    for (const int Z : candidatesAt(target)) {
        if (work() > workBound(options_.maxWork))
            break; // the search stops at the next round; the candidates' patterns cost work too
        if (std::optional<Quick> quick = quickTest(Z, target, model, weights, spread, refused))
            passed.push_back(*quick);
    }
    std::sort(passed.begin(), passed.end(), [](const Quick &a, const Quick &b) { return a.gain > b.gain; });
    if (passed.size() > JointRefits)
        passed.resize(JointRefits);

    // The best few, fitted again together with everything accepted.
    std::vector<Candidate> good;
    for (const Quick &q : passed)
        if (std::optional<Candidate> candidate = refit(q, target, refused))
            good.push_back(std::move(*candidate));
    if (good.empty()) {
        if (refused.empty())
            return PeakReason{.kind = PeakReason::Kind::NoLineFits};
        return PeakReason{.kind = PeakReason::Kind::Refused, .rivals = first(refused, MaxTriedNamed)};
    }
    // The one that explains the peak best; of those that do nearly as well
    // (LocalTie), the one that explains more of the peaks left unexplained
    // (one element for several peaks is the simpler explanation), then the
    // one with fewer columns (not the one whose other lines take up scraps
    // of residual under other elements' peaks).
    double bestLocal = 0;
    for (const Candidate &c : good)
        bestLocal = std::max(bestLocal, c.local);
    const std::vector<ResidualPeak> left = residualPeaks(ws_, current_);
    std::map<int, int> explains;
    for (const Candidate &c : good)
        explains[c.Z] = peaksExplained(c, left);
    const auto best = std::max_element(good.begin(), good.end(), [&](const Candidate &a, const Candidate &b) {
        const bool aNear = a.local >= (1 - LocalTie) * bestLocal, bNear = b.local >= (1 - LocalTie) * bestLocal;
        if (aNear != bNear)
            return bNear;
        if (explains[a.Z] != explains[b.Z])
            return explains[a.Z] < explains[b.Z];
        if (a.columns != b.columns)
            return a.columns > b.columns;
        return a.local < b.local;
    });
    accept(good, *best, refused, target);
    return std::nullopt;
}

int Search::peaksExplained(const Candidate &candidate, const std::vector<ResidualPeak> &peaks) const
{
    const std::vector<Cluster> lines = clusters(ws_, candidate.fit, positionsOf(ws_, candidate.fit, candidate.Z));
    int count = 0;
    for (const ResidualPeak &p : peaks) {
        const double half = 0.5 * ws_.detector().fwhm(p.energy_eV);
        count += std::any_of(lines.begin(), lines.end(), [&](const Cluster &c) {
            return std::fabs(c.energy_eV - p.energy_eV) < half && c.counts >= ExplainShare * p.netCounts;
        });
    }
    return count;
}

std::vector<int> Search::candidatesAt(const ResidualPeak &target) const
{
    xray::FindOptions find;
    find.tolerance_eV = CandidateTolerance * ws_.detector().fwhm(target.energy_eV);
    find.beam_eV = ws_.beam();
    std::vector<int> zs;
    for (const xray::Candidate &c : xray::findLines(target.energy_eV, ws_.detector(), find).candidates) {
        const int Z = c.line->Z;
        if (c.kind != xray::CandidateKind::Line || c.line->relative < MinCandidateRelative
            || std::find(zs.begin(), zs.end(), Z) != zs.end()
            || std::find(accepted_.begin(), accepted_.end(), Z) != accepted_.end()
            || std::find(options_.exclude.begin(), options_.exclude.end(), Z) != options_.exclude.end()
            || (rareElement(Z) && std::find(options_.allow.begin(), options_.allow.end(), Z) == options_.allow.end()))
            continue;
        zs.push_back(Z);
        if (zs.size() >= MaxCandidates)
            break;
    }
    return zs;
}

std::optional<Search::Quick> Search::quickTest(int Z, const ResidualPeak &target, const std::vector<double> &model,
                                               const std::vector<double> &weights, const std::vector<double> &spread,
                                               std::vector<Rival> &refused)
{
    Model &m = ws_.model();
    const ElementPattern &pattern = patterns_.pattern(Z);
    if (pattern.ids.empty())
        return std::nullopt;
    // Its amplitudes alone against the residual, on the normal equations,
    // weighed by the noise where the model is (robustWeights).
    const std::vector<double> &y = m.data();
    const std::size_t k = pattern.ids.size();
    SquareMatrix G(k);
    std::vector<double> g(k);
    for (std::size_t i = 0; i < k; ++i) {
        const ModelColumn &ci = m.column(pattern.ids[i]);
        for (std::size_t b = 0; b < ci.values.size(); ++b) {
            const std::size_t bin = ci.first + b;
            g[i] += weights[bin] * ci.values[b] * (y[bin] - model[bin]);
        }
        for (std::size_t j = 0; j <= i; ++j) {
            const ModelColumn &cj = m.column(pattern.ids[j]);
            const std::size_t from = std::max(ci.first, cj.first);
            const std::size_t to = std::min(ci.first + ci.values.size(), cj.first + cj.values.size());
            double sum = 0;
            for (std::size_t bin = from; bin < to; ++bin)
                sum += weights[bin] * ci.values[bin - ci.first] * cj.values[bin - cj.first];
            G(i, j) = G(j, i) = sum;
            m.workCounter() += double(to > from ? to - from : 0);
        }
    }
    const std::vector<Tie> ties = tiesOf(pattern, accepted_);
    const std::vector<double> a = tiedLeastSquares(G, g, ties, &m.workCounter());
    double gain = 0;
    for (std::size_t i = 0; i < k; ++i) {
        gain += 2 * a[i] * g[i];
        for (std::size_t j = 0; j < k; ++j)
            gain -= a[i] * a[j] * G(i, j);
    }
    const double needed = acceptance(ws_, pattern, target.energy_eV) + PerAmplitudeChiSquare * double(k);
    if (gain < needed)
        return std::nullopt; // explains nothing worth naming
    Fit alone{pattern.ids, ties, a, 0};
    std::vector<std::size_t> all(k);
    for (std::size_t i = 0; i < k; ++i)
        all[i] = i;
    if (const auto why = refusal(Z, check(ws_, alone, all, target.energy_eV, model, spread))) {
        refused.push_back(*why);
        return std::nullopt;
    }
    return Quick{Z, gain};
}

std::optional<Search::Candidate> Search::refit(const Quick &q, const ResidualPeak &target,
                                               std::vector<Rival> &refused)
{
    std::vector<int> with = accepted_;
    with.push_back(q.Z);
    const ElementPattern &pattern = patterns_.pattern(q.Z);
    // Fitted and weighed with the noise where the model is now.
    // Fitted and weighed with the noise where the model is now, against the
    // elements accepted fitted alike: what it brings, not what the new
    // weights bring.
    const std::vector<double> weights = robustWeights(current_);
    const std::vector<std::size_t> steps = stepsNear(ws_, pattern);
    std::vector<int> free = overlapping(q.Z, with);
    Fit f = fitWith(with, pileUpId_, false, steps, free, &weights);
    std::erase(free, q.Z);
    const Fit base = fitWith(accepted_, pileUpId_, false, steps, free, &weights);
    const double gain = gainOver(weights, base, f);
    const std::size_t columns = pattern.ids.size();
    if (gain < acceptance(ws_, pattern, target.energy_eV) + PerAmplitudeChiSquare * double(columns)) {
        refused.push_back({Rival::Kind::ExplainedAlready, q.Z, {}});
        return std::nullopt;
    }
    const std::vector<std::size_t> mine = positionsOf(ws_, f, q.Z);
    std::vector<double> others(ws_.grid().size(), 0.0);
    for (std::size_t i = 0; i < f.ids.size(); ++i)
        if (std::find(mine.begin(), mine.end(), i) == mine.end())
            ws_.model().addValues(f.ids[i], f.amplitudes[i], others);
    Check c = check(ws_, f, mine, target.energy_eV, others, spreadWithout(f, mine));
    // With the elements it overlaps fitted again beside it, the share of
    // the peak it explains is what the refit takes away of the residual
    // there: the others' shares move too.
    const std::size_t t = ws_.binOf(target.energy_eV);
    const double before = ws_.model().data()[t] - ws_.model().values(base.ids, base.amplitudes)[t];
    const double after = ws_.model().data()[t] - ws_.model().values(f.ids, f.amplitudes)[t];
    if (before > 0)
        c.explained = std::max(c.explained, (before - after) / before);
    // ... or, where the others' large peaks make that share a poor measure,
    // a gain around the peak that would be enough on its own.
    const double width = ws_.detector().fwhm(target.energy_eV);
    const double local = gainOver(weights, base, f, target.energy_eV - width, target.energy_eV + width);
    if (local >= acceptance(ws_, pattern, target.energy_eV) + PerAmplitudeChiSquare * double(columns))
        c.explained = std::max(c.explained, ExplainShare);
    if (const auto why = refusal(q.Z, c)) {
        refused.push_back(*why);
        return std::nullopt;
    }
    // Taken, it is fitted with the model's own (Poisson) weights: the
    // robust ones judge a candidate, but would let a large peak's amplitude
    // drift where its own uncertainty makes its bins weigh little.
    Fit kept = fitWith(with, pileUpId_, false, stepsNear(ws_, pattern), overlapping(q.Z, with));
    return Candidate{q.Z, gain, std::move(kept), columns, local};
}

void Search::accept(const std::vector<Candidate> &good, const Candidate &best, const std::vector<Rival> &refused,
                    const ResidualPeak &target)
{
    // Why this one: the peak, its line there, and the others.
    ElementReason reason{.kind = ElementReason::Kind::Explains, .peak_eV = target.energy_eV};
    const Fit &f = best.fit;
    const std::vector<Cluster> lines = clusters(ws_, f, positionsOf(ws_, f, best.Z));
    const Cluster *at = nullptr;
    for (const Cluster &c : lines)
        if (!at || std::fabs(c.energy_eV - target.energy_eV) < std::fabs(at->energy_eV - target.energy_eV))
            at = &c;
    if (at)
        reason.line = at->strongest;
    for (const Cluster &c : lines)
        if (&c != at && c.strongest && c.counts >= PartnerShare * (at ? at->counts : 0.0)
            && reason.partners.size() < MaxPartnersNamed)
            reason.partners.push_back({c.strongest, c.energy_eV});
    std::vector<Rival> rivals;
    for (const Candidate &c : good)
        if (&c != &best)
            rivals.push_back({Rival::Kind::FitsLessWell, c.Z, {}});
    rivals.insert(rivals.end(), refused.begin(), refused.end());
    reason.rivals = first(rivals, MaxRivalsNamed);
    found_.reasons[best.Z] = std::move(reason);
    found_.uncontested[best.Z] = good.size() == 1;
    accepted_.push_back(best.Z);
    current_ = best.fit;
}

} // namespace identify
