#include "decimate.h"

#include "plotaxes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace decimate {

namespace {

std::ptrdiff_t clampChannel(double c, std::size_t n)
{
    if (!(c > 0))
        return 0;
    if (c >= double(n))
        return std::ptrdiff_t(n);
    return std::ptrdiff_t(c);
}

} // namespace

ChannelRange visibleChannels(const Samples &s, double lo, double hi)
{
    const std::size_t n = s.counts.size();
    if (n == 0 || !(s.dx > 0) || !(hi >= lo))
        return {};
    const std::ptrdiff_t first = clampChannel(std::floor((lo - s.x0) / s.dx) - 1, n);
    const std::ptrdiff_t last = std::min(clampChannel(std::ceil((hi - s.x0) / s.dx) + 1, n), std::ptrdiff_t(n) - 1);
    return {first, last};
}

QPolygonF path(const Samples &s, const PlotAxes &axes)
{
    QPolygonF points;
    const ChannelRange range = visibleChannels(s, axes.xLo(), axes.xHi());
    if (range.first > range.last)
        return points;
    const double columns = std::max(1.0, axes.area().width());
    const std::ptrdiff_t count = range.last - range.first + 1;
    const auto y = [&](double v) {
        v *= s.factor;
        return std::isfinite(v) ? axes.yToPixel(v) : axes.area().top();
    };

    if (double(count) <= 2 * columns) {
        points.reserve(count);
        for (std::ptrdiff_t c = range.first; c <= range.last; ++c)
            points << QPointF(axes.xToPixel(s.x0 + double(c) * s.dx), y(s.counts[std::size_t(c)]));
        return points;
    }

    points.reserve(qsizetype(2 * columns + 4));
    double column = std::floor(axes.xToPixel(s.x0 + double(range.first) * s.dx));
    double lo = s.counts[std::size_t(range.first)], hi = lo;
    const auto flush = [&] {
        points << QPointF(column + 0.5, y(hi));
        if (lo != hi)
            points << QPointF(column + 0.5, y(lo));
    };
    for (std::ptrdiff_t c = range.first + 1; c <= range.last; ++c) {
        const double v = s.counts[std::size_t(c)];
        const double at = std::floor(axes.xToPixel(s.x0 + double(c) * s.dx));
        if (at != column) {
            flush();
            column = at;
            lo = hi = v;
        } else {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    flush();
    return points;
}

Extent extent(const Samples &s, double lo, double hi)
{
    const std::size_t n = s.counts.size();
    if (n == 0 || !(s.dx > 0) || !(hi >= lo))
        return {};
    const std::ptrdiff_t first = clampChannel(std::ceil((lo - s.x0) / s.dx), n);
    const std::ptrdiff_t last = std::min(clampChannel(std::floor((hi - s.x0) / s.dx), n), std::ptrdiff_t(n) - 1);
    constexpr double none = std::numeric_limits<double>::infinity();
    double min = none, max = -none, minPositive = none;
    for (std::ptrdiff_t c = first; c <= last; ++c) {
        const double v = s.counts[std::size_t(c)] * s.factor;
        if (!std::isfinite(v))
            continue;
        min = std::min(min, v);
        max = std::max(max, v);
        if (v > 0)
            minPositive = std::min(minPositive, v);
    }
    if (min > max)
        return {};
    return {min, max, minPositive == none ? 0 : minPositive};
}

} // namespace decimate
