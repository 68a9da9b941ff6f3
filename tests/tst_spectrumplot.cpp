// The spectrum plot on its own: the decimated line keeps every column's
// extremes, the scales (log with zeros), zooming and panning by wheel, drag,
// keys and double-click, clicks told apart from drags, the markers it
// reports, and the exported PNG and SVG.
#include "spectrumwindow/decimate.h"
#include "spectrumwindow/plotexport.h"
#include "spectrumwindow/spectrumplot.h"
#include "spectrumtestdata.h"

#include <QtTest>

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>

namespace {

// 4096 channels of 10 eV from 0: a flat background of 100 with a peak of
// 5000 counts at channel 640 (6.4 keV) and one of 2000 at 804 (8.04 keV).
SpectrumPlot::Series testSeries(const QString &name = QStringLiteral("test"))
{
    SpectrumPlot::Series s;
    s.name = name;
    s.counts.assign(4096, 100.0);
    for (int c = -8; c <= 8; ++c) {
        s.counts[std::size_t(640 + c)] += 5000 * std::exp(-c * c / 8.0);
        s.counts[std::size_t(804 + c)] += 2000 * std::exp(-c * c / 8.0);
    }
    s.x0 = 0;
    s.dx = 0.01;
    return s;
}

// The pointer through the window system, with the buttons left down.
void moveTo(QWidget *w, QPoint at)
{
    QWindow *window = w->window()->windowHandle();
    QTest::mouseEvent(QTest::MouseMove, window, Qt::NoButton, Qt::NoModifier, window->mapFromGlobal(w->mapToGlobal(at)));
}

void wheel(QWidget *w, QPoint at, int notches, Qt::KeyboardModifiers modifiers = {})
{
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestSpectrumPlot : public QObject {
    Q_OBJECT

    std::unique_ptr<SpectrumPlot> plot;

    QPoint pixelAt(double x, double y) const
    {
        const PlotAxes &a = plot->axes();
        return QPoint(int(std::lround(a.xToPixel(x))), int(std::lround(a.yToPixel(y))));
    }
    QPoint middle() const { return plot->axes().area().center().toPoint(); }

private slots:
    void init()
    {
        plot = std::make_unique<SpectrumPlot>();
        plot->resize(1000, 500);
        plot->addSeries(testSeries());
        plot->show();
        QVERIFY(QTest::qWaitForWindowExposed(plot.get()));
    }
    void cleanup() { plot.reset(); }

    // Every column keeps its largest and smallest count: a one-channel
    // spike survives at any width.
    void decimationKeepsExtremes_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("width");
        QTest::newRow("4096 over 1000 px") << 4096 << 1000;
        QTest::newRow("1048576 over 800 px") << 1048576 << 800;
        QTest::newRow("300 over 1000 px") << 300 << 1000;
        QTest::newRow("one channel") << 1 << 500;
    }
    void decimationKeepsExtremes()
    {
        QFETCH(int, channels);
        QFETCH(int, width);
        std::vector<double> counts(std::size_t(channels), 10.0);
        const std::size_t spike = std::size_t(channels) / 3, dip = std::size_t(channels) / 2;
        counts[spike] = 1000;
        if (channels > 1)
            counts[dip] = 0;
        PlotAxes axes;
        axes.setX(-0.5, channels - 0.5);
        axes.setY(0, 1000, YScale::Linear);
        axes.setArea(QRectF(0, 0, width, 100));
        const QPolygonF path = decimate::path({counts, 0, 1, 1}, axes);
        QVERIFY(path.size() <= 2 * width + 4);
        QVERIFY(path.size() >= std::min(channels, width));
        double top = 1e9, bottom = -1e9;
        for (const QPointF &p : path) {
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
        QCOMPARE(top, axes.yToPixel(1000));
        QCOMPARE(bottom, axes.yToPixel(channels > 1 ? 0 : 1000));
    }

    // Zeros and negative counts sit on the bottom of a log plot; nothing
    // is drawn outside it and the scale keeps a positive floor.
    void logScaleWithZeros()
    {
        SpectrumPlot::Series s;
        s.name = QStringLiteral("zeros");
        s.counts = {0, 0, 5, 0, -3, 1e4, 0, 1};
        plot->clearSeries();
        plot->addSeries(s);
        QSignalSpy scaleChanged(plot.get(), &SpectrumPlot::yScaleChanged);
        plot->setYScale(YScale::Log);
        QCOMPARE(plot->property("yScale").toString(), u"log"_qs);
        QCOMPARE(scaleChanged.size(), 1);
        const PlotAxes &a = plot->axes();
        QVERIFY(a.yLo() > 0 && a.yLo() <= 0.5);
        QVERIFY(a.yHi() >= 1e4);
        QCOMPARE(a.yToPixel(0), a.area().bottom());
        QCOMPARE(a.yToPixel(-3), a.area().bottom());
        QVERIFY(std::isfinite(a.yToPixel(1e4)));
        QVERIFY(!plot->grab().isNull());

        // All zeros: still a finite scale.
        s.counts.assign(16, 0.0);
        plot->clearSeries();
        plot->addSeries(s);
        QVERIFY(plot->axes().yHi() > plot->axes().yLo());
        plot->setYScale(YScale::Sqrt);
        QCOMPARE(plot->property("yScale").toString(), u"sqrt"_qs);
        QVERIFY(!plot->grab().isNull());
    }

    // Ticks are round numbers inside the range, never too many.
    void ticks_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::newRow("0..20") << 0.0 << 20.0;
        QTest::newRow("6.38..6.42") << 6.38 << 6.42;
        QTest::newRow("0..1e300") << 0.0 << 1e300;
        QTest::newRow("-50..7") << -50.0 << 7.0;
    }
    void ticks()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        const QVector<double> t = PlotAxes::niceTicks(lo, hi, 8);
        QVERIFY(t.size() >= 2 && t.size() <= 10);
        for (double v : t)
            QVERIFY(v >= lo - (hi - lo) * 1e-9 && v <= hi + (hi - lo) * 1e-9);
        const double step = t[1] - t[0];
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        QVERIFY(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6);
        QCOMPARE(PlotAxes::logTicks(0.5, 2e4, 10), (QVector<double>{1, 10, 100, 1000, 10000}));
    }

    // The wheel zooms around the pointer: the x under it stays there.
    void wheelZoomsAroundThePointer()
    {
        QSignalSpy viewChanged(plot.get(), &SpectrumPlot::viewChanged);
        QCOMPARE(plot->property("viewRange").toPointF(), QPointF(-0.005, 40.955));
        const QPoint at = pixelAt(6.4, 0);
        wheel(plot.get(), at, 3);
        const QPointF view = plot->property("viewRange").toPointF();
        QVERIFY(view.y() - view.x() < 41 / 1.9);
        QVERIFY(std::fabs(plot->axes().pixelToX(at.x()) - 6.4) < 0.02);
        QVERIFY(viewChanged.size() >= 1);
        wheel(plot.get(), at, -10);
        QCOMPARE(plot->viewRange(), plot->fullRange());
        // Shift and the wheel pan.
        plot->setViewRange(10, 20);
        wheel(plot.get(), middle(), -1, Qt::ShiftModifier);
        QVERIFY(plot->viewRange().x() > 10);
    }

    // A dragged rectangle zooms into it; a double-click shows everything.
    void dragZoomsDoubleClickResets()
    {
        QSignalSpy clicks(plot.get(), &SpectrumPlot::clicked);
        const QPoint from = pixelAt(6.0, 4000), to = pixelAt(7.0, 50);
        QTest::mousePress(plot.get(), Qt::LeftButton, {}, from);
        QTest::mouseMove(plot.get(), (from + to) / 2);
        QTest::mouseMove(plot.get(), to);
        QTest::mouseRelease(plot.get(), Qt::LeftButton, {}, to);
        QCOMPARE(clicks.size(), 0);
        const QPointF view = plot->viewRange();
        QVERIFY(std::fabs(view.x() - 6.0) < 0.05 && std::fabs(view.y() - 7.0) < 0.05);
        QVERIFY(std::fabs(plot->axes().yHi() - 4000) < 100);

        QTest::mouseDClick(plot.get(), Qt::LeftButton, {}, middle());
        QCOMPARE(plot->viewRange(), plot->fullRange());
        QVERIFY(plot->axes().yHi() > 5000);
    }

    // A click that does not move is a click, at the x under the pointer.
    void clickReportsX()
    {
        QSignalSpy clicks(plot.get(), &SpectrumPlot::clicked);
        QSignalSpy moves(plot.get(), &SpectrumPlot::pointerMoved);
        const QPoint at = pixelAt(6.4, 100);
        moveTo(plot.get(), at);
        QVERIFY(!moves.isEmpty());
        QVERIFY(std::fabs(moves.last().at(0).toDouble() - 6.4) < 0.05);
        QTest::mouseClick(plot.get(), Qt::LeftButton, {}, at);
        QCOMPARE(clicks.size(), 1);
        QVERIFY(std::fabs(clicks.first().first().toDouble() - 6.4) < 0.05);
        // Outside the data area: no click.
        QTest::mouseClick(plot.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(clicks.size(), 1);
    }

    void keysZoomPanAndReset()
    {
        plot->setFocus();
        QTest::keyClick(plot.get(), Qt::Key_Plus);
        const QPointF zoomed = plot->viewRange();
        QVERIFY(zoomed.y() - zoomed.x() < 41 / 1.2);
        QTest::keyClick(plot.get(), Qt::Key_Right);
        QVERIFY(plot->viewRange().x() > zoomed.x());
        QTest::keyClick(plot.get(), Qt::Key_Left);
        QTest::keyClick(plot.get(), Qt::Key_Left);
        QVERIFY(plot->viewRange().x() < zoomed.x() + 1e-9);
        QTest::keyClick(plot.get(), Qt::Key_Home);
        QCOMPARE(plot->viewRange(), plot->fullRange());
        // Panning never leaves the data.
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(plot.get(), Qt::Key_Left);
        QCOMPARE(plot->viewRange(), plot->fullRange());
    }

    // Layers are replaced one at a time; the property lists label and x.
    void markerLayers()
    {
        QSignalSpy changed(plot.get(), &SpectrumPlot::markersChanged);
        plot->setMarkers(1, {{6.4039, 5000, u"Fe K\u03B11"_qs, Qt::red}, {7.058, 900, u"Fe K\u03B21"_qs, Qt::red}});
        plot->setMarkers(0, {{8.0478, 2000, u"Cu K\u03B11"_qs, Qt::blue, Qt::DotLine}});
        QCOMPARE(plot->property("markerLabels").toStringList(),
                 (QStringList{u"Cu K\u03B11 8.048"_qs, u"Fe K\u03B11 6.404"_qs, u"Fe K\u03B21 7.058"_qs}));
        plot->clearMarkers(1);
        QCOMPARE(plot->markerLabels(), QStringList{u"Cu K\u03B11 8.048"_qs});
        QCOMPARE(changed.size(), 3);
        plot->clearMarkers(1); // nothing to clear
        QCOMPARE(changed.size(), 3);
    }

    // A marker is drawn from the bottom of the data area up to its height.
    void markerDrawnToItsHeight()
    {
        plot->setMarkers(0, {{20.0, 2500, QString(), QColor(255, 0, 255)}});
        const QImage image = plot->grab().toImage();
        const PlotAxes &a = plot->axes();
        const int x = int(std::round(a.xToPixel(20.0)));
        const int top = int(std::ceil(a.yToPixel(2500)));
        QCOMPARE(QColor(image.pixel(x, top + 3)), QColor(255, 0, 255));
        QCOMPARE(QColor(image.pixel(x, int(a.area().bottom()) - 3)), QColor(255, 0, 255));
        QVERIFY(QColor(image.pixel(x, top - 5)) != QColor(255, 0, 255));
    }

    void removingSeries()
    {
        QSignalSpy changed(plot.get(), &SpectrumPlot::seriesChanged);
        plot->addSeries(testSeries(QStringLiteral("second")));
        QCOMPARE(plot->property("spectrumCount").toInt(), 2);
        QVERIFY(plot->series(0).colour != plot->series(1).colour);
        plot->removeSeries(0);
        QCOMPARE(plot->spectrumCount(), 1);
        QCOMPARE(plot->series(0).name, u"second"_qs);
        plot->removeSeries(5); // out of range: nothing
        QCOMPARE(changed.size(), 2);
    }

    // The files hold what is shown: the PNG at the plot's size, the SVG a
    // well-formed drawing with the marker labels as text.
    void exports()
    {
        QTemporaryDir dir;
        plot->setMarkers(0, {{6.4039, 5000, u"Fe K\u03B11"_qs, Qt::red}});
        plot->setTextLabels({{8.04, 2100, u"Cu"_qs, Qt::black}});
        const QString png = dir.filePath(u"plot.png"_qs), svg = dir.filePath(u"plot.svg"_qs);
        QCOMPARE(plotexport::savePng(*plot, png), QString());
        QImage image(png);
        QCOMPARE(image.size(), plot->size());
        QCOMPARE(image, plot->grab().toImage().convertToFormat(image.format()));

        QCOMPARE(plotexport::saveSvg(*plot, svg, u"test"_qs), QString());
        bool wellFormed = false;
        const QString texts = spectrumtest::svgTexts(svg, &wellFormed);
        QVERIFY(wellFormed);
        QVERIFY(texts.contains(u"Fe K\u03B11"_qs));
        QVERIFY(texts.contains(u"Cu"_qs));

        QVERIFY(!plotexport::savePng(*plot, dir.filePath(u"no/such/dir/plot.png"_qs)).isEmpty());
    }
};

QTEST_MAIN(TestSpectrumPlot)
#include "tst_spectrumplot.moc"
