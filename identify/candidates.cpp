// The search's candidates for a peak: the elements with a line there, each
// tested quickly against what the model leaves, the best few fitted again
// with everything accepted, and the best of those accepted.
#include "search.h"

#include "checks.h"
#include "settings.h"

#include "xray/elements.h"
#include "xray/finder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace identify {

namespace {

std::string keVText(double energy_eV)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f keV", energy_eV / 1000);
    return text;
}

std::string lineName(const xray::Line &line)
{
    return std::string(line.siegbahn().empty() ? line.iupac() : line.siegbahn());
}

std::string symbol(int Z) { return std::string(xray::elementSymbol(Z)); }

} // namespace

bool Search::tryElements(const ResidualPeak &target, std::string &why)
{
    const std::vector<double> model = ws_.model().values(current_.ids, current_.amplitudes);
    std::vector<Quick> passed;
    std::vector<std::string> refused;
    for (const int Z : candidatesAt(target))
        if (std::optional<Quick> quick = quickTest(Z, target, model, refused))
            passed.push_back(*quick);
    std::sort(passed.begin(), passed.end(), [](const Quick &a, const Quick &b) { return a.gain > b.gain; });
    if (passed.size() > JointRefits)
        passed.resize(JointRefits);

    // The best few, fitted again together with everything accepted.
    std::vector<Candidate> good;
    for (const Quick &q : passed)
        if (std::optional<Candidate> candidate = refit(q, target, refused))
            good.push_back(std::move(*candidate));
    if (good.empty()) {
        why = refused.empty() ? std::string("no element has a line there that fits")
                              : "tried " + [&] {
                                    std::string list;
                                    for (std::size_t i = 0; i < refused.size() && i < MaxTriedNamed; ++i)
                                        list += (i ? ", " : "") + refused[i];
                                    return list;
                                }();
        return false;
    }
    const auto best = std::max_element(good.begin(), good.end(),
                                       [](const Candidate &a, const Candidate &b) { return a.gain < b.gain; });
    accept(good, *best, refused, target);
    return true;
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
            || std::find(options_.exclude.begin(), options_.exclude.end(), Z) != options_.exclude.end())
            continue;
        zs.push_back(Z);
    }
    return zs;
}

std::optional<Search::Quick> Search::quickTest(int Z, const ResidualPeak &target, const std::vector<double> &model,
                                               std::vector<std::string> &refused)
{
    Model &m = ws_.model();
    const ElementPattern &pattern = patterns_.pattern(Z);
    if (pattern.ids.empty())
        return std::nullopt;
    // Its amplitudes alone against the residual, on the normal equations.
    const std::size_t k = pattern.ids.size();
    SquareMatrix G(k);
    std::vector<double> g(k);
    for (std::size_t i = 0; i < k; ++i) {
        g[i] = m.gy(pattern.ids[i]);
        for (std::size_t j = 0; j < current_.ids.size(); ++j)
            if (current_.amplitudes[j] != 0)
                g[i] -= current_.amplitudes[j] * m.gram(pattern.ids[i], current_.ids[j]);
        for (std::size_t j = 0; j <= i; ++j)
            G(i, j) = G(j, i) = m.gram(pattern.ids[i], pattern.ids[j]);
    }
    const std::vector<Tie> ties = tiesOf(pattern, accepted_);
    const std::vector<double> a = tiedLeastSquares(G, g, ties, &m.workCounter());
    double gain = 0;
    for (std::size_t i = 0; i < k; ++i) {
        gain += 2 * a[i] * g[i];
        for (std::size_t j = 0; j < k; ++j)
            gain -= a[i] * a[j] * G(i, j);
    }
    const double needed = acceptance(ws_, pattern) + PerAmplitudeChiSquare * double(k);
    if (gain < needed)
        return std::nullopt; // explains nothing worth naming
    Fit alone{pattern.ids, ties, a, 0};
    std::vector<std::size_t> all(k);
    for (std::size_t i = 0; i < k; ++i)
        all[i] = i;
    if (const auto why = refusal(Z, check(ws_, alone, all, target.energy_eV, model))) {
        refused.push_back(*why);
        return std::nullopt;
    }
    return Quick{Z, gain};
}

std::optional<Search::Candidate> Search::refit(const Quick &q, const ResidualPeak &target,
                                               std::vector<std::string> &refused)
{
    std::vector<int> with = accepted_;
    with.push_back(q.Z);
    const ElementPattern &pattern = patterns_.pattern(q.Z);
    Fit f = fitWith(with, pileUpId_, false, stepsNear(ws_, pattern), overlapping(q.Z, with));
    const double gain = current_.chiSquare - f.chiSquare;
    const std::size_t columns = pattern.ids.size();
    if (gain < acceptance(ws_, pattern) + PerAmplitudeChiSquare * double(columns)) {
        refused.push_back(symbol(q.Z) + " (the elements found explain it as well)");
        return std::nullopt;
    }
    const std::vector<std::size_t> mine = positionsOf(ws_, f, q.Z);
    std::vector<double> others(ws_.grid().size(), 0.0);
    for (std::size_t i = 0; i < f.ids.size(); ++i)
        if (std::find(mine.begin(), mine.end(), i) == mine.end())
            ws_.model().addValues(f.ids[i], f.amplitudes[i], others);
    if (const auto why = refusal(q.Z, check(ws_, f, mine, target.energy_eV, others))) {
        refused.push_back(*why);
        return std::nullopt;
    }
    return Candidate{q.Z, gain, std::move(f)};
}

void Search::accept(const std::vector<Candidate> &good, const Candidate &best, const std::vector<std::string> &refused,
                    const ResidualPeak &target)
{
    // Why this one: the peak, its line there, and the others.
    const Fit &f = best.fit;
    const std::vector<Cluster> lines = clusters(ws_, f, positionsOf(ws_, f, best.Z));
    const Cluster *at = nullptr;
    for (const Cluster &c : lines)
        if (!at || std::fabs(c.energy_eV - target.energy_eV) < std::fabs(at->energy_eV - target.energy_eV))
            at = &c;
    std::string reason = "the peak at " + keVText(target.energy_eV);
    if (at && at->strongest)
        reason += " is its " + lineName(*at->strongest);
    std::vector<std::string> partners;
    for (const Cluster &c : lines)
        if (&c != at && c.strongest && c.counts >= PartnerShare * (at ? at->counts : 0.0)
            && partners.size() < MaxPartnersNamed)
            partners.push_back(lineName(*c.strongest) + " at " + keVText(c.energy_eV));
    if (!partners.empty()) {
        reason += ", with ";
        for (std::size_t i = 0; i < partners.size(); ++i)
            reason += (i ? (i + 1 == partners.size() ? " and " : ", ") : "") + partners[i];
    }
    std::vector<std::string> rivals;
    for (const Candidate &c : good)
        if (&c != &best)
            rivals.push_back(symbol(c.Z) + " (fits less well)");
    rivals.insert(rivals.end(), refused.begin(), refused.end());
    if (!rivals.empty()) {
        reason += "; rather than ";
        for (std::size_t i = 0; i < rivals.size() && i < MaxRivalsNamed; ++i)
            reason += (i ? ", " : "") + rivals[i];
    }
    found_.reasons[best.Z] = reason;
    found_.uncontested[best.Z] = good.size() == 1;
    accepted_.push_back(best.Z);
    current_ = best.fit;
}

} // namespace identify
