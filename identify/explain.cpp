#include "explain.h"

#include "scatter.h"
#include "settings.h"

#include "xray/elements.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>

namespace identify {

namespace {

std::string symbol(int Z) { return std::string(xray::elementSymbol(Z)); }

// The peaks: those found, and residual peaks nothing explained that the
// search did not list (shoulders of larger peaks), by energy.
std::vector<Peak> allPeaks(const Workspace &ws, const Fit &fit, const std::vector<Peak> &peaks)
{
    std::vector<Peak> all = peaks;
    for (const ResidualPeak &r : residualPeaks(ws, fit)) {
        const bool listed = std::any_of(all.begin(), all.end(), [&](const Peak &p) {
            return std::fabs(p.energy_eV - r.energy_eV) < 0.5 * ws.detector().fwhm(r.energy_eV);
        });
        if (!listed)
            all.push_back({r.energy_eV, r.netCounts, 0, r.significance, false});
    }
    std::sort(all.begin(), all.end(), [](const Peak &a, const Peak &b) { return a.energy_eV < b.energy_eV; });
    return all;
}

// What each line, escape and sum of the fit puts between lo and hi eV, one
// entry for each; `modelled`: all of it.
std::vector<CountedPart> sharesBetween(const Workspace &ws, const Fit &f, double lo, double hi, double &modelled)
{
    std::vector<CountedPart> shares;
    modelled = 0;
    for (std::size_t i = 0; i < f.ids.size(); ++i) {
        if (!(f.amplitudes[i] > 0))
            continue;
        for (const ModelPart &part : ws.model().column(f.ids[i]).parts) {
            if (part.kind == ModelPart::Kind::Zero || part.kind == ModelPart::Kind::Step)
                continue;
            const double counts = f.amplitudes[i] * partAreaBetween(part, lo, hi);
            if (counts <= 0)
                continue;
            modelled += counts;
            const auto same = std::find_if(shares.begin(), shares.end(), [&](const CountedPart &s) {
                return s.part->kind == part.kind && s.part->line == part.line && s.part->second == part.second
                       && s.part->escape == part.escape && s.part->source == part.source;
            });
            if (same != shares.end())
                same->counts += counts;
            else
                shares.push_back({&part, counts});
        }
    }
    return shares;
}

// A step of the continuum at an edge of the window or the detector is no
// peak: the note that says so, when the steps make ExplainShare of what is
// observed at bin b.
std::optional<Note> windowEdge(const Workspace &ws, const Fit &f, std::size_t b, double observed, double energy_eV)
{
    double steps = 0, largest = 0;
    int stepZ = 0;
    for (std::size_t i = 0; i < f.ids.size(); ++i) {
        const ModelColumn &c = ws.model().column(f.ids[i]);
        if (c.Z < 0 && !c.internal && !c.scatter && b >= c.first && b < c.first + c.values.size()
            && f.amplitudes[i] > 0) {
            const double v = f.amplitudes[i] * c.values[b - c.first];
            steps += v;
            if (v > largest) {
                largest = v;
                stepZ = -c.Z;
            }
        }
    }
    if (!(observed > 0 && steps >= ExplainShare * observed))
        return std::nullopt;
    Note note{Note::Kind::WindowEdge, "the rise at " + keVText(energy_eV) + " is the continuum's step at the "
                                          + symbol(stepZ)
                                          + " absorption edge of the detector's window or crystal, not a peak"};
    note.energy_eV = energy_eV;
    note.Z = stepZ;
    return note;
}

// The share that names the peak. Lines of one group (K-alpha1 and 2,
// L-beta1, 2, 3...) count together: 2 x Ti Ka is Ka1 + Ka1 and Ka1 + Ka2
// alike. The group with the most counts wins, named by its strongest lines
// (Ka1) of those that put at least GroupLeadShare as much there as any of
// the group: a group can span more than a peak (Cu Lb1 at 0.95 keV, Lb3 and
// Lb4 at 1.02 keV), and the peak takes the name of what is in it.
std::vector<CountedPart>::const_iterator namingShare(const std::vector<CountedPart> &shares)
{
    const auto groupOf = [](const ModelPart &part) {
        const auto key = [](const xray::Line *l) {
            if (!l)
                return std::string();
            return std::to_string(l->Z) + std::string(xray::displayGroup(*l));
        };
        return std::to_string(int(part.kind)) + "." + std::to_string(int(part.source)) + key(part.line) + "/"
               + key(part.second) + "/"
               + (part.escape ? std::string(part.escape->iupac()) : std::string());
    };
    std::map<std::string, double> groups;
    for (const CountedPart &s : shares)
        groups[groupOf(*s.part)] += s.counts;
    const auto strength = [](const ModelPart &part) {
        return (part.line ? part.line->relative : 0.0) + (part.second ? part.second->relative : 0.0);
    };
    std::map<std::string, double> mostInGroup;
    for (const CountedPart &s : shares) {
        double &most = mostInGroup[groupOf(*s.part)];
        most = std::max(most, s.counts);
    }
    return std::max_element(shares.begin(), shares.end(), [&](const CountedPart &a, const CountedPart &b) {
        const std::string ka = groupOf(*a.part), kb = groupOf(*b.part);
        const double ga = groups[ka], gb = groups[kb];
        if (ga != gb)
            return ga < gb;
        const bool aIn = a.counts >= GroupLeadShare * mostInGroup[ka], bIn = b.counts >= GroupLeadShare * mostInGroup[kb];
        if (aIn != bIn)
            return bIn;
        if (strength(*a.part) != strength(*b.part))
            return strength(*a.part) < strength(*b.part);
        return a.counts < b.counts;
    });
}

// Why a peak the model does not explain is left so: what the search found
// when it tried the peak; else the scattered beam; else how little the
// elements found explain of it.
PeakReason unexplainedReason(const Workspace &ws, const Outcome &outcome, const Peak &p, bool anyShare)
{
    const double half = 0.5 * ws.detector().fwhm(p.energy_eV);
    std::optional<PeakReason> reason;
    for (const auto &[energy, why] : outcome.unexplained)
        if (std::fabs(energy - p.energy_eV) < half)
            reason = why;
    if (!reason)
        reason = scatteredBeam(ws, p.energy_eV);
    if (!reason)
        reason = PeakReason{.kind = anyShare ? PeakReason::Kind::PartlyExplained : PeakReason::Kind::NotExplained};
    return *reason;
}

Assignment assignmentOf(const ModelPart &part)
{
    Assignment a;
    a.line = part.line;
    a.second = part.second;
    a.escape = part.escape;
    switch (part.kind) {
    case ModelPart::Kind::Line:
        a.kind = AssignmentKind::Line;
        break;
    case ModelPart::Kind::Escape:
        a.kind = AssignmentKind::Escape;
        break;
    case ModelPart::Kind::Sum:
        a.kind = AssignmentKind::Sum;
        break;
    case ModelPart::Kind::Zero:
    case ModelPart::Kind::Step:
        a.kind = AssignmentKind::Zero;
        break;
    }
    return a;
}

// The largest share element Z has of what the model puts within half a
// FWHM of any of its peaks: 1 for a peak all its own.
double ownShare(const Workspace &ws, const Fit &f, int Z)
{
    double best = 0;
    for (const Cluster &c : clusters(ws, f, positionsOf(ws, f, Z))) {
        const double half = 0.5 * ws.detector().fwhm(c.energy_eV);
        double modelled = 0, own = 0;
        for (const CountedPart &s : sharesBetween(ws, f, c.energy_eV - half, c.energy_eV + half, modelled))
            if (s.part->kind == ModelPart::Kind::Line && s.part->source == ModelPart::Source::Sample
                && s.part->line && s.part->line->Z == Z)
                own += s.counts;
        if (modelled > 0)
            best = std::max(best, own / modelled);
    }
    return best;
}

// Certain needs a peak of its own; without one, an element is at most
// possible.
Confidence confidenceOf(double significance, int explains, bool alone, bool own)
{
    if (!own)
        return Confidence::Possible;
    if (significance >= CertainSignificance && (explains >= ConfirmingPeaks || alone))
        return Confidence::Certain;
    if (significance >= CertainSignificance || (significance >= ProbableSignificance && explains >= ConfirmingPeaks))
        return Confidence::Probable;
    return Confidence::Possible;
}

// The lines of each element that explain peaks, and how many peaks each
// element names.
struct Seen {
    std::map<int, std::vector<const xray::Line *>> lines;
    std::map<int, int> peaks;
};

IdentifiedElement describeElement(const Workspace &ws, int Z, const Outcome &outcome, const Seen &seen,
                                  const IdentifyOptions &options)
{
    IdentifiedElement e;
    e.Z = Z;
    e.required = std::find(options.require.begin(), options.require.end(), Z) != options.require.end();
    e.significance = outcome.significance.at(Z);
    const auto lines = seen.lines.find(Z);
    if (lines != seen.lines.end()) {
        e.lines = lines->second;
        std::sort(e.lines.begin(), e.lines.end(),
                  [](const xray::Line *a, const xray::Line *b) { return a->energy_eV < b->energy_eV; });
        e.lines.erase(std::unique(e.lines.begin(), e.lines.end()), e.lines.end());
    }
    const auto peaks = seen.peaks.find(Z);
    const int explains = peaks != seen.peaks.end() ? peaks->second : 0;
    const auto uncontested = outcome.uncontested.find(Z);
    const bool alone = uncontested != outcome.uncontested.end() && uncontested->second;
    // A peak of its own: one the peaks' list names after it, where it holds
    // OwnShare of what the model puts.
    const bool own = explains > 0 && ownShare(ws, outcome.fit, Z) >= OwnShare;
    e.confidence = confidenceOf(e.significance, explains, alone, own);
    const auto reason = outcome.reasons.find(Z);
    if (reason != outcome.reasons.end())
        e.reason = reason->second;
    if (e.required && e.significance < RequiredSeenSignificance)
        e.reason = ElementReason{.kind = ElementReason::Kind::RequiredUnseen};
    return e;
}

bool artefact(const PeakReason &reason)
{
    return reason.kind == PeakReason::Kind::Internal || reason.kind == PeakReason::Kind::TubeRayleigh
           || reason.kind == PeakReason::Kind::TubeCompton;
}

} // namespace

Identification explain(const Workspace &ws, const Outcome &outcome, const std::vector<Peak> &peaks,
                       const IdentifyOptions &options)
{
    Identification result;
    result.notes = outcome.notes;
    const Fit &f = outcome.fit;
    const std::vector<double> model = ws.model().values(f.ids, f.amplitudes);
    Seen seen;
    for (const Peak &p : allPeaks(ws, f, peaks)) {
        IdentifiedPeak out;
        out.peak = p;
        out.peak.netCounts *= ws.grid().scale;
        if (p.zero) {
            out.assignment.kind = AssignmentKind::Zero;
            out.explained = 1;
            result.peaks.push_back(out);
            continue;
        }
        const double half = 0.5 * ws.detector().fwhm(p.energy_eV);
        double modelled = 0;
        const std::vector<CountedPart> shares = sharesBetween(ws, f, p.energy_eV - half, p.energy_eV + half, modelled);
        const std::size_t b = ws.binOf(p.energy_eV);
        const double observed = ws.model().data()[b];
        out.explained = observed > 0 ? std::clamp(model[b] / observed, 0.0, 9.99) : 0.0;
        if (std::optional<Note> note = windowEdge(ws, f, b, observed, p.energy_eV)) {
            result.notes.push_back(std::move(*note));
            continue;
        }
        const auto best = namingShare(shares);
        if (p.energy_eV < ws.lowestLine()) {
            out.assignment.kind = AssignmentKind::Unexplained;
            out.reason = PeakReason{.kind = PeakReason::Kind::BelowLines, .energy_eV = ws.lowestLine()};
            result.peaks.push_back(out);
            continue;
        }
        if (best == shares.end() || out.explained < ExplainShare) {
            out.assignment.kind = AssignmentKind::Unexplained;
            out.reason = unexplainedReason(ws, outcome, p, best != shares.end());
            result.peaks.push_back(out);
            continue;
        }
        const ModelPart &part = *best->part;
        if (part.source != ModelPart::Source::Sample) {
            // The detector's own lines, or the tube's scattered by the
            // sample: explained, but by no element of the sample.
            out.assignment.kind = AssignmentKind::Unexplained;
            out.reason.kind = part.source == ModelPart::Source::Internal   ? PeakReason::Kind::Internal
                              : part.source == ModelPart::Source::Rayleigh ? PeakReason::Kind::TubeRayleigh
                                                                           : PeakReason::Kind::TubeCompton;
            out.reason.line = part.line;
            out.reason.escape = part.kind == ModelPart::Kind::Escape;
            result.peaks.push_back(out);
            continue;
        }
        out.assignment = assignmentOf(part);
        if (part.kind == ModelPart::Kind::Line) {
            seen.lines[part.line->Z].push_back(part.line);
            ++seen.peaks[part.line->Z];
        }
        // Lines of other elements that make up much of the peak are seen too.
        for (const CountedPart &s : shares)
            if (s.part != best->part && s.part->kind == ModelPart::Kind::Line
                && s.part->source == ModelPart::Source::Sample && s.counts >= SeenShare * modelled)
                seen.lines[s.part->line->Z].push_back(s.part->line);
        result.peaks.push_back(out);
    }

    for (const int Z : outcome.accepted)
        result.elements.push_back(describeElement(ws, Z, outcome, seen, options));
    std::sort(result.elements.begin(), result.elements.end(),
              [](const IdentifiedElement &a, const IdentifiedElement &b) { return a.significance > b.significance; });
    std::size_t unexplained = 0;
    for (const IdentifiedPeak &p : result.peaks)
        unexplained += p.assignment.kind == AssignmentKind::Unexplained && !artefact(p.reason);
    if (unexplained)
        result.notes.push_back({Note::Kind::Unexplained,
                                std::to_string(unexplained) + (unexplained == 1 ? " peak" : " peaks")
                                    + " left unexplained",
                                int(unexplained)});
    return result;
}

} // namespace identify
