// Spectra for the window tests, made from the X-ray core's line table:
// Gaussian peaks at the detector's resolution on a falling background, and
// files of them written through the spectrum core.
#pragma once

#include "spectrum/spectrum.h"
#include "spectrum/write.h"
#include "xray/detector.h"
#include "xray/lines.h"

#include <QFile>
#include <QString>
#include <QXmlStreamReader>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace spectrumtest {

// One peak: a line ("Fe Ka1") and its height in counts.
using Peak = std::pair<const char *, double>;

// Iron and copper, as a steel with some copper would show them.
inline std::vector<Peak> steelPeaks()
{
    return {{"Fe Ka1", 5000}, {"Fe Ka2", 2500}, {"Fe Kb1", 700}, {"Cu Ka1", 3000}, {"Cu Ka2", 1500}, {"Cu Kb1", 450}};
}

inline double lineEnergy(const char *line)
{
    const xray::Line *l = xray::parseLine(line);
    return l ? l->energy_eV : 0;
}

// `channels` channels of `gain` eV from `offset` eV, calibrated or not.
inline spectrum::Spectrum makeSpectrum(const std::vector<Peak> &peaks, std::size_t channels = 2048,
                                       double offset = -20, double gain = 10, bool calibrated = true)
{
    spectrum::Spectrum s;
    s.counts.resize(channels);
    const xray::Detector detector(xray::Material::Si);
    for (std::size_t c = 0; c < channels; ++c) {
        const double e = offset + gain * double(c);
        double y = e > 300 ? 100 * std::exp(-e / 8000) : 0;
        for (const auto &[line, height] : peaks) {
            const double at = lineEnergy(line);
            const double sigma = detector.fwhm(at) / 2.3548;
            y += height * std::exp(-0.5 * (e - at) * (e - at) / (sigma * sigma));
        }
        s.counts[c] = std::round(y);
    }
    if (calibrated)
        s.calibration = spectrum::Calibration{offset, gain};
    s.meta.liveTime_s = 50;
    s.meta.beam_kV = 20;
    s.meta.title = "test spectrum";
    s.format = spectrum::Format::Emsa;
    return s;
}

inline bool writeEmsa(const QString &path, const spectrum::Spectrum &s)
{
    return !spectrum::writeEmsa(s, QFile::encodeName(path).toStdString());
}

// A file of counts alone, one per line: an uncalibrated spectrum.
inline bool writeCounts(const QString &path, const std::vector<double> &counts)
{
    std::string text;
    for (double c : counts)
        text += std::to_string(c) + "\n";
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.data(), qint64(text.size())) == qint64(text.size());
}

// The texts of an SVG file, run together, and whether it parsed as XML. A
// text falls into one element per font that draws its letters ("Fe K",
// "α", "1").
inline QString svgTexts(const QString &path, bool *wellFormed)
{
    QFile file(path);
    QString texts;
    *wellFormed = file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    while (*wellFormed && !xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
            texts += xml.readElementText();
    *wellFormed = *wellFormed && !xml.hasError();
    return texts;
}

} // namespace spectrumtest
