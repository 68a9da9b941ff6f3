// The axes of the spectrum plot: how data map to pixels, where the ticks
// go, and drawing the frame, the ticks, their labels and the axis titles.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;

// How counts map to the vertical axis.
enum class YScale { Linear, Log, Sqrt };

// "linear", "log" or "sqrt"; and back (an unknown name gives Linear).
QString yScaleName(YScale scale);
YScale yScaleFromName(const QString &name);

class PlotAxes {
public:
    // The ranges shown, in data units. For a log scale lo must be above 0;
    // setY() moves it there when it is not.
    void setX(double lo, double hi);
    void setY(double lo, double hi, YScale scale);
    double xLo() const { return xLo_; }
    double xHi() const { return xHi_; }
    double yLo() const { return yLo_; }
    double yHi() const { return yHi_; }
    YScale scale() const { return scale_; }

    // The rectangle the data are drawn in, in pixels.
    void setArea(const QRectF &area)
    {
        area_ = area;
        update();
    }
    QRectF area() const { return area_; }

    // Works out the data area inside `bounds` with room for the tick labels
    // and the titles in `font`.
    void layout(const QRectF &bounds, const QFont &font, bool withTitles = true);

    // Data to pixels and back. Values outside the ranges map outside the
    // area; on a log scale zero and negative counts map to its bottom edge.
    double xToPixel(double x) const { return area_.left() + (x - xLo_) * xPerUnit_; }
    double pixelToX(double px) const { return xLo_ + (px - area_.left()) / xPerUnit_; }
    double yToPixel(double y) const;
    double pixelToY(double py) const;
    // The transformed value of y (log10, signed square root or y itself).
    double transform(double y) const;
    double untransform(double t) const;

    // Tick values within [lo, hi]: 1, 2 or 5 times a power of ten apart,
    // at most about `most` of them.
    static QVector<double> niceTicks(double lo, double hi, int most);
    // Tick values of a log axis: each power of ten in [lo, hi], thinned to
    // at most `most`; or, over less than a decade, niceTicks.
    static QVector<double> logTicks(double lo, double hi, int most);
    // A tick's label: as few decimals as the spacing needs, in the user's
    // locale; very large or small values in exponent form.
    static QString tickLabel(double value, double step);

    QVector<double> xTicks() const;
    QVector<double> yTicks() const;

    // The frame, ticks, tick labels and titles.
    void draw(QPainter &p, const QFont &font, const QColor &ink, const QString &xTitle, const QString &yTitle) const;

private:
    void update();

    double xLo_ = 0, xHi_ = 1, yLo_ = 0, yHi_ = 1;
    YScale scale_ = YScale::Linear;
    QRectF area_{0, 0, 1, 1};
    double xPerUnit_ = 1;
};
