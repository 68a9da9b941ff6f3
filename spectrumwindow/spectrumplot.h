// The spectrum plot: counts against energy (or channel), drawn with
// QPainter. It knows nothing of files or X-ray lines: it is given series of
// counts with their x mapping, markers and text labels, and reports where
// the pointer is and where the user clicked.
//
// Drawing is in two layers. The axes, the spectra (reduced to the smallest
// and largest count of each pixel column) and the legend are painted into a
// cached pixmap, rebuilt only when the data, the view, the scale or the
// size change. The markers and text labels are drawn over it on every
// paint, so a marker change costs a copy of the pixmap and the markers.
//
// Pointer: the wheel zooms around the pointer (with Shift it pans), a drag
// with the left button zooms into the rectangle, a drag with the middle
// button (or Shift and the left button) pans, a double-click resets the
// view. Keys: + and - zoom, Left and Right pan, Home resets.
#pragma once

#include "plotaxes.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QStaticText>
#include <QStringList>
#include <QWidget>

#include <map>
#include <vector>

class SpectrumPlot : public QWidget {
    Q_OBJECT
    // What is drawn, for tests and accessibility.
    Q_PROPERTY(QStringList markerLabels READ markerLabels NOTIFY markersChanged)
    Q_PROPERTY(QPointF viewRange READ viewRange NOTIFY viewChanged)
    Q_PROPERTY(int spectrumCount READ spectrumCount NOTIFY seriesChanged)
    Q_PROPERTY(QString yScale READ yScaleText NOTIFY yScaleChanged)

public:
    // One spectrum: channel c is drawn at x = x0 + c * dx with height
    // counts[c] * factor.
    struct Series {
        QString name;
        std::vector<double> counts;
        double x0 = 0;
        double dx = 1;
        double factor = 1;
        QColor colour; // invalid: the next colour of the plot's own set
    };

    // A vertical line from the bottom of the plot up to `height` (in data
    // units, after the factor), labelled at its top.
    struct Marker {
        double x = 0;
        double height = 0;
        QString label;
        QColor colour;
        Qt::PenStyle style = Qt::SolidLine; // solid, dashed or dotted
        bool highlighted = false;           // drawn thicker, label in bold
    };

    // A text at a point of the data, such as a peak's name above it.
    struct TextLabel {
        double x = 0;
        double y = 0;
        QString text;
        QColor colour;
    };

    explicit SpectrumPlot(QWidget *parent = nullptr);

    // --- Spectra ---------------------------------------------------------
    int addSeries(Series series); // returns its index
    void removeSeries(int index);
    void clearSeries();
    int spectrumCount() const { return int(series_.size()); }
    const Series &series(int index) const { return series_[std::size_t(index)]; }
    // A new x mapping or factor for a series, keeping its counts.
    void setSeriesMapping(int index, double x0, double dx, double factor);
    void setSeriesName(int index, const QString &name);

    // --- Markers and labels ------------------------------------------------
    // Markers come in layers, drawn in the order of their keys; setting a
    // layer replaces only that layer.
    void setMarkers(int layer, QList<Marker> markers);
    void clearMarkers(int layer) { setMarkers(layer, {}); }
    QList<Marker> markers(int layer) const;
    // "Fe Kα1 6.404": each marker's label and x, layer by layer.
    QStringList markerLabels() const;

    void setTextLabels(QList<TextLabel> labels);
    QList<TextLabel> textLabels() const { return textLabels_; }

    // --- Axes and view -------------------------------------------------------
    void setYScale(YScale scale);
    YScale yScaleValue() const { return scale_; }
    QString yScaleText() const { return yScaleName(scale_); }

    void setAxisTitles(const QString &x, const QString &y);
    // Shown in the middle of the plot while it has no spectrum.
    void setEmptyText(const QString &text);

    // The x range shown.
    QPointF viewRange() const { return {viewLo_, viewHi_}; }
    // The x range of all the data; (0, 20) without data.
    QPointF fullRange() const;
    // Shows [lo, hi] of x, within the data's range; the y range follows
    // the data shown unless a dragged rectangle fixed it.
    void setViewRange(double lo, double hi);
    // Zooms by `factor` (below 1 in, above 1 out) keeping x where it is.
    void zoomAround(double x, double factor);
    // Moves the view by a fraction of its width (positive: to the right).
    void pan(double fraction);
    // The whole data range, and the y range following the data.
    void resetView();
    // The data range from its start up to x (the whole range when x lies
    // beyond it), and the y range following the data.
    void showUpTo(double x);

    // The axes as last laid out for the widget's size: data to pixels.
    const PlotAxes &axes() const;

    // --- Output --------------------------------------------------------------
    // Draws the plot as shown, at the widget's size, onto any paint device
    // (an image, an SVG generator, a printer).
    void render(QPainter &p) const;

signals:
    // The pointer over the data area, in data units; and leaving it.
    void pointerMoved(double x, double y);
    void pointerLeft();
    // A left click that was not a drag, at x.
    void clicked(double x);
    void viewChanged(QPointF range);
    void markersChanged();
    void seriesChanged();
    void yScaleChanged(const QString &scale);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void invalidate();                 // the data layer must be redrawn
    void ensureLayout() const;         // axes and paths for the current view and size
    void updateYRange() const;
    void drawData(QPainter &p) const;  // background, axes, spectra, legend
    // Markers and text labels. On screen the marker labels are drawn from
    // laid-out texts kept between paints; in a file as plain text.
    void drawOverlay(QPainter &p, bool onScreen) const;
    void drawMarkers(QPainter &p, bool onScreen, QList<QRectF> &placed) const;
    void drawTextLabels(QPainter &p, QList<QRectF> &placed) const;
    void drawLegend(QPainter &p) const;
    const QStaticText &staticText(const QString &text, bool bold) const;
    QColor nextColour() const;
    double minimumSpan() const;
    void applyView(double lo, double hi);

    std::vector<Series> series_;
    std::map<int, QList<Marker>> markers_;
    QList<TextLabel> textLabels_;
    YScale scale_ = YScale::Linear;
    QString xTitle_, yTitle_, emptyText_;

    double viewLo_ = 0, viewHi_ = 20;
    bool viewIsFull_ = true;
    // A y range fixed by a dragged rectangle; otherwise it follows the data.
    bool yFixed_ = false;
    double yLo_ = 0, yHi_ = 1;

    // Laid out on demand, for the size and view in force.
    mutable bool layoutValid_ = false;
    mutable PlotAxes axes_;
    mutable std::vector<QPolygonF> paths_;
    mutable QPixmap cache_;
    mutable bool cacheValid_ = false;
    mutable QHash<QString, QStaticText> labelTexts_[2]; // plain, bold

    // Pointer state.
    enum class Drag { None, Pending, Band, Pan };
    Drag drag_ = Drag::None;
    QPoint pressAt_;
    QPoint dragAt_;
};
