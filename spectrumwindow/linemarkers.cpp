#include "linemarkers.h"

#include "xray/lines.h"
#include "xray/sums.h"

#include <algorithm>
#include <array>

namespace linemarkers {

namespace {

// Lines of one family whose relative intensities multiply to at least this
// form the sum peaks drawn: Kα1+Kα1, Kα1+Kα2, Kα2+Kα2, Lα1+Lα1 and the like.
// The relative intensities of two families do not compare, and their sums
// would crowd the plot.
constexpr double MinSumSize = 0.25;
// Sum peaks are a few per cent of their parents at most.
constexpr double SumHeightShare = 0.05;

QString label(const xray::Line &line) { return QString::fromStdString(xray::lineLabel(line)); }

bool inRange(double eV, const Context &c) { return eV >= c.rangeMin_eV && eV <= c.rangeMax_eV; }

double half(const Context &c, double eV) { return c.detector.fwhm(eV) / 2; }

// The height of each family's strongest line: the counts near it.
std::array<double, 3> familyHeights(std::span<const xray::Line> lines, const Context &c)
{
    std::array<double, 3> heights{0, 0, 0};
    std::array<double, 3> strongest{0, 0, 0};
    for (const xray::Line &l : lines) {
        const int f = int(l.family);
        if (l.relative > strongest[std::size_t(f)] && inRange(l.energy_eV, c)) {
            strongest[std::size_t(f)] = l.relative;
            const double counts = c.countsNear ? c.countsNear(l.energy_eV, half(c, l.energy_eV)) : 0;
            // Scaled up when the strongest line in range is not the family's
            // strongest of all.
            heights[std::size_t(f)] = counts / l.relative;
        }
    }
    return heights;
}

} // namespace

QColor familyColour(xray::Family family)
{
    switch (family) {
    case xray::Family::K:
        return QColor(0xd0, 0x20, 0x20);
    case xray::Family::L:
        return QColor(0x1a, 0x8a, 0x2a);
    case xray::Family::M:
        return QColor(0x20, 0x50, 0xd0);
    }
    return Qt::black;
}

QColor pinColour(int n)
{
    static constexpr QRgb colours[] = {0x9a2fb0, 0xe07b00, 0x008b8b, 0xb8860b, 0xd0307a, 0x4b5fd0, 0x5a8a00, 0x8b4513};
    return QColor::fromRgb(colours[std::size_t(n) % std::size(colours)]);
}

QList<SpectrumPlot::Marker> elementMarkers(int Z, const Context &c, const QColor &colour)
{
    QList<SpectrumPlot::Marker> markers;
    const std::span<const xray::Line> lines = xray::linesOf(Z);
    const std::array<double, 3> heights = familyHeights(lines, c);
    for (const xray::Line &l : lines) {
        if (l.relative < MinRelative || !xray::isExcited(l, c.beam_eV))
            continue;
        const double height = std::max(l.relative * heights[std::size_t(l.family)], c.floor);
        const QColor ink = colour.isValid() ? colour : familyColour(l.family);
        if (inRange(l.energy_eV, c))
            markers.append({l.energy_eV / 1000, height, label(l), ink, Qt::SolidLine});
        if (l.relative < StrongLine)
            continue;
        for (const xray::Escape &e : c.detector.escapes(l.energy_eV)) {
            if (!inRange(e.energy_eV, c))
                continue;
            const bool beta = e.line && e.line->iupac() != "KL3" && e.line->iupac() != "KL2";
            markers.append({e.energy_eV / 1000, std::max(height * e.fraction, c.floor),
                            label(l) + (beta ? QStringLiteral(" esc K\u03B2") : QStringLiteral(" esc")), ink,
                            Qt::DashLine});
        }
    }
    std::sort(markers.begin(), markers.end(), [](const auto &a, const auto &b) { return a.x < b.x; });
    return markers;
}

QList<SpectrumPlot::Marker> sumMarkers(std::span<const int> elements, const Context &c,
                                       const std::function<QColor(int Z)> &colourOf,
                                       const std::function<bool(int Z)> &quiet)
{
    QList<SpectrumPlot::Marker> markers;
    for (const xray::SumPeak &s : xray::sumPeaks(elements, c.beam_eV)) {
        if (s.relative < MinSumSize || s.first->family != s.second->family || !inRange(s.energy_eV, c))
            continue;
        const std::array<double, 3> a = familyHeights(xray::linesOf(s.first->Z), c);
        const std::array<double, 3> b = familyHeights(xray::linesOf(s.second->Z), c);
        const double parent = std::min(s.first->relative * a[std::size_t(s.first->family)],
                                       s.second->relative * b[std::size_t(s.second->family)]);
        const bool unlabelled = quiet && quiet(s.first->Z) && quiet(s.second->Z);
        markers.append({s.energy_eV / 1000, std::max(parent * SumHeightShare, c.floor),
                        unlabelled ? QString() : label(*s.first) + u'+' + label(*s.second),
                        colourOf ? colourOf(s.first->Z) : QColor(Qt::black), Qt::DotLine});
    }
    return markers;
}

} // namespace linemarkers
