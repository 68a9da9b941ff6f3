// Spectrum images in the spectrum window, on a small synthetic phantom
// (tools/synth/phantom.h: a carbon matrix with discs of TiO2, V2O5, SiO2
// and W, where Ti Kβ lies on V Kα and Si Kα on W Mα): the image opens by
// each route a user has, its sum spectrum is plotted and its map panel
// shown; pointing at an element in the periodic table shows that
// element's map, high where its phase is and low in the phase whose peak
// overlaps its own; maps are made in the background, can be cancelled and
// are kept; a damaged image is refused with its reason in Portuguese.
#include "app/spectrumtools.h"
#include "mainwindow/form1.h"
#include "spectrumwindow/mappanel.h"
#include "spectrumwindow/spectrumfiles.h"
#include "spectrumwindow/spectrumwindow.h"
#include "testsupport.h"
#include "toolswindowfixture.h"

#include "phantom.h"
#include "ripplewriter.h"

#include <QtTest>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>

#include <cmath>

namespace {

constexpr std::size_t Side = 40;

// Writes the phantom as a 16-bit ripple pair; the .rpl's path.
QString writePhantom(const QString &dir)
{
    synth::PhantomRecipe recipe;
    recipe.width = recipe.height = Side;
    recipe.channels = 1024;
    recipe.gain_eV = 20;
    recipe.offset_eV = -200;
    recipe.countsPerPixel = 1500;
    const synth::Phantom phantom(recipe);
    synth::RippleMap map;
    map.width = recipe.width;
    map.height = recipe.height;
    map.channels = recipe.channels;
    map.gain_eV = recipe.gain_eV;
    map.offset_eV = recipe.offset_eV;
    map.beam_kV = recipe.beam_kV;
    map.title = "phantom";
    const QString path = dir + u"/phantom.rpl"_qs;
    synth::RippleWriter writer(QFile::encodeName(path).toStdString(), map, {});
    std::vector<std::uint32_t> row(recipe.width * recipe.channels);
    std::vector<double> values(row.size());
    for (std::size_t y = 0; y < recipe.height; ++y) {
        phantom.row(y, row);
        std::copy(row.begin(), row.end(), values.begin());
        writer.addRow(values);
    }
    return writer.finish() ? QString() : path;
}

// The mean of a map over a square around the centre of a phase's disc
// (1 TiO2 top left, 2 V2O5 top right, 3 SiO2 bottom left, 4 W bottom right)
// or, for 0, of the matrix near the image's centre.
double meanIn(const image::ElementMap &m, int phase)
{
    const int q = int(Side) / 4;
    int cx = int(Side) / 2, cy = int(Side) / 2;
    if (phase > 0) {
        cx = (phase == 1 || phase == 3) ? q : 3 * q;
        cy = (phase == 1 || phase == 2) ? q : 3 * q;
    }
    double sum = 0;
    int n = 0;
    for (int y = cy - 2; y <= cy + 2; ++y)
        for (int x = cx - 2; x <= cx + 2; ++x, ++n)
            sum += m.values[std::size_t(y) * Side + std::size_t(x)];
    return sum / n;
}

using testsupport::drop;

constexpr int MapTimeoutMs = 60000;

} // namespace

class TestMapPanel : public QObject, private ToolsWindowFixture {
    Q_OBJECT

    QTemporaryDir images_;
    QString phantom_;

    // Opens the phantom from the command line and waits for its sum.
    SpectrumWindow *openPhantom()
    {
        tools->openFiles({phantom_});
        SpectrumWindow *w = tools->openSpectrumWindow();
        if (!w || !QTest::qWaitForWindowExposed(w))
            return nullptr;
        if (!QTest::qWaitFor([w] { return w->spectrumCount() == 1; }, MapTimeoutMs))
            return nullptr;
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(useTemporarySettings());
        QVERIFY(images_.isValid());
        phantom_ = writePhantom(images_.path());
        QVERIFY(!phantom_.isEmpty());
    }

    void init() { QVERIFY(start()); }

    void cleanup() { stop(); }

    void opensByEveryRoute_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("command line") << u"command line"_qs;
        QTest::newRow("drop on the main window") << u"drop"_qs;
        QTest::newRow("Open dialog") << u"dialog"_qs;
        QTest::newRow("the .raw named") << u"raw"_qs;
    }

    // The image opens in the background by every route: its sum spectrum
    // is plotted, with every count of the cube, and the map panel is
    // shown beside the plot.
    void opensByEveryRoute()
    {
        QFETCH(QString, route);
        if (route == u"command line"_qs) {
            tools->openFiles({phantom_});
        } else if (route == u"raw"_qs) {
            tools->openFiles({QString(phantom_).replace(u".rpl"_qs, u".raw"_qs)});
        } else if (route == u"drop"_qs) {
            drop(form.get(), {phantom_});
        } else {
            const spectrumfiles::OpenAsker previous = spectrumfiles::setOpenAsker(
                [this](QWidget *, const QString &, const QStringList &) { return QStringList{phantom_}; });
            tools->spectrumWindow()->show();
            const auto actions = tools->spectrumWindow()->findChildren<QAction *>();
            QAction *open = nullptr;
            for (QAction *a : actions)
                if (a->shortcut() == QKeySequence::Open)
                    open = a;
            QVERIFY(open);
            open->trigger();
            spectrumfiles::setOpenAsker(previous);
        }
        SpectrumWindow *w = tools->openSpectrumWindow();
        QVERIFY(w);
        QVERIFY(w->mapPanel());
        QTRY_COMPARE_WITH_TIMEOUT(w->spectrumCount(), 1, MapTimeoutMs);
        QVERIFY(w->mapPanel()->isVisible());
        QVERIFY(w->mapPanel()->image());
        const spectrum::Spectrum &sum = w->spectrumAt(0);
        QCOMPARE(sum.counts.size(), std::size_t(1024));
        double total = 0;
        for (double c : sum.counts)
            total += c;
        // 1500 counts a pixel expected, Poisson.
        QVERIFY2(std::fabs(total / (Side * Side) - 1500) < 15, qPrintable(QString::number(total)));
        QVERIFY(reports.isEmpty());
    }

    void hoverShowsMap_data()
    {
        QTest::addColumn<int>("Z");
        QTest::addColumn<int>("phase");   // where the element is
        QTest::addColumn<int>("overlap"); // where a peak on its own lies
        QTest::newRow("Ti, not under V Kα") << 22 << 1 << 2;
        QTest::newRow("V, not under Ti Kβ") << 23 << 2 << 1;
        QTest::newRow("Si, not under W Mα") << 14 << 3 << 4;
        QTest::newRow("W, not under Si Kα") << 74 << 4 << 3;
    }

    // Pointing at an element in the periodic table shows its map: high in
    // its phase, at most a tenth of that where another element's peak
    // overlaps its own, and nothing in the carbon matrix.
    void hoverShowsMap()
    {
        QFETCH(int, Z);
        QFETCH(int, phase);
        QFETCH(int, overlap);
        SpectrumWindow *w = openPhantom();
        QVERIFY(w);
        MapPanel *panel = w->mapPanel();
        form->showElement(Z);
        QTRY_COMPARE_WITH_TIMEOUT(panel->elementShown(), Z, MapTimeoutMs);
        const image::ElementMap *m = panel->map(Z);
        QVERIFY(m);
        QCOMPARE(m->values.size(), Side * Side);
        const double there = meanIn(*m, phase), beside = meanIn(*m, overlap), matrix = meanIn(*m, 0);
        QVERIFY2(there > 50, qPrintable(QString::number(there)));
        QVERIFY2(beside < 0.1 * there, qPrintable(QStringLiteral("%1 beside, %2 there").arg(beside).arg(there)));
        QVERIFY2(matrix < 0.05 * there, qPrintable(QStringLiteral("%1 in carbon, %2 there").arg(matrix).arg(there)));
        // The picture is the map, a pixel a pixel, and the title names it.
        QCOMPARE(panel->picture().size(), QSize(int(Side), int(Side)));
        QVERIFY2(panel->titleLabel()->text().contains(u"contagens"_qs), qPrintable(panel->titleLabel()->text()));
    }

    // An element the sum does not show is mapped on demand, beside the
    // elements found, in the background: the window answers meanwhile,
    // Cancel stops it, the next pointing starts it again, and a map made
    // is kept (shown again at once).
    void onDemandCancelAndKept()
    {
        SpectrumWindow *w = openPhantom();
        QVERIFY(w);
        MapPanel *panel = w->mapPanel();
        form->showElement(22); // Ti, found
        QTRY_COMPARE_WITH_TIMEOUT(panel->elementShown(), 22, MapTimeoutMs);
        QVERIFY(panel->elementsFound());
        QVERIFY(!panel->elementsFound()->empty());
        QVERIFY(!panel->busy());

        form->showElement(26); // Fe: not in the phantom
        QVERIFY(panel->busy());
        QVERIFY(panel->progressBar()->isVisible());
        QVERIFY(panel->cancelButton()->isVisible());
        QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->busy(), MapTimeoutMs);
        QVERIFY(!panel->map(26));
        QCOMPARE(panel->elementShown(), 22);
        QVERIFY(!panel->progressBar()->isVisible());
        QVERIFY2(panel->statusLabel()->text().contains(u"Interromp"_qs), qPrintable(panel->statusLabel()->text()));

        // The pointer leaves iron and comes back.
        form->showElement(22);
        form->showElement(26);
        QTRY_COMPARE_WITH_TIMEOUT(panel->elementShown(), 26, MapTimeoutMs);
        const image::ElementMap *fe = panel->map(26);
        QVERIFY(fe);
        // Iron is nowhere: its map is about 0 in every phase.
        for (int phase = 0; phase <= 4; ++phase)
            QVERIFY2(meanIn(*fe, phase) < 10, qPrintable(QString::number(meanIn(*fe, phase))));
        QVERIFY(panel->titleLabel()->text().contains(u"\n"_qs)); // "not found in the sum spectrum"

        // Back to Ti: kept, shown at once, nothing made again.
        const image::ElementMap *ti = panel->map(22);
        form->showElement(22);
        QCOMPARE(panel->elementShown(), 22);
        QVERIFY(!panel->busy());
        QCOMPARE(panel->map(22), ti);
    }

    // Sweeping the pointer over several elements not found leaves only the
    // last one's map to make.
    void sweepMakesTheLast()
    {
        SpectrumWindow *w = openPhantom();
        QVERIFY(w);
        MapPanel *panel = w->mapPanel();
        form->showElement(22);
        QTRY_COMPARE_WITH_TIMEOUT(panel->elementShown(), 22, MapTimeoutMs);
        for (int Z : {25, 26, 27, 28, 29})
            form->showElement(Z);
        QTRY_COMPARE_WITH_TIMEOUT(panel->elementShown(), 29, MapTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->busy(), MapTimeoutMs);
        QCOMPARE(panel->elementShown(), 29);
    }

    void damaged_data()
    {
        QTest::addColumn<QString>("contents");
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("bcf signature, nothing else") << u"AAMVHFSS"_qs << u"phantom-bad.bcf"_qs;
        QTest::newRow("ripple without its .raw")
            << u"width\t4\nheight\t4\ndepth\t16\noffset\t0\ndata-length\t2\ndata-type\tunsigned\nbyte-order\tlittle-endian\nrecord-by\tvector\n"_qs
            << u"phantom-bad.rpl"_qs;
    }

    // A damaged image is refused with its reason, in the window's
    // language, and nothing is added.
    void damaged()
    {
        QFETCH(QString, contents);
        QFETCH(QString, portuguese);
        const QString path = images_.filePath(portuguese);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents.toLatin1());
        f.close();
        tools->openFiles({path});
        QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 1, MapTimeoutMs);
        QVERIFY2(reports[0].contains(portuguese) && reports[0].contains(u"Este arquivo"_qs), qPrintable(reports[0]));
        QCOMPARE(tools->openSpectrumWindow()->spectrumCount(), 0);
        QFile::remove(path);
    }
};

QTEST_MAIN(TestMapPanel)
#include "tst_mappanel.moc"
