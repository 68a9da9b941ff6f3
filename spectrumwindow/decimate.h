// Reducing a spectrum to what a plot of a given width can show: at most the
// smallest and the largest count of each pixel column.
#pragma once

#include <QPolygonF>

#include <cstddef>
#include <span>

class PlotAxes;

namespace decimate {

// A spectrum as the plot sees it: counts, each multiplied by `factor`, with
// channel c at x = x0 + c * dx (dx > 0).
struct Samples {
    std::span<const double> counts;
    double x0 = 0;
    double dx = 1;
    double factor = 1;
};

// The channels whose x lies within [lo, hi], widened by one on either side
// so that a line leaving the range is drawn to its edge; first > last when
// none does.
struct ChannelRange {
    std::ptrdiff_t first = 0;
    std::ptrdiff_t last = -1;
};
ChannelRange visibleChannels(const Samples &s, double lo, double hi);

// The line to draw, in pixels of `axes`: through every channel when there
// are fewer than two per pixel column, otherwise down each column from its
// largest to its smallest count.
QPolygonF path(const Samples &s, const PlotAxes &axes);

// The smallest and largest scaled count of the channels within [lo, hi]
// (not widened), and the smallest above zero, ignoring values that are not
// finite; all 0 when there are none.
struct Extent {
    double min = 0;
    double max = 0;
    double minPositive = 0;
};
Extent extent(const Samples &s, double lo, double hi);

} // namespace decimate
