// zandor-cycle [DATA_DIR]: one short session of the program, for memory
// checkers (scripts/memcheck.sh). Starts as app/windowmain.cpp does, on the data files
// of DATA_DIR (by default the source tree's share/); then, from the event
// loop, points at a few cells, types into both search boxes, switches the
// language there and back, opens and closes the read-me and About windows,
// and ends through the Exit command. Without a display unless one is asked
// for with QT_QPA_PLATFORM. Exit status 0 when the session ran through.
#include "mainwindow/appicon.h"
#include "mainwindow/form1.h"
#include "secondary/form2.h"
#include "secondary/form3.h"
#include "uicommon/fonts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

void point(Form1 &w, int Z) { QTest::mouseMove(w.ElementSelectionLabel(Z)); }

void type(QLineEdit *box, const char *keys)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QString::fromLatin1(keys));
}

// True when the session did what it should have.
bool session(Form1 &w)
{
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    for (int Z : {1, 26, 57, 92, 109, 8})
        point(w, Z);
    type(w.ElementText1, "26");
    type(w.ElementText1, "150");
    type(w.ElementText2, "fe");
    type(w.ElementText2, "Xx");
    const bool found = w.ElementText1->text() == QLatin1String("26");
    w.mnuTranslate->trigger();
    point(w, 26);
    w.mnuTranslate->trigger();
    point(w, 92);
    w.mnuReadMe->trigger();
    w.mnuAbout->trigger();
    const bool opened = w.form2 && w.form3 && w.form2->isVisible() && w.form3->isVisible();
    QTest::qWait(50);
    w.form2->close();
    w.form3->close();
    w.mnuReadMe->trigger(); // a new read-me window after the first was closed
    QTest::qWait(50);
    return found && opened;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As app/windowmain.cpp starts the program.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zandor"));
    QApplication::setApplicationVersion(QStringLiteral("4"));
    QApplication::setWindowIcon(ZandorIcon());
    fonts::InstallFontFaces();

    const QString data = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZANDOR_SHARE_DIR);
    if (!QDir::setCurrent(data)) {
        std::fprintf(stderr, "zandor-cycle: no directory %s\n", qPrintable(data));
        return 2;
    }

    Form1 w;
    if (!w.Form1_Load())
        return 1;
    w.show();
    bool ok = false;
    QTimer::singleShot(0, &w, [&] {
        ok = session(w);
        w.mnuExit->trigger();
    });
    const int status = app.exec();
    std::printf("zandor-cycle: session %s\n", ok ? "completed" : "FAILED");
    return status != 0 ? status : ok ? 0 : 1;
}
