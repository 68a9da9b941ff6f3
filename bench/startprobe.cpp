// zandor-startprobe: the program's own start-up (the lines of app/windowmain.cpp,
// unchanged), with a FirstPaint report on the main window. Started by
// `zandor-benchmark` under an X server; see firstpaint.h.
#include "firstpaint.h"

#include "mainwindow/appicon.h"
#include "mainwindow/datadir.h"
#include "mainwindow/fonts.h"
#include "mainwindow/fontwarmup.h"
#include "mainwindow/form1.h"
#include "language/translator.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    FontWarmup fontWarmup;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zandor"));
    QApplication::setApplicationVersion(QStringLiteral("4"));
    QApplication::setWindowIcon(ZandorIcon());
    fonts::InstallFontFaces();

    const QString dataDir = ChooseDataDirectory(QDir::currentPath(), InstalledDataDirectories());
    if (!dataDir.isEmpty())
        QDir::setCurrent(dataDir);

    language::UseTranslations(language::Language::Portuguese);

    fontWarmup.wait();
    Form1 w;
    if (!w.Form1_Load())
        return 1;
    FirstPaint probe(&w);
    w.show();
    return app.exec();
}
