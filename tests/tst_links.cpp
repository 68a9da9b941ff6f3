// The contact links and the end of the program: what a click opens, the
// hover colours under real pointer moves, and Exit and the close box with the
// read-me and About windows open.
//
// Pointer events go through the window system interface, so Qt itself finds
// the widget under the pointer, as with a real mouse.
#define QTEST_QPA_MOUSE_HANDLING

#include "mainwindow/form1.h"
#include "secondary/contact.h"
#include "secondary/form2.h"
#include "secondary/form3.h"

#include <QtTest>

#include <QDesktopServices>
#include <QLineEdit>
#include <QWindow>

namespace {

const QColor Blue = QColor::fromRgb(0, 0, 255);
const QColor Black = QColor::fromRgb(0, 0, 0);

// A path of pointer moves: control names and points inside them.
using Path = QList<QPair<QString, QPoint>>;

} // namespace

// Records the addresses handed to the desktop's open service.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestLinks : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> w;
    UrlRecorder recorder;

    QWidget *child(const QString &name) const { return w->findChild<QWidget *>(name); }

    // Puts the pointer at `at` in the named control ("Form1": the window).
    void moveTo(const QString &control, QPoint at)
    {
        QWidget *c = control == QLatin1String("Form1") ? w.get() : child(control);
        QVERIFY2(c, qPrintable(control));
        QTest::mouseMove(c, at);
    }

    void openBoth()
    {
        w->mnuReadMe_Click();
        w->mnuAbout_Click();
        QVERIFY(w->form2 && w->form2->isVisible() && w->form3 && w->form3->isVisible());
    }

private slots:
    void initTestCase()
    {
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
    }
    void cleanupTestCase()
    {
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    void init()
    {
        recorder.opened.clear();
        w = std::make_unique<Form1>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    // Each click opens the target once more; the targets are fixed texts,
    // the web one shorter than the caption.
    void clicksOpenTheTarget_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("url");
        QTest::newRow("web, once") << "Label3" << 1 << "https://example.org/zandor";
        QTest::newRow("web, twice") << "Label3" << 2 << "https://example.org/zandor";
        QTest::newRow("e-mail, once") << "Label2(1)" << 1 << "mailto:zandor@example.org";
        QTest::newRow("e-mail, three times") << "Label2(1)" << 3 << "mailto:zandor@example.org";
    }

    void clicksOpenTheTarget()
    {
        QFETCH(QString, link);
        QFETCH(int, clicks);
        QFETCH(QString, url);
        QWidget *label = child(link);
        QVERIFY(label);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(recorder.opened.size(), clicks);
        for (const QUrl &u : std::as_const(recorder.opened))
            QCOMPARE(u.toString(QUrl::FullyEncoded), url);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Colours after a path of pointer moves. A link turns blue under the
    // pointer and turns black only over Frame1's own free area.
    void hoverColours_data()
    {
        QTest::addColumn<Path>("path");
        QTest::addColumn<QString>("web");  // "blue", "black" or "initial"
        QTest::addColumn<QString>("mail");
        const QPair<QString, QPoint> web{"Label3", {20, 10}};
        const QPair<QString, QPoint> mail{"Label2(1)", {5, 5}};
        const QPair<QString, QPoint> free{"Frame1", {120, 80}};
        QTest::newRow("untouched") << Path{} << "initial" << "initial";
        QTest::newRow("over the web link") << Path{web} << "blue" << "initial";
        QTest::newRow("over the e-mail link") << Path{mail} << "initial" << "blue";
        QTest::newRow("link, then free area") << Path{web, free} << "black" << "black";
        QTest::newRow("both, then free area") << Path{web, mail, free} << "black" << "black";
        QTest::newRow("reset, then a link again") << Path{web, free, mail} << "black" << "blue";
        QTest::newRow("onto an element cell") << Path{web, {"ElementSelectionLabel(26)", {5, 5}}} << "blue" << "initial";
        QTest::newRow("onto a cell's margin") << Path{web, {"fmePTElement(26)", {1, 1}}} << "blue" << "initial";
        QTest::newRow("onto a search box") << Path{mail, {"ElementText1", {5, 5}}} << "initial" << "blue";
        QTest::newRow("onto the window outside Frame1") << Path{web, {"Frame3", {2, 2}}} << "blue" << "initial";
        QTest::newRow("out of the window") << Path{web, mail, {"Form1", {-30, -30}}} << "blue" << "blue";
        QTest::newRow("gap between two cells") << Path{web, {"fmePTElement(26)", {33, 10}}} << "black" << "black";
    }

    void hoverColours()
    {
        QFETCH(Path, path);
        QFETCH(QString, web);
        QFETCH(QString, mail);
        const QColor initialWeb = w->Label3->foreColor();
        const QColor initialMail = w->Label2(1)->foreColor();
        for (const auto &[control, at] : path)
            moveTo(control, at);
        auto expected = [](const QString &name, const QColor &initial) {
            return name == QLatin1String("blue") ? Blue : name == QLatin1String("black") ? Black : initial;
        };
        QCOMPARE(w->Label3->foreColor(), expected(web, initialWeb));
        QCOMPARE(w->Label2(1)->foreColor(), expected(mail, initialMail));
    }

    // After the first hover and reset a link is pure black, whatever the
    // desktop's window-text colour.
    void resetIsPureBlack()
    {
        w.reset();
        const QPalette saved = QApplication::palette();
        QPalette grey = saved;
        grey.setColor(QPalette::Text, QColor(90, 60, 30));
        QApplication::setPalette(grey);
        w = std::make_unique<Form1>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->Label3->foreColor(), QColor(90, 60, 30));
        moveTo(u"Label3"_qs, {20, 10});
        moveTo(u"Label2(1)"_qs, {5, 5});
        moveTo(u"Frame1"_qs, {120, 80});
        const QColor web = w->Label3->foreColor(), mail = w->Label2(1)->foreColor();
        QApplication::setPalette(saved);
        QCOMPARE(web, Black);
        QCOMPARE(mail, Black);
    }

    // The pointer keeps the platform's arrow everywhere.
    void noPointerShapes()
    {
        QVERIFY(!w->testAttribute(Qt::WA_SetCursor));
        for (QWidget *c : w->findChildren<QWidget *>()) {
            // Text boxes show the I-beam of the platform themselves; no
            // control of the window asks for a shape of its own.
            if (qobject_cast<QLineEdit *>(c) || (c->parentWidget() && qobject_cast<QLineEdit *>(c->parentWidget())))
                continue;
            QVERIFY2(!c->testAttribute(Qt::WA_SetCursor), qPrintable(c->objectName()));
            QCOMPARE(c->cursor().shape(), Qt::ArrowCursor);
        }
    }

    // Exit, and the main window's close box, end the program and take the
    // read-me and About windows with them.
    void endOfProgram_data()
    {
        QTest::addColumn<bool>("exitCommand");
        QTest::newRow("Exit") << true;
        QTest::newRow("close box") << false;
    }

    void endOfProgram()
    {
        QFETCH(bool, exitCommand);
        openBoth();
        QPointer<Form2> readMe = w->form2;
        QPointer<Form3> about = w->form3;

        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, w.get(), [&] {
            if (exitCommand)
                w->mnuExit->trigger();
            else
                w->windowHandle()->close(); // as the window system's close box does
        });
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        timeout.start(10000);
        const int status = QCoreApplication::exec();
        timeout.stop();

        QCOMPARE(status, 0);
        QCOMPARE(quitting.count(), 1);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(readMe.isNull() && about.isNull());
    }

    // The main window takes the others with it as it closes, not only once
    // the program has ended.
    void closingTheMainWindow()
    {
        openBoth();
        QVERIFY(w->close());
        QVERIFY(!w->form2->isVisible() && !w->form3->isVisible());
    }

    // Closing a secondary window leaves the main window and the program
    // running.
    void closingASecondaryWindow()
    {
        openBoth();
        QSignalSpy last(qApp, &QGuiApplication::lastWindowClosed);
        QVERIFY(w->form2->close());
        QVERIFY(w->form3->close());
        QCOMPARE(last.count(), 0);
        QVERIFY(w->isVisible());
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
