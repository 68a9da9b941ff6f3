// Small least-squares problems of identification, on their normal
// equations: minimise a'Ga - 2 a'g (G = A'WA, g = A'Wy for columns A,
// weights W and data y) over amplitudes a >= 0, some of them tied to
// others within bounds.
#pragma once

#include <cstddef>
#include <vector>

namespace identify {

// A dense symmetric matrix, row by row.
struct SquareMatrix {
    std::size_t n = 0;
    std::vector<double> values;

    explicit SquareMatrix(std::size_t size = 0) : n(size), values(size * size, 0.0) {}
    double &operator()(std::size_t i, std::size_t j) { return values[i * n + j]; }
    double operator()(std::size_t i, std::size_t j) const { return values[i * n + j]; }
};

// Lawson and Hanson's active-set method (Solving Least Squares Problems,
// 1974, chapter 23) on the normal equations: the a >= 0 minimising
// a'Ga - 2 a'g. G must be symmetric and positive semidefinite; columns that
// add nothing (a zero diagonal) stay at 0.
// `start`, when given, names columns likely to be positive in the answer:
// they form the first passive set, which saves most iterations when a
// problem is solved again after a small change.
// `work`, when given, grows by the multiply-adds done (roughly): a measure
// of effort that callers bound.
std::vector<double> nonNegativeLeastSquares(const SquareMatrix &G, const std::vector<double> &g,
                                            const std::vector<bool> &start = {}, double *work = nullptr);

// A tie: amplitude `column` must lie between low and high times the
// amplitude of `parent`; with parent Bound, between low and high. Ties form
// a forest (no column is its own ancestor).
struct Tie {
    static constexpr std::size_t Bound = std::size_t(-1);
    std::size_t column;
    std::size_t parent;
    double low;
    double high;
};

// The amplitudes a >= 0 minimising a'Ga - 2 a'g with the ties kept: solved
// without them, then every broken tie is fixed at the bound it broke (the
// column then moves with its parent) and the problem solved again, until
// none is broken. A tie once fixed stays fixed: an approximation of the
// constrained optimum that is exact when the fixed ties stay binding.
std::vector<double> tiedLeastSquares(const SquareMatrix &G, const std::vector<double> &g,
                                     const std::vector<Tie> &ties, double *work = nullptr);

} // namespace identify
