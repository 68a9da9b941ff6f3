#include "checks.h"

#include "settings.h"

#include "xray/edges.h"
#include "xray/excitation.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace identify {

namespace {

// A column's lines' weight and mean energy; its strongest line.
struct ColumnLines {
    double weight = 0, energy_eV = 0;
    const xray::Line *strongest = nullptr;
};

ColumnLines linesOf(const ModelColumn &column)
{
    ColumnLines out;
    double strongestArea = 0;
    for (const ModelPart &p : column.parts)
        if (p.kind == ModelPart::Kind::Line) {
            out.weight += p.area;
            out.energy_eV += p.area * p.energy_eV;
            if (p.area > strongestArea) {
                strongestArea = p.area;
                out.strongest = p.line;
            }
        }
    if (out.weight > 0)
        out.energy_eV /= out.weight;
    return out;
}

} // namespace

Check check(const Workspace &ws, const Fit &fit, const std::vector<std::size_t> &subject, double target_eV,
            const std::vector<double> &others, const std::vector<double> &othersSpread)
{
    const Model &model = ws.model();
    const std::optional<double> beam = ws.beam();
    // Filtered values at single bins: the filter has summed each peak's
    // counts already.
    Check result;
    std::vector<double> mine(ws.grid().size(), 0.0);
    std::vector<double> spread = othersSpread;
    for (const std::size_t i : subject) {
        model.addValues(fit.ids[i], fit.amplitudes[i], mine);
        model.addSpread(fit.ids[i], fit.amplitudes[i], spread);
    }
    const std::vector<double> &y = model.data();
    const std::size_t t = ws.binOf(target_eV);
    const double observed = y[t] - others[t];
    result.explained = observed > 0 ? mine[t] / observed : 0.0;

    // Each column's amplitude relative to the root of its ties: the bounds
    // multiplied along the way.
    const auto valueAt = [&](std::size_t position, std::size_t bin) {
        const ModelColumn &c = model.column(fit.ids[position]);
        return bin >= c.first && bin < c.first + c.values.size() ? c.values[bin - c.first] : 0.0;
    };
    struct Range {
        std::size_t root;
        double low = 1, high = 1;
    };
    const auto range = [&](std::size_t position) {
        Range r{position};
        for (std::size_t steps = 0; steps <= fit.ties.size(); ++steps) {
            const auto tie = std::find_if(fit.ties.begin(), fit.ties.end(),
                                          [&](const Tie &x) { return x.column == r.root; });
            if (tie == fit.ties.end() || tie->parent == Tie::Bound)
                break;
            r.low *= tie->low;
            r.high *= tie->high;
            r.root = tie->parent;
        }
        return r;
    };
    // The column that explains the target most.
    std::size_t lead = subject.front();
    for (const std::size_t i : subject)
        if (fit.amplitudes[i] * valueAt(i, t) > fit.amplitudes[lead] * valueAt(lead, t))
            lead = i;
    const Range leadRange = range(lead);
    const double leadLeast = fit.amplitudes[lead] * ExplainShare / std::max(result.explained, ExplainShare);
    // Every other peak of the subject, at the least the ties allow beside
    // the lead's amplitude: if the spectrum shows much less, the subject
    // cannot be there.
    for (const std::size_t i : subject) {
        const Range r = range(i);
        if (i == lead || r.root != leadRange.root)
            continue;
        const ColumnLines lines = linesOf(model.column(fit.ids[i]));
        if (!(lines.weight > 0))
            continue;
        const std::size_t b = ws.binOf(lines.energy_eV);
        // The subject need explain only ExplainShare of the target (other
        // elements may share the peak): its lead at the least amplitude
        // that does.
        const double least = r.low / leadRange.high * leadLeast * valueAt(i, b);
        const double rest = y[b] - others[b] - (mine[b] - fit.amplitudes[i] * valueAt(i, b));
        const double sigma = ws.noise(b, spread[b]);
        if (least >= StrongPartner * sigma && rest < MissingShare * least - MissingSignificance * sigma)
            result.missing.push_back({lines.energy_eV, 0, least, lines.strongest, least});
    }
    // Every family of the subject that the beam excites well must show at
    // its strongest peak, at the least the excitation model allows beside
    // the lead (FamilyTolerance, the doubt near an edge, and the
    // absorption's where the family lies lower).
    if (ws.electrons() && beam && result.missing.empty()) {
        const ModelColumn &leadColumn = model.column(fit.ids[lead]);
        const double leadEnergy = linesOf(leadColumn).energy_eV;
        std::map<int, std::size_t> heads; // family -> its strongest column
        for (const std::size_t i : subject) {
            const ModelColumn &c = model.column(fit.ids[i]);
            if (c.family == leadColumn.family)
                continue;
            const auto found = heads.find(int(c.family));
            if (found == heads.end() || linesOf(c).weight > linesOf(model.column(fit.ids[found->second])).weight)
                heads[int(c.family)] = i;
        }
        const auto overvoltage = [&](xray::Family family) {
            const xray::Edge *edge = xray::findEdge(leadColumn.Z, xray::mainShell(family));
            return edge && edge->energy_eV > 0 ? *beam / edge->energy_eV : 0.0;
        };
        for (const auto &[family, i] : heads) {
            const ModelColumn &c = model.column(fit.ids[i]);
            const double u = overvoltage(c.family);
            const ColumnLines lines = linesOf(c);
            if (u < MinFamilyOvervoltage || !(lines.weight > 0) || lines.energy_eV < MinFamilyCheck_eV)
                continue;
            const double doubt = FamilyTolerance * overvoltageTolerance(u)
                                 * overvoltageTolerance(overvoltage(leadColumn.family))
                                 * (lines.energy_eV < leadEnergy ? absorptionTolerance(lines.energy_eV) : 1.0);
            const std::size_t b = ws.binOf(lines.energy_eV);
            const double least = leadLeast * valueAt(i, b) / doubt;
            const double rest = y[b] - others[b] - (mine[b] - fit.amplitudes[i] * valueAt(i, b));
            const double sigma = ws.noise(b, spread[b]);
            if (least >= StrongPartner * sigma && rest < MissingShare * least - MissingSignificance * sigma) {
                result.missing.push_back({lines.energy_eV, 0, least, lines.strongest, least});
                break;
            }
        }
    }
    // A low-energy peak: the subject's strongest line (by the model) above
    // the limit, well excited, must stand out by three standard deviations.
    for (const EvidenceRule &rule : EvidenceRules) {
        if (target_eV >= rule.below_eV || result.unseen)
            continue;
        const ModelPart *hard = nullptr;
        const xray::Family family = model.column(fit.ids[lead]).family;
        for (const std::size_t i : subject)
            for (const ModelPart &p : model.column(fit.ids[i]).parts) {
                if (p.kind != ModelPart::Kind::Line || p.energy_eV < rule.below_eV || p.line->family == family
                    || (hard && p.area <= hard->area))
                    continue;
                const double edge = xray::excitationEdge_eV(*p.line);
                if (!beam || (edge > 0 && *beam / edge >= rule.overvoltage))
                    hard = &p;
            }
        if (hard) {
            const std::size_t b = ws.binOf(hard->energy_eV);
            if (y[b] - others[b] < SeenSignificance * ws.noise(b, spread[b]))
                result.unseen = Cluster{hard->energy_eV, hard->fwhm_eV, 0, hard->line, 0};
        }
    }
    return result;
}

std::optional<Rival> refusal(int Z, const Check &c)
{
    if (!c.missing.empty()) {
        const Cluster &m = c.missing.front();
        return Rival{Rival::Kind::Missing, Z, {m.strongest, m.energy_eV}};
    }
    if (c.unseen)
        return Rival{Rival::Kind::NotSeen, Z, {c.unseen->strongest, c.unseen->energy_eV}};
    if (c.explained < ExplainShare)
        return Rival{Rival::Kind::FitsPoorly, Z, {}};
    return std::nullopt;
}

double acceptance(const Workspace &ws, const ElementPattern &pattern, double target_eV)
{
    const Model &model = ws.model();
    const ModelPart *strongest = nullptr;
    for (const std::size_t id : pattern.ids)
        for (const ModelPart &p : model.column(id).parts)
            if (p.kind == ModelPart::Kind::Line && (!strongest || p.area > strongest->area))
                strongest = &p;
    for (const std::size_t step : ws.steps()) {
        const double edge = model.column(step).parts.front().energy_eV;
        const auto below = [&](double e) { return e <= edge && edge - e < ws.detector().fwhm(edge); };
        if (below(target_eV) || (strongest && below(strongest->energy_eV)))
            return OnWindowEdgeChiSquare;
    }
    return AcceptChiSquare;
}

std::vector<std::size_t> stepsNear(const Workspace &ws, const ElementPattern &pattern)
{
    const Model &model = ws.model();
    std::vector<std::size_t> near;
    for (const std::size_t step : ws.steps()) {
        const double edge = model.column(step).parts.front().energy_eV;
        const double reach = 3 * ws.detector().fwhm(edge);
        const bool close = std::any_of(pattern.ids.begin(), pattern.ids.end(), [&](std::size_t id) {
            const auto &parts = model.column(id).parts;
            return std::any_of(parts.begin(), parts.end(),
                               [&](const ModelPart &p) { return std::fabs(p.energy_eV - edge) < reach; });
        });
        if (close)
            near.push_back(step);
    }
    return near;
}

bool lineLike(const Workspace &ws, const Fit &current, const ResidualPeak &target)
{
    const WorkGrid &grid = ws.grid();
    const TopHat &filter = ws.filter();
    const double fwhm = ws.detector().fwhm(target.energy_eV);
    const auto filtered = [&](double width) {
        ModelColumn c;
        c.parts.push_back({ModelPart::Kind::Line, nullptr, nullptr, nullptr, target.energy_eV, width, 1.0});
        renderColumn(c, grid);
        std::size_t first = 0;
        std::vector<double> values = filter.applyLocal(c.values, c.first, first);
        std::vector<double> full(grid.size(), 0.0);
        for (std::size_t k = 0; k < values.size(); ++k)
            full[first + k] = values[k];
        return full;
    };
    const std::vector<double> line = filtered(fwhm), hump = filtered(3 * fwhm);
    const std::vector<double> m = ws.model().values(current.ids, current.amplitudes);
    const std::vector<double> spread = ws.model().spreadValues(current.ids, current.amplitudes);
    const std::vector<double> &y = ws.model().data();
    const double n = double(grid.size());
    const double b0 = std::clamp(std::ceil(grid.bin(target.energy_eV - 3 * fwhm)), 0.0, n - 1);
    const double b1 = std::clamp(std::floor(grid.bin(target.energy_eV + 3 * fwhm)), 0.0, n - 1);
    double ll = 0, lh = 0, hh = 0, ly = 0, hy = 0;
    for (double bin = b0; bin <= b1; ++bin) {
        const std::size_t b = std::size_t(bin);
        if (!filter.fits(b))
            continue;
        const double s = ws.noise(b, spread[b]);
        const double w = 1 / (s * s * filter.correlation(b));
        const double r = y[b] - m[b];
        ll += w * line[b] * line[b];
        lh += w * line[b] * hump[b];
        hh += w * hump[b] * hump[b];
        ly += w * line[b] * r;
        hy += w * hump[b] * r;
    }
    const double det = ll * hh - lh * lh;
    if (!(det > 0))
        return true;
    const double a = (ly * hh - hy * lh) / det;
    const double sigma = std::sqrt(hh / det);
    return a >= PeakThreshold * sigma;
}

} // namespace identify
