#include "fit.h"

#include "settings.h"

#include <algorithm>

namespace identify {

std::vector<std::size_t> positionsOf(const Workspace &ws, const Fit &fit, int Z)
{
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < fit.ids.size(); ++i)
        if (ws.model().column(fit.ids[i]).Z == Z && Z > 0)
            positions.push_back(i);
    return positions;
}

std::vector<Cluster> clusters(const Workspace &ws, const Fit &fit, const std::vector<std::size_t> &positions)
{
    // The subject's lines (or sums) as fitted, by energy; those closer than
    // half a FWHM make one peak.
    std::vector<CountedPart> items;
    for (const std::size_t i : positions) {
        if (!(fit.amplitudes[i] > 0))
            continue;
        for (const ModelPart &p : ws.model().column(fit.ids[i]).parts)
            if (p.kind == ModelPart::Kind::Line || p.kind == ModelPart::Kind::Sum)
                items.push_back({&p, fit.amplitudes[i] * p.area});
    }
    std::sort(items.begin(), items.end(),
              [](const CountedPart &a, const CountedPart &b) { return a.part->energy_eV < b.part->energy_eV; });
    std::vector<Cluster> out;
    for (const CountedPart &item : items) {
        const double e = item.part->energy_eV;
        if (!out.empty() && e - out.back().energy_eV < 0.5 * ws.detector().fwhm(e)) {
            Cluster &c = out.back();
            c.energy_eV = (c.energy_eV * c.counts + e * item.counts) / (c.counts + item.counts);
            c.counts += item.counts;
            if (item.counts > c.strongestCounts) {
                c.strongest = item.part->line;
                c.strongestCounts = item.counts;
            }
            continue;
        }
        out.push_back({e, item.part->fwhm_eV, item.counts, item.part->line, item.counts});
    }
    return out;
}

std::vector<ResidualPeak> residualPeaks(const Workspace &ws, const Fit &fit)
{
    const Model &model = ws.model();
    const WorkGrid &grid = ws.grid();
    const TopHat &filter = ws.filter();
    const std::vector<double> m = model.values(fit.ids, fit.amplitudes);
    const std::vector<double> spread = model.spreadValues(fit.ids, fit.amplitudes);
    const std::vector<double> &y = model.data();
    // Above the noise peak's tail (two FWHM of it), where lines are.
    const double low = ws.lowestLine();
    std::vector<ResidualPeak> peaks;
    const auto residual = [&](std::size_t i) { return y[i] - m[i]; };
    for (std::size_t i = 1; i + 1 < y.size(); ++i) {
        if (!filter.fits(i) || !(ws.sigma()[i] > 0) || grid.energy(double(i)) < low)
            continue;
        const double r = residual(i);
        if (r > residual(i - 1) && r >= residual(i + 1) && r >= PeakThreshold * ws.noise(i, spread[i]))
            peaks.push_back({grid.energy(double(i)), r / filter.response(i), r / ws.noise(i, spread[i])});
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const ResidualPeak &a, const ResidualPeak &b) { return a.netCounts > b.netCounts; });
    return peaks;
}

} // namespace identify
