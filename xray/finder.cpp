#include "finder.h"

#include "edges.h"
#include "elements.h"
#include "lines.h"
#include "sums.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>

namespace xray {

namespace {

// The fluorescence yield of the main shell of the line's family (K, L3,
// M5): weighs lines of different families against each other.
double familyYield(const Line &line)
{
    constexpr Shell main[] = {Shell::K, Shell::L3, Shell::M5};
    const Edge *edge = findEdge(line.Z, main[static_cast<int>(line.family)]);
    return edge ? edge->fluorescenceYield : 0.0;
}

bool better(const Candidate &a, const Candidate &b)
{
    if (a.near != b.near)
        return a.near;
    if (a.score != b.score)
        return a.score > b.score;
    const double da = std::abs(a.delta_eV), db = std::abs(b.delta_eV);
    if (da != db)
        return da < db;
    if (a.kind != b.kind)
        return a.kind < b.kind;
    if (a.line->Z != b.line->Z)
        return a.line->Z < b.line->Z;
    if (a.line != b.line)
        return a.line < b.line; // the table's order: by energy within an element
    if (a.second != b.second)
        return a.second < b.second;
    return a.escape < b.escape;
}

// True when a and b lie closer than `fwhms` times the detector's FWHM at
// the higher of the two.
bool closer(double a, double b, double fwhms, const Detector &detector)
{
    const double d = a - b;
    return d * d < fwhms * fwhms * detector.fwhmSquared(std::max(a, b));
}

// The confirming lines of candidates, with what does not depend on the
// candidate worked out once per element: the lines strong enough, excited
// and within the range, strongest first, one for each peak they make.
class ConfirmCache {
public:
    ConfirmCache(const Detector &detector, const FindOptions &options) : detector_(detector), options_(options)
    {
        first_.fill(-1);
    }

    std::vector<const Line *> confirming(const Candidate &candidate)
    {
        const int Z1 = candidate.line->Z;
        const int Z2 = candidate.second && candidate.second->Z != Z1 ? candidate.second->Z : 0;
        prepare(Z1);
        if (Z2)
            prepare(Z2);
        const std::span<const Ranked> a = eligible(Z1);
        const std::span<const Ranked> b = Z2 ? eligible(Z2) : std::span<const Ranked>();
        std::vector<const Line *> confirm;
        confirm.reserve(a.size() + b.size());
        // Both lists strongest first: merge them.
        std::size_t i = 0, j = 0;
        while (i < a.size() || j < b.size()) {
            const bool fromA = j == b.size() || (i < a.size() && !(b[j] < a[i]));
            const Line *line = fromA ? a[i++].line : b[j++].line;
            if (candidate.kind == CandidateKind::Line && line == candidate.line)
                continue;
            // A line within one FWHM of the candidate makes no peak of its own.
            if (!closer(line->energy_eV, candidate.energy_eV, 1.0, detector_))
                confirm.push_back(line);
        }
        return confirm;
    }

private:
    struct Ranked {
        double weight;
        const Line *line;
        // Stronger first, then lower energy, then lower Z.
        bool operator<(const Ranked &o) const
        {
            if (weight != o.weight)
                return weight > o.weight;
            if (line->energy_eV != o.line->energy_eV)
                return line->energy_eV < o.line->energy_eV;
            return line->Z < o.line->Z;
        }
    };

    // Works out element Z's eligible lines once; spans from eligible() stay
    // valid only until the next call.
    void prepare(int Z)
    {
        if (first_[std::size_t(Z)] < 0) {
            first_[std::size_t(Z)] = int(lines_.size());
            for (const Line &line : linesOf(Z))
                if (line.relative >= options_.confirmMinRelative && isExcited(line, options_.beam_eV)
                    && line.energy_eV >= options_.rangeMin_eV && line.energy_eV <= options_.rangeMax_eV)
                    lines_.push_back({line.relative * familyYield(line), &line});
            const auto first = lines_.begin() + first_[std::size_t(Z)];
            std::sort(first, lines_.end());
            // Lines closer together than half the FWHM make one peak: the
            // strongest of them stands for all.
            auto kept = first;
            for (auto it = first; it != lines_.end(); ++it) {
                const bool merged = std::any_of(first, kept, [&](const Ranked &k) {
                    return closer(k.line->energy_eV, it->line->energy_eV, 0.5, detector_);
                });
                if (!merged)
                    *kept++ = *it;
            }
            lines_.erase(kept, lines_.end());
            count_[std::size_t(Z)] = int(lines_.size()) - first_[std::size_t(Z)];
        }
    }

    std::span<const Ranked> eligible(int Z) const
    {
        return std::span<const Ranked>(lines_).subspan(std::size_t(first_[std::size_t(Z)]),
                                                       std::size_t(count_[std::size_t(Z)]));
    }

    const Detector &detector_;
    const FindOptions &options_;
    std::array<int, LastLineZ + 1> first_;
    std::array<int, LastLineZ + 1> count_{};
    std::vector<Ranked> lines_;
};

} // namespace

double peakShape(double delta_eV, double fwhm_eV)
{
    const double x = delta_eV / fwhm_eV;
    return std::exp(-4.0 * std::numbers::ln2 * x * x);
}

FindResult findLines(double energy_eV, const Detector &detector, const FindOptions &options)
{
    FindResult result;
    std::vector<Candidate> &found = result.candidates;
    if (!std::isfinite(energy_eV) || energy_eV <= 0)
        return result;
    const double fwhm = detector.fwhm(energy_eV);
    const double tolerance = options.tolerance_eV.value_or(fwhm);
    if (!(tolerance > 0) || !(fwhm > 0))
        return result;
    std::array<bool, LastLineZ + 1> known{};
    for (const int Z : options.elements)
        if (hasLines(Z))
            known[std::size_t(Z)] = true;
    const auto add = [&](CandidateKind kind, double energy, double size, const Line &line) -> Candidate & {
        const double delta = energy - energy_eV;
        found.push_back({.kind = kind, .energy_eV = energy, .delta_eV = delta,
                         .score = size * peakShape(delta, fwhm), .line = &line, .known = known[line.Z],
                         .near = known[line.Z] && 2 * std::abs(delta) <= fwhm});
        return found.back();
    };

    for (const Line &line : linesBetween(energy_eV - tolerance, energy_eV + tolerance))
        if (isExcited(line, options.beam_eV))
            add(CandidateKind::Line, line.energy_eV, line.relative, line);

    for (const EscapeLine &escape : detector.escapeLines()) {
        const double parentAt = energy_eV + escape.energy_eV;
        for (const Line &parent : linesBetween(parentAt - tolerance, parentAt + tolerance)) {
            if (parent.energy_eV <= escape.kEdge_eV || !isExcited(parent, options.beam_eV))
                continue;
            const double fraction = detector.escapeFraction(escape, parent.energy_eV);
            Candidate &c = add(CandidateKind::Escape, parent.energy_eV - escape.energy_eV,
                               parent.relative * fraction, parent);
            c.escape = &escape;
            c.fraction = fraction;
        }
    }

    if (!options.elements.empty()) {
        const std::vector<const Line *> strong =
            sumLines(options.elements, options.beam_eV, options.sumMinRelative);
        for (std::size_t i = 0; i < strong.size(); ++i) {
            const double a = strong[i]->energy_eV;
            // Partners at or above this line, summing to within the tolerance.
            const auto first = std::lower_bound(
                strong.begin() + i, strong.end(), energy_eV - tolerance - a,
                [](const Line *l, double e) { return l->energy_eV < e; });
            for (auto j = first; j != strong.end() && a + (*j)->energy_eV <= energy_eV + tolerance; ++j) {
                // Both lines are of known elements.
                const SumPeak sum = sumOf(*strong[i], **j);
                add(CandidateKind::Sum, sum.energy_eV, sum.relative, *sum.first).second = sum.second;
            }
        }
    }

    result.withinTolerance = found.size();
    if (options.limit != 0 && options.limit < found.size()) {
        std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(options.limit), found.end(), better);
        found.resize(options.limit);
    } else {
        std::sort(found.begin(), found.end(), better);
    }
    ConfirmCache cache(detector, options);
    for (Candidate &c : found)
        c.confirm = cache.confirming(c);
    return result;
}

std::vector<const Line *> confirmingLines(const Candidate &candidate, const Detector &detector,
                                          const FindOptions &options)
{
    ConfirmCache cache(detector, options);
    return cache.confirming(candidate);
}

} // namespace xray
