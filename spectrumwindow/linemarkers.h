// The markers the spectrum window draws for elements: where their lines,
// escape peaks and sum peaks fall, with heights that follow the lines'
// relative intensities scaled to the spectrum. Built from the X-ray core for
// the plot, which knows nothing of lines.
#pragma once

#include "spectrumplot.h"

#include "xray/detector.h"

#include <QColor>

#include <functional>
#include <optional>
#include <span>

namespace linemarkers {

// What the markers are measured against: the counts shown near an energy
// (the highest within half a FWHM), the energy range of the spectrum, and
// the least height a marker is drawn with, so that one over an empty stretch
// of the spectrum can still be seen.
struct Context {
    xray::Detector detector;
    std::optional<double> beam_eV;
    double rangeMin_eV = 0;
    double rangeMax_eV = 40000;
    std::function<double(double energy_eV, double halfWidth_eV)> countsNear;
    double floor = 1;
};

// Lines of at least this relative intensity get a marker; escape peaks are
// drawn for lines of at least StrongLine.
inline constexpr double MinRelative = 0.02;
inline constexpr double StrongLine = 0.1;

// The colour of a line family: K, L and M apart.
QColor familyColour(xray::Family family);
// A colour for the n-th pinned element.
QColor pinColour(int n);

// Element Z's lines (solid) and their escape peaks in the detector (dashed),
// excited at the beam energy and within the range; labelled "Fe Kα1" and
// "Fe Kα1 esc". In the family colours, or all in `colour` when it is valid.
QList<SpectrumPlot::Marker> elementMarkers(int Z, const Context &context, const QColor &colour = {});

// The sum peaks of the strong lines of these elements (dotted), labelled
// "Fe Kα1+Cu Kα1", each in the colour of its first line's element
// (colourOf(Z)); a sum of two elements that are `quiet` is drawn without
// its label.
QList<SpectrumPlot::Marker> sumMarkers(std::span<const int> elements, const Context &context,
                                       const std::function<QColor(int Z)> &colourOf,
                                       const std::function<bool(int Z)> &quiet = {});

} // namespace linemarkers
