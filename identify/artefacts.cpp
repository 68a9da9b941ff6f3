// Peaks that no element of the sample makes: the detector's internal
// fluorescence, and under X-rays the tube's lines scattered by the sample.
// Each is a column every fit carries, beside the noise peak and the
// continuum's steps.
#include "workspace.h"

#include "peakfit.h"
#include "settings.h"

#include "xray/constants.h"
#include "xray/edges.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace identify {

void Workspace::addWithEscapes(ModelColumn &column, const xray::Line *line, double energy, double fwhm, double area,
                               ModelPart::Source source)
{
    ModelPart part{ModelPart::Kind::Line, line, nullptr, nullptr, energy, fwhm, area};
    part.source = source;
    shape(part);
    column.parts.push_back(part);
    for (const xray::Escape &escape : detector_.escapes(energy))
        if (escape.energy_eV >= lowestLine() && escape.fraction > 0) {
            ModelPart e{ModelPart::Kind::Escape, line, nullptr, escape.line, escape.energy_eV,
                        detector_.fwhm(escape.energy_eV), area * escape.fraction};
            e.source = source;
            shape(e);
            column.parts.push_back(e);
        }
}

// The K lines of a silicon detector's own silicon and of its aluminium
// contact or window coating, fluoresced there by the photons above their K
// edges that it then counts: one column each, in units of those photons,
// at most MaxInternalFluorescence of them.
void Workspace::addInternalFluorescence()
{
    if (detector_.material() != xray::Material::Si)
        return;
    for (const int Z : {13, 14}) {
        const xray::Edge *edge = xray::findEdge(Z, xray::Shell::K);
        if (!edge)
            continue;
        double above = 0;
        for (std::size_t i = 0; i < grid_.size(); ++i) {
            const double e = grid_.energy(double(i));
            if (e > edge->energy_eV && (!beam_ || e < *beam_))
                above += std::max(0.0, grid_.counts[i]);
        }
        if (!(above > 0))
            continue;
        ModelColumn c;
        c.Z = -Z; // not an element of the sample
        c.internal = true;
        for (const xray::Line &line : xray::linesOf(Z))
            if (line.family == xray::Family::K && line.relative >= MinRelative && line.energy_eV >= lowestLine())
                addWithEscapes(c, &line, line.energy_eV, detector_.fwhm(line.energy_eV), above * line.relative,
                               ModelPart::Source::Internal);
        if (c.parts.empty())
            continue;
        const std::size_t id = add(std::move(c));
        extras_.push_back(id);
        bounds_.push_back({id, MaxInternalFluorescence});
    }
}

// Under X-rays, the tube's lines scattered by the sample: elastically
// (Rayleigh) at their own energies, one column per subshell (the tube's
// families and subshells stand in ratios no model here knows: its window
// and the anode's own absorption change them), and the K lines
// inelastically (Compton) below them, broadened by the motion of the
// sample's electrons, where and as wide as the spectrum shows them.
void Workspace::addTubeScatter(int tube, double fitBudget)
{
    if (!beam_)
        return;
    const double low = std::max(lowestLine(), grid_.energy(0)), high = grid_.energy(double(grid_.size()) - 1);
    const double angle = ScatterAngle_deg * std::numbers::pi / 180;
    std::map<int, ModelColumn> rayleigh;
    std::vector<GroupLine> compton, elastic;
    std::vector<const xray::Line *> comptonOf;
    for (const xray::Line &line : xray::linesOf(tube)) {
        if (!xray::isExcited(line, beam_) || line.relative < MinCandidateRelative || line.energy_eV < low
            || line.energy_eV > high)
            continue;
        ModelColumn &r = rayleigh[int(line.shell)];
        r.Z = -tube;
        r.scatter = true;
        r.family = line.family;
        r.shell = line.shell;
        addWithEscapes(r, &line, line.energy_eV, detector_.fwhm(line.energy_eV), line.relative,
                       ModelPart::Source::Rayleigh);
        if (line.family != xray::Family::K)
            continue;
        elastic.push_back({line.energy_eV, line.relative, detector_.fwhm(line.energy_eV)});
        const double shifted =
            line.energy_eV / (1 + line.energy_eV / xray::ElectronRestEnergy_eV * (1 - std::cos(angle)));
        compton.push_back({shifted, line.relative, std::hypot(detector_.fwhm(shifted), ComptonBroadening * shifted)});
        comptonOf.push_back(&line);
    }
    // Where the Compton peaks stand and how wide they are, fitted with the
    // Rayleigh peaks beside them.
    double move = 0, scale = 1;
    const double n = double(grid_.size());
    const double b0 = compton.empty() ? 0 : std::clamp(std::ceil(grid_.bin(compton.front().energy_eV - 2.5 * compton.front().fwhm_eV)), 0.0, n - 1);
    const double b1 = compton.empty() ? 0
                                      : std::clamp(std::floor(grid_.bin(elastic.front().energy_eV + 2 * elastic.front().fwhm_eV)),
                                                   0.0, n - 1);
    // A fit takes some tens of trials of every line over the window.
    const double cost = FitTrials * LineBinWork * (b1 - b0 + 1) * double(compton.size() + elastic.size() + 4);
    if (!compton.empty() && cost <= fitBudget) {
        GroupFitOptions options;
        options.maxShift_eV = 0.5 * compton.front().fwhm_eV;
        const GroupFit fit = fitGroups(grid_, std::size_t(b0), std::size_t(b1), {compton, elastic}, options);
        if (fit.ok && fit.counts > 0 && fit.chiSquare < MaxRefineReducedChiSquare * std::max(1, fit.degrees)) {
            move = fit.shift_eV;
            scale = fit.widthScale;
        }
    }
    for (auto &[family, column] : rayleigh)
        extras_.push_back(add(std::move(column)));
    ModelColumn inelastic;
    inelastic.Z = -tube;
    inelastic.scatter = true;
    for (std::size_t k = 0; k < compton.size(); ++k)
        addWithEscapes(inelastic, comptonOf[k], compton[k].energy_eV + move, compton[k].fwhm_eV * scale,
                       compton[k].area, ModelPart::Source::Compton);
    if (!inelastic.parts.empty())
        extras_.push_back(add(std::move(inelastic)));
}

} // namespace identify
