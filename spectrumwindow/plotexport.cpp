#include "plotexport.h"

#include "spectrumplot.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace plotexport {

QString savePng(const SpectrumPlot &plot, const QString &path)
{
    QImage image(plot.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        plot.render(p);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "png");
    if (!writer.write(image))
        return writer.errorString();
    if (!file.commit())
        return file.errorString();
    return {};
}

QString saveSvg(const SpectrumPlot &plot, const QString &path, const QString &title)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(plot.size());
    svg.setViewBox(QRect(QPoint(0, 0), plot.size()));
    svg.setTitle(title);
    svg.setDescription(QCoreApplication::applicationName());
    {
        QPainter p;
        if (!p.begin(&svg))
            return QCoreApplication::translate("plotexport", "cannot draw the SVG file");
        plot.render(p);
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace plotexport
