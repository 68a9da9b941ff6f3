#include "plotaxes.h"
#include "uicommon/numberlocale.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double TickLength = 5;
constexpr double Gap = 4; // between a tick label and its tick, a title and the labels

// The bottom of a log axis when the range asks for zero or less: half a
// count below one, so that single counts stand clear of the axis.
constexpr double LogFloor = 0.5;

} // namespace

QString yScaleName(YScale scale)
{
    switch (scale) {
    case YScale::Log:
        return QStringLiteral("log");
    case YScale::Sqrt:
        return QStringLiteral("sqrt");
    case YScale::Linear:
        break;
    }
    return QStringLiteral("linear");
}

YScale yScaleFromName(const QString &name)
{
    if (name == QLatin1String("log"))
        return YScale::Log;
    if (name == QLatin1String("sqrt"))
        return YScale::Sqrt;
    return YScale::Linear;
}

void PlotAxes::setX(double lo, double hi)
{
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) {
        lo = std::isfinite(lo) ? lo : 0;
        hi = lo + 1;
    }
    xLo_ = lo;
    xHi_ = hi;
    update();
}

void PlotAxes::setY(double lo, double hi, YScale scale)
{
    scale_ = scale;
    if (scale == YScale::Log) {
        if (!(lo > 0))
            lo = hi > LogFloor ? LogFloor : hi / 10;
        if (!(hi > lo))
            hi = lo * 10;
    }
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) {
        lo = std::isfinite(lo) ? lo : 0;
        hi = lo + 1;
    }
    yLo_ = lo;
    yHi_ = hi;
}

void PlotAxes::update() { xPerUnit_ = area_.width() / (xHi_ - xLo_); }

double PlotAxes::transform(double y) const
{
    switch (scale_) {
    case YScale::Log:
        return std::log10(std::max(y, yLo_));
    case YScale::Sqrt:
        return std::copysign(std::sqrt(std::fabs(y)), y);
    case YScale::Linear:
        break;
    }
    return y;
}

double PlotAxes::untransform(double t) const
{
    switch (scale_) {
    case YScale::Log:
        return std::pow(10.0, t);
    case YScale::Sqrt:
        return std::copysign(t * t, t);
    case YScale::Linear:
        break;
    }
    return t;
}

double PlotAxes::yToPixel(double y) const
{
    const double lo = transform(yLo_), hi = transform(yHi_);
    return area_.bottom() - (transform(y) - lo) / (hi - lo) * area_.height();
}

double PlotAxes::pixelToY(double py) const
{
    const double lo = transform(yLo_), hi = transform(yHi_);
    return untransform(lo + (area_.bottom() - py) / area_.height() * (hi - lo));
}

QVector<double> PlotAxes::niceTicks(double lo, double hi, int most)
{
    QVector<double> ticks;
    if (!(hi > lo) || most < 1 || !std::isfinite(hi - lo))
        return ticks;
    const double rough = (hi - lo) / most;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= rough)
            break;
    }
    const double first = std::ceil(lo / step - 1e-9);
    for (double i = first; i * step <= hi + step * 1e-9 && ticks.size() <= most + 1; ++i)
        ticks << (std::fabs(i) < 1e-12 ? 0.0 : i * step);
    return ticks;
}

QVector<double> PlotAxes::logTicks(double lo, double hi, int most)
{
    if (!(lo > 0) || !(hi > lo))
        return {};
    const int first = int(std::ceil(std::log10(lo) - 1e-9));
    const int last = int(std::floor(std::log10(hi) + 1e-9));
    if (last < first)
        return niceTicks(lo, hi, most);
    const int every = std::max(1, (last - first + 1 + most - 1) / std::max(1, most));
    QVector<double> ticks;
    for (int e = first; e <= last; e += every)
        ticks << std::pow(10.0, e);
    return ticks;
}

QString PlotAxes::tickLabel(double value, double step)
{
    const double magnitude = std::max(std::fabs(value), std::fabs(step));
    if (magnitude >= 1e6 || (magnitude > 0 && magnitude < 1e-3))
        return NumberLocale().toString(value, 'g', 3);
    int decimals = 0;
    if (step > 0 && step < 1)
        decimals = std::min(6, int(std::ceil(-std::log10(step) - 1e-9)));
    return NumberLocale().toString(value, 'f', decimals);
}

QVector<double> PlotAxes::xTicks() const
{
    return niceTicks(xLo_, xHi_, std::max(2, int(area_.width() / 70)));
}

QVector<double> PlotAxes::yTicks() const
{
    const int most = std::max(2, int(area_.height() / 40));
    switch (scale_) {
    case YScale::Log:
        return logTicks(yLo_, yHi_, most);
    case YScale::Sqrt: {
        // Evenly spaced on the square-root scale, each rounded to two
        // significant digits.
        QVector<double> ticks;
        for (double t : niceTicks(transform(yLo_), transform(yHi_), most)) {
            const double v = untransform(t);
            const double unit = v == 0 ? 1 : std::pow(10.0, std::floor(std::log10(std::fabs(v))) - 1);
            ticks << std::round(v / unit) * unit;
        }
        ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
        return ticks;
    }
    case YScale::Linear:
        break;
    }
    return niceTicks(yLo_, yHi_, most);
}

void PlotAxes::layout(const QRectF &bounds, const QFont &font, bool withTitles)
{
    const QFontMetricsF fm(font);
    // The widest tick label of the vertical axis decides the left margin; the
    // ticks depend a little on the height, which the margins do not change.
    area_ = bounds;
    double widest = 0;
    const QVector<double> ticks = yTicks();
    const double step = ticks.size() > 1 ? std::fabs(ticks[1] - ticks[0]) : 0;
    for (double t : ticks)
        widest = std::max(widest, fm.horizontalAdvance(tickLabel(t, scale_ == YScale::Log ? t : step)));
    const double title = withTitles ? fm.height() + Gap : 0;
    const double left = std::ceil(title + widest + Gap + TickLength + 2);
    const double bottom = std::ceil(TickLength + Gap + fm.height() + title + 2);
    const double top = std::ceil(fm.height() / 2 + 2);
    const double right = std::ceil(fm.horizontalAdvance(QStringLiteral("00.0")) / 2 + 4);
    area_ = bounds.adjusted(left, top, -right, -bottom);
    if (area_.width() < 10)
        area_.setWidth(10);
    if (area_.height() < 10)
        area_.setHeight(10);
    update();
}

void PlotAxes::draw(QPainter &p, const QFont &font, const QColor &ink, const QString &xTitle,
                    const QString &yTitle) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    const QFontMetricsF fm(font);
    QPen pen(ink, 0);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(area_.adjusted(0, 0, -1, -1));

    const QVector<double> xs = xTicks();
    const double xStep = xs.size() > 1 ? xs[1] - xs[0] : 0;
    for (double t : xs) {
        const double px = std::round(xToPixel(t));
        p.drawLine(QPointF(px, area_.bottom()), QPointF(px, area_.bottom() + TickLength));
        const QString text = tickLabel(t, xStep);
        const double w = fm.horizontalAdvance(text);
        p.drawText(QPointF(px - w / 2, area_.bottom() + TickLength + Gap + fm.ascent()), text);
    }

    const QVector<double> ys = yTicks();
    const double yStep = ys.size() > 1 ? std::fabs(ys[1] - ys[0]) : 0;
    for (double t : ys) {
        const double py = std::round(yToPixel(t));
        if (py < area_.top() - 0.5 || py > area_.bottom() + 0.5)
            continue;
        p.drawLine(QPointF(area_.left() - TickLength, py), QPointF(area_.left(), py));
        const QString text = tickLabel(t, scale_ == YScale::Log ? t : yStep);
        const double w = fm.horizontalAdvance(text);
        p.drawText(QPointF(area_.left() - TickLength - Gap - w, py + fm.ascent() / 2 - 1), text);
    }

    if (!xTitle.isEmpty()) {
        const double w = fm.horizontalAdvance(xTitle);
        p.drawText(QPointF(area_.center().x() - w / 2, area_.bottom() + TickLength + 2 * Gap + fm.height() + fm.ascent()),
                   xTitle);
    }
    if (!yTitle.isEmpty()) {
        p.translate(fm.ascent() + 1, area_.center().y() + fm.horizontalAdvance(yTitle) / 2);
        p.rotate(-90);
        p.drawText(QPointF(0, 0), yTitle);
    }
    p.restore();
}
