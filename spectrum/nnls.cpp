#include "nnls.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace spectrum {

namespace {

// Solves G_PP z = g_P for the passive set P by Cholesky, with a tiny ridge
// for columns that are nearly dependent. Nothing when it fails.
std::optional<std::vector<double>> solvePassive(const SquareMatrix &G, const std::vector<double> &g,
                                                const std::vector<std::size_t> &P)
{
    const std::size_t k = P.size();
    std::vector<double> L(k * k, 0.0);
    for (std::size_t i = 0; i < k; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = G(P[i], P[j]);
            if (i == j)
                sum += 1e-12 * G(P[i], P[i]);
            for (std::size_t m = 0; m < j; ++m)
                sum -= L[i * k + m] * L[j * k + m];
            if (i == j) {
                if (!(sum > 0))
                    return std::nullopt;
                L[i * k + i] = std::sqrt(sum);
            } else {
                L[i * k + j] = sum / L[j * k + j];
            }
        }
    }
    std::vector<double> z(k);
    for (std::size_t i = 0; i < k; ++i) {
        double sum = g[P[i]];
        for (std::size_t m = 0; m < i; ++m)
            sum -= L[i * k + m] * z[m];
        z[i] = sum / L[i * k + i];
    }
    for (std::size_t i = k; i-- > 0;) {
        double sum = z[i];
        for (std::size_t m = i + 1; m < k; ++m)
            sum -= L[m * k + i] * z[m];
        z[i] = sum / L[i * k + i];
    }
    return z;
}

} // namespace

namespace {

// The inner loop of Lawson and Hanson: from a feasible a, solve on the
// passive set and step back towards feasibility until the passive
// solution is positive.
void settle(const SquareMatrix &G, const std::vector<double> &g, std::vector<double> &a, std::vector<bool> &passive,
            double scale)
{
    const std::size_t n = G.n;
    for (std::size_t inner = 0; inner < 3 * n + 3; ++inner) {
        std::vector<std::size_t> P;
        for (std::size_t j = 0; j < n; ++j)
            if (passive[j])
                P.push_back(j);
        if (P.empty())
            return;
        const auto z = solvePassive(G, g, P);
        if (!z) {
            // Dependent columns: drop the last one taken.
            passive[P.back()] = false;
            a[P.back()] = 0;
            continue;
        }
        bool allPositive = true;
        for (const double v : *z)
            allPositive = allPositive && v > 0;
        if (allPositive) {
            std::fill(a.begin(), a.end(), 0.0);
            for (std::size_t i = 0; i < P.size(); ++i)
                a[P[i]] = (*z)[i];
            return;
        }
        // Step from a towards z as far as a stays feasible.
        double alpha = 1;
        for (std::size_t i = 0; i < P.size(); ++i)
            if ((*z)[i] <= 0)
                alpha = std::min(alpha, a[P[i]] / (a[P[i]] - (*z)[i]));
        for (std::size_t i = 0; i < P.size(); ++i) {
            a[P[i]] += alpha * ((*z)[i] - a[P[i]]);
            if (a[P[i]] <= 1e-300 * std::max(1.0, scale)) {
                a[P[i]] = 0;
                passive[P[i]] = false;
            }
        }
    }
}

} // namespace

std::vector<double> nonNegativeLeastSquares(const SquareMatrix &G, const std::vector<double> &g,
                                            const std::vector<bool> &start)
{
    const std::size_t n = G.n;
    std::vector<double> a(n, 0.0);
    std::vector<bool> passive(n, false);
    double scale = 0;
    for (std::size_t i = 0; i < n; ++i)
        scale = std::max(scale, std::fabs(g[i]));
    const double tolerance = 1e-12 * std::max(scale, 1e-300);
    if (start.size() == n) {
        // Solve on the guessed set, then keep what stays positive: a
        // feasible point to go on from (0 where the guess was wrong).
        for (std::size_t j = 0; j < n; ++j)
            passive[j] = start[j] && G(j, j) > 0;
        std::vector<std::size_t> P;
        for (std::size_t j = 0; j < n; ++j)
            if (passive[j])
                P.push_back(j);
        if (const auto z = P.empty() ? std::nullopt : solvePassive(G, g, P)) {
            for (std::size_t i = 0; i < P.size(); ++i) {
                a[P[i]] = std::max(0.0, (*z)[i]);
                passive[P[i]] = (*z)[i] > 0;
            }
        } else {
            std::fill(passive.begin(), passive.end(), false);
        }
    }
    for (std::size_t outer = 0; outer < 3 * n + 3; ++outer) {
        // The gradient's negative half: w = g - G a.
        std::size_t best = n;
        double bestW = tolerance;
        for (std::size_t j = 0; j < n; ++j) {
            if (passive[j] || !(G(j, j) > 0))
                continue;
            double w = g[j];
            for (std::size_t m = 0; m < n; ++m)
                w -= G(j, m) * a[m];
            if (w > bestW) {
                bestW = w;
                best = j;
            }
        }
        if (best == n)
            break;
        passive[best] = true;
        settle(G, g, a, passive, scale);
    }
    return a;
}

std::vector<double> tiedLeastSquares(const SquareMatrix &G, const std::vector<double> &g,
                                     const std::vector<Tie> &ties)
{
    const std::size_t n = G.n;
    // fixed[c]: column c moves with its parent at `ratio`, or, without a
    // parent, stays at the amplitude `ratio`.
    struct Fixed {
        std::size_t parent;
        double ratio;
    };
    std::vector<std::optional<Fixed>> fixed(n);
    std::vector<double> a(n, 0.0);
    for (std::size_t round = 0; round <= ties.size(); ++round) {
        // Each column as weight(c) x free column root(c), or as a constant
        // (root n, weight the amplitude).
        std::vector<std::size_t> root(n);
        std::vector<double> weight(n, 1.0);
        for (std::size_t c = 0; c < n; ++c) {
            std::size_t r = c;
            double w = 1;
            for (std::size_t steps = 0; r < n && fixed[r] && steps <= n; ++steps) {
                w *= fixed[r]->ratio;
                r = fixed[r]->parent;
            }
            root[c] = r;
            weight[c] = w;
        }
        std::vector<std::size_t> freeIndex(n, n), free;
        for (std::size_t c = 0; c < n; ++c)
            if (root[c] == c) {
                freeIndex[c] = free.size();
                free.push_back(c);
            }
        SquareMatrix Gr(free.size());
        std::vector<double> gr(free.size(), 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            if (root[i] == n)
                continue;
            const std::size_t fi = freeIndex[root[i]];
            gr[fi] += weight[i] * g[i];
            for (std::size_t j = 0; j < n; ++j) {
                if (root[j] == n)
                    gr[fi] -= weight[i] * weight[j] * G(i, j);
                else
                    Gr(fi, freeIndex[root[j]]) += weight[i] * weight[j] * G(i, j);
            }
        }
        std::vector<bool> start(free.size(), false);
        for (std::size_t k = 0; k < free.size(); ++k)
            start[k] = a[free[k]] > 0 || round == 0;
        const std::vector<double> z = nonNegativeLeastSquares(Gr, gr, round == 0 ? std::vector<bool>() : start);
        for (std::size_t c = 0; c < n; ++c)
            a[c] = root[c] == n ? weight[c] : weight[c] * z[freeIndex[root[c]]];
        // Every tie broken, relative to its parent's amplitude (or to 1 for a
        // bound), fixed at the bound it broke.
        bool broken = false;
        for (const Tie &t : ties) {
            if (fixed[t.column])
                continue;
            const bool bound = t.parent == Tie::Bound;
            const double parent = bound ? 1.0 : a[t.parent], column = a[t.column];
            const double scale = std::max({parent, column, 1e-300});
            if (column > t.high * parent && (column - t.high * parent) / scale > 1e-9) {
                fixed[t.column] = Fixed{bound ? n : t.parent, t.high};
                broken = true;
            } else if (column < t.low * parent && (t.low * parent - column) / scale > 1e-9) {
                fixed[t.column] = Fixed{bound ? n : t.parent, t.low};
                broken = true;
            }
        }
        if (!broken)
            break;
    }
    return a;
}

} // namespace spectrum
