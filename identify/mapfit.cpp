#include "mapfit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>

namespace identify {

namespace {

// Zeros in a projection shorter than this do not split it in two segments.
constexpr std::size_t SegmentGap = 8;
// A column is left out when the others make all but this share of it.
constexpr double DependentShare = 1e-9;

// The Cholesky factor L (lower, row by row, n × n) of the n × n matrix A
// (its lower triangle read); false when A is not positive definite.
bool cholesky(const double *A, double *L, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = A[i * n + j];
            for (std::size_t m = 0; m < j; ++m)
                sum -= L[i * n + m] * L[j * n + m];
            if (i == j) {
                if (!(sum > 0))
                    return false;
                L[i * n + i] = std::sqrt(sum);
            } else {
                L[i * n + j] = sum / L[j * n + j];
            }
        }
    }
    return true;
}

// Solves L L' x = b in place.
void choleskySolve(const double *L, double *b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        double sum = b[i];
        for (std::size_t m = 0; m < i; ++m)
            sum -= L[i * n + m] * b[m];
        b[i] = sum / L[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        double sum = b[i];
        for (std::size_t m = i + 1; m < n; ++m)
            sum -= L[m * n + i] * b[m];
        b[i] = sum / L[i * n + i];
    }
}

// The weighted cross product of two stretches of values over bins.
double cross(const std::vector<double> &w, std::size_t firstA, const std::vector<double> &a, std::size_t firstB,
             const std::vector<double> &b)
{
    const std::size_t lo = std::max(firstA, firstB);
    const std::size_t hi = std::min(firstA + a.size(), firstB + b.size());
    double sum = 0;
    for (std::size_t i = lo; i < hi; ++i)
        sum += w[i] * a[i - firstA] * b[i - firstB];
    return sum;
}

double dot(const double *c, const double *x, std::size_t n)
{
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += c[i] * x[i];
        s1 += c[i + 1] * x[i + 1];
        s2 += c[i + 2] * x[i + 2];
        s3 += c[i + 3] * x[i + 3];
    }
    for (; i < n; ++i)
        s0 += c[i] * x[i];
    return (s0 + s1) + (s2 + s3);
}

template <class T> double rangeSum(const T *x, std::size_t n)
{
    if constexpr (std::is_integral_v<T> && sizeof(T) <= 2) {
        // In blocks that a 32-bit sum holds: it vectorises.
        using Block = std::conditional_t<std::is_signed_v<T>, std::int32_t, std::uint32_t>;
        std::int64_t total = 0;
        for (std::size_t start = 0; start < n; start += 1u << 15) {
            const std::size_t end = std::min(n, start + (std::size_t(1) << 15));
            Block sum = 0;
            for (std::size_t i = start; i < end; ++i)
                sum += Block(x[i]);
            total += std::int64_t(sum);
        }
        return double(total);
    } else if constexpr (std::is_integral_v<T> && sizeof(T) == 4) {
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < n; ++i)
            sum += std::int64_t(x[i]);
        return double(sum);
    } else {
        double s0 = 0, s1 = 0;
        std::size_t i = 0;
        for (; i + 2 <= n; i += 2) {
            s0 += double(x[i]);
            s1 += double(x[i + 1]);
        }
        if (i < n)
            s0 += double(x[i]);
        return s0 + s1;
    }
}

} // namespace

// Per call of fitPixels: room for the active-set method, with the factors
// of the passive sets met so far (the pixels of one phase mostly share
// theirs), and for a pixel's counts as doubles.
struct MapFit::Scratch {
    explicit Scratch(std::size_t k, std::size_t channels)
        : A(k * k), z(k), x(k), b(k), index(k), passive(k), counts(channels)
    {
    }
    struct Factor {
        std::uint64_t mask = ~std::uint64_t(0); // none
        std::vector<double> L;
        std::vector<std::size_t> index;
    };
    static constexpr std::size_t CacheSize = 64;
    std::vector<double> A, z, x, b;
    std::vector<std::size_t> index;
    std::vector<std::uint8_t> passive;
    std::vector<double> counts;
    Factor cache[CacheSize];
};

bool MapFit::fitted(std::size_t column) const { return column < positionOf_.size() && positionOf_[column] >= 0; }

spectrum::Result<MapFit> MapFit::prepare(const MapModel &model)
{
    if (auto error = checkMapModel(model))
        return *error;
    MapFit f;
    f.channels_ = model.channels;
    f.elements_ = model.elementCount();
    f.columns_ = model.columns.size();
    f.positionOf_.assign(f.columns_, -1);
    const std::vector<double> &w = model.weights;

    // The columns to fit, the elements first: each that adds something the
    // others do not make (Cholesky, column by column).
    std::vector<double> L;
    std::vector<std::size_t> chosen;
    for (std::size_t j = 0; j < model.columns.size(); ++j) {
        const MapColumn &cj = model.columns[j];
        const double own = cross(w, cj.first, cj.values, cj.first, cj.values);
        if (!(own > 0) || !std::isfinite(own))
            continue;
        const std::size_t p = chosen.size();
        std::vector<double> row(p + 1);
        for (std::size_t m = 0; m < p; ++m) {
            const MapColumn &cm = model.columns[chosen[m]];
            row[m] = cross(w, cj.first, cj.values, cm.first, cm.values);
        }
        row[p] = own;
        // Try the factor with the new row.
        std::vector<double> l(p + 1);
        double rest = own;
        for (std::size_t m = 0; m < p; ++m) {
            double sum = row[m];
            for (std::size_t q = 0; q < m; ++q)
                sum -= l[q] * L[m * MaxMapColumns + q];
            l[m] = sum / L[m * MaxMapColumns + m];
            rest -= l[m] * l[m];
        }
        if (!(rest > DependentShare * own) || p == MaxMapColumns)
            continue;
        if (L.empty())
            L.assign(MaxMapColumns * MaxMapColumns, 0.0);
        l[p] = std::sqrt(rest);
        std::copy(l.begin(), l.end(), L.begin() + std::ptrdiff_t(p * MaxMapColumns));
        chosen.push_back(j);
    }
    const std::size_t k = chosen.size();
    f.k_ = k;
    f.fittedColumn_ = chosen;
    f.signed_.resize(k);
    f.gram_.assign(k * k, 0.0);
    for (std::size_t a = 0; a < k; ++a) {
        const MapColumn &ca = model.columns[chosen[a]];
        f.positionOf_[chosen[a]] = std::int32_t(a);
        f.signed_[a] = ca.kind == MapColumn::Kind::Signed;
        for (std::size_t b = 0; b <= a; ++b) {
            const MapColumn &cb = model.columns[chosen[b]];
            f.gram_[a * k + b] = f.gram_[b * k + a] = cross(w, ca.first, ca.values, cb.first, cb.values);
        }
    }
    // The inverse, column by column from the factor.
    std::vector<double> Lk(k * k);
    if (k > 0 && !cholesky(f.gram_.data(), Lk.data(), k))
        return spectrum::Error{"the map model's columns cannot be told apart"};
    f.inverse_.assign(k * k, 0.0);
    std::vector<double> e(k);
    for (std::size_t c = 0; c < k; ++c) {
        std::fill(e.begin(), e.end(), 0.0);
        e[c] = 1;
        choleskySolve(Lk.data(), e.data(), k);
        for (std::size_t r = 0; r < k; ++r)
            f.inverse_[r * k + c] = e[r];
    }

    // Each column's projection: the filter's transpose applied to the
    // weighted column, over bins, then spread over each bin's channels.
    const std::size_t bins = model.bins;
    std::vector<double> q(bins);
    for (std::size_t a = 0; a < k; ++a) {
        const MapColumn &c = model.columns[chosen[a]];
        std::fill(q.begin(), q.end(), 0.0);
        for (std::size_t t = 0; t < c.values.size(); ++t) {
            const std::size_t i = c.first + t;
            const double v = w[i] * c.values[t];
            if (v == 0)
                continue;
            const std::size_t h = std::size_t(model.half[i]), s = std::size_t(model.side[i]);
            if (i < h + s || i + h + s >= bins)
                continue; // the filter does not fit there (nor does a weight belong)
            for (std::size_t j = i - h; j <= i + h; ++j)
                q[j] += v / double(2 * h + 1);
            for (std::size_t j = i - h - s; j < i - h; ++j)
                q[j] -= v / double(2 * s);
            for (std::size_t j = i + h + 1; j <= i + h + s; ++j)
                q[j] -= v / double(2 * s);
        }
        for (std::size_t b = 0; b < bins;) {
            if (q[b] == 0) {
                ++b;
                continue;
            }
            std::size_t end = b + 1, zeros = 0;
            for (std::size_t j = b + 1; j < bins && zeros < SegmentGap; ++j) {
                if (q[j] == 0) {
                    ++zeros;
                } else {
                    zeros = 0;
                    end = j + 1;
                }
            }
            const std::size_t g = model.channelsPerBin;
            Segment segment{std::uint32_t(a), std::uint32_t(model.firstChannel + b * g), std::uint32_t((end - b) * g),
                            f.coefficients_.size()};
            for (std::size_t j = b; j < end; ++j)
                f.coefficients_.insert(f.coefficients_.end(), g, q[j]);
            f.segments_.push_back(segment);
            b = end;
        }
    }
    std::sort(f.segments_.begin(), f.segments_.end(),
              [](const Segment &x, const Segment &y) { return x.channel < y.channel; });
    f.low_ = f.segments_.empty() ? 0 : f.segments_.front().channel;
    for (const Segment &segment : f.segments_)
        f.high_ = std::max<std::size_t>(f.high_, segment.channel + segment.count);

    // The tied columns: their counts take A'W t from each column's g.
    for (const MapTied &t : model.tied) {
        f.tied_.push_back({t.fromChannel, t.toChannel});
        for (std::size_t a = 0; a < k; ++a) {
            const MapColumn &c = model.columns[chosen[a]];
            f.tiedEffect_.push_back(cross(w, c.first, c.values, t.first, t.values));
        }
    }
    return f;
}

template <class T> bool MapFit::project(const T *x, double *g, double *sums, double *counts) const
{
    // The channels the projections read, as doubles once.
    for (std::size_t c = low_; c < high_; ++c)
        counts[c - low_] = double(x[c]);
    std::fill(g, g + k_, 0.0);
    for (const Segment &s : segments_)
        g[s.column] += dot(coefficients_.data() + s.offset, counts + (s.channel - low_), s.count);
    for (std::size_t t = 0; t < tied_.size(); ++t) {
        const double n = rangeSum(x + tied_[t].from, tied_[t].to - tied_[t].from);
        sums[t] = n;
        for (std::size_t a = 0; a < k_; ++a)
            g[a] -= tiedEffect_[t * k_ + a] * n;
    }
    for (std::size_t a = 0; a < k_; ++a)
        if (!std::isfinite(g[a]))
            return false;
    return true;
}

// The unconstrained solution, then, when an amplitude that must not be
// negative is, Lawson and Hanson's active-set method on the normal
// equations (as nnls.h, without its allocations), started from the
// columns that solution gives a positive amplitude.
void MapFit::solve(const double *g, double *x, Scratch &s) const
{
    const std::size_t k = k_;
    bool feasible = true;
    for (std::size_t a = 0; a < k; ++a) {
        double sum = 0;
        const double *row = inverse_.data() + a * k;
        for (std::size_t b = 0; b < k; ++b)
            sum += row[b] * g[b];
        x[a] = sum;
        feasible = feasible && (signed_[a] || sum >= 0);
    }
    if (feasible)
        return;

    double scale = 0;
    for (std::size_t a = 0; a < k; ++a)
        scale = std::max(scale, std::fabs(g[a]));
    const double tolerance = 1e-10 * scale;
    // Solves G_PP z_P = g_P on the passive set into s.z (0 elsewhere);
    // false when G_PP is singular.
    const auto solvePassive = [&]() {
        std::uint64_t mask = 0;
        std::size_t p = 0;
        for (std::size_t a = 0; a < k; ++a)
            if (s.passive[a]) {
                s.index[p++] = a;
                mask |= std::uint64_t(1) << (a & 63);
            }
        std::fill(s.z.begin(), s.z.end(), 0.0);
        if (p == 0)
            return true;
        // The factor of G_PP: from the cache when k allows it a mask.
        Scratch::Factor *factor = nullptr;
        if (k <= 64) {
            factor = &s.cache[(mask * 0x9E3779B97F4A7C15ull) >> 58];
            if (factor->mask != mask) {
                factor->mask = ~std::uint64_t(0);
                factor->L.resize(p * p);
                factor->index.assign(s.index.begin(), s.index.begin() + std::ptrdiff_t(p));
                for (std::size_t i = 0; i < p; ++i)
                    for (std::size_t j = 0; j <= i; ++j)
                        s.A[i * p + j] = gram_[s.index[i] * k + s.index[j]];
                if (!cholesky(s.A.data(), factor->L.data(), p))
                    return false;
                factor->mask = mask;
            }
        }
        const double *L = factor ? factor->L.data() : s.A.data();
        if (!factor) {
            for (std::size_t i = 0; i < p; ++i)
                for (std::size_t j = 0; j <= i; ++j)
                    s.A[i * p + j] = gram_[s.index[i] * k + s.index[j]];
            std::vector<double> own(p * p);
            if (!cholesky(s.A.data(), own.data(), p))
                return false;
            std::copy(own.begin(), own.end(), s.A.begin());
        }
        for (std::size_t i = 0; i < p; ++i)
            s.b[i] = g[s.index[i]];
        choleskySolve(L, s.b.data(), p);
        for (std::size_t i = 0; i < p; ++i)
            s.z[s.index[i]] = s.b[i];
        return true;
    };

    for (std::size_t a = 0; a < k; ++a)
        s.passive[a] = signed_[a] || x[a] > 0;
    std::fill(s.x.begin(), s.x.end(), 0.0);
    if (solvePassive())
        for (std::size_t a = 0; a < k; ++a) {
            if (!s.passive[a])
                continue;
            if (!signed_[a] && !(s.z[a] > 0))
                s.passive[a] = false;
            else
                s.x[a] = s.z[a];
        }
    const std::size_t limit = 3 * k + 3;
    for (std::size_t outer = 0; outer < limit; ++outer) {
        // Back to a positive solution on the passive set.
        for (std::size_t inner = 0; inner < limit; ++inner) {
            if (!solvePassive())
                break;
            double alpha = 2;
            for (std::size_t a = 0; a < k; ++a)
                if (s.passive[a] && !signed_[a] && !(s.z[a] > 0))
                    alpha = std::min(alpha, s.x[a] / (s.x[a] - s.z[a]));
            if (alpha > 1) {
                std::copy(s.z.begin(), s.z.end(), s.x.begin());
                break;
            }
            for (std::size_t a = 0; a < k; ++a) {
                if (!s.passive[a])
                    continue;
                s.x[a] += alpha * (s.z[a] - s.x[a]);
                if (!signed_[a] && !(s.x[a] > 0)) {
                    s.x[a] = 0;
                    s.passive[a] = false;
                }
            }
        }
        // The column whose amplitude would lower chi-square most, if any.
        std::size_t best = k;
        double most = tolerance;
        for (std::size_t a = 0; a < k; ++a) {
            if (s.passive[a])
                continue;
            double wa = g[a];
            for (std::size_t b = 0; b < k; ++b)
                wa -= gram_[a * k + b] * s.x[b];
            if (wa > most) {
                most = wa;
                best = a;
            }
        }
        if (best == k)
            break;
        s.passive[best] = true;
    }
    std::copy(s.x.begin(), s.x.end(), x);
}

template <class T> void MapFit::fitPixels(const T *counts, std::size_t pixels, float *out, std::size_t stride) const
{
    Scratch scratch(k_, high_ - low_);
    std::vector<double> g(k_), x(k_), sums(tied_.size());
    std::vector<std::int32_t> position(elements_);
    for (std::size_t e = 0; e < elements_; ++e)
        position[e] = positionOf_[e];
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t p = 0; p < pixels; ++p) {
        const T *pixel = counts + p * channels_;
        if (!project(pixel, g.data(), sums.data(), scratch.counts.data())) {
            for (std::size_t e = 0; e < elements_; ++e)
                out[e * stride + p] = nan;
            continue;
        }
        solve(g.data(), x.data(), scratch);
        for (std::size_t e = 0; e < elements_; ++e)
            out[e * stride + p] = position[e] >= 0 ? float(std::max(0.0, x[std::size_t(position[e])])) : 0.0f;
    }
}

template <class T> MapFit::PixelFit MapFit::fitPixel(const T *counts) const
{
    PixelFit fit{std::vector<double>(columns_, 0.0), std::vector<double>(tied_.size(), 0.0)};
    Scratch scratch(k_, high_ - low_);
    std::vector<double> g(k_), x(k_);
    if (!project(counts, g.data(), fit.tiedCounts.data(), scratch.counts.data())) {
        std::fill(fit.amplitudes.begin(), fit.amplitudes.end(), std::numeric_limits<double>::quiet_NaN());
        return fit;
    }
    solve(g.data(), x.data(), scratch);
    for (std::size_t a = 0; a < k_; ++a)
        fit.amplitudes[fittedColumn_[a]] = signed_[a] ? x[a] : std::max(0.0, x[a]);
    return fit;
}

#define ZANDOR_MAPFIT_TYPE(T)                                                                                          \
    template void MapFit::fitPixels<T>(const T *, std::size_t, float *, std::size_t) const;                             \
    template MapFit::PixelFit MapFit::fitPixel<T>(const T *) const;
ZANDOR_MAPFIT_TYPE(std::uint8_t)
ZANDOR_MAPFIT_TYPE(std::uint16_t)
ZANDOR_MAPFIT_TYPE(std::uint32_t)
ZANDOR_MAPFIT_TYPE(std::uint64_t)
ZANDOR_MAPFIT_TYPE(std::int8_t)
ZANDOR_MAPFIT_TYPE(std::int16_t)
ZANDOR_MAPFIT_TYPE(std::int32_t)
ZANDOR_MAPFIT_TYPE(std::int64_t)
ZANDOR_MAPFIT_TYPE(float)
ZANDOR_MAPFIT_TYPE(double)
#undef ZANDOR_MAPFIT_TYPE

} // namespace identify
