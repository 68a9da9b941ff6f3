// zandor-startprobe [FILE...]: the program's own start-up (the lines of
// app/windowmain.cpp, unchanged), with a FirstPaint report on the main
// window, or with files on the first paint of the spectrum plot. Started by
// `zandor-benchmark` under an X server; see firstpaint.h.
#include "firstpaint.h"

#include "app/datadir.h"
#include "app/fontwarmup.h"
#include "app/spectrumtools.h"
#include "language/translator.h"
#include "mainwindow/appicon.h"
#include "mainwindow/form1.h"
#include "uicommon/fonts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    FontWarmup fontWarmup;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zandor"));
    QApplication::setApplicationVersion(QStringLiteral("4"));
    QApplication::setWindowIcon(ZandorIcon());
    fonts::InstallFontFaces();

    QStringList spectra;
    for (const QString &arg : QApplication::arguments().mid(1))
        spectra << QFileInfo(arg).absoluteFilePath();

    const QString dataDir = ChooseDataDirectory(QDir::currentPath(), InstalledDataDirectories());
    if (!dataDir.isEmpty())
        QDir::setCurrent(dataDir);

    language::UseTranslations(language::Language::Portuguese);

    fontWarmup.wait();
    Form1 w;
    if (!w.Form1_Load())
        return 1;
    auto *tools = new SpectrumTools(&w);
    FirstPaint probe(&w, spectra.isEmpty() ? nullptr : "SpectrumPlot");
    w.show();
    tools->openFiles(spectra);
    return app.exec();
}
