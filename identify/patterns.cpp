#include "patterns.h"

#include "settings.h"

#include "xray/bulkabsorption.h"
#include "xray/edges.h"
#include "xray/excitation.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>

namespace identify {

namespace {

// A line with its expected photons.
struct Entry {
    const xray::Line *line;
    double strength;
};

// The lines of one subshell of a family.
struct Group {
    xray::Family family;
    xray::Shell shell;
    std::vector<Entry> entries;
    double strength = 0;
    double energy = 0; // of its strongest line
};

// A family's main subshell's lead peak, with what the family brings.
struct FamilyHead {
    std::size_t position;
    double strength;
    double energy;
    xray::Family family;
};

using SubshellLines = std::map<std::pair<int, int>, std::vector<Entry>>; // (family, shell) -> lines

double strengthOf(const std::vector<Entry> &peak)
{
    double sum = 0;
    for (const Entry &e : peak)
        sum += e.strength;
    return sum;
}

// Expected photons of each line of element Z between low and high: the
// electron-excitation model with a beam energy; without one, the relative
// intensities within each family. Lines weaker than MinRelative of their
// family's strongest are left out. `strongest`: the element's strongest.
SubshellLines linesBySubshell(const Workspace &ws, int Z, double low, double high, double &strongest)
{
    const std::optional<double> beam = ws.beam();
    std::map<int, double> familyStrongest;
    std::vector<Entry> all;
    strongest = 0;
    for (const xray::Line &line : xray::linesOf(Z)) {
        if (!xray::isExcited(line, beam) || line.energy_eV < low || line.energy_eV > high)
            continue;
        const double strength = beam && ws.electrons() ? xray::electronLineYield(line, *beam) : line.relative;
        if (!(strength > 0))
            continue;
        all.push_back({&line, strength});
        double &most = familyStrongest[int(line.family)];
        most = std::max(most, strength);
        strongest = std::max(strongest, strength);
    }
    SubshellLines groups;
    for (const Entry &e : all)
        if (e.strength >= MinRelative * familyStrongest[int(e.line->family)])
            groups[{int(e.line->family), int(e.line->shell)}].push_back(e);
    return groups;
}

// The subshell groups of each family.
std::map<int, std::vector<Group>> families(const SubshellLines &groups)
{
    std::map<int, std::vector<Group>> out;
    for (const auto &[key, entries] : groups) {
        Group g{static_cast<xray::Family>(key.first), static_cast<xray::Shell>(key.second), entries};
        double best = 0;
        for (const Entry &e : entries) {
            g.strength += e.strength;
            if (e.strength > best) {
                best = e.strength;
                g.energy = e.line->energy_eV;
            }
        }
        out[key.first].push_back(std::move(g));
    }
    return out;
}

// Puts a family's main subshell's group (or its strongest group) first and,
// under electrons, merges weak subshells into it (under X-rays the
// subshells are free: none is merged). Returns the family's strength.
double orderSubshells(std::vector<Group> &list, xray::Family family, bool electrons)
{
    const xray::Shell main = xray::mainShell(family);
    auto head = std::find_if(list.begin(), list.end(), [&](const Group &g) { return g.shell == main; });
    if (head == list.end())
        head = std::max_element(list.begin(), list.end(),
                                [](const Group &a, const Group &b) { return a.strength < b.strength; });
    std::swap(*head, list.front());
    double familyStrength = 0;
    for (const Group &g : list)
        familyStrength += g.strength;
    for (std::size_t i = 1; i < list.size() && electrons;) {
        if (list[i].strength < MinSubshellShare * familyStrength) {
            list.front().entries.insert(list.front().entries.end(), list[i].entries.begin(), list[i].entries.end());
            list.erase(list.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    return familyStrength;
}

// A group's lines as peaks: those closer than half a FWHM together, by
// energy. Weak peaks keep the table's ratio to the group's strongest: they
// join its peak (their freedom would only slow the fit).
std::vector<std::vector<Entry>> peaksOf(const Workspace &ws, std::vector<Entry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.line->energy_eV < b.line->energy_eV; });
    std::vector<std::vector<Entry>> peaks;
    for (const Entry &e : entries) {
        if (!peaks.empty()
            && e.line->energy_eV - peaks.back().back().line->energy_eV < 0.5 * ws.detector().fwhm(e.line->energy_eV))
            peaks.back().push_back(e);
        else
            peaks.push_back({e});
    }
    const auto strongestPeak = std::max_element(peaks.begin(), peaks.end(),
        [&](const auto &a, const auto &b) { return strengthOf(a) < strengthOf(b); });
    const double most = strengthOf(*strongestPeak);
    std::vector<Entry> weak;
    std::vector<std::vector<Entry>> kept;
    for (std::vector<Entry> &peak : peaks) {
        if (strengthOf(peak) < MinPeakShare * most)
            weak.insert(weak.end(), peak.begin(), peak.end());
        else
            kept.push_back(std::move(peak));
    }
    const auto lead = std::max_element(kept.begin(), kept.end(),
        [&](const auto &a, const auto &b) { return strengthOf(a) < strengthOf(b); });
    lead->insert(lead->end(), weak.begin(), weak.end());
    return kept;
}

// Adds a group's peaks to the pattern as columns (its lines and their escape
// peaks above `low`, in units of the element's `strongest` line), the
// group's strongest peak leading the others within peakTolerance. Returns
// the lead's position in the pattern.
std::size_t addGroup(Workspace &ws, ElementPattern &pattern, const Group &group, double strongest, double low)
{
    const xray::Detector &detector = ws.detector();
    std::vector<std::size_t> positions;
    std::vector<double> strengths, energies;
    for (const std::vector<Entry> &peak : peaksOf(ws, group.entries)) {
        ModelColumn c;
        c.Z = pattern.Z;
        c.family = group.family;
        c.shell = group.shell;
        double strength = 0, weighted = 0;
        for (const Entry &e : peak) {
            const double area = e.strength / strongest;
            strength += e.strength;
            weighted += e.strength * e.line->energy_eV;
            c.parts.push_back({ModelPart::Kind::Line, e.line, nullptr, nullptr, e.line->energy_eV,
                               detector.fwhm(e.line->energy_eV), area});
            ws.shape(c.parts.back());
            for (const xray::Escape &escape : detector.escapes(e.line->energy_eV))
                if (escape.energy_eV >= low && escape.fraction > 0) {
                    c.parts.push_back({ModelPart::Kind::Escape, e.line, nullptr, escape.line, escape.energy_eV,
                                       detector.fwhm(escape.energy_eV), area * escape.fraction});
                    ws.shape(c.parts.back());
                }
        }
        positions.push_back(pattern.ids.size());
        strengths.push_back(strength);
        energies.push_back(weighted / strength);
        // The tails of the column's weak lines and escapes are left out:
        // they are a share of a share, and would only slow the model.
        double most = 0;
        for (const ModelPart &part : c.parts)
            most = std::max(most, part.area);
        for (ModelPart &part : c.parts)
            if (part.area < MinTailedShare * most) {
                part.tail = 0;
                part.shelf = 0;
            }
        pattern.ids.push_back(ws.add(std::move(c)));
    }
    const std::size_t lead = std::size_t(std::max_element(strengths.begin(), strengths.end()) - strengths.begin());
    for (std::size_t k = 0; k < positions.size(); ++k)
        if (k != lead) {
            const double t = peakTolerance(energies[k], energies[lead]);
            pattern.ties.push_back({positions[k], positions[lead], 1 / t, t});
        }
    return positions[lead];
}

// Ties a deeper subshell's lead peak to the main subshell's (headPosition).
// Under X-rays the tube's lines may excite one subshell and not the next
// (Rh L lines excite Mo L3, not L1), so a deeper subshell may fall short of
// the table without limit; but a photon that ionises it could as well have
// ionised the main one, and its vacancies partly move there
// (Coster-Kronig), so it cannot stand out from it by more than under
// electrons. Without that bound Tb's L2 lines alone filled the foot of Fe
// Kb in steel, and W's M2 lines a peak of Mo La.
void tieSubshell(const Workspace &ws, ElementPattern &pattern, const Group &main, const Group &deeper,
                 std::size_t lead, std::size_t headPosition)
{
    if (ws.electrons()) {
        pattern.ties.push_back({lead, headPosition, 1 / SubshellTolerance, SubshellTolerance});
        return;
    }
    const xray::Edge *deep = xray::findEdge(pattern.Z, deeper.shell);
    const xray::Edge *mainEdge = xray::findEdge(pattern.Z, main.shell);
    if (deep && mainEdge && main.shell == xray::mainShell(main.family) && deep->energy_eV > mainEdge->energy_eV)
        pattern.ties.push_back({lead, headPosition, 0.0, SubshellTolerance});
}

// Families against the strongest, where the beam energy says how they
// compare under electrons; without it, or for X-ray fluorescence (the
// model is for electrons), each family is free.
void tieFamilies(const Workspace &ws, ElementPattern &pattern, const std::vector<FamilyHead> &heads)
{
    if (!ws.beam() || !ws.electrons() || heads.size() <= 1)
        return;
    const double beam = *ws.beam();
    const auto anchor = std::max_element(heads.begin(), heads.end(),
                                         [](const FamilyHead &a, const FamilyHead &b) { return a.strength < b.strength; });
    for (const FamilyHead &h : heads) {
        if (&h == &*anchor)
            continue;
        const auto overvoltage = [&](xray::Family family) {
            const xray::Edge *edge = xray::findEdge(pattern.Z, xray::mainShell(family));
            return edge && edge->energy_eV > 0 ? beam / edge->energy_eV : 10.0;
        };
        const double u = overvoltageTolerance(overvoltage(h.family)) * overvoltageTolerance(overvoltage(anchor->family));
        const double a = absorptionTolerance(std::min(h.energy, anchor->energy));
        // Either may be off by FamilyTolerance and the overvoltage's
        // doubt; the lower one may fall short by the absorption's too.
        const bool lower = h.energy < anchor->energy;
        pattern.ties.push_back({h.position, anchor->position, 1 / (FamilyTolerance * u * (lower ? a : 1)),
                                FamilyTolerance * u * (lower ? 1 : a)});
    }
}

ElementPattern buildPattern(Workspace &ws, int Z)
{
    ElementPattern pattern;
    pattern.Z = Z;
    // Lines in the noise peak's reach (two FWHM of it) cannot be told from
    // it: left out.
    const WorkGrid &grid = ws.grid();
    const double low = std::max({MinLineEnergy_eV, grid.energy(0), ws.lowestLine()});
    const double high = grid.energy(double(grid.size()) - 1);
    double strongest = 0;
    const SubshellLines groups = linesBySubshell(ws, Z, low, high, strongest);
    if (groups.empty())
        return pattern;
    std::vector<FamilyHead> heads;
    for (auto &[family, list] : families(groups)) {
        const double familyStrength = orderSubshells(list, static_cast<xray::Family>(family), ws.electrons());
        std::size_t headPosition = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::size_t lead = addGroup(ws, pattern, list[i], strongest, low);
            if (i == 0)
                headPosition = lead;
            else
                tieSubshell(ws, pattern, list.front(), list[i], lead, headPosition);
        }
        heads.push_back({headPosition, familyStrength, list.front().energy, static_cast<xray::Family>(family)});
    }
    tieFamilies(ws, pattern, heads);
    return pattern;
}

} // namespace

const ElementPattern &Patterns::pattern(int Z)
{
    const auto found = patterns_.find(Z);
    if (found != patterns_.end())
        return found->second;
    return patterns_.emplace(Z, buildPattern(ws_, Z)).first->second;
}

double Patterns::kept(int Z, std::size_t id)
{
    const auto found = kept_.find({Z, id});
    if (found != kept_.end())
        return found->second;
    const xray::BulkAbsorption pure({{Z, 1.0}}, *ws_.beam(), TakeOff_deg);
    double area = 0, left = 0;
    for (const ModelPart &p : ws_.model().column(id).parts)
        if (p.kind == ModelPart::Kind::Line) {
            area += p.area;
            left += p.area * pure.emerging(*p.line);
        }
    return kept_[{Z, id}] = area > 0 ? left / area : 1.0;
}

std::vector<Tie> Patterns::tiesIn(const ElementPattern &pattern, const std::vector<int> &sample, bool accepted)
{
    std::vector<Tie> ties = pattern.ties;
    if (!ws_.beam() || !ws_.electrons())
        return ties;
    for (Tie &t : ties) {
        if (t.parent == Tie::Bound)
            continue;
        double lowest = 1, highest = 1;
        const auto widen = [&](int Z) {
            const double r = kept(Z, pattern.ids[t.column]) / kept(Z, pattern.ids[t.parent]);
            lowest = std::min(lowest, r);
            highest = std::max(highest, r);
        };
        widen(pattern.Z);
        if (accepted)
            for (const int Z : sample)
                if (Z != pattern.Z)
                    widen(Z);
        t.low *= lowest;
        t.high *= highest;
    }
    return ties;
}

} // namespace identify
