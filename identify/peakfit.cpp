#include "peakfit.h"

#include "model.h"
#include "response.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace identify {

namespace {

constexpr int MaxParameters = 3;

// Solves the n x n system m x = v in place (Gaussian elimination with
// partial pivoting); false when singular.
template <int N>
bool solve(std::array<std::array<double, N>, N> m, std::array<double, N> v, int n, std::array<double, N> &x)
{
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c]))
                pivot = r;
        if (!(std::fabs(m[pivot][c]) > 1e-300))
            return false;
        std::swap(m[c], m[pivot]);
        std::swap(v[c], v[pivot]);
        for (int r = c + 1; r < n; ++r) {
            const double f = m[r][c] / m[c][c];
            for (int k = c; k < n; ++k)
                m[r][k] -= f * m[c][k];
            v[r] -= f * v[c];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = v[r];
        for (int k = r + 1; k < n; ++k)
            s -= m[r][k] * x[k];
        x[r] = s / m[r][r];
    }
    return true;
}

// Solves the n x n system m x = v (row-major, copied), false when singular.
bool solveDense(std::vector<double> m, std::vector<double> v, std::size_t n, std::vector<double> &x)
{
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(m[r * n + c]) > std::fabs(m[pivot * n + c]))
                pivot = r;
        if (!(std::fabs(m[pivot * n + c]) > 1e-300))
            return false;
        if (pivot != c) {
            for (std::size_t k = 0; k < n; ++k)
                std::swap(m[c * n + k], m[pivot * n + k]);
            std::swap(v[c], v[pivot]);
        }
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = m[r * n + c] / m[c * n + c];
            for (std::size_t k = c; k < n; ++k)
                m[r * n + k] -= f * m[c * n + k];
            v[r] -= f * v[c];
        }
    }
    x.assign(n, 0.0);
    for (std::size_t r = n; r-- > 0;) {
        double sum = v[r];
        for (std::size_t k = r + 1; k < n; ++k)
            sum -= m[r * n + k] * x[k];
        x[r] = sum / m[r * n + r];
    }
    return true;
}

struct Problem {
    const WorkGrid &grid;
    std::size_t b0, b1;
    const std::vector<std::vector<GroupLine>> &groups;
    const GroupFitOptions &options;
    bool fitShift, fitWidth, fitTail;

    int parameters() const { return int(fitShift) + int(fitWidth) + int(fitTail); }

    // (shift, width scale, tail) from the free parameters.
    void unpack(const std::array<double, MaxParameters> &q, double &shift, double &scale, double &tail) const
    {
        int k = 0;
        shift = fitShift ? q[k++] : 0.0;
        scale = fitWidth ? std::exp(q[k++]) : 1.0;
        tail = fitTail ? q[k++] : options.tail;
    }

    // Weighted residuals with the linear parameters at their best (the
    // groups' amplitudes, none below 0, and a straight continuum); the
    // first group's counts through `counts`.
    mutable double work = 0;

    std::vector<double> residuals(const std::array<double, MaxParameters> &q, double *counts = nullptr) const
    {
        double shift, scale, tail;
        unpack(q, shift, scale, tail);
        const std::size_t n = b1 - b0 + 1, k = groups.size();
        for (const std::vector<GroupLine> &g : groups)
            work += LineBinWork * double(n * (g.size() + 2));
        // Columns: each group's pattern, then 1 and E.
        std::vector<std::vector<double>> columns(k + 2, std::vector<double>(n, 0.0));
        const double centre = grid.energy(0.5 * double(b0 + b1));
        for (std::size_t g = 0; g < k; ++g)
            for (const GroupLine &l : groups[g])
                addPeak(columns[g].data(), n, grid.energy(double(b0)), grid.gain_eV, l.energy_eV + shift,
                        l.fwhm_eV * scale, l.area, tail, options.tailSlope, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            columns[k][i] = 1.0;
            columns[k + 1][i] = (grid.energy(double(b0 + i)) - centre) / 1000;
        }
        std::vector<bool> active(k + 2, true);
        std::vector<double> x(k + 2, 0.0);
        for (std::size_t round = 0; round <= k; ++round) {
            std::vector<std::size_t> use;
            for (std::size_t c = 0; c < k + 2; ++c)
                if (active[c])
                    use.push_back(c);
            const std::size_t m = use.size();
            std::vector<double> normal(m * m, 0.0), right(m, 0.0), solution;
            for (std::size_t i = 0; i < n; ++i) {
                const double y = grid.counts[b0 + i], w = 1.0 / std::max(y, 1.0);
                for (std::size_t a = 0; a < m; ++a) {
                    const double va = columns[use[a]][i];
                    if (va == 0)
                        continue;
                    right[a] += w * va * y;
                    for (std::size_t b = 0; b < m; ++b)
                        normal[a * m + b] += w * va * columns[use[b]][i];
                }
            }
            std::fill(x.begin(), x.end(), 0.0);
            if (!solveDense(normal, right, m, solution))
                break;
            // The most negative amplitude leaves, and the rest are solved again.
            std::size_t worst = m;
            for (std::size_t a = 0; a < m; ++a) {
                x[use[a]] = solution[a];
                if (use[a] < k && solution[a] < 0 && (worst == m || solution[a] < solution[worst]))
                    worst = a;
            }
            if (worst == m)
                break;
            active[use[worst]] = false;
        }
        if (counts) {
            double area = 0;
            for (const GroupLine &l : groups.front())
                area += l.area;
            *counts = x[0] * area;
        }
        std::vector<double> r(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double y = grid.counts[b0 + i];
            double m = 0;
            for (std::size_t c = 0; c < k + 2; ++c)
                m += x[c] * columns[c][i];
            r[i] = (y - m) / std::sqrt(std::max(y, 1.0));
        }
        return r;
    }

    void clamp(std::array<double, MaxParameters> &q) const
    {
        int k = 0;
        if (fitShift) {
            q[k] = std::clamp(q[k], -options.maxShift_eV, options.maxShift_eV);
            ++k;
        }
        if (fitWidth) {
            q[k] = std::clamp(q[k], std::log(0.5), std::log(2.0));
            ++k;
        }
        if (fitTail)
            q[k] = std::clamp(q[k], 0.0, 0.4);
    }
};

double sumOfSquares(const std::vector<double> &r)
{
    double s = 0;
    for (const double v : r)
        s += v * v;
    return s;
}

} // namespace

GroupFit fitGroup(const WorkGrid &grid, std::size_t b0, std::size_t b1, const std::vector<GroupLine> &lines,
                  const GroupFitOptions &options)
{
    return fitGroups(grid, b0, b1, {lines}, options);
}

GroupFit fitGroups(const WorkGrid &grid, std::size_t b0, std::size_t b1,
                   const std::vector<std::vector<GroupLine>> &groups, const GroupFitOptions &options)
{
    GroupFit out;
    if (groups.empty() || groups.front().empty() || b1 >= grid.size() || b1 < b0 + 8)
        return out;
    const std::vector<GroupLine> &lines = groups.front();
    Problem p{grid, b0, b1, groups, options, options.maxShift_eV > 0, options.fitWidth, options.fitTail};
    const int n = p.parameters();
    std::array<double, MaxParameters> q{};
    {
        int k = 0;
        if (p.fitShift)
            q[k++] = 0;
        if (p.fitWidth)
            q[k++] = 0;
        if (p.fitTail)
            q[k++] = options.tail;
    }
    std::vector<double> r = p.residuals(q);
    double chi = sumOfSquares(r);
    const std::array<double, MaxParameters> steps = [&] {
        std::array<double, MaxParameters> h{};
        int k = 0;
        if (p.fitShift)
            h[k++] = 0.05 * lines.front().fwhm_eV / 2.3548;
        if (p.fitWidth)
            h[k++] = 0.01;
        if (p.fitTail)
            h[k++] = 0.002;
        return h;
    }();
    std::array<std::array<double, MaxParameters>, MaxParameters> normal{};
    double lambda = 1e-3;
    for (int iteration = 0; iteration < 30 && n > 0; ++iteration) {
        // The Jacobian by forward differences.
        std::vector<std::array<double, MaxParameters>> J(r.size());
        for (int k = 0; k < n; ++k) {
            std::array<double, MaxParameters> qk = q;
            qk[k] += steps[k];
            const std::vector<double> rk = p.residuals(qk);
            for (std::size_t i = 0; i < r.size(); ++i)
                J[i][k] = (rk[i] - r[i]) / steps[k];
        }
        std::array<double, MaxParameters> g{};
        normal = {};
        for (std::size_t i = 0; i < r.size(); ++i)
            for (int a = 0; a < n; ++a) {
                g[a] -= J[i][a] * r[i];
                for (int b = 0; b < n; ++b)
                    normal[a][b] += J[i][a] * J[i][b];
            }
        bool improved = false;
        for (int attempt = 0; attempt < 8; ++attempt) {
            auto m = normal;
            for (int a = 0; a < n; ++a)
                m[a][a] *= 1 + lambda;
            std::array<double, MaxParameters> d{};
            if (!solve<MaxParameters>(m, g, n, d))
                break;
            std::array<double, MaxParameters> trial = q;
            for (int a = 0; a < n; ++a)
                trial[a] += d[a];
            p.clamp(trial);
            const std::vector<double> rt = p.residuals(trial);
            const double ct = sumOfSquares(rt);
            if (ct < chi) {
                const double gain = chi - ct;
                q = trial;
                r = rt;
                chi = ct;
                lambda = std::max(lambda / 10, 1e-7);
                improved = gain > 1e-4 * chi + 1e-3;
                break;
            }
            lambda *= 10;
        }
        if (!improved)
            break;
    }
    out.ok = true;
    out.work = p.work;
    out.chiSquare = chi;
    out.degrees = int(b1 - b0 + 1) - 2 - int(groups.size()) - n;
    p.residuals(q, &out.counts);
    p.unpack(q, out.shift_eV, out.widthScale, out.tail);
    // Errors from the curvature, scaled up by a poor fit.
    std::array<double, MaxParameters> errors{};
    const double scale = std::max(1.0, chi / std::max(1, out.degrees));
    for (int k = 0; k < n; ++k) {
        std::array<double, MaxParameters> unit{}, column{};
        unit[k] = 1;
        if (solve<MaxParameters>(normal, unit, n, column))
            errors[k] = std::sqrt(std::max(0.0, column[k]) * scale);
    }
    int k = 0;
    if (p.fitShift)
        out.shiftError_eV = errors[k++];
    if (p.fitWidth)
        out.widthScaleError = out.widthScale * errors[k++];
    if (p.fitTail)
        out.tailError = errors[k++];
    return out;
}

} // namespace identify
