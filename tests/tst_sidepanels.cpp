// The spectrum window's side panels: every tab in sight and every panel
// reachable with one click, at the default size and on a 1280 × 800 screen,
// in both languages, also with the last tab current; and the panels built
// when first shown, showing then what was set before.
#include "app/spectrumtools.h"
#include "mainwindow/form1.h"
#include "spectrumtestdata.h"
#include "spectrumwindow/calibrationpanel.h"
#include "spectrumwindow/elementpanel.h"
#include "spectrumwindow/finderpanel.h"
#include "spectrumwindow/identifypanel.h"
#include "spectrumwindow/spectrumwindow.h"
#include "toolswindowfixture.h"
#include "uicommon/detectorbox.h"

#include <QtTest>

#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

QRect inWindow(const QWidget *w, const QRect &r) { return QRect(w->mapTo(w->window(), r.topLeft()), r.size()); }

} // namespace

class TestSidePanels : public QObject, private ToolsWindowFixture {
    Q_OBJECT

    // The spectrum window with a steel spectrum of 20 kV open, at `size`.
    SpectrumWindow *openSteel(const QSize &size = {})
    {
        spectrum::Spectrum s = spectrumtest::makeSpectrum(spectrumtest::steelPeaks(), 2048, 0, 10);
        s.meta.beam_kV = 20;
        const QString file = dir->file(u"steel.msa"_qs);
        if (!spectrumtest::writeEmsa(file, s))
            return nullptr;
        tools->openFiles({file});
        SpectrumWindow *w = tools->openSpectrumWindow();
        if (!w || !QTest::qWaitForWindowExposed(w))
            return nullptr;
        if (size.isValid())
            w->resize(size);
        return w;
    }

private slots:
    void initTestCase() { QVERIFY(useTemporarySettings()); }
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void everyPanelReachable_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("identified");
        for (const QSize &size : {QSize(), QSize(1280, 800)})
            for (bool english : {false, true})
                for (bool identified : {false, true})
                    QTest::addRow("%s %s%s", size.isValid() ? "1280x800" : "default", english ? "en" : "pt",
                                  identified ? ", identified" : "")
                        << size << english << identified;
    }

    // Each tab lies whole within the tab bar and the window, with no
    // scroll arrows; a click on it shows its panel, built and laid out
    // within the window, before anything else happens.
    void everyPanelReachable()
    {
        QFETCH(QSize, size);
        QFETCH(bool, english);
        QFETCH(bool, identified);
        if (english)
            form->mnuTranslate->trigger();
        SpectrumWindow *w = openSteel(size);
        QVERIFY(w);
        if (!size.isValid())
            QCOMPARE(w->size(), QSize(1280, 680));
        if (identified)
            QVERIFY(w->identifyPeaks());
        QTabWidget *tabs = w->sidePanels();
        QTabBar *bar = tabs->tabBar();
        QCOMPARE(bar->count(), 6);
        for (QToolButton *arrow : bar->findChildren<QToolButton *>())
            QVERIFY2(!arrow->isVisible(), "the tab bar scrolls");
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tab = bar->tabRect(i);
            QVERIFY2(bar->rect().contains(tab), qPrintable(bar->tabText(i) + u" is cut by the tab bar"_qs));
            QVERIFY2(w->rect().contains(inWindow(bar, tab)), qPrintable(bar->tabText(i) + u" is outside the window"_qs));
        }
        for (int i = 0; i < bar->count(); ++i) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            QCOMPARE(tabs->currentIndex(), i);
            QWidget *page = tabs->widget(i);
            QVERIFY(page->isVisible());
            const QRect room = inWindow(page, page->rect()) & w->rect();
            int shown = 0;
            for (QWidget *child : page->findChildren<QWidget *>()) {
                if (!child->isVisible() || child->isWindow())
                    continue;
                ++shown;
                const QRect at = inWindow(child, child->rect());
                QVERIFY2(!at.isEmpty(), qPrintable(child->objectName() + u" has no size"_qs));
                QVERIFY2(room.contains(at), qPrintable(bar->tabText(i) + u": "_qs + child->metaObject()->className()
                                                       + u' ' + child->objectName() + u" lies outside"_qs));
            }
            QVERIFY2(shown > 0, qPrintable(bar->tabText(i) + u" shows nothing"_qs));
        }
    }

    // A spectrum opened builds none of the panels but the list of spectra;
    // what the window set on a panel before shows once it is built.
    void builtWhenShown()
    {
        SpectrumWindow *w = openSteel();
        QVERIFY(w);
        QCOMPARE(w->sidePanels()->currentIndex(), 0);
        QVERIFY(!w->elementPanel()->isBuilt());
        QVERIFY(!w->finderPanel()->isBuilt());
        QVERIFY(!w->calibrationPanel()->isBuilt());
        QVERIFY(!w->detectorBox()->isBuilt());
        QVERIFY(!w->identifyPanel()->isBuilt());

        // Set while not built: a pin, a peak picked, the file's beam.
        w->pinElement(29);
        w->pickPeak(spectrumtest::lineEnergy("Fe Ka1") / 1000);
        w->sidePanels()->setCurrentIndex(0); // the pick showed the finder
        QVERIFY(w->finderPanel()->isBuilt());
        QVERIFY(!w->elementPanel()->isBuilt());
        QVERIFY(!w->calibrationPanel()->isBuilt());
        QCOMPARE(w->detectorBox()->beam_eV(), std::optional<double>(20000));

        w->sidePanels()->setCurrentWidget(w->elementPanel());
        QCOMPARE(w->elementPanel()->list()->count(), 1);
        QVERIFY(w->elementPanel()->list()->item(0)->text().startsWith(u"Cu"_qs));
        w->sidePanels()->setCurrentWidget(w->calibrationPanel());
        const QString peak = w->calibrationPanel()->findChild<QLabel *>(u"CalibrationPeak"_qs)->text();
        QVERIFY2(peak.contains(u" 640"_qs), qPrintable(peak));
        QVERIFY(w->calibrationPanel()->assignButton()->isEnabled());
        w->sidePanels()->setCurrentIndex(4);
        QVERIFY(w->detectorBox()->isBuilt());
        QCOMPARE(w->detectorBox()->beamBox()->value(), 20.0);
        QVERIFY(w->detectorBox()->isVisible());
        QVERIFY(w->detectorBox()->beamBox()->isVisible());
        QVERIFY(w->detectorBox()->height() >= w->detectorBox()->beamBox()->height() * 3);

        // The language switch reaches a panel built later, and one built before.
        form->mnuTranslate->trigger();
        w->sidePanels()->setCurrentWidget(w->identifyPanel());
        QCOMPARE(w->identifyPanel()->identifyButton()->text(), u"&Identify the peaks"_qs);
        QCOMPARE(w->elementPanel()->pinShownButton()->text(), u"Pin the element on &show"_qs);
    }

    // The detector's settings hold without the box built, as the box
    // would hold them: the FWHM in whole eV, the beam in tenths of a kV.
    void detectorSettingsUnbuilt()
    {
        DetectorBox box;
        QVERIFY(!box.isBuilt());
        box.setBeamFromFile(12.345);
        QCOMPARE(box.beam_eV(), std::optional<double>(12300));
        box.setBeamFromFile(std::nullopt);
        QCOMPARE(box.beam_eV(), std::optional<double>(20000));
        box.fwhmBox()->setValue(140.4);
        QCOMPARE(box.detector().fwhmMnKa(), 140.0);
        DetectorBox again;
        QCOMPARE(again.detector().fwhmMnKa(), 140.0);
        QVERIFY(!again.isBuilt());
    }
};

QTEST_MAIN(TestSidePanels)
#include "tst_sidepanels.moc"
