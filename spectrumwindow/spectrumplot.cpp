#include "spectrumplot.h"

#include "decimate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Distinct colours for overlaid spectra, readable on white.
constexpr QRgb SeriesColours[] = {0x1f3f9f, 0xc8501e, 0x2a8a3a, 0x8a3aa8, 0x7a5a2a, 0x1a8a8a, 0xb0306a, 0x505050};

// Room above the highest count shown, for the marker labels.
constexpr double Headroom = 1.15;

constexpr double WheelStep = 1.25;   // zoom factor per wheel notch
constexpr double KeyPanFraction = 0.1;
constexpr qsizetype MaxCachedLabels = 512;

decimate::Samples samplesOf(const SpectrumPlot::Series &s) { return {s.counts, s.x0, s.dx, s.factor}; }

} // namespace

SpectrumPlot::SpectrumPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SpectrumPlot"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
}

// --- Spectra -----------------------------------------------------------------

QColor SpectrumPlot::nextColour() const
{
    for (QRgb rgb : SeriesColours) {
        const QColor c = QColor::fromRgb(rgb);
        if (std::none_of(series_.begin(), series_.end(), [&](const Series &s) { return s.colour == c; }))
            return c;
    }
    return QColor::fromRgb(SeriesColours[series_.size() % std::size(SeriesColours)]);
}

int SpectrumPlot::addSeries(Series series)
{
    if (!series.colour.isValid())
        series.colour = nextColour();
    if (!(series.dx > 0) || !std::isfinite(series.dx))
        series.dx = 1;
    series_.push_back(std::move(series));
    if (viewIsFull_) {
        const QPointF full = fullRange();
        viewLo_ = full.x();
        viewHi_ = full.y();
    }
    invalidate();
    emit seriesChanged();
    emit viewChanged(viewRange());
    return int(series_.size()) - 1;
}

void SpectrumPlot::removeSeries(int index)
{
    if (index < 0 || index >= spectrumCount())
        return;
    series_.erase(series_.begin() + index);
    if (series_.empty() || viewIsFull_)
        resetView();
    invalidate();
    emit seriesChanged();
}

void SpectrumPlot::clearSeries()
{
    series_.clear();
    resetView();
    invalidate();
    emit seriesChanged();
}

void SpectrumPlot::setSeriesMapping(int index, double x0, double dx, double factor)
{
    if (index < 0 || index >= spectrumCount())
        return;
    Series &s = series_[std::size_t(index)];
    s.x0 = x0;
    s.dx = dx > 0 && std::isfinite(dx) ? dx : 1;
    s.factor = std::isfinite(factor) ? factor : 1;
    if (viewIsFull_) {
        const QPointF full = fullRange();
        applyView(full.x(), full.y());
    }
    invalidate();
}

void SpectrumPlot::setSeriesName(int index, const QString &name)
{
    if (index < 0 || index >= spectrumCount())
        return;
    series_[std::size_t(index)].name = name;
    invalidate();
}

// --- Markers and labels --------------------------------------------------------

void SpectrumPlot::setMarkers(int layer, QList<Marker> markers)
{
    auto found = markers_.find(layer);
    if (markers.isEmpty() && (found == markers_.end() || found->second.isEmpty()))
        return;
    markers_[layer] = std::move(markers);
    update();
    emit markersChanged();
}

QList<SpectrumPlot::Marker> SpectrumPlot::markers(int layer) const
{
    const auto found = markers_.find(layer);
    return found == markers_.end() ? QList<Marker>() : found->second;
}

QStringList SpectrumPlot::markerLabels() const
{
    QStringList labels;
    for (const auto &[layer, list] : markers_)
        for (const Marker &m : list)
            labels << m.label + u' ' + QString::number(m.x, 'f', 3);
    return labels;
}

void SpectrumPlot::setTextLabels(QList<TextLabel> labels)
{
    textLabels_ = std::move(labels);
    update();
}

// --- Axes and view -------------------------------------------------------------

void SpectrumPlot::setYScale(YScale scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    yFixed_ = false;
    invalidate();
    emit yScaleChanged(yScaleText());
}

void SpectrumPlot::setAxisTitles(const QString &x, const QString &y)
{
    if (x == xTitle_ && y == yTitle_)
        return;
    xTitle_ = x;
    yTitle_ = y;
    invalidate();
}

void SpectrumPlot::setEmptyText(const QString &text)
{
    emptyText_ = text;
    invalidate();
}

QPointF SpectrumPlot::fullRange() const
{
    if (series_.empty())
        return {0, 20};
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const Series &s : series_) {
        const double n = double(std::max<std::size_t>(s.counts.size(), 1));
        lo = std::min(lo, s.x0 - s.dx / 2);
        hi = std::max(hi, s.x0 + (n - 0.5) * s.dx);
    }
    if (!(hi > lo))
        hi = lo + 1;
    return {lo, hi};
}

double SpectrumPlot::minimumSpan() const
{
    // Four channels of the finest spectrum across the whole width.
    double finest = std::numeric_limits<double>::infinity();
    for (const Series &s : series_)
        finest = std::min(finest, s.dx);
    const QPointF full = fullRange();
    return std::isfinite(finest) ? 4 * finest : (full.y() - full.x()) * 1e-3;
}

void SpectrumPlot::applyView(double lo, double hi)
{
    const QPointF full = fullRange();
    const double fullSpan = full.y() - full.x();
    double span = std::clamp(hi - lo, std::min(minimumSpan(), fullSpan), fullSpan);
    if (!std::isfinite(span) || span <= 0)
        span = fullSpan;
    const double centre = std::isfinite(lo + hi) ? (lo + hi) / 2 : (full.x() + full.y()) / 2;
    lo = std::clamp(centre - span / 2, full.x(), full.y() - span);
    viewLo_ = lo;
    viewHi_ = lo + span;
    viewIsFull_ = span >= fullSpan * (1 - 1e-9);
    invalidate();
    emit viewChanged(viewRange());
}

void SpectrumPlot::setViewRange(double lo, double hi)
{
    if (hi < lo)
        std::swap(lo, hi);
    applyView(lo, hi);
}

void SpectrumPlot::zoomAround(double x, double factor)
{
    if (!(factor > 0) || !std::isfinite(x))
        return;
    applyView(x - (x - viewLo_) * factor, x + (viewHi_ - x) * factor);
}

void SpectrumPlot::pan(double fraction)
{
    const double shift = (viewHi_ - viewLo_) * fraction;
    applyView(viewLo_ + shift, viewHi_ + shift);
}

void SpectrumPlot::resetView()
{
    yFixed_ = false;
    const QPointF full = fullRange();
    applyView(full.x(), full.y());
}

void SpectrumPlot::showUpTo(double x)
{
    yFixed_ = false;
    const QPointF full = fullRange();
    applyView(full.x(), std::isfinite(x) ? std::min(x, full.y()) : full.y());
}

const PlotAxes &SpectrumPlot::axes() const
{
    ensureLayout();
    return axes_;
}

void SpectrumPlot::invalidate()
{
    layoutValid_ = false;
    cacheValid_ = false;
    update();
}

void SpectrumPlot::updateYRange() const
{
    if (yFixed_) {
        axes_.setY(yLo_, yHi_, scale_);
        return;
    }
    double lo = 0, hi = 0, minPositive = 0;
    for (const Series &s : series_) {
        const decimate::Extent e = decimate::extent(samplesOf(s), viewLo_, viewHi_);
        lo = std::min(lo, e.min);
        hi = std::max(hi, e.max);
        if (e.minPositive > 0)
            minPositive = minPositive > 0 ? std::min(minPositive, e.minPositive) : e.minPositive;
    }
    if (!(hi > 0))
        hi = 1;
    switch (scale_) {
    case YScale::Log: {
        // Whole counts sit on a floor of half a count; smaller values (a
        // normalised spectrum) on half their smallest.
        double floor = hi >= 5 ? 0.5 : (minPositive > 0 ? minPositive / 2 : hi / 1000);
        floor = std::min(floor, minPositive > 0 ? minPositive / 2 : floor);
        axes_.setY(floor, std::pow(10.0, std::log10(hi) + std::log10(hi / floor) * (Headroom - 1)), scale_);
        break;
    }
    case YScale::Sqrt:
    case YScale::Linear:
        axes_.setY(lo < 0 ? lo * Headroom : 0, hi * Headroom, scale_);
        break;
    }
}

void SpectrumPlot::ensureLayout() const
{
    if (layoutValid_)
        return;
    axes_.setX(viewLo_, viewHi_);
    updateYRange();
    axes_.layout(QRectF(rect()), font());
    paths_.clear();
    for (const Series &s : series_)
        paths_.push_back(decimate::path(samplesOf(s), axes_));
    layoutValid_ = true;
}

// --- Drawing -----------------------------------------------------------------

void SpectrumPlot::drawLegend(QPainter &p) const
{
    if (series_.empty())
        return;
    const QFontMetrics fm(font());
    const int line = fm.height();
    int width = 0;
    for (const Series &s : series_)
        width = std::max(width, fm.horizontalAdvance(s.name));
    const QRectF area = axes_.area();
    const QRectF box(area.right() - width - 40, area.top() + 6, width + 32, line * int(series_.size()) + 8);
    p.setPen(QPen(palette().color(QPalette::Mid), 0));
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRect(box);
    for (std::size_t i = 0; i < series_.size(); ++i) {
        const double y = box.top() + 4 + line * double(i);
        p.setPen(QPen(series_[i].colour, 2));
        p.drawLine(QPointF(box.left() + 6, y + line / 2.0), QPointF(box.left() + 22, y + line / 2.0));
        p.setPen(Qt::black);
        p.drawText(QPointF(box.left() + 28, y + fm.ascent()), series_[i].name);
    }
}

void SpectrumPlot::drawData(QPainter &p) const
{
    ensureLayout();
    p.fillRect(QRectF(rect()), Qt::white);
    const QRectF area = axes_.area();
    p.save();
    p.setClipRect(area);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i < series_.size(); ++i) {
        p.setPen(QPen(series_[i].colour, 0));
        p.drawPolyline(paths_[i]);
    }
    p.restore();
    axes_.draw(p, font(), Qt::black, xTitle_, yTitle_);
    drawLegend(p);
    if (series_.empty() && !emptyText_.isEmpty()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
    }
}

const QStaticText &SpectrumPlot::staticText(const QString &text, bool bold) const
{
    QHash<QString, QStaticText> &cache = labelTexts_[bold ? 1 : 0];
    auto found = cache.find(text);
    if (found == cache.end()) {
        if (cache.size() >= MaxCachedLabels)
            cache.clear();
        QStaticText t(text);
        t.setTextFormat(Qt::PlainText);
        t.setPerformanceHint(QStaticText::AggressiveCaching);
        found = cache.insert(text, t);
    }
    return *found;
}

void SpectrumPlot::drawMarkers(QPainter &p, bool onScreen, QList<QRectF> &placed) const
{
    const QRectF area = axes_.area();
    QFont plain = font();
    QFont bold = plain;
    bold.setBold(true);
    const double bottom = area.bottom();
    for (const auto &[layer, list] : markers_) {
        for (const Marker &m : list) {
            const double px = std::round(axes_.xToPixel(m.x)) + 0.5;
            if (px < area.left() || px > area.right())
                continue;
            const double top = std::clamp(axes_.yToPixel(m.height), area.top(), bottom);
            QPen pen(m.colour, m.highlighted ? 3 : 1, m.style);
            p.setPen(pen);
            p.drawLine(QPointF(px, bottom), QPointF(px, top));
            if (m.label.isEmpty())
                continue;
            p.setFont(m.highlighted ? bold : plain);
            const QStaticText &text = staticText(m.label, m.highlighted);
            const QSizeF size = text.size();
            QRectF box(px - size.width() / 2, top - size.height() - 1, size.width(), size.height());
            // Up to four rows above the marker's top, then left unlabelled.
            int tries = 0;
            while (tries < 4 && std::any_of(placed.begin(), placed.end(), [&](const QRectF &r) { return r.intersects(box); })) {
                box.translate(0, -size.height());
                ++tries;
            }
            if (tries == 4 || box.top() < 0)
                continue;
            placed << box;
            if (onScreen)
                p.drawStaticText(box.topLeft(), text);
            else
                p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m.label);
        }
    }
    p.setFont(plain);
}

void SpectrumPlot::drawTextLabels(QPainter &p, QList<QRectF> &placed) const
{
    if (textLabels_.isEmpty())
        return;
    const QFontMetricsF fm(font());
    const QRectF area = axes_.area();
    const auto taken = [&](const QRectF &box) {
        return std::any_of(placed.begin(), placed.end(), [&](const QRectF &r) { return r.intersects(box); });
    };
    for (const TextLabel &l : textLabels_) {
        const double px = axes_.xToPixel(l.x);
        if (px < area.left() || px > area.right())
            continue;
        const double py = std::clamp(axes_.yToPixel(l.y), area.top() + fm.height(), area.bottom());
        const double w = fm.horizontalAdvance(l.text);
        QRectF box(px - w / 2 - 2, py - fm.height() - 3, w + 4, fm.height());
        // Small peaks side by side would put their labels over each other:
        // a label climbs a row at a time past the ones already drawn, and
        // stays where it was when six rows up are all taken too.
        QRectF free = box;
        int rows = 0;
        while (rows < 6 && taken(free) && free.top() - fm.height() >= area.top()) {
            free.translate(0, -fm.height());
            ++rows;
        }
        if (!taken(free))
            box = free;
        placed << box;
        p.fillRect(box, QColor(255, 255, 255, 200));
        p.setPen(l.colour.isValid() ? l.colour : QColor(Qt::black));
        p.drawText(box, Qt::AlignCenter, l.text);
    }
}

void SpectrumPlot::drawOverlay(QPainter &p, bool onScreen) const
{
    QList<QRectF> placed; // labels drawn so far, to keep them apart
    drawMarkers(p, onScreen, placed);
    drawTextLabels(p, placed);
}

void SpectrumPlot::render(QPainter &p) const
{
    drawData(p);
    drawOverlay(p, false);
}

void SpectrumPlot::paintEvent(QPaintEvent *)
{
    ensureLayout();
    const qreal ratio = devicePixelRatioF();
    if (!cacheValid_ || cache_.size() != size() * ratio) {
        cache_ = QPixmap(size() * ratio);
        cache_.setDevicePixelRatio(ratio);
        QPainter c(&cache_);
        drawData(c);
        cacheValid_ = true;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, cache_);
    drawOverlay(p, true);
    if (drag_ == Drag::Band) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        p.setBrush(QColor(0, 120, 215, 40));
        p.drawRect(QRect(pressAt_, dragAt_).normalized());
    }
}

void SpectrumPlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidate();
}

void SpectrumPlot::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::StyleChange) {
        labelTexts_[0].clear();
        labelTexts_[1].clear();
        invalidate();
    }
}

// --- Pointer and keys ----------------------------------------------------------

void SpectrumPlot::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton
        || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier))) {
        drag_ = Drag::Pan;
    } else if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Pending;
    } else {
        QWidget::mousePressEvent(event);
        return;
    }
    pressAt_ = dragAt_ = at;
    event->accept();
}

void SpectrumPlot::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    ensureLayout();
    switch (drag_) {
    case Drag::Pending:
        if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance())
            break;
        drag_ = Drag::Band;
        [[fallthrough]];
    case Drag::Band:
        dragAt_ = at;
        update();
        break;
    case Drag::Pan: {
        const double shift = axes_.pixelToX(dragAt_.x()) - axes_.pixelToX(at.x());
        dragAt_ = at;
        applyView(viewLo_ + shift, viewHi_ + shift);
        break;
    }
    case Drag::None:
        break;
    }
    if (axes_.area().contains(at))
        emit pointerMoved(axes_.pixelToX(at.x()), axes_.pixelToY(at.y()));
    else
        emit pointerLeft();
}

void SpectrumPlot::mouseReleaseEvent(QMouseEvent *event)
{
    const Drag was = drag_;
    drag_ = Drag::None;
    const QPoint at = event->position().toPoint();
    ensureLayout();
    if (was == Drag::Band) {
        const QRect band = QRect(pressAt_, at).normalized();
        update();
        if (band.width() < 3)
            return;
        const double lo = axes_.pixelToX(band.left()), hi = axes_.pixelToX(band.right());
        if (band.height() >= 3) {
            double yLo = axes_.pixelToY(std::min<double>(band.bottom(), axes_.area().bottom()));
            double yHi = axes_.pixelToY(std::max<double>(band.top(), axes_.area().top()));
            if (yHi > yLo) {
                yFixed_ = true;
                yLo_ = yLo;
                yHi_ = yHi;
            }
        }
        setViewRange(lo, hi);
    } else if (was == Drag::Pending && event->button() == Qt::LeftButton && axes_.area().contains(at)) {
        emit clicked(axes_.pixelToX(at.x()));
    }
}

void SpectrumPlot::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        drag_ = Drag::None;
        resetView();
    }
}

void SpectrumPlot::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool horizontal = delta.x() != 0 && delta.y() == 0;
    const double notches = (horizontal ? delta.x() : delta.y()) / 120.0;
    if (notches == 0)
        return;
    ensureLayout();
    if (horizontal || (event->modifiers() & Qt::ShiftModifier))
        pan(-notches * KeyPanFraction);
    else
        zoomAround(axes_.pixelToX(event->position().x()), std::pow(WheelStep, -notches));
    event->accept();
}

void SpectrumPlot::keyPressEvent(QKeyEvent *event)
{
    const double centre = (viewLo_ + viewHi_) / 2;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAround(centre, 1 / WheelStep);
        break;
    case Qt::Key_Minus:
        zoomAround(centre, WheelStep);
        break;
    case Qt::Key_Left:
        pan(-KeyPanFraction);
        break;
    case Qt::Key_Right:
        pan(KeyPanFraction);
        break;
    case Qt::Key_Home:
        resetView();
        break;
    case Qt::Key_Escape:
        if (drag_ == Drag::Band) {
            drag_ = Drag::None;
            update();
            break;
        }
        [[fallthrough]];
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SpectrumPlot::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    emit pointerLeft();
}
