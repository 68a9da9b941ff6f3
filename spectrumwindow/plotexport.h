// Writing the plot as it is shown: a PNG image or an SVG drawing.
#pragma once

#include <QString>

class SpectrumPlot;

namespace plotexport {

// Each writes the whole plot at its size on screen and returns an empty
// string, or the reason it could not write the file.
QString savePng(const SpectrumPlot &plot, const QString &path);
QString saveSvg(const SpectrumPlot &plot, const QString &path, const QString &title);

} // namespace plotexport
