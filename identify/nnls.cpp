#include "nnls.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace identify {

namespace {

// The Cholesky factor of G on a set of its columns (the passive set), kept
// up to date as columns are added (one new row, O(p^2)) and removed
// (refactored, O(p^3), which Lawson and Hanson's method needs far less
// often). A tiny ridge keeps nearly dependent columns apart.
class PassiveFactor {
public:
    PassiveFactor(const SquareMatrix &G, double &work) : G_(G), work_(work) {}

    const std::vector<std::size_t> &columns() const { return P_; }

    // Adds column j; false, and nothing added, when it depends on the others.
    bool add(std::size_t j)
    {
        const std::size_t p = P_.size();
        work_ += double(p) * double(p + 1) / 2 + 1;
        std::vector<double> row(p + 1);
        double rest = G_(j, j) * (1 + 1e-12);
        for (std::size_t m = 0; m < p; ++m) {
            double sum = G_(j, P_[m]);
            for (std::size_t q = 0; q < m; ++q)
                sum -= row[q] * L_[m][q];
            row[m] = sum / L_[m][m];
            rest -= row[m] * row[m];
        }
        if (!(rest > 1e-14 * G_(j, j)))
            return false;
        row[p] = std::sqrt(rest);
        P_.push_back(j);
        L_.push_back(std::move(row));
        return true;
    }

    // Keeps the columns for which `passive` holds, in their order.
    void keepOnly(const std::vector<bool> &passive)
    {
        const std::vector<std::size_t> old = P_;
        P_.clear();
        L_.clear();
        for (const std::size_t j : old)
            if (passive[j])
                add(j);
    }

    // The solution of G_PP z = g_P, in the order of columns().
    std::vector<double> solve(const std::vector<double> &g) const
    {
        const std::size_t p = P_.size();
        work_ += double(p) * double(p) + 1;
        std::vector<double> z(p);
        for (std::size_t i = 0; i < p; ++i) {
            double sum = g[P_[i]];
            for (std::size_t m = 0; m < i; ++m)
                sum -= L_[i][m] * z[m];
            z[i] = sum / L_[i][i];
        }
        for (std::size_t i = p; i-- > 0;) {
            double sum = z[i];
            for (std::size_t m = i + 1; m < p; ++m)
                sum -= L_[m][i] * z[m];
            z[i] = sum / L_[i][i];
        }
        return z;
    }

private:
    const SquareMatrix &G_;
    double &work_;
    std::vector<std::size_t> P_;
    std::vector<std::vector<double>> L_; // row i holds i + 1 entries
};

// The inner loop of Lawson and Hanson: from a feasible a, solve on the
// passive set and step back towards feasibility until the passive
// solution is positive.
void settle(PassiveFactor &factor, const std::vector<double> &g, std::vector<double> &a, std::vector<bool> &passive,
            double scale)
{
    for (std::size_t inner = 0; inner < 3 * passive.size() + 3; ++inner) {
        const std::vector<std::size_t> &P = factor.columns();
        if (P.empty())
            return;
        const std::vector<double> z = factor.solve(g);
        bool allPositive = true;
        for (const double v : z)
            allPositive = allPositive && v > 0;
        if (allPositive) {
            std::fill(a.begin(), a.end(), 0.0);
            for (std::size_t i = 0; i < P.size(); ++i)
                a[P[i]] = z[i];
            return;
        }
        // Step from a towards z as far as a stays feasible.
        double alpha = 1;
        for (std::size_t i = 0; i < P.size(); ++i)
            if (z[i] <= 0)
                alpha = std::min(alpha, a[P[i]] / (a[P[i]] - z[i]));
        for (std::size_t i = 0; i < P.size(); ++i) {
            a[P[i]] += alpha * (z[i] - a[P[i]]);
            if (a[P[i]] <= 1e-300 * std::max(1.0, scale)) {
                a[P[i]] = 0;
                passive[P[i]] = false;
            }
        }
        factor.keepOnly(passive);
    }
}

} // namespace

std::vector<double> nonNegativeLeastSquares(const SquareMatrix &G, const std::vector<double> &g,
                                            const std::vector<bool> &start, double *work)
{
    const std::size_t n = G.n;
    std::vector<double> a(n, 0.0);
    std::vector<bool> passive(n, false), dependent(n, false);
    double ignored = 0;
    double &counted = work ? *work : ignored;
    PassiveFactor factor(G, counted);
    double scale = 0;
    for (std::size_t i = 0; i < n; ++i)
        scale = std::max(scale, std::fabs(g[i]));
    const double tolerance = 1e-12 * std::max(scale, 1e-300);
    if (start.size() == n) {
        // Solve on the guessed set, then keep what stays positive: a
        // feasible point to go on from (0 where the guess was wrong).
        for (std::size_t j = 0; j < n; ++j)
            if (start[j] && G(j, j) > 0 && factor.add(j))
                passive[j] = true;
        const std::vector<double> z = factor.solve(g);
        const std::vector<std::size_t> P = factor.columns();
        for (std::size_t i = 0; i < P.size(); ++i) {
            a[P[i]] = std::max(0.0, z[i]);
            passive[P[i]] = z[i] > 0;
        }
        factor.keepOnly(passive);
    }
    std::vector<std::size_t> nonZero;
    nonZero.reserve(n);
    for (std::size_t outer = 0; outer < 3 * n + 3; ++outer) {
        // The gradient's negative half: w = g - G a, over the amplitudes
        // that are not zero (the passive ones), in the order of the columns.
        counted += double(n) * double(n);
        nonZero.clear();
        for (std::size_t m = 0; m < n; ++m)
            if (a[m] != 0)
                nonZero.push_back(m);
        std::size_t best = n;
        double bestW = tolerance;
        for (std::size_t j = 0; j < n; ++j) {
            if (passive[j] || dependent[j] || !(G(j, j) > 0))
                continue;
            double w = g[j];
            for (const std::size_t m : nonZero)
                w -= G(j, m) * a[m];
            if (w > bestW) {
                bestW = w;
                best = j;
            }
        }
        if (best == n)
            break;
        if (!factor.add(best)) {
            dependent[best] = true; // adds nothing the passive columns do not
            continue;
        }
        passive[best] = true;
        settle(factor, g, a, passive, scale);
    }
    return a;
}

std::vector<double> tiedLeastSquares(const SquareMatrix &G, const std::vector<double> &g,
                                     const std::vector<Tie> &ties, double *work)
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
        if (work)
            *work += double(n) * double(n);
        std::vector<bool> start(free.size(), false);
        for (std::size_t k = 0; k < free.size(); ++k)
            start[k] = a[free[k]] > 0 || round == 0;
        const std::vector<double> z = nonNegativeLeastSquares(Gr, gr, round == 0 ? std::vector<bool>() : start, work);
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

} // namespace identify
