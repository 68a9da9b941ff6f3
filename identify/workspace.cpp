#include "workspace.h"

#include "settings.h"

#include "xray/edges.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace identify {

Workspace::Workspace(const WorkGrid &grid, const std::vector<double> &background, const xray::Detector &detector,
                     const xray::Detector &filtering, std::optional<double> beam_eV, bool electrons,
                     const std::vector<Peak> &peaks, const Response &response, int tube, double fitBudget)
    : grid_(grid), detector_(detector), response_(response), beam_(beam_eV), electrons_(electrons),
      filter_(grid, filtering), model_(filteredModel(grid))
{
    continuum_ = background;
    for (std::size_t i = 0; i < grid.size(); ++i)
        total_ += std::max(0.0, grid.counts[i]);
    // The noise peak, as the peak search measured it.
    for (const Peak &p : peaks)
        if (p.zero) {
            ModelColumn c;
            c.parts.push_back({ModelPart::Kind::Zero, nullptr, nullptr, nullptr, p.energy_eV,
                               std::max(p.fwhm_eV, detector.fwhm(0)), std::max(p.netCounts, 1.0)});
            extras_.push_back(add(std::move(c)));
            break;
        }
    addSteps(background);
    addInternalFluorescence();
    if (!electrons_)
        addTubeScatter(tube ? tube : UsualTube, fitBudget);
}

Model Workspace::filteredModel(const WorkGrid &grid)
{
    const TopHat::Output f = filter_.apply(grid.counts, poissonVariance(grid.counts));
    sigma_ = f.sigma;
    // Weights: the filtered counts' variance, corrected for the
    // correlation of neighbouring filtered bins.
    std::vector<double> w(grid.size(), 0.0);
    for (std::size_t i = 0; i < w.size(); ++i)
        if (filter_.fits(i) && sigma_[i] > 0)
            w[i] = 1.0 / (sigma_[i] * sigma_[i] * filter_.correlation(i));
    return Model(f.value, std::move(w));
}

std::size_t Workspace::add(ModelColumn column)
{
    renderColumn(column, grid_);
    std::size_t first = 0;
    const bool peaks = std::any_of(column.parts.begin(), column.parts.end(), [](const ModelPart &p) {
        return p.kind != ModelPart::Kind::Step && p.kind != ModelPart::Kind::Zero;
    });
    if (peaks) {
        std::vector<double> filtered;
        filter_.applyAndSpreadLocal(column.values, column.first, filtered, column.spread, first);
        column.spreadFirst = first;
        column.values = std::move(filtered);
    } else {
        column.values = filter_.applyLocal(column.values, column.first, first);
    }
    column.first = first;
    return model_.add(std::move(column));
}

// Steps of the continuum at the absorption edges of what X-rays cross
// before the detector counts them: C, N and O of polymer windows, their
// aluminium coating and the detector's own material (its dead layer and,
// in thin crystals, its absorption). Either way: +1 a drop, -1 a rise.
void Workspace::addSteps(const std::vector<double> &background)
{
    std::vector<std::pair<int, xray::Shell>> edges;
    switch (detector_.material()) {
    case xray::Material::Si:
        for (const int Z : {6, 7, 8, 13, 14})
            edges.push_back({Z, xray::Shell::K});
        break;
    case xray::Material::Ge:
    case xray::Material::CdTe:
        for (const xray::EscapeLine &line : detector_.escapeLines())
            for (const xray::Shell shell : {xray::Shell::K, xray::Shell::L1, xray::Shell::L2, xray::Shell::L3})
                if (std::find(edges.begin(), edges.end(), std::pair(int(line.Z), shell)) == edges.end())
                    edges.push_back({line.Z, shell});
        break;
    }
    const double high = grid_.energy(double(grid_.size()) - 1);
    for (const auto &[Z, shell] : edges) {
        const xray::Edge *edge = xray::findEdge(Z, shell);
        if (!edge || edge->energy_eV < MinLineEnergy_eV || edge->energy_eV > high)
            continue;
        // In units of the continuum there (see StepCap).
        const double level = std::max(1.0, background[binOf(edge->energy_eV)]);
        for (const double sign : {1.0, -1.0}) {
            ModelColumn c;
            c.parts.push_back({ModelPart::Kind::Step, nullptr, nullptr, nullptr, edge->energy_eV,
                               detector_.fwhm(edge->energy_eV), sign * level});
            c.Z = -Z; // not an element of the sample
            c.shell = shell;
            steps_.push_back(add(std::move(c)));
            extras_.push_back(steps_.back());
        }
    }
}

double Workspace::lowestLine() const { return std::max(MinLineEnergy_eV, 2 * detector_.fwhm(0)); }

std::size_t Workspace::binOf(double energy_eV) const
{
    return std::size_t(std::clamp(std::round(grid_.bin(energy_eV)), 0.0, double(grid_.size()) - 1));
}

double Workspace::noise(std::size_t i, double spread) const
{
    const double energy = std::max(grid_.energy(double(i)), MinLineEnergy_eV);
    const double e = systematicShare(energy) * spread, c = continuumError(energy) * continuum_[i];
    return std::sqrt(sigma_[i] * sigma_[i] + e * e + c * c);
}

std::optional<double> Workspace::bound(std::size_t id) const
{
    for (const auto &[column, most] : bounds_)
        if (column == id)
            return most;
    return std::nullopt;
}

void Workspace::shape(ModelPart &part) const
{
    part.shift_eV = response_.shift(part.energy_eV);
    // Escape and sum peaks are small beside their parents: their tails are
    // left out (they would only slow the model down).
    if (part.kind != ModelPart::Kind::Line)
        return;
    part.tail = tailShare(response_, part.energy_eV, detector_.massAttenuation(std::max(1000.0, part.energy_eV)),
                          detector_.massAttenuation(xray::mnKalpha_eV()));
    part.tailSlope = response_.tailSlope;
    part.shelf = part.tail * response_.shelfPerTail;
}

} // namespace identify
