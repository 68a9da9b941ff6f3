// The map model from the sum spectrum's final fit (finalfit.h).
#include "mapmodel.h"

#include "finalfit.h"
#include "nnls.h"
#include "tophat.h"

#include "xray/edges.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace identify {

namespace {

// Adds factor × src (over bins srcFirst ..) into `into` (over bins first ..),
// widening `into` as needed.
void addInto(std::size_t &first, std::vector<double> &into, std::size_t srcFirst, const std::vector<double> &src,
             double factor)
{
    if (src.empty() || factor == 0)
        return;
    if (into.empty()) {
        first = srcFirst;
        into.assign(src.size(), 0.0);
    }
    const std::size_t lo = std::min(first, srcFirst);
    const std::size_t hi = std::max(first + into.size(), srcFirst + src.size());
    if (lo < first || hi > first + into.size()) {
        std::vector<double> wider(hi - lo, 0.0);
        std::copy(into.begin(), into.end(), wider.begin() + std::ptrdiff_t(first - lo));
        into = std::move(wider);
        first = lo;
    }
    for (std::size_t k = 0; k < src.size(); ++k)
        into[srcFirst + k - first] += factor * src[k];
}

// Drops the zeros at either end.
void trim(std::size_t &first, std::vector<double> &values)
{
    std::size_t lo = 0, hi = values.size();
    while (lo < hi && values[lo] == 0)
        ++lo;
    while (hi > lo && values[hi - 1] == 0)
        --hi;
    if (lo == hi) {
        first = 0;
        values.clear();
        return;
    }
    values = std::vector<double>(values.begin() + std::ptrdiff_t(lo), values.begin() + std::ptrdiff_t(hi));
    first += lo;
}

// The column before the filter: its parts drawn on the grid.
std::pair<std::size_t, std::vector<double>> rawOf(const ModelColumn &column, const WorkGrid &grid)
{
    ModelColumn copy;
    copy.parts = column.parts;
    renderColumn(copy, grid);
    return {copy.first, std::move(copy.values)};
}

// The counts an element's column brings per unit amplitude: its lines,
// not their escape peaks.
double lineArea(const ModelColumn &column)
{
    double area = 0;
    for (const ModelPart &p : column.parts)
        if (p.kind == ModelPart::Kind::Line)
            area += p.area;
    return area;
}

std::string symbol(int Z) { return std::string(xray::elementSymbol(std::abs(Z))); }

// The lines of one subshell of an element stand in the table's ratios to
// within this much (or the ratio of their energies to the power 1.5, when
// that is more: the detector's efficiency and the sample's absorption part
// lines far apart). Identification lets soft lines stray much further
// (peakTolerance), to find an element whose soft lines the model draws
// poorly; in a map that freedom lets an element's column take up another's
// peak for good: in the phantom, V Ll took the Ti La peak, and every TiO2
// pixel then showed V.
// The calibration is measured again on the sum's whole model in at most
// this many steps, each moving it by at most this much (eV, and eV per keV
// of the line's energy for a tenth of it).
constexpr int MapCalibrationSteps = 3;
constexpr double MapCalibrationReach_eV = 10;

double subshellTolerance(double a_eV, double b_eV)
{
    const double low = std::min(a_eV, b_eV), high = std::max(a_eV, b_eV);
    return std::max(1.25, std::pow(high / low, 1.5));
}

// A column's energy: its lines', weighted by their areas.
double energyOf(const ModelColumn &column)
{
    double area = 0, sum = 0;
    for (const ModelPart &p : column.parts)
        if (p.kind == ModelPart::Kind::Line) {
            area += p.area;
            sum += p.area * p.energy_eV;
        }
    return area > 0 ? sum / area : 0;
}

// Columns of either sign beside the fit's own: over bins first ...
struct Extra {
    std::size_t first = 0;
    std::vector<double> values;
};

// The sum spectrum fitted again with the columns and ties of its final fit,
// the lines of each element's subshells held closer to the table's ratios
// (subshellTolerance), and `extras` of either sign. The sum's counts: y,
// filtered, with its weights w. The amplitudes of the columns, then of the
// extras.
std::vector<double> refit(const FinalFit &fit, const std::vector<double> &y, const std::vector<double> &w,
                          const std::vector<Extra> &extras = {})
{
    const std::size_t n = fit.columns.size();
    // Each extra twice, as itself and its negative: both at least 0.
    const std::size_t total = n + 2 * extras.size();
    const auto valuesOf = [&](std::size_t a, std::size_t &first) -> const std::vector<double> & {
        if (a < n) {
            first = fit.columns[a].first;
            return fit.columns[a].values;
        }
        first = extras[(a - n) / 2].first;
        return extras[(a - n) / 2].values;
    };
    const auto sign = [&](std::size_t a) { return a >= n && (a - n) % 2 == 1 ? -1.0 : 1.0; };
    const auto cross = [&](const std::vector<double> &a, std::size_t aFirst, const std::vector<double> &b,
                           std::size_t bFirst) {
        const std::size_t lo = std::max(aFirst, bFirst), hi = std::min(aFirst + a.size(), bFirst + b.size());
        double sum = 0;
        for (std::size_t i = lo; i < hi; ++i)
            sum += w[i] * a[i - aFirst] * b[i - bFirst];
        return sum;
    };
    SquareMatrix G(total);
    std::vector<double> g(total, 0.0);
    for (std::size_t a = 0; a < total; ++a) {
        std::size_t aFirst = 0;
        const std::vector<double> &va = valuesOf(a, aFirst);
        g[a] = sign(a) * cross(va, aFirst, y, 0);
        for (std::size_t b = 0; b <= a; ++b) {
            std::size_t bFirst = 0;
            const std::vector<double> &vb = valuesOf(b, bFirst);
            G(a, b) = G(b, a) = sign(a) * sign(b) * cross(va, aFirst, vb, bFirst);
        }
    }
    std::vector<Tie> ties = fit.ties;
    for (Tie &t : ties) {
        if (t.parent == Tie::Bound || t.column >= n || t.parent >= n)
            continue;
        const ModelColumn &c = fit.columns[t.column], &p = fit.columns[t.parent];
        if (c.sample() && c.Z == p.Z && c.family == p.family && c.shell == p.shell) {
            const double tolerance = subshellTolerance(energyOf(c), energyOf(p));
            t.low = std::max(t.low, 1 / tolerance);
            t.high = std::min(t.high, tolerance);
        }
    }
    std::vector<double> a = tiedLeastSquares(G, g, ties);
    std::vector<double> out(a.begin(), a.begin() + std::ptrdiff_t(n));
    for (std::size_t e = 0; e < extras.size(); ++e)
        out.push_back(a[n + 2 * e] - a[n + 2 * e + 1]);
    return out;
}

// The peaks the calibration moves: lines, escape and sum peaks (not the
// noise peak, whose place the peak search measured, nor the steps).
bool moves(const ModelPart &part)
{
    return part.kind == ModelPart::Kind::Line || part.kind == ModelPart::Kind::Escape ||
           part.kind == ModelPart::Kind::Sum;
}

// A column drawn again with its peaks moved by offset + perKeV E (E in keV),
// and filtered.
Extra shifted(const ModelColumn &column, const FinalFit &fit, const TopHat &filter, double offset_eV, double perKeV)
{
    ModelColumn copy;
    copy.parts = column.parts;
    for (ModelPart &p : copy.parts)
        if (moves(p))
            p.shift_eV += offset_eV + perKeV * p.energy_eV / 1000;
    renderColumn(copy, fit.grid);
    Extra e;
    e.values = filter.applyLocal(copy.values, copy.first, e.first);
    return e;
}

// The calibration that the sum spectrum's whole model fits best, near the
// one identification measured on its peaks one by one: the fit's columns
// with the derivatives of the model by an offset and a gain of the energy
// scale beside them (Gauss-Newton, a few steps). Elements whose peaks
// overlap are told apart by a few eV (Si Ka and W Ma lie 35 eV apart), and
// an error of 1.5 eV there moved 3 to 5 % of the phantom's Si into the W
// map or back.
void recalibrate(FinalFit &fit, const TopHat &filter, const std::vector<double> &y, const std::vector<double> &w)
{
    constexpr double Step_eV = 1;
    const std::size_t bins = fit.grid.size();
    for (int round = 0; round < MapCalibrationSteps; ++round) {
        const std::vector<double> a = refit(fit, y, w);
        Extra byOffset{0, std::vector<double>(bins, 0.0)}, byGain{0, std::vector<double>(bins, 0.0)};
        bool any = false;
        for (std::size_t j = 0; j < fit.columns.size(); ++j) {
            const ModelColumn &c = fit.columns[j];
            if (!(a[j] > 0) || !std::any_of(c.parts.begin(), c.parts.end(), moves))
                continue;
            any = true;
            const auto derivative = [&](Extra &into, double offset, double perKeV) {
                const Extra up = shifted(c, fit, filter, offset, perKeV);
                const Extra down = shifted(c, fit, filter, -offset, -perKeV);
                for (std::size_t k = 0; k < up.values.size(); ++k)
                    into.values[up.first + k] += a[j] * up.values[k] / (2 * Step_eV);
                for (std::size_t k = 0; k < down.values.size(); ++k)
                    into.values[down.first + k] -= a[j] * down.values[k] / (2 * Step_eV);
            };
            derivative(byOffset, Step_eV, 0);
            derivative(byGain, 0, Step_eV);
        }
        if (!any)
            return;
        const std::vector<double> b = refit(fit, y, w, {byOffset, byGain});
        const std::size_t n = fit.columns.size();
        // The model moved by the offset and gain that the derivatives'
        // amplitudes give (taken at amplitudes a, which the refit keeps).
        const double dOffset = std::clamp(b[n], -MapCalibrationReach_eV, MapCalibrationReach_eV);
        const double dGain = std::clamp(b[n + 1], -MapCalibrationReach_eV / 10, MapCalibrationReach_eV / 10);
        for (ModelColumn &c : fit.columns) {
            if (!std::any_of(c.parts.begin(), c.parts.end(), moves))
                continue;
            const Extra moved = shifted(c, fit, filter, dOffset, dGain);
            for (ModelPart &p : c.parts)
                if (moves(p))
                    p.shift_eV += dOffset + dGain * p.energy_eV / 1000;
            c.first = moved.first;
            c.values = moved.values;
        }
        if (std::fabs(dOffset) + 10 * std::fabs(dGain) < 0.05)
            return;
    }
}

MapColumn elementColumn(const FinalFit &fit, int Z, const Identification &id)
{
    MapColumn c;
    c.kind = MapColumn::Kind::Element;
    c.Z = Z;
    c.label = symbol(Z);
    for (const IdentifiedElement &e : id.elements)
        if (e.Z == Z)
            for (const xray::Line *line : e.lines)
                c.lines.emplace_back(xray::displayName(*line));
    std::vector<std::size_t> mine;
    for (std::size_t i = 0; i < fit.columns.size(); ++i)
        if (fit.columns[i].sample() && fit.columns[i].Z == Z)
            mine.push_back(i);
    // The ratios of the fit; an element the sum shows none of keeps the
    // ratios of its pattern as made (every amplitude 1).
    double counts = 0;
    for (const std::size_t i : mine)
        counts += std::max(0.0, fit.amplitudes[i]) * lineArea(fit.columns[i]);
    const bool fitted = counts > 0;
    if (!fitted) {
        counts = 0;
        for (const std::size_t i : mine)
            counts += lineArea(fit.columns[i]);
    }
    if (!(counts > 0))
        return c;
    for (const std::size_t i : mine) {
        const double a = (fitted ? std::max(0.0, fit.amplitudes[i]) : 1.0) / counts;
        const ModelColumn &column = fit.columns[i];
        addInto(c.first, c.values, column.first, column.values, a);
        const auto [rawFirst, raw] = rawOf(column, fit.grid);
        addInto(c.rawFirst, c.raw, rawFirst, raw, a);
    }
    trim(c.first, c.values);
    trim(c.rawFirst, c.raw);
    return c;
}

std::string scatterLabel(const ModelColumn &column)
{
    const bool compton = std::any_of(column.parts.begin(), column.parts.end(), [](const ModelPart &p) {
        return p.source == ModelPart::Source::Compton;
    });
    return symbol(column.Z) + " " + std::string(xray::familyName(column.family)) +
           (compton ? " Compton-scattered" : " scattered");
}

// The detector's internal fluorescence as a tied column: the bins whose
// counts make it are those Workspace::addInternalFluorescence counted.
std::optional<MapTied> tiedColumn(const FinalFit &fit, const ModelColumn &column, double amplitude)
{
    const WorkGrid &grid = fit.grid;
    const xray::Edge *edge = xray::findEdge(-column.Z, xray::Shell::K);
    if (!edge || !(amplitude > 0))
        return std::nullopt;
    std::size_t from = grid.size(), to = 0;
    double above = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const double e = grid.energy(double(i));
        if (e > edge->energy_eV && (!fit.beam_eV || e < *fit.beam_eV)) {
            from = std::min(from, i);
            to = i + 1;
            above += std::max(0.0, grid.counts[i]);
        }
    }
    if (!(above > 0) || from >= to)
        return std::nullopt;
    MapTied t;
    t.label = symbol(column.Z) + " internal fluorescence";
    t.fromChannel = grid.firstChannel + from * grid.channelsPerBin;
    t.toChannel = grid.firstChannel + to * grid.channelsPerBin;
    addInto(t.first, t.values, column.first, column.values, amplitude / above);
    const auto [rawFirst, raw] = rawOf(column, grid);
    addInto(t.rawFirst, t.raw, rawFirst, raw, amplitude / above);
    trim(t.first, t.values);
    trim(t.rawFirst, t.raw);
    if (t.values.empty())
        return std::nullopt;
    return t;
}

// The columns beside the elements' that the sum's fit gave counts: a
// column the whole image shows none of is none in every pixel.
void addNuisances(MapModel &m, const FinalFit &fit)
{
    // The steps come in pairs (a drop and a rise at one edge): one signed
    // column each, kept when either of the pair was fitted.
    std::map<std::pair<int, int>, double> steps;
    for (std::size_t i = 0; i < fit.columns.size(); ++i) {
        const ModelColumn &c = fit.columns[i];
        if (!c.parts.empty() && c.parts.front().kind == ModelPart::Kind::Step)
            steps[{c.Z, int(c.shell)}] += std::fabs(fit.amplitudes[i]);
    }
    for (std::size_t i = 0; i < fit.columns.size(); ++i) {
        const ModelColumn &c = fit.columns[i];
        const double a = fit.amplitudes[i];
        if (c.sample() || c.parts.empty())
            continue;
        if (c.internal) {
            if (auto t = tiedColumn(fit, c, a))
                m.tied.push_back(std::move(*t));
            continue;
        }
        MapColumn out;
        out.Z = std::abs(c.Z);
        const ModelPart::Kind kind = c.parts.front().kind;
        if (kind == ModelPart::Kind::Step) {
            if (c.parts.front().area < 0 || !(steps[{c.Z, int(c.shell)}] > 0))
                continue;
            out.kind = MapColumn::Kind::Signed;
            out.label = "step at " + symbol(c.Z) + " " + std::string(xray::shellName(c.shell)) + " edge";
        } else {
            if (!(a > 0))
                continue;
            out.kind = MapColumn::Kind::Peak;
            out.label = kind == ModelPart::Kind::Zero  ? "noise peak"
                        : kind == ModelPart::Kind::Sum ? "sum peaks"
                        : c.scatter                    ? scatterLabel(c)
                                                       : symbol(c.Z) + " peak";
        }
        // In units of the sum's amplitude: columns of like sizes.
        const double scale = kind == ModelPart::Kind::Step ? 1.0 : a;
        addInto(out.first, out.values, c.first, c.values, scale);
        const auto [rawFirst, raw] = rawOf(c, fit.grid);
        addInto(out.rawFirst, out.raw, rawFirst, raw, scale);
        trim(out.first, out.values);
        trim(out.rawFirst, out.raw);
        if (!out.values.empty())
            m.columns.push_back(std::move(out));
    }
}

} // namespace

std::size_t MapModel::elementCount() const
{
    std::size_t n = 0;
    while (n < columns.size() && columns[n].kind == MapColumn::Kind::Element)
        ++n;
    return n;
}

spectrum::Result<MapDesign> buildMapModel(const spectrum::Spectrum &sum, const MapOptions &options)
{
    if (!sum.calibration)
        return spectrum::Error{"the sum spectrum is not calibrated: its channels have no energies, so no element "
                               "can be mapped"};
    IdentifyOptions io = options.identify;
    if (!options.elements.empty()) {
        io.require = options.elements;
        io.searchElements = false;
    }
    FinalFit fit;
    spectrum::Result<Identification> id = identify(sum, io, &fit);
    if (!id)
        return id.error();
    MapDesign design;
    design.identification = std::move(id.value());
    MapModel &m = design.model;
    m.channels = sum.counts.size();
    m.offset_eV = sum.calibration->offset_eV;
    m.gain_eV = sum.calibration->gain_eV;

    std::vector<int> elements = options.elements;
    if (elements.empty())
        for (const IdentifiedElement &e : design.identification.elements)
            elements.push_back(e.Z);
    if (fit.empty()) {
        design.warnings.push_back("the sum spectrum holds nothing to fit: every map is 0");
        for (const int Z : elements)
            m.columns.push_back({MapColumn::Kind::Element, Z, symbol(Z), {}, 0, {}, 0, {}});
        return design;
    }

    const WorkGrid &grid = fit.grid;
    const TopHat filter(grid, fit.detector);
    const TopHat::Output filtered = filter.apply(grid.counts, poissonVariance(grid.counts));
    m.weights.assign(grid.size(), 0.0);
    for (std::size_t i = 0; i < grid.size(); ++i)
        if (filter.fits(i) && filtered.sigma[i] > 0)
            m.weights[i] = 1.0 / (filtered.sigma[i] * filtered.sigma[i] * filter.correlation(i));
    recalibrate(fit, filter, filtered.value, m.weights);
    fit.amplitudes = refit(fit, filtered.value, m.weights);

    m.firstChannel = grid.firstChannel;
    m.channelsPerBin = grid.channelsPerBin;
    m.bins = grid.size();
    m.half.resize(m.bins);
    m.side.resize(m.bins);
    for (std::size_t i = 0; i < m.bins; ++i) {
        m.half[i] = filter.half(i);
        m.side[i] = filter.side(i);
    }
    for (const int Z : elements) {
        m.columns.push_back(elementColumn(fit, Z, design.identification));
        if (m.columns.back().values.empty())
            design.warnings.push_back(symbol(Z) + " has no lines the beam excites within the spectrum's range: "
                                                  "its map is 0");
    }
    addNuisances(m, fit);
    return design;
}

} // namespace identify
