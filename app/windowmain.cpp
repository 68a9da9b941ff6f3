// The window's entry point, in the module that the program loads when it is
// started without a sub-command.
#include "datadir.h"
#include "fontwarmup.h"
#include "language/translator.h"
#include "mainwindow/appicon.h"
#include "mainwindow/form1.h"
#include "spectrumtools.h"
#include "uicommon/fonts.h"
#include "windowmodule.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

extern "C" __attribute__((visibility("default"))) int zandor_window_main(int argc, char *argv[])
{
    // The font configuration is read on a second thread meanwhile.
    FontWarmup fontWarmup;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    // Lets Wayland desktops match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zandor"));
    QApplication::setApplicationVersion(QStringLiteral("4"));
    QApplication::setWindowIcon(ZandorIcon());
    fonts::InstallFontFaces();

    // Spectrum files named on the command line, found before the working
    // directory changes. Qt has taken its own options out already.
    QStringList spectra;
    for (const QString &arg : QApplication::arguments().mid(1)) {
        if (arg.startsWith(u'-')) {
            fontWarmup.wait(); // before Qt goes, as on every other way out
            std::fprintf(stderr, "zandor: unknown option %s (see 'zandor --help')\n", qPrintable(arg));
            return 2;
        }
        spectra << QFileInfo(arg).absoluteFilePath();
    }

    // The data files are read from the working directory; a program started
    // elsewhere reads them from ZANDOR_DATA_DIR or its installed data directory.
    const QString dataDir = ChooseDataDirectory(QDir::currentPath(), DataDirectoryCandidates());
    if (!dataDir.isEmpty())
        QDir::setCurrent(dataDir);

    // The Tools menu's texts are translated; with no window yet, installing
    // the translator now sends no window a language change.
    language::UseTranslations(language::Language::Portuguese);

    fontWarmup.wait();
    Form1 w;
    if (!w.Form1_Load())
        return 1;
    auto *tools = new SpectrumTools(&w); // owned by the main window
    w.show();
    tools->openFiles(spectra);
    return app.exec();
}
