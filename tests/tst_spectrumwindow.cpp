// The spectrum window with the main window, through real pointer, key and
// drop events: markers following the pointer over the table, pinned
// elements and their sum peaks, the finder panel and the main window's
// selection, calibration, scales, export, opening files and bad input.
#include "app/spectrumtools.h"
#include "finderwindow/finderwindow.h"
#include "mainwindow/form1.h"
#include "spectrumtestdata.h"
#include "spectrumwindow/calibrationpanel.h"
#include "spectrumwindow/elementpanel.h"
#include "spectrumwindow/finderpanel.h"
#include "spectrumwindow/spectrumfiles.h"
#include "spectrumwindow/spectrumwindow.h"
#include "testsupport.h"
#include "toolswindowfixture.h"
#include "uicommon/candidatesmodel.h"
#include "uicommon/detectorbox.h"
#include "uicommon/errorreport.h"

#include "spectrum/read.h"

#include <QtTest>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QXmlStreamReader>

#include <memory>

using testsupport::ScratchDir;
using namespace spectrumtest;

namespace {

using testsupport::drop;

bool hasLabelStartingWith(const QStringList &labels, const QString &start)
{
    return std::any_of(labels.begin(), labels.end(), [&](const QString &l) { return l.startsWith(start); });
}

} // namespace

class TestSpectrumWindow : public QObject, private ToolsWindowFixture {
    Q_OBJECT


    SpectrumWindow *window() { return tools->openSpectrumWindow(); }
    SpectrumPlot *plot() { return window()->plot(); }
    QStringList labels() { return plot()->markerLabels(); }

    // The steel spectrum, opened from a file as the user would.
    SpectrumWindow *openSteel()
    {
        const QString file = dir->file(u"steel.msa"_qs);
        if (!writeEmsa(file, makeSpectrum(steelPeaks())))
            return nullptr;
        tools->openFiles({file});
        SpectrumWindow *w = window();
        if (!w || !QTest::qWaitForWindowExposed(w))
            return nullptr;
        placeAside(w);
        return w;
    }

    // Beside the main window, so that the pointer over either reaches it.
    void placeAside(QWidget *w) { w->move(form->frameGeometry().right() + 20, 0); }

    QPoint pixelAt(double keV)
    {
        const PlotAxes &a = plot()->axes();
        return QPoint(int(std::lround(a.xToPixel(keV))), int(std::lround(a.area().center().y())));
    }

    void clickRow(QTableView *view, int row)
    {
        const QRect r = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    }

    void typeInto(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

private slots:
    void initTestCase() { QVERIFY(useTemporarySettings()); }

    void init()
    {
        QVERIFY(start());
        QTest::mouseMove(form->Frame3, QPoint(5, 5));
    }

    void cleanup() { stop(); }

    // Nothing of the tools exists before it is asked for.
    void nothingBeforeFirstUse()
    {
        QVERIFY(!tools->openSpectrumWindow());
        QVERIFY(!tools->openFinderWindow());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<SpectrumWindow *>(w) && !qobject_cast<FinderWindow *>(w));
    }

    // Pointing at a cell shows that element's lines; moving on replaces
    // them. Escape peaks come with the strong lines; lines above the beam
    // energy are left out.
    void hoverShowsMarkers()
    {
        QVERIFY(openSteel());
        QVERIFY(labels().isEmpty());
        QTest::mouseMove(form->ElementSelectionLabel(26));
        QVERIFY2(labels().contains(u"Fe K\u03B11 6.404"_qs), qPrintable(labels().join(u", ")));
        QVERIFY(labels().contains(u"Fe K\u03B21 7.058"_qs));
        QVERIFY(hasLabelStartingWith(labels(), u"Fe L\u03B1"_qs));
        QVERIFY(hasLabelStartingWith(labels(), u"Fe K\u03B11 esc 4.66"_qs)); // Si escape
        QVERIFY(!hasLabelStartingWith(labels(), u"Cu"_qs));
        // Heights follow the spectrum: Kα1 at the top of its peak (which
        // Kα2 swells), Kα2 about half as high.
        const QList<SpectrumPlot::Marker> hover = plot()->markers(SpectrumWindow::HoverLayer);
        const auto height = [&](const QString &label) {
            for (const auto &m : hover)
                if (m.label == label)
                    return m.height;
            return -1.0;
        };
        const std::vector<double> &counts = window()->spectrumAt(0).counts;
        const double top = *std::max_element(counts.begin() + 600, counts.begin() + 700);
        QVERIFY(std::fabs(height(u"Fe K\u03B11"_qs) - top) < 0.05 * top);
        QVERIFY(height(u"Fe K\u03B12"_qs) > 0.3 * height(u"Fe K\u03B11"_qs));
        QVERIFY(height(u"Fe K\u03B12"_qs) < 0.7 * height(u"Fe K\u03B11"_qs));

        QTest::mouseMove(form->ElementSelectionLabel(29));
        QVERIFY(labels().contains(u"Cu K\u03B11 8.048"_qs));
        QVERIFY(!hasLabelStartingWith(labels(), u"Fe"_qs));

        // A 5 kV beam excites copper's L lines, not its K lines.
        QDoubleSpinBox *beam = window()->detectorBox()->beamBox();
        beam->setFocus();
        QTest::keyClick(beam, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(beam, u"5"_qs);
        QCOMPARE(beam->value(), 5.0);
        QVERIFY(!hasLabelStartingWith(labels(), u"Cu K"_qs));
        QVERIFY(hasLabelStartingWith(labels(), u"Cu L\u03B11"_qs));
    }

    // Pinned elements keep their markers with their sum peaks (dotted),
    // typed into the list, pinned with the key P, and removed again.
    void pinningAndSums()
    {
        SpectrumWindow *w = openSteel();
        QVERIFY(w);
        ElementPanel *panel = w->elementPanel();
        w->sidePanels()->setCurrentWidget(panel);
        typeInto(panel->entry(), u"fe 29 Xx"_qs);
        QCOMPARE(w->pinnedElements(), (QList<int>{26, 29}));
        QVERIFY(panel->findChild<QLabel *>(u"PinnedElementsError"_qs)->text().contains(u"Xx"_qs));
        QCOMPARE(panel->list()->count(), 2);
        QVERIFY(labels().contains(u"Fe K\u03B11 6.404"_qs));
        QVERIFY(labels().contains(u"Cu K\u03B11 8.048"_qs));
        const QList<SpectrumPlot::Marker> sums = plot()->markers(SpectrumWindow::SumLayer);
        QStringList sumLabels;
        for (const auto &m : sums) {
            sumLabels << m.label;
            QCOMPARE(m.style, Qt::DotLine);
        }
        QVERIFY2(sumLabels.contains(u"Fe K\u03B11+Fe K\u03B11"_qs), qPrintable(sumLabels.join(u", ")));
        QVERIFY(sumLabels.contains(u"Fe K\u03B11+Cu K\u03B11"_qs));
        QVERIFY(labels().contains(u"Fe K\u03B11+Cu K\u03B11 14.452"_qs));

        // The element under the pointer, pinned with P in the plot.
        QTest::mouseMove(form->ElementSelectionLabel(22));
        plot()->setFocus();
        QTest::keyClick(plot(), Qt::Key_P);
        QCOMPARE(w->pinnedElements(), (QList<int>{26, 29, 22}));

        // Unpinned from the list: its markers and its sums go.
        panel->list()->setCurrentRow(0);
        QTest::mouseClick(panel->removeButton(), Qt::LeftButton);
        QCOMPARE(w->pinnedElements(), (QList<int>{29, 22}));
        QVERIFY(!hasLabelStartingWith(labels(), u"Fe"_qs));
    }

    // A click on a peak lists its candidates; choosing one shows its
    // element in the main window, moves the selection frame there and
    // highlights its markers.
    void clickFindsAndChoosing()
    {
        SpectrumWindow *w = openSteel();
        QVERIFY(w);
        QTest::mouseClick(plot(), Qt::LeftButton, {}, pixelAt(6.40));
        CandidatesModel *model = w->candidates();
        QVERIFY(model->rowCount() > 0);
        QVERIFY(std::fabs(model->energy_eV() - lineEnergy("Fe Ka1")) < 15); // snapped to the peak top
        QCOMPARE(model->data(model->index(0, CandidatesModel::ElementColumn)).toString(), u"Fe"_qs);
        QCOMPARE(model->data(model->index(0, CandidatesModel::LineColumn)).toString(), u"K\u03B11"_qs);
        QCOMPARE(model->data(model->index(0, CandidatesModel::KindColumn)).toString(), u"linha"_qs);
        QVERIFY(model->data(model->index(0, CandidatesModel::ConfirmColumn)).toString().contains(u"Fe K\u03B21"_qs));
        QCOMPARE(w->sidePanels()->currentWidget(), w->finderPanel());

        QTest::mouseMove(form->ElementSelectionLabel(8));
        QVERIFY(form->ElementText2->text() != u"Fe"_qs);
        clickRow(w->finderPanel()->view(), 0);
        QCOMPARE(form->ElementText2->text(), u"Fe"_qs);
        QCOMPARE(form->ElementSelShape->pos(), form->fmePTElement(26)->pos() - QPoint(1, 1));
        bool highlighted = false;
        for (const auto &m : plot()->markers(SpectrumWindow::HoverLayer))
            if (m.label == u"Fe K\u03B11"_qs)
                highlighted = m.highlighted;
        QVERIFY(highlighted);

        // The panel's button pins the candidate's element.
        QTest::mouseClick(w->finderPanel()->pinButton(), Qt::LeftButton);
        QCOMPARE(w->pinnedElements(), QList<int>{26});
    }

    // Calibrating a spectrum of counts alone: two peaks give offset and
    // gain, a third the residuals; undo goes back a step; one channel
    // twice, or energies falling with the channel, are refused with a
    // reason.
    void calibration()
    {
        spectrum::Spectrum s = makeSpectrum(steelPeaks(), 2048, -20, 10, false);
        const QString file = dir->file(u"counts.txt"_qs);
        QVERIFY(writeCounts(file, s.counts));
        tools->openFiles({file});
        SpectrumWindow *w = window();
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        placeAside(w);
        QVERIFY(reports.isEmpty());
        QVERIFY(!w->spectrumAt(0).calibration);
        QVERIFY(labels().isEmpty());

        CalibrationPanel *panel = w->calibrationPanel();
        const auto assign = [&](double channel, const char *line) {
            QTest::mouseClick(plot(), Qt::LeftButton, {}, pixelAt(channel));
            QCOMPARE(w->sidePanels()->currentWidget(), panel);
            typeInto(panel->lineEntry(), QString::fromLatin1(line));
        };
        const double feChannel = (lineEnergy("Fe Ka1") + 20) / 10, cuChannel = (lineEnergy("Cu Ka1") + 20) / 10;
        assign(feChannel, "Fe Ka1");
        QCOMPARE(panel->table()->rowCount(), 1);
        QVERIFY(!w->spectrumAt(0).calibration);

        // The same peak again.
        assign(feChannel + 1, "Mn Ka1");
        QVERIFY(panel->message()->text().contains(u"Fe K\u03B11"_qs));
        QCOMPARE(panel->table()->rowCount(), 1);

        // Energies falling with the channel: the fit refuses them.
        assign(cuChannel, "Ti Ka1");
        QVERIFY2(panel->message()->text().startsWith(u"N\u00E3o calibrado"_qs), qPrintable(panel->message()->text()));
        QVERIFY(!w->spectrumAt(0).calibration);

        assign(cuChannel, "Cu Ka1");
        QVERIFY(panel->message()->text().isEmpty());
        QVERIFY(w->spectrumAt(0).calibration);
        QVERIFY(std::fabs(w->spectrumAt(0).calibration->gain_eV - 10) < 0.05);
        QVERIFY(std::fabs(w->spectrumAt(0).calibration->offset_eV + 20) < 20);
        QCOMPARE(panel->table()->rowCount(), 2);
        // Now in keV, with markers.
        QVERIFY(plot()->viewRange().y() < 25);
        QTest::mouseMove(form->ElementSelectionLabel(26));
        QVERIFY(labels().contains(u"Fe K\u03B11 6.404"_qs));

        // A third peak, chosen among the finder's candidates.
        QTest::mouseClick(plot(), Qt::LeftButton, {}, pixelAt(lineEnergy("Fe Kb1") / 1000));
        int row = -1;
        for (int r = 0; r < w->candidates()->rowCount(); ++r)
            if (w->candidates()->data(w->candidates()->index(r, 0)).toString() == u"Fe"_qs
                && w->candidates()->data(w->candidates()->index(r, 1)).toString() == u"K\u03B21"_qs)
                row = r;
        QVERIFY(row >= 0);
        clickRow(w->finderPanel()->view(), row);
        QTest::mouseClick(w->finderPanel()->assignButton(), Qt::LeftButton);
        QCOMPARE(panel->table()->rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            QVERIFY(std::fabs(QLocale().toDouble(panel->table()->item(r, 3)->text())) < 5);
        QVERIFY(panel->result()->text().contains(u"RMS"_qs));

        QTest::mouseClick(panel->undoButton(), Qt::LeftButton);
        QCOMPARE(panel->table()->rowCount(), 2);
        QTest::mouseClick(panel->undoButton(), Qt::LeftButton);
        QTest::mouseClick(panel->undoButton(), Qt::LeftButton);
        QCOMPARE(panel->table()->rowCount(), 0);
        QVERIFY(!w->spectrumAt(0).calibration);
        QVERIFY(plot()->markers(SpectrumWindow::HoverLayer).isEmpty());
    }

    // The scale box's choices, by keyboard; zeros on the log scale.
    void scales()
    {
        spectrum::Spectrum s = makeSpectrum({{"Fe Ka1", 1000}}, 512);
        for (std::size_t c = 0; c < s.counts.size(); c += 3)
            s.counts[c] = 0;
        w_open(s, u"zeros.msa"_qs);
        QComboBox *box = window()->findChild<QComboBox *>(u"YScale"_qs);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(plot()->property("yScale").toString(), u"log"_qs);
        QVERIFY(plot()->axes().yLo() > 0);
        QVERIFY(!plot()->grab().isNull());
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(plot()->property("yScale").toString(), u"sqrt"_qs);

        // Normalised to the maximum: the highest count is 1.
        QComboBox *norm = window()->findChild<QComboBox *>(u"Normalisation"_qs);
        norm->setFocus();
        QTest::keyClick(norm, Qt::Key_End);
        QCOMPARE(window()->normalisation(), SpectrumWindow::Normalisation::Maximum);
        QVERIFY(plot()->axes().yHi() < 2);
    }

    // Overlays: distinct colours, the active spectrum, removal.
    void overlays()
    {
        QVERIFY(openSteel());
        w_open(makeSpectrum({{"Ti Ka1", 4000}}), u"titanium.msa"_qs);
        QCOMPARE(plot()->property("spectrumCount").toInt(), 2);
        QVERIFY(plot()->series(0).colour != plot()->series(1).colour);
        QCOMPARE(window()->activeSpectrum(), 1);
        window()->sidePanels()->setCurrentIndex(0);
        QListWidget *list = window()->spectraList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(window()->activeSpectrum(), 0);
        QTest::mouseClick(window()->findChild<QPushButton *>(u"RemoveSpectrum"_qs), Qt::LeftButton);
        QCOMPARE(plot()->spectrumCount(), 1);
        QCOMPARE(window()->pathOf(0), dir->file(u"titanium.msa"_qs));
    }

    // The files hold what the window shows: the PNG and SVG of the plot,
    // the spectrum with its (new) calibration read back the same.
    void exports()
    {
        SpectrumWindow *w = openSteel();
        QVERIFY(w);
        QTest::mouseMove(form->ElementSelectionLabel(26));
        QString next;
        const spectrumfiles::SaveAsker previous =
            spectrumfiles::setSaveAsker([&next](QWidget *, const QString &, const QString &, const QString &) { return next; });
        const auto exportAs = [&](const char *action, const QString &name) {
            next = dir->file(name);
            w->findChild<QAction *>(QString::fromLatin1(action))->trigger();
            return next;
        };
        const QString png = exportAs("ExportPng", u"plot"_qs); // the ending is added
        QImage image(png + u".png"_qs);
        QCOMPARE(image.size(), plot()->size());

        const QString svg = exportAs("ExportSvg", u"plot.svg"_qs);
        bool wellFormed = false;
        const QString texts = svgTexts(svg, &wellFormed);
        QVERIFY(wellFormed);
        QVERIFY(texts.contains(u"Fe K\u03B11"_qs));

        const QString msa = exportAs("ExportEmsa", u"out.msa"_qs);
        const spectrum::Result<spectrum::Spectrum> back = spectrum::readFile(QFile::encodeName(msa).toStdString());
        QVERIFY(back.ok());
        QCOMPARE(back->counts, w->spectrumAt(0).counts);
        QVERIFY(back->calibration);
        QVERIFY(std::fabs(back->calibration->gain_eV - w->spectrumAt(0).calibration->gain_eV) < 1e-9);
        QVERIFY(std::fabs(back->calibration->offset_eV - w->spectrumAt(0).calibration->offset_eV) < 1e-9);

        const QString csv = exportAs("ExportCsv", u"out.csv"_qs);
        QCOMPARE(testsupport::readFile(csv).count('\n'), qsizetype(w->spectrumAt(0).counts.size() + 1));

        // A place that cannot be written: a message, no file.
        exportAs("ExportEmsa", u"no/such/dir/out.msa"_qs);
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.first().contains(u"out.msa"_qs));
        spectrumfiles::setSaveAsker(previous);
    }

    // Every refusal of the readers shows one message with the file and
    // the reason; what could be read opens all the same.
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0", 18);
        QTest::newRow("header, no data") << QByteArray("#FORMAT : EMSA/MAS Spectral Data File\r\n#VERSION : 1.0\r\n"
                                                       "#NPOINTS : 3\r\n#NCOLUMNS : 1\r\n#XPERCHAN : 10\r\n"
                                                       "#OFFSET : 0\r\n#DATATYPE : Y\r\n#SPECTRUM :\r\n#ENDOFDATA :\r\n");
        QTest::newRow("NaN counts") << QByteArray("1\n2\nnan\n4\n");
        QTest::newRow("text for counts") << QByteArray("1\n2\nthree\n4\n");
        QTest::newRow("truncated spx") << QByteArray("<?xml version=\"1.0\"?><TRTSpectrum><ClassInstance Type=\"TRTSpectrum\">");
        QTest::newRow("zero gain") << QByteArray("#FORMAT : EMSA/MAS Spectral Data File\r\n#VERSION : 1.0\r\n"
                                                 "#NPOINTS : 3\r\n#NCOLUMNS : 1\r\n#XPERCHAN : 0\r\n#OFFSET : 0\r\n"
                                                 "#DATATYPE : Y\r\n#SPECTRUM :\r\n1,\r\n2,\r\n3,\r\n#ENDOFDATA :\r\n");
    }
    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        const QString bad = dir->file(u"bad.msa"_qs);
        QVERIFY(testsupport::writeFile(bad, bytes));
        const QString good = dir->file(u"good.msa"_qs);
        QVERIFY(writeEmsa(good, makeSpectrum(steelPeaks())));
        tools->openFiles({bad, good, dir->file(u"missing.msa"_qs)});
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().contains(u"bad.msa: "_qs), qPrintable(reports.first()));
        QVERIFY(reports.first().contains(u"missing.msa: "_qs));
        QCOMPARE(window()->spectrumCount(), 1);
        QCOMPARE(window()->pathOf(0), good);
    }

    // Spectra at the edges that must open and draw.
    void oddSpectra_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("calibrated");
        const QByteArray head = "#FORMAT : EMSA/MAS Spectral Data File\r\n#VERSION : 1.0\r\n#NCOLUMNS : 1\r\n"
                                "#XPERCHAN : 10\r\n#OFFSET : 0\r\n#DATATYPE : Y\r\n";
        QTest::newRow("one channel") << head + "#NPOINTS : 1\r\n#SPECTRUM :\r\n42,\r\n#ENDOFDATA :\r\n" << true;
        QTest::newRow("all zeros") << head + "#NPOINTS : 4\r\n#SPECTRUM :\r\n0,\r\n0,\r\n0,\r\n0,\r\n#ENDOFDATA :\r\n" << true;
        QTest::newRow("negative counts") << head + "#NPOINTS : 4\r\n#SPECTRUM :\r\n-5,\r\n3,\r\n-1,\r\n8,\r\n#ENDOFDATA :\r\n" << true;
        QTest::newRow("1e300 counts") << head + "#NPOINTS : 3\r\n#SPECTRUM :\r\n1e300,\r\n2e300,\r\n1,\r\n#ENDOFDATA :\r\n" << true;
        QTest::newRow("uncalibrated") << QByteArray("10\n20\n500\n20\n10\n") << false;
    }
    void oddSpectra()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, calibrated);
        const QString file = dir->file(u"odd.msa"_qs);
        QVERIFY(testsupport::writeFile(file, bytes));
        tools->openFiles({file});
        QVERIFY2(reports.isEmpty(), qPrintable(reports.join(u'\n')));
        SpectrumWindow *w = window();
        QCOMPARE(w->spectrumCount(), 1);
        placeAside(w);
        QCOMPARE(bool(w->spectrumAt(0).calibration), calibrated);
        for (YScale scale : {YScale::Linear, YScale::Log, YScale::Sqrt}) {
            plot()->setYScale(scale);
            for (int n = 0; n < 4; ++n) {
                w->setNormalisation(SpectrumWindow::Normalisation(n));
                const PlotAxes &a = plot()->axes();
                QVERIFY(std::isfinite(a.yLo()) && std::isfinite(a.yHi()) && a.yHi() > a.yLo());
                QVERIFY(!plot()->grab().isNull());
            }
        }
        QTest::mouseClick(plot(), Qt::LeftButton, {}, plot()->axes().area().center().toPoint());
        QTest::mouseMove(form->ElementSelectionLabel(26));
        QTest::mouseMove(plot(), plot()->axes().area().center().toPoint() + QPoint(1, 1));
        QVERIFY(!w->readout()->text().isEmpty());
    }

    // A spectrum opens on its data: from 0 to the beam energy, or to its
    // last channel with counts if that is lower, with a small margin. The
    // whole spectrum is a click away. Opened as the command line and the
    // Open dialog open files, and dropped.
    void firstView_data()
    {
        QTest::addColumn<int>("channels");      // of 10 eV from 0
        QTest::addColumn<double>("beam");       // kV in the file; 0: none
        QTest::addColumn<double>("countsEnd");  // keV (channels when uncalibrated) above which all is 0; 0: none
        QTest::addColumn<bool>("calibrated");
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<double>("endLow");     // where the view may end
        QTest::addColumn<double>("endHigh");
        QTest::newRow("20 kV, 4096 channels") << 4096 << 20.0 << 0.0 << true << false << 20.0 << 22.0;
        QTest::newRow("20 kV, 4096 channels, dropped") << 4096 << 20.0 << 0.0 << true << true << 20.0 << 22.0;
        QTest::newRow("counts end below the beam") << 4096 << 30.0 << 12.0 << true << false << 12.0 << 13.2;
        QTest::newRow("no beam energy") << 4096 << 0.0 << 15.0 << true << false << 15.0 << 16.5;
        QTest::newRow("beam above the data: all of it") << 2048 << 30.0 << 0.0 << true << false << 20.475 << 20.475;
        QTest::newRow("uncalibrated: channels") << 4096 << 20.0 << 1000.0 << false << false << 1000.0 << 1100.0;
    }

    void firstView()
    {
        QFETCH(int, channels);
        QFETCH(double, beam);
        QFETCH(double, countsEnd);
        QFETCH(bool, calibrated);
        QFETCH(bool, dropped);
        QFETCH(double, endLow);
        QFETCH(double, endHigh);
        spectrum::Spectrum s = makeSpectrum(steelPeaks(), std::size_t(channels), 0, 10, calibrated);
        s.meta.beam_kV = beam > 0 ? std::optional<double>(beam) : std::nullopt;
        for (std::size_t c = 0; c < s.counts.size(); ++c)
            if (countsEnd > 0 && (calibrated ? 0.01 * double(c) : double(c)) > countsEnd)
                s.counts[c] = 0;
        const QString file = dir->file(calibrated ? u"first.msa"_qs : u"first.txt"_qs);
        QVERIFY(calibrated ? writeEmsa(file, s) : writeCounts(file, s.counts));
        if (dropped) {
            drop(form.get(), {file});
        } else {
            tools->openFiles({file});
        }
        QVERIFY(window() && QTest::qWaitForWindowExposed(window()));
        QVERIFY(reports.isEmpty());
        const QPointF full = plot()->fullRange();
        QVERIFY(std::fabs(full.x()) < 1); // the first channel's lower edge
        QCOMPARE(plot()->viewRange().x(), full.x());
        const double end = plot()->viewRange().y();
        QVERIFY2(end >= endLow - 1e-9 && end <= endHigh + 1e-9, qPrintable(QString::number(end)));

        window()->findChild<QAction *>(u"ResetView"_qs)->trigger();
        QCOMPARE(plot()->viewRange(), full);
        QCOMPARE(full.y(), calibrated ? 0.01 * (channels - 0.5) : channels - 0.5);
    }

    // Spectra opened together share the first view; one the user zoomed
    // stays as it is when more are opened.
    void firstViewOfSeveral()
    {
        spectrum::Spectrum a = makeSpectrum(steelPeaks(), 4096, 0, 10);
        a.meta.beam_kV = 10;
        spectrum::Spectrum b = makeSpectrum(steelPeaks(), 4096, 0, 10);
        b.meta.beam_kV = 25;
        const QString fa = dir->file(u"a.msa"_qs), fb = dir->file(u"b.msa"_qs), fc = dir->file(u"c.msa"_qs);
        QVERIFY(writeEmsa(fa, a) && writeEmsa(fb, b) && writeEmsa(fc, makeSpectrum(steelPeaks(), 4096, 0, 10)));
        tools->openFiles({fa});
        QVERIFY(window());
        QVERIFY(std::fabs(plot()->viewRange().y() - 10.5) < 0.01);
        tools->openFiles({fb});
        QVERIFY(std::fabs(plot()->viewRange().y() - 26.25) < 0.01);
        plot()->setViewRange(5, 8);
        tools->openFiles({fc});
        QCOMPARE(window()->spectrumCount(), 3);
        QCOMPARE(plot()->viewRange(), QPointF(5, 8));
    }

    // Dropped onto the main window: a folder's spectra, fifty files at
    // once, and a folder without any.
    void drops()
    {
        QDir(dir->path()).mkdir(u"many"_qs);
        QStringList files;
        for (int i = 0; i < 50; ++i) {
            files << dir->file(u"many/s%1.msa"_qs.arg(i, 2, 10, QLatin1Char('0')));
            QVERIFY(writeEmsa(files.last(), makeSpectrum({{"Fe Ka1", 100.0 + i}}, 256)));
        }
        QVERIFY(testsupport::writeFile(dir->file(u"many/notes.doc"_qs), "not a spectrum"));
        drop(form.get(), {dir->file(u"many"_qs)});
        QVERIFY(window());
        QCOMPARE(window()->spectrumCount(), 50);
        QCOMPARE(window()->pathOf(0), files.first());
        QVERIFY(reports.isEmpty());

        drop(window(), files);
        QCOMPARE(window()->spectrumCount(), 100);
        QCOMPARE(plot()->spectrumCount(), 100);

        QDir(dir->path()).mkdir(u"empty"_qs);
        drop(window(), {dir->file(u"empty"_qs)});
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.first().contains(u"empty"_qs));
    }

    // Tools > Open spectrum asks for files; the recent files are kept.
    void openFromMenu()
    {
        const QString file = dir->file(u"menu.msa"_qs);
        QVERIFY(writeEmsa(file, makeSpectrum(steelPeaks())));
        const spectrumfiles::OpenAsker previous = spectrumfiles::setOpenAsker(
            [&file](QWidget *, const QString &, const QStringList &filters) {
                return filters.first().contains(u"*.msa"_qs) && filters.join(u' ').contains(u"*.spx"_qs)
                           ? QStringList{file}
                           : QStringList{};
            });
        form->mnuOpenSpectrum->trigger();
        spectrumfiles::setOpenAsker(previous);
        QVERIFY(window());
        QCOMPARE(window()->spectrumCount(), 1);
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, u"zandor"_qs, u"zandor"_qs);
        QCOMPARE(settings.value(u"recentFiles"_qs).toStringList().value(0), file);
    }

    // The finder window: the energy with its unit, as on the command line;
    // choosing a row shows the element in the main window.
    void finderWindow()
    {
        form->mnuFindLines->trigger();
        FinderWindow *f = tools->openFinderWindow();
        QVERIFY(f);
        QCOMPARE(f->objectName(), u"FinderWindow"_qs);
        QVERIFY(QTest::qWaitForWindowExposed(f));
        placeAside(f);
        auto *energy = f->findChild<QLineEdit *>(u"FinderEnergy"_qs);
        auto *results = f->findChild<QTableView *>(u"FinderResults"_qs);
        QVERIFY(energy && results);
        typeInto(energy, u"6.4 keV"_qs);
        QVERIFY(results->model()->rowCount() > 0);
        QCOMPARE(results->model()->data(results->model()->index(0, 0)).toString(), u"Fe"_qs);
        const int rows = results->model()->rowCount();
        typeInto(energy, u"6400eV"_qs);
        QCOMPARE(results->model()->rowCount(), rows);
        clickRow(results, 0);
        QCOMPARE(form->ElementText2->text(), u"Fe"_qs);

        typeInto(energy, u"6.4keu"_qs);
        QCOMPARE(results->model()->rowCount(), 0);
        QVERIFY(f->message()->text().contains(u"keu"_qs));

        // Sum peaks of the elements present.
        typeInto(energy, u"12.81"_qs);
        typeInto(f->elementsBox(), u"Fe"_qs);
        bool sum = false;
        for (int r = 0; r < results->model()->rowCount(); ++r)
            sum = sum || results->model()->data(results->model()->index(r, CandidatesModel::KindColumn)).toString() == u"soma"_qs;
        QVERIFY(sum);
    }

    // The language switch retranslates the new windows with the main one.
    void languageSwitch()
    {
        QVERIFY(openSteel());
        form->mnuFindLines->trigger();
        QCOMPARE(window()->windowTitle(), u"Espectros \u2014 Zandor"_qs);
        QCOMPARE(tools->openFinderWindow()->windowTitle(), u"Localizar linhas por energia \u2014 Zandor"_qs);
        QCOMPARE(window()->sidePanels()->tabText(2), u"Localizador"_qs);
        form->mnuTranslate->trigger();
        QCOMPARE(window()->windowTitle(), u"Spectra \u2014 Zandor"_qs);
        QCOMPARE(tools->openFinderWindow()->windowTitle(), u"Find lines by energy \u2014 Zandor"_qs);
        QCOMPARE(window()->sidePanels()->tabText(2), u"Finder"_qs);
        QCOMPARE(window()->candidates()->headerData(0, Qt::Horizontal).toString(), u"Element"_qs);
        QCOMPARE(form->mnuTools->title(), u"&Tools"_qs);
        form->mnuTranslate->trigger();
        QCOMPARE(window()->candidates()->headerData(0, Qt::Horizontal).toString(), u"Elemento"_qs);
        QCOMPARE(window()->sidePanels()->tabText(2), u"Localizador"_qs);
    }

    // The detector is remembered once the user changes it.
    void detectorSettings()
    {
        QVERIFY(openSteel());
        DetectorBox *box = window()->detectorBox();
        window()->sidePanels()->setCurrentIndex(4);
        box->materialBox()->setFocus();
        QTest::keyClick(box->materialBox(), Qt::Key_Down); // Ge
        QCOMPARE(box->detector().material(), xray::Material::Ge);
        QCOMPARE(box->detector().fwhmMnKa(), xray::defaultFwhm(xray::Material::Ge));
        QTest::mouseMove(form->ElementSelectionLabel(40));
        QVERIFY(hasLabelStartingWith(labels(), u"Zr K\u03B11 esc 5.8"_qs)); // Ge Kα escape of Zr
        DetectorBox fresh;
        QCOMPARE(fresh.detector().material(), xray::Material::Ge);
        box->materialBox()->setFocus();
        QTest::keyClick(box->materialBox(), Qt::Key_Up); // back to Si
        DetectorBox again;
        QCOMPARE(again.detector().material(), xray::Material::Si);
        // The beam energy of the file is shown, not remembered.
        QCOMPARE(box->beamBox()->value(), 20.0);
    }

    // The program takes spectrum files on its command line; anything else
    // that looks like an option is refused before a window opens.
    void commandLineOption()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZANDOR_PROGRAM), {u"--bogus"_qs, dir->file(u"a.msa"_qs)});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("unknown option --bogus"));
    }

private:
    void w_open(const spectrum::Spectrum &s, const QString &name)
    {
        const QString file = dir->file(name);
        QVERIFY(writeEmsa(file, s));
        tools->openFiles({file});
        QVERIFY(window() && QTest::qWaitForWindowExposed(window()));
        placeAside(window());
    }
};

QTEST_MAIN(TestSpectrumWindow)
#include "tst_spectrumwindow.moc"
