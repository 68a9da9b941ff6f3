// zandor-screenshot OUT.png [--data DIR] [--select Z] [--english]
//                   [--spectrum FILE]... [--pin SYMBOLS] [--pick KEV]
//                   [--finder ENERGY] [--identify] [--log] [--view LO:HI]
//                   [--size WxH] [--tab N]
//
// Starts the main window on the data files of the working directory (or of
// DIR), optionally points at element Z and switches to English, and writes
// the window with its menu bar to OUT.png. With --spectrum it writes the
// spectrum window instead, with the files open, the elements of SYMBOLS
// ("Fe,Cu") pinned, element Z's markers and the peak at KEV picked as a
// click there would; with --identify, after identifying its peaks, the
// results panel shown; --log draws counts on a logarithmic scale, --view
// shows LO to HI keV, --size makes the window W × H pixels (1280 × 640
// by default) and --tab shows its side panel N (0: the spectra). With
// --finder it writes the finder window with ENERGY ("6.4 keV") searched.
// Runs without a display.
#include "app/spectrumtools.h"
#include "finderwindow/finderwindow.h"
#include "mainwindow/appicon.h"
#include "mainwindow/form1.h"
#include "spectrumwindow/spectrumwindow.h"
#include "uicommon/fonts.h"

#include "xray/elements.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

static int usage()
{
    std::fprintf(stderr, "usage: zandor-screenshot OUT.png [--data DIR] [--select Z] [--english]\n"
                         "                         [--spectrum FILE]... [--pin SYMBOLS] [--pick KEV]\n"
                         "                         [--finder ENERGY] [--identify] [--log] [--view LO:HI]\n"
                         "                         [--size WxH] [--tab N]\n");
    return 2;
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    QApplication::setWindowIcon(ZandorIcon());
    fonts::InstallFontFaces();

    QString out;
    QString data;
    int select = 0;
    bool english = false;
    QStringList spectra;
    QString pins;
    double pick = 0;
    QString finderEnergy;
    bool identify = false;
    bool log = false;
    double viewLo = 0, viewHi = 0;
    QSize size(1280, 640);
    int tab = -1;
    const QStringList args = QApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--data") && i + 1 < args.size()) {
            data = args[++i];
        } else if (a == QLatin1String("--select") && i + 1 < args.size()) {
            bool ok = false;
            select = args[++i].toInt(&ok);
            if (!ok || select < 1 || select > 109)
                return usage();
        } else if (a == QLatin1String("--english")) {
            english = true;
        } else if (a == QLatin1String("--spectrum") && i + 1 < args.size()) {
            spectra << QFileInfo(args[++i]).absoluteFilePath();
        } else if (a == QLatin1String("--finder") && i + 1 < args.size()) {
            finderEnergy = args[++i];
        } else if (a == QLatin1String("--identify")) {
            identify = true;
        } else if (a == QLatin1String("--log")) {
            log = true;
        } else if (a == QLatin1String("--view") && i + 1 < args.size()) {
            const QStringList range = args[++i].split(u':');
            bool ok1 = false, ok2 = false;
            if (range.size() == 2) {
                viewLo = range[0].toDouble(&ok1);
                viewHi = range[1].toDouble(&ok2);
            }
            if (!ok1 || !ok2 || !(viewHi > viewLo))
                return usage();
        } else if (a == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(u'x');
            bool ok1 = false, ok2 = false;
            if (wh.size() == 2)
                size = QSize(wh[0].toInt(&ok1), wh[1].toInt(&ok2));
            if (!ok1 || !ok2 || size.width() < 100 || size.height() < 100)
                return usage();
        } else if (a == QLatin1String("--tab") && i + 1 < args.size()) {
            bool ok = false;
            tab = args[++i].toInt(&ok);
            if (!ok || tab < 0)
                return usage();
        } else if (a == QLatin1String("--pin") && i + 1 < args.size()) {
            pins = args[++i];
        } else if (a == QLatin1String("--pick") && i + 1 < args.size()) {
            bool ok = false;
            pick = args[++i].toDouble(&ok);
            if (!ok || !(pick > 0))
                return usage();
        } else if (!a.startsWith(QLatin1String("--")) && out.isEmpty()) {
            out = QFileInfo(a).absoluteFilePath();
        } else {
            return usage();
        }
    }
    if (out.isEmpty())
        return usage();
    if (!data.isEmpty() && !QDir::setCurrent(data)) {
        std::fprintf(stderr, "zandor-screenshot: no directory %s\n", qPrintable(data));
        return 1;
    }

    Form1 w;
    if (!w.Form1_Load())
        return 1;
    if (english)
        w.mnuTranslate_Click();
    auto *tools = new SpectrumTools(&w);
    if (select)
        w.ElementSelectionLabel_MouseMove(select);
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QWidget *shown = &w;
    if (!spectra.isEmpty()) {
        SpectrumWindow *s = tools->spectrumWindow();
        s->setAttribute(Qt::WA_DontShowOnScreen);
        s->resize(size);
        s->show();
        if (s->openFiles(spectra) == 0)
            return 1;
        for (const QString &symbol : pins.split(u',', Qt::SkipEmptyParts))
            if (const std::optional<int> Z = xray::parseElement(symbol.trimmed().toStdString()))
                s->pinElement(*Z);
        QApplication::processEvents();
        if (pick > 0)
            s->pickPeak(pick);
        s->showElementMarkers(select);
        if (identify && !s->identifyPeaks())
            return 1;
        if (log)
            s->plot()->setYScale(YScale::Log);
        if (viewHi > viewLo)
            s->plot()->setViewRange(viewLo, viewHi);
        if (tab >= 0)
            s->sidePanels()->setCurrentIndex(tab);
        shown = s;
    }
    if (!finderEnergy.isEmpty()) {
        FinderWindow *f = tools->finderWindow();
        f->setAttribute(Qt::WA_DontShowOnScreen);
        f->show();
        f->energyBox()->setText(finderEnergy);
        shown = f;
    }
    QApplication::processEvents();
    if (!shown->grab().save(out, "PNG")) {
        std::fprintf(stderr, "zandor-screenshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
