// Automatic identification in the spectrum window, through real pointer
// and key events: the Identify action pins the elements found and labels
// the peaks, artefacts as what they are ("Cu Kα esc", "2×Ti Kα",
// "Ti Kα+Kβ"); an element removed in the results panel takes its labels
// along and comes back with them; the panel follows the language.
#include "app/spectrumtools.h"
#include "mainwindow/form1.h"
#include "spectrumwindow/identifylabels.h"
#include "spectrumwindow/identifypanel.h"
#include "spectrumwindow/spectrumwindow.h"
#include "testsupport.h"
#include "toolswindowfixture.h"
#include "uicommon/detectorbox.h"
#include "uicommon/errorreport.h"
#include "uicommon/numberlocale.h"

#include "hardcases.h"
#include "synth.h"

#include "spectrum/write.h"
#include "xray/lines.h"

#include <QtTest>

#include <QLabel>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QSet>
#include <QSettings>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using testsupport::ScratchDir;

class TestIdentifyWindow : public QObject, private ToolsWindowFixture {
    Q_OBJECT


    SpectrumWindow *window() { return tools->openSpectrumWindow(); }

    QStringList peakLabels() { return window()->peakLabels(); }

    // A hard case written as an EMSA file, or a measured spectrum of the
    // benchmark's corpus ("NAME.msa"), opened as the user would.
    SpectrumWindow *openCase(const char *name)
    {
        static const std::vector<synth::HardCase> cases = synth::hardCases();
        QString file = QString::fromLatin1(name);
        if (file.endsWith(u".msa"_qs)) {
            file = QStringLiteral(ZANDOR_SOURCE_DIR "/bench/measured/spectra/") + file;
        } else {
            const synth::HardCase *c = synth::findHardCase(cases, name);
            file = dir->file(file + u".msa"_qs);
            if (!c || spectrum::writeEmsa(synth::generate(c->recipe).spectrum, file.toStdString()))
                return nullptr;
        }
        tools->openFiles({file});
        SpectrumWindow *w = window();
        if (!w || !QTest::qWaitForWindowExposed(w))
            return nullptr;
        return w;
    }

    // Clicks the Identify button of the toolbar.
    void clickIdentify()
    {
        QWidget *button = window()->toolBar()->widgetForAction(window()->identifyAction());
        QVERIFY(button);
        QVERIFY2(button->isVisible(), "the Identify button is hidden in the toolbar");
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Clicks the tick box of the results panel's row for element Z.
    void clickTick(int Z)
    {
        QListWidget *list = window()->identifyPanel()->elementList();
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem *item = list->item(row);
            if (item->data(Qt::UserRole).toInt() != Z)
                continue;
            const QRect r = list->visualItemRect(item);
            // The tick box is at the row's left end.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(r.left() + r.height() / 2, r.center().y()));
            return;
        }
        QFAIL("no row for that element");
    }

private slots:
    void initTestCase() { QVERIFY(useTemporarySettings()); }

    void init() { QVERIFY(start()); }

    void cleanup() { stop(); }

    // Titanium counted at a high rate: its escape and sum peaks are
    // labelled as such, and nothing is taken for copper.
    void labelsAfterIdentify()
    {
        SpectrumWindow *w = openCase("ti-sum-20kv");
        QVERIFY(w);
        QVERIFY(peakLabels().isEmpty());
        clickIdentify();
        QVERIFY(w->identification());
        QCOMPARE(w->pinnedElements(), QList<int>{22});
        const QStringList labels = peakLabels();
        for (const QString &expected : {u"Ti K\u03b11"_qs, u"Ti K\u03b21"_qs, u"Ti K\u03b1 esc"_qs, u"2\u00d7Ti K\u03b1"_qs,
                                        u"Ti K\u03b1+K\u03b2"_qs})
            QVERIFY2(labels.contains(expected), qPrintable(expected + u" not in "_qs + labels.join(u", ")));
        QVERIFY(!labels.join(u' ').contains(u"Cu"_qs));
        QCOMPARE(w->sidePanels()->currentWidget(), w->identifyPanel());
        // The lines found are their pinned markers, drawn bold, and no
        // second label covers them; the sum label sits on its peak.
        bool bold = false, sum = false;
        for (const SpectrumPlot::Marker &m : w->plot()->markers(SpectrumWindow::PinnedLayer))
            bold = bold || (m.label == u"Ti K\u03b11"_qs && m.highlighted);
        QVERIFY(bold);
        for (const SpectrumPlot::TextLabel &l : w->plot()->textLabels()) {
            QVERIFY(l.text != u"Ti K\u03b11"_qs);
            if (l.text == u"2\u00d7Ti K\u03b1"_qs) {
                QVERIFY(std::fabs(l.x - 9.022) < 0.03 && l.y > 0);
                sum = true;
            }
        }
        QVERIFY(sum);
        // The markers drawn again (another element pinned and unpinned)
        // keep the bold.
        w->pinElement(26);
        w->unpinElement(26);
        QCOMPARE(peakLabels(), labels);
    }

    // Copper's escape peak at 6.31 keV is named as one, not as iron; the
    // key Ctrl+I does what the button does.
    void escapeNotIron()
    {
        SpectrumWindow *w = openCase("cu-escape-20kv");
        QVERIFY(w);
        w->plot()->setFocus();
        QTest::keyClick(w->plot(), Qt::Key_I, Qt::ControlModifier);
        QVERIFY(w->identification());
        QVERIFY2(peakLabels().contains(u"Cu K\u03b1 esc"_qs), qPrintable(peakLabels().join(u", ")));
        QCOMPARE(w->pinnedElements(), QList<int>{29});
    }

    // Removing an element in the results takes its labels and pins along;
    // ticking it again brings them back. Unpinning it elsewhere unticks it.
    void removeAndAddBack()
    {
        SpectrumWindow *w = openCase("cr-mn-20kv");
        QVERIFY(w);
        clickIdentify();
        QCOMPARE(w->pinnedElements(), (QList<int>{24, 25}));
        // Mn Kα lies under Cr Kβ; its Kβ stands alone.
        QVERIFY(peakLabels().contains(u"Mn K\u03b21"_qs));
        clickTick(25);
        QCOMPARE(w->pinnedElements(), QList<int>{24});
        QVERIFY(!peakLabels().join(u' ').contains(u"Mn"_qs));
        QVERIFY(peakLabels().contains(u"Cr K\u03b11"_qs));
        QListWidget *list = w->identifyPanel()->elementList();
        QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);
        clickTick(25);
        QCOMPARE(w->pinnedElements(), (QList<int>{24, 25}));
        QVERIFY(peakLabels().contains(u"Mn K\u03b21"_qs));
        w->unpinElement(24);
        QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
        QVERIFY(!peakLabels().join(u' ').contains(u"Cr"_qs));
    }

    // Another spectrum, or a new calibration, makes the results stale:
    // they go, with their labels. An uncalibrated spectrum is refused.
    void staleAndRefused()
    {
        SpectrumWindow *w = openCase("fe-20kv");
        QVERIFY(w);
        clickIdentify();
        QVERIFY(w->identification());
        QVERIFY(!peakLabels().isEmpty());
        QVERIFY(openCase("pb-20kv"));
        QVERIFY(!w->identification());
        QVERIFY(peakLabels().isEmpty());

        spectrum::Spectrum raw;
        raw.counts.assign(1024, 3.0);
        const QString file = dir->file(u"raw.msa"_qs);
        QVERIFY(!spectrum::writeEmsa(raw, file.toStdString()));
        tools->openFiles({file});
        QVERIFY(!w->identifyPeaks());
        QVERIFY(!w->identification());
    }

    // The panel greys the peaks of an element removed and keeps the others;
    // its summary and notes are in the window's language.
    void panelFollowsKept()
    {
        SpectrumWindow *w = openCase("cr-mn-20kv");
        QVERIFY(w);
        clickIdentify();
        QTableWidget *table = w->identifyPanel()->peakTable();
        const auto rowOf = [&](const QString &what) {
            for (int row = 0; row < table->rowCount(); ++row)
                if (table->item(row, 3)->text() == what)
                    return row;
            return -1;
        };
        const int cr = rowOf(u"Cr K\u03b11"_qs), mn = rowOf(u"Mn K\u03b21"_qs);
        QVERIFY(cr >= 0 && mn >= 0);
        const QColor normal = table->item(cr, 0)->foreground().color();
        clickTick(25);
        QVERIFY(table->item(mn, 0)->foreground().color() != normal);
        QCOMPARE(table->item(cr, 0)->foreground().color(), normal);
        clickTick(25);
        QCOMPARE(table->item(mn, 0)->foreground().color(), normal);
        // The noise peak: named, never "-0.000".
        QCOMPARE(table->item(0, 3)->text(), u"pico de ru\u00eddo"_qs);
        QVERIFY(!table->item(0, 0)->text().startsWith(u'-'));
        QVERIFY(w->identifyPanel()->summary()->text().contains(u"feixe 20 kV"_qs));
        QVERIFY(w->identifyPanel()->response()->text().contains(u"FWHM"_qs));
        auto *notes = w->identifyPanel()->findChild<QLabel *>(u"IdentifyNotes"_qs);
        QVERIFY(notes);
        QVERIFY2(notes->text().isEmpty() || notes->text().contains(u"pico"_qs), qPrintable(notes->text()));
    }

    void resolutionShown_data()
    {
        QTest::addColumn<bool>("fileGivesIt");
        QTest::addColumn<double>("typed"); // into the Detector tab; 0: left at the usual
        QTest::addColumn<QString>("source");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        // The detector's true FWHM is 160 eV, the box's usual 129 eV.
        QTest::newRow("usual: measured") << false << 0.0 << u"estimada a partir do espectro"_qs << 150.0 << 170.0;
        QTest::newRow("typed by the user") << false << 145.0 << u"como definida"_qs << 145.0 << 145.0;
        QTest::newRow("given by the file") << true << 145.0 << u"do arquivo"_qs << 159.5 << 160.5;
    }

    // The Identification panel shows the resolution identification used and
    // where it came from: the file's, else the one the user typed, else the
    // one the spectrum's own peaks gave, never the box's usual value as if
    // someone had set it.
    void resolutionShown()
    {
        QFETCH(bool, fileGivesIt);
        QFETCH(double, typed);
        QFETCH(QString, source);
        QFETCH(double, low);
        QFETCH(double, high);
        synth::Recipe recipe;
        recipe.title = "Cr-Fe-Ni, 160 eV";
        recipe.sample = {{24, 0.2}, {26, 0.7}, {28, 0.1}};
        recipe.detector = synth::DetectorModel::typical(xray::Material::Si, 160);
        recipe.recordResolution = fileGivesIt;
        const QString file = dir->file(u"steel.msa"_qs);
        QVERIFY(!spectrum::writeEmsa(synth::generate(recipe).spectrum, file.toStdString()));
        tools->openFiles({file});
        SpectrumWindow *w = window();
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        QDoubleSpinBox *fwhm = w->detectorBox()->fwhmBox();
        const double usual = fwhm->value();
        if (typed > 0)
            fwhm->setValue(typed);
        clickIdentify();
        QVERIFY(w->identification());
        const QString text = w->identifyPanel()->response()->text();
        QVERIFY2(text.contains(source), qPrintable(text));
        const double shown = w->identification()->fwhmMnKa_eV;
        QVERIFY2(shown >= low && shown <= high, qPrintable(QString::number(shown)));
        QVERIFY2(text.contains(u"FWHM "_qs + NumberLocale().toString(shown, 'f', 1)),
                 qPrintable(text));
        fwhm->setValue(usual); // the next test starts from the usual resolution
    }

    void labelsOnlyWhereLinesExplainPeaks_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"ti-sum-20kv", "albr3-20kv", "cr-mn-20kv", "mo-ge-30kv", "brass-xrf-40kv",
                                 "K411-K412_K412_std.msa", "K411-K412_CaF2_std.msa"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // After Identify, a marker of an element found keeps its label only
    // where its line explains a peak found, and is drawn bold there; its
    // other lines, its escape peaks and the sum peaks of the elements found
    // are ticks without text. Every text label stands over a peak found,
    // and every line found is named once.
    void labelsOnlyWhereLinesExplainPeaks()
    {
        QFETCH(QString, name);
        SpectrumWindow *w = openCase(qPrintable(name));
        QVERIFY(w);
        clickIdentify();
        QVERIFY(w->identification());
        const identify::Identification &id = *w->identification();
        const auto key = [](const QString &label, double keV) { return label + u' ' + QString::number(keV, 'f', 4); };
        QSet<QString> explained;
        for (const identify::IdentifiedPeak &p : id.peaks)
            if (p.assignment.kind == identify::AssignmentKind::Line)
                explained << key(QString::fromStdString(xray::lineLabel(*p.assignment.line)),
                                 p.assignment.line->energy_eV / 1000);
        QSet<QString> named;
        int ticks = 0;
        for (const SpectrumPlot::Marker &m : w->plot()->markers(SpectrumWindow::PinnedLayer)) {
            if (m.label.isEmpty()) {
                ++ticks;
                continue;
            }
            QVERIFY2(m.highlighted && explained.contains(key(m.label, m.x)),
                     qPrintable(m.label + u" is labelled but explains no peak found"_qs));
            named << key(m.label, m.x);
        }
        QVERIFY2(ticks > 0, "no line of the elements found is left as a tick");
        for (const SpectrumPlot::Marker &m : w->plot()->markers(SpectrumWindow::SumLayer))
            QVERIFY2(m.label.isEmpty(), qPrintable(m.label + u" labels a sum peak not found"_qs));
        const QList<SpectrumPlot::TextLabel> texts = w->plot()->textLabels();
        for (const SpectrumPlot::TextLabel &l : texts) {
            const bool overPeak = std::any_of(id.peaks.begin(), id.peaks.end(), [&](const identify::IdentifiedPeak &p) {
                return std::fabs(p.peak.energy_eV / 1000 - l.x) < 1e-9;
            });
            QVERIFY2(overPeak, qPrintable(l.text + u" stands over no peak found"_qs));
            QVERIFY2(!named.contains(key(l.text, l.x)), qPrintable(l.text + u" is named twice"_qs));
        }
        // Every line found is named: by its bold marker or by a text.
        const QStringList labels = w->peakLabels();
        for (const QString &line : explained) {
            const QString label = line.section(u' ', 0, -2);
            QVERIFY2(labels.contains(label), qPrintable(label + u" is found but not named"_qs));
        }
    }

    void artefactLabels_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<QString>("portuguese");
        QTest::addColumn<QString>("english");
        using K = identify::PeakReason::Kind;
        QTest::newRow("internal") << int(K::Internal) << u"Si Ka1"_qs << false << u"Si K\u03b1 (detector)"_qs
                                  << u"Si K\u03b1 (detector)"_qs;
        QTest::newRow("internal escape") << int(K::Internal) << u"Si Ka1"_qs << true
                                         << u"Si K\u03b1 esc (detector)"_qs << u"Si K\u03b1 esc (detector)"_qs;
        QTest::newRow("Rayleigh") << int(K::TubeRayleigh) << u"Rh La1"_qs << false << u"Rh L\u03b1 espalhada"_qs
                                  << u"Rh L\u03b1 scattered"_qs;
        QTest::newRow("Rayleigh escape") << int(K::TubeRayleigh) << u"Rh Ka1"_qs << true
                                         << u"Rh K\u03b1 espalhada, esc"_qs << u"Rh K\u03b1 scattered, esc"_qs;
        QTest::newRow("Compton") << int(K::TubeCompton) << u"Rh Kb1"_qs << false << u"Rh K\u03b2 Compton"_qs
                                 << u"Rh K\u03b2 Compton"_qs;
        QTest::newRow("beam") << int(K::Rayleigh) << QString() << false << u"Rayleigh"_qs << u"Rayleigh"_qs;
        QTest::newRow("no line fits") << int(K::NoLineFits) << QString() << false << QString() << QString();
    }

    // Peaks of the detector's own lines and of the tube's lines scattered
    // by the sample are named as such, in the window's language, on the
    // plot and in the panel's table.
    void artefactLabels()
    {
        QFETCH(int, kind);
        QFETCH(QString, line);
        QFETCH(bool, escape);
        QFETCH(QString, portuguese);
        QFETCH(QString, english);
        identify::PeakReason reason;
        reason.kind = identify::PeakReason::Kind(kind);
        reason.escape = escape;
        if (!line.isEmpty()) {
            reason.line = xray::parseLine(line.toStdString());
            QVERIFY(reason.line);
        }
        QCOMPARE(identifylabels::reasonLabel(reason), portuguese);
        form->mnuTranslate->trigger();
        QCOMPARE(identifylabels::reasonLabel(reason), english);
    }

    // By XRF the rhodium tube's scattered lines are named on the plot and
    // in the table; the panel tells how far the energies are off.
    void scatteredTubeLines()
    {
        SpectrumWindow *w = openCase("brass-xrf-40kv");
        QVERIFY(w);
        clickIdentify();
        QVERIFY2(peakLabels().contains(u"Rh L\u03b1 espalhada"_qs), qPrintable(peakLabels().join(u", ")));
        QTableWidget *table = w->identifyPanel()->peakTable();
        bool inTable = false;
        for (int row = 0; row < table->rowCount(); ++row)
            inTable = inTable || table->item(row, 3)->text() == u"Rh L\u03b1 espalhada"_qs;
        QVERIFY(inTable);
        const QString response = w->identifyPanel()->response()->text();
        // The detector of this case has 145 eV; the spectrum says so.
        QVERIFY2(response.contains(u"FWHM 145"_qs) && response.contains(u"Energias"_qs), qPrintable(response));
        form->mnuTranslate->trigger();
        QVERIFY2(peakLabels().contains(u"Rh L\u03b1 scattered"_qs), qPrintable(peakLabels().join(u", ")));
    }

    // With no spectrum there is nothing to identify: the window says so.
    void nothingToIdentify()
    {
        SpectrumWindow *w = tools->spectrumWindow();
        QVERIFY(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(!w->identifyPeaks());
        QVERIFY(!w->identification());
        auto *note = w->findChild<QLabel *>(u"SpectrumNote"_qs);
        QVERIFY(note && !note->text().isEmpty());
        QVERIFY(w->peakLabels().isEmpty());
    }

    // The action, the tab and the panel speak the main window's language,
    // the reason an element was found (its tooltip) too: the peak and its
    // line there, named with its Greek letter.
    void languageSwitch()
    {
        SpectrumWindow *w = openCase("fe-20kv");
        QVERIFY(w);
        clickIdentify();
        QListWidgetItem *fe = w->identifyPanel()->elementList()->item(0);
        QCOMPARE(w->identifyAction()->text(), u"&Identificar"_qs);
        QCOMPARE(w->sidePanels()->tabText(5), u"Identifica\u00e7\u00e3o"_qs);
        QVERIFY(fe->text().contains(u"certo"_qs));
        QVERIFY2(fe->toolTip().startsWith(u"O pico em "_qs) && fe->toolTip().contains(u" keV \u00e9 a sua "_qs)
                     && fe->toolTip().contains(u"\u03b1"_qs),
                 qPrintable(fe->toolTip()));
        QCOMPARE(w->identifyPanel()->peakTable()->horizontalHeaderItem(0)->text(), u"Energia (keV)"_qs);
        form->mnuTranslate->trigger();
        fe = w->identifyPanel()->elementList()->item(0);
        QCOMPARE(w->identifyAction()->text(), u"&Identify"_qs);
        QCOMPARE(w->sidePanels()->tabText(5), u"Identification"_qs);
        QVERIFY(fe->text().contains(u"certain"_qs));
        QVERIFY2(fe->toolTip().startsWith(u"The peak at "_qs) && fe->toolTip().contains(u" keV is its "_qs)
                     && fe->toolTip().contains(u"\u03b1"_qs),
                 qPrintable(fe->toolTip()));
        QCOMPARE(w->identifyPanel()->peakTable()->horizontalHeaderItem(0)->text(), u"Energy (keV)"_qs);
    }
};

QTEST_MAIN(TestIdentifyWindow)
#include "tst_identifywindow.moc"
