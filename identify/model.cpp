#include "model.h"
#include "response.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace identify {

namespace {

const double FwhmPerSigma = 2.0 * std::sqrt(2.0 * std::numbers::ln2);

double normalCdf(double x) { return 0.5 * std::erfc(-x / std::numbers::sqrt2); }

} // namespace

void renderColumn(ModelColumn &column, const WorkGrid &grid)
{
    column.values.clear();
    column.first = 0;
    if (grid.size() == 0 || column.parts.empty())
        return;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const ModelPart &p : column.parts) {
        const double reach = p.kind == ModelPart::Kind::Step ? StepReach * p.fwhm_eV
                                                             : peakReachBelow(p.fwhm_eV, p.tail, p.tailSlope, p.shelf);
        low = std::min(low, p.at() - reach);
        high = std::max(high, p.at() + 5 * p.fwhm_eV / FwhmPerSigma);
    }
    const double n = double(grid.size());
    const double firstBin = std::clamp(std::floor(grid.bin(low)), 0.0, n - 1);
    const double lastBin = std::clamp(std::ceil(grid.bin(high)), 0.0, n - 1);
    column.first = std::size_t(firstBin);
    column.values.assign(std::size_t(lastBin - firstBin) + 1, 0.0);
    for (const ModelPart &p : column.parts) {
        const double sigma = p.fwhm_eV / FwhmPerSigma;
        if (p.kind == ModelPart::Kind::Step) {
            const double start = p.energy_eV - StepReach * p.fwhm_eV, fade = StepReach * p.fwhm_eV / 2;
            for (double b = firstBin; b <= lastBin; ++b) {
                const double e = grid.energy(b);
                const double taper = std::clamp((e - start) / fade, 0.0, 1.0);
                column.values[std::size_t(b - firstBin)] += p.area * taper * (1 - normalCdf((e - p.energy_eV) / sigma));
            }
            continue;
        }
        const double reach = 5 * sigma;
        const double below = peakReachBelow(p.fwhm_eV, p.tail, p.tailSlope, p.shelf);
        const double b0 = std::clamp(std::floor(grid.bin(p.at() - below)), firstBin, lastBin);
        const double b1 = std::clamp(std::ceil(grid.bin(p.at() + reach)), firstBin, lastBin);
        if (p.tail > 0 || p.shelf > 0)
            addPeak(column.values.data() + std::size_t(b0 - firstBin), std::size_t(b1 - b0) + 1, grid.energy(b0),
                    grid.gain_eV, p.at(), p.fwhm_eV, p.area, p.tail, p.tailSlope, p.shelf);
        else
            addGaussian(column.values.data() + std::size_t(b0 - firstBin), std::size_t(b1 - b0) + 1,
                        grid.energy(b0), grid.gain_eV, p.at(), p.fwhm_eV, p.area);
    }
}

void addGaussian(double *values, std::size_t count, double firstEnergy_eV, double gain_eV, double energy_eV,
                 double fwhm_eV, double area)
{
    const double sigma = fwhm_eV / FwhmPerSigma;
    if (!(sigma > 0) || count == 0)
        return;
    if (gain_eV > sigma) {
        // Coarse bins: the Gaussian integrated over each.
        double below = normalCdf((firstEnergy_eV - gain_eV / 2 - energy_eV) / sigma);
        for (std::size_t k = 0; k < count; ++k) {
            const double above = normalCdf((firstEnergy_eV + gain_eV * (double(k) + 0.5) - energy_eV) / sigma);
            values[k] += area * (above - below);
            below = above;
        }
        return;
    }
    // Fine bins: the density at each bin's centre, the bin's width added in
    // quadrature (a box of width g has variance g^2/12), by the recurrence
    // g(x + d) = g(x) r, r -> r exp(-d^2/s^2): three exponentials in all.
    const double s2 = sigma * sigma + gain_eV * gain_eV / 12;
    const double x0 = firstEnergy_eV - energy_eV;
    const double a = std::exp(-gain_eV * gain_eV / (2 * s2));
    double value = area * gain_eV / std::sqrt(2 * std::numbers::pi * s2) * std::exp(-x0 * x0 / (2 * s2));
    double ratio = std::exp(-x0 * gain_eV / s2) * a;
    const double step = a * a;
    for (std::size_t k = 0; k < count; ++k) {
        values[k] += value;
        value *= ratio;
        ratio *= step;
    }
}

double partAreaBetween(const ModelPart &part, double low_eV, double high_eV)
{
    const double sigma = part.fwhm_eV / FwhmPerSigma;
    return part.area
           * ((1 - part.tail - part.shelf) * (normalCdf((high_eV - part.at()) / sigma) - normalCdf((low_eV - part.at()) / sigma))
              + tailAreaBetween(low_eV - part.at(), high_eV - part.at(), part.fwhm_eV, part.tail, part.tailSlope,
                                part.shelf));
}

Model::Model(std::vector<double> y, std::vector<double> weights) : y_(std::move(y)), w_(std::move(weights))
{
    for (std::size_t i = 0; i < y_.size(); ++i)
        yy_ += w_[i] * y_[i] * y_[i];
}

std::size_t Model::add(ModelColumn column)
{
    double g = 0;
    for (std::size_t k = 0; k < column.values.size(); ++k) {
        const std::size_t i = column.first + k;
        g += w_[i] * column.values[k] * y_[i];
    }
    columns_.push_back(std::move(column));
    gy_.push_back(g);
    gram_.emplace_back();
    return columns_.size() - 1;
}

double Model::gram(std::size_t a, std::size_t b)
{
    // Rows grow as later columns are met: the entry (a, b) lives in the row
    // of the later one.
    if (a < b)
        std::swap(a, b);
    std::vector<double> &row = gram_[a];
    if (row.size() <= b)
        row.resize(a + 1, std::numeric_limits<double>::quiet_NaN());
    double &cached = row[b];
    if (!std::isnan(cached))
        return cached;
    const ModelColumn &ca = columns_[a], &cb = columns_[b];
    const std::size_t first = std::max(ca.first, cb.first);
    const std::size_t end = std::min(ca.first + ca.values.size(), cb.first + cb.values.size());
    double sum = 0;
    for (std::size_t i = first; i < end; ++i)
        sum += w_[i] * ca.values[i - ca.first] * cb.values[i - cb.first];
    work_ += double(end > first ? end - first : 0) + 1;
    cached = sum;
    return sum;
}

std::vector<double> Model::fit(const std::vector<std::size_t> &ids, const std::vector<Tie> &ties)
{
    SquareMatrix G(ids.size());
    std::vector<double> g(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        g[i] = gy_[ids[i]];
        for (std::size_t j = 0; j <= i; ++j)
            G(i, j) = G(j, i) = gram(ids[i], ids[j]);
    }
    work_ += double(ids.size()) * double(ids.size());
    return tiedLeastSquares(G, g, ties, &work_);
}

std::vector<double> Model::fitAround(const std::vector<std::size_t> &ids, const std::vector<Tie> &ties,
                                     const std::vector<std::size_t> &fixed,
                                     const std::vector<double> &fixedAmplitudes)
{
    SquareMatrix G(ids.size());
    std::vector<double> g(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        g[i] = gy_[ids[i]];
        for (std::size_t k = 0; k < fixed.size(); ++k)
            if (fixedAmplitudes[k] != 0)
                g[i] -= fixedAmplitudes[k] * gram(ids[i], fixed[k]);
        for (std::size_t j = 0; j <= i; ++j)
            G(i, j) = G(j, i) = gram(ids[i], ids[j]);
    }
    work_ += double(ids.size()) * double(ids.size());
    return tiedLeastSquares(G, g, ties, &work_);
}

std::vector<double> Model::fitWeighted(const std::vector<std::size_t> &ids, const std::vector<Tie> &ties,
                                       const std::vector<std::size_t> &fixed,
                                       const std::vector<double> &fixedAmplitudes, const std::vector<double> &weights)
{
    // What the fixed columns leave of the data.
    std::vector<double> rest = y_;
    for (std::size_t k = 0; k < fixed.size(); ++k)
        if (fixedAmplitudes[k] != 0) {
            const ModelColumn &c = columns_[fixed[k]];
            for (std::size_t b = 0; b < c.values.size(); ++b)
                rest[c.first + b] -= fixedAmplitudes[k] * c.values[b];
        }
    const auto cross = [&](const ModelColumn &a, const ModelColumn &b) {
        const std::size_t first = std::max(a.first, b.first);
        const std::size_t end = std::min(a.first + a.values.size(), b.first + b.values.size());
        double sum = 0;
        for (std::size_t i = first; i < end; ++i)
            sum += weights[i] * a.values[i - a.first] * b.values[i - b.first];
        work_ += double(end > first ? end - first : 0) + 1;
        return sum;
    };
    SquareMatrix G(ids.size());
    std::vector<double> g(ids.size(), 0.0);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const ModelColumn &ci = columns_[ids[i]];
        for (std::size_t b = 0; b < ci.values.size(); ++b)
            g[i] += weights[ci.first + b] * ci.values[b] * rest[ci.first + b];
        for (std::size_t j = 0; j <= i; ++j)
            G(i, j) = G(j, i) = cross(ci, columns_[ids[j]]);
    }
    return tiedLeastSquares(G, g, ties, &work_);
}

double Model::chiSquare(const std::vector<std::size_t> &ids, const std::vector<double> &amplitudes)
{
    double chi = yy_;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (amplitudes[i] == 0)
            continue;
        chi -= 2 * amplitudes[i] * gy_[ids[i]];
        for (std::size_t j = 0; j < ids.size(); ++j)
            if (amplitudes[j] != 0)
                chi += amplitudes[i] * amplitudes[j] * gram(ids[i], ids[j]);
    }
    return chi;
}

void Model::addValues(std::size_t id, double amplitude, std::vector<double> &into) const
{
    if (amplitude == 0)
        return;
    const ModelColumn &c = columns_[id];
    for (std::size_t k = 0; k < c.values.size(); ++k)
        into[c.first + k] += amplitude * c.values[k];
}

void Model::addSpread(std::size_t id, double amplitude, std::vector<double> &into) const
{
    if (amplitude == 0)
        return;
    const ModelColumn &c = columns_[id];
    for (std::size_t k = 0; k < c.spread.size(); ++k)
        into[c.spreadFirst + k] += std::fabs(amplitude) * c.spread[k];
}

std::vector<double> Model::spreadValues(const std::vector<std::size_t> &ids, const std::vector<double> &amplitudes) const
{
    std::vector<double> v(y_.size(), 0.0);
    for (std::size_t i = 0; i < ids.size(); ++i)
        addSpread(ids[i], amplitudes[i], v);
    return v;
}

std::vector<double> Model::values(const std::vector<std::size_t> &ids, const std::vector<double> &amplitudes) const
{
    std::vector<double> v(y_.size(), 0.0);
    for (std::size_t i = 0; i < ids.size(); ++i)
        addValues(ids[i], amplitudes[i], v);
    return v;
}

} // namespace identify
