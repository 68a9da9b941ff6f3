// The main window as built: cells, control arrays, initial captions,
// auto-size labels, fonts, and which control a pointer move is meant for.
#include "mainwindow/form1.h"
#include "mainwindow/pointerrouting.h"

#include <QtTest>

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <set>

namespace {

// Twips as the window definition gives them; all values used here are
// multiples of 15, one pixel each.
QRect px(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

// The 24 light-blue cells, as the window definition lists them.
const std::set<int> blueCells = {1, 2, 5, 6, 7, 8, 9, 10, 14, 15, 16, 17, 18, 32, 33, 34, 35, 36, 51, 52, 53, 54, 85, 86};

// Pixel columns (in the coordinates of w's parent) holding dark ink.
std::set<int> inkColumns(QWidget *w)
{
    const QImage img = w->grab().toImage();
    std::set<int> columns;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (qGray(img.pixel(x, y)) < 160) {
                columns.insert(w->x() + x);
                break;
            }
    return columns;
}

QString textOf(QObject *o)
{
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    if (auto *g = qobject_cast<QGroupBox *>(o))
        return g->title();
    if (auto *m = qobject_cast<QMenu *>(o))
        return m->title();
    if (auto *a = qobject_cast<QAction *>(o))
        return a->text();
    return QStringLiteral("<no text>");
}

} // namespace

class TestForm1Layout : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> w;
    QWidget *child(const QString &name) const { return w->findChild<QWidget *>(name); }

private slots:
    void init()
    {
        w = std::make_unique<Form1>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void window()
    {
        QCOMPARE(w->objectName(), QStringLiteral("Form1"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Tabela periódica dos elementos"));
        QCOMPARE(w->centralWidget()->size(), QSize(628, 440));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->size(), w->minimumSize());
        QCOMPARE(w->size().height(), 440 + w->menuBar()->height());
        const Qt::WindowFlags flags = w->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!w->windowIcon().isNull());
        QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), QColor(Qt::white));
        for (QWidget *frame : {child("Frame1"), child("Frame2"), child("Frame3"), child("Frame4"), child("Frame6")})
            QCOMPARE(frame->palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(!child("Frame5"));
        QCOMPARE(w->Frame3->geometry(), px(60, 30, 3525, 1875));
        QCOMPARE(w->Frame4->geometry(), px(3660, 30, 5745, 1875));
        QCOMPARE(w->Frame1->geometry(), px(60, 1920, 9345, 4665));
        QCOMPARE(w->Frame2->geometry(), px(90, 3600, 1995, 525));
        QCOMPARE(w->Frame6->geometry(), px(90, 4050, 1995, 525));
        QCOMPARE(w->fmePTElement(0)->parentWidget(), w->Frame3);
        QCOMPARE(w->fmePTElement(0)->geometry(), px(135, 240, 1365, 1305));
    }

    void menus()
    {
        // The Tools menu of the spectrum tools stands between the two.
        QCOMPARE(w->menuBar()->actions(), (QList<QAction *>{w->mnuFile->menuAction(), w->mnuTools->menuAction(),
                                                            w->mnuHelp->menuAction()}));
        QCOMPARE(w->mnuTools->actions(), (QList<QAction *>{w->mnuOpenSpectrum, w->mnuFindLines}));
        QCOMPARE(w->mnuFile->actions(), (QList<QAction *>{w->mnuTranslate, w->mnusep1, w->mnuExit}));
        QCOMPARE(w->mnuHelp->actions(), (QList<QAction *>{w->mnuReadMe, w->mnusep0, w->mnuAbout}));
        QVERIFY(w->mnusep0->isSeparator() && w->mnusep1->isSeparator() && !w->mnuExit->isSeparator());
        QCOMPARE(w->mnuFile->menuAction()->objectName(), QStringLiteral("mnuFile"));
    }

    void cellPositions_data()
    {
        QTest::addColumn<int>("Z");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::newRow("1 first of period 1") << 1 << 90 << 390;
        QTest::newRow("2 column 18 of period 1") << 2 << 8760 << 390;
        QTest::newRow("4 framed at start") << 4 << 600 << 840;
        QTest::newRow("5 column 13 of period 2") << 5 << 6210 << 840;
        QTest::newRow("13 column 13 of period 3") << 13 << 6210 << 1290;
        QTest::newRow("26 column 8 of period 4") << 26 << 3660 << 1740;
        QTest::newRow("57 column 3 of period 6") << 57 << 1110 << 2640;
        QTest::newRow("72 right of 57") << 72 << 1620 << 2640;
        QTest::newRow("58 opens lanthanides") << 58 << 2130 << 3690;
        QTest::newRow("71 closes lanthanides") << 71 << 8760 << 3690;
        QTest::newRow("89 column 3 of period 7") << 89 << 1110 << 3090;
        QTest::newRow("104 right of 89") << 104 << 1620 << 3090;
        QTest::newRow("109 last of period 7") << 109 << 4170 << 3090;
        QTest::newRow("90 opens actinides") << 90 << 2130 << 4140;
        QTest::newRow("103 closes actinides") << 103 << 8760 << 4140;
    }

    void cellPositions()
    {
        QFETCH(int, Z);
        QFETCH(int, left);
        QFETCH(int, top);
        QFrame *cell = w->fmePTElement(Z);
        QVERIFY(cell);
        QCOMPARE(cell->parentWidget(), w->Frame1);
        QCOMPARE(cell->geometry(), px(left, top, 495, 435));
        QCOMPARE(w->ElementSelectionLabel(Z)->geometry(), px(45, 90, 405, 300));
    }

    // Every cell: on its own slot of the 510 x 450 grid in one of the nine
    // rows, and in its colour: 24 light blue, the rest light grey.
    void everyCell()
    {
        const std::set<int> rowTops = {390, 840, 1290, 1740, 2190, 2640, 3090, 3690, 4140};
        std::set<std::pair<int, int>> seen;
        for (int Z = 1; Z <= 109; ++Z) {
            const QRect r = w->fmePTElement(Z)->geometry();
            const int left = r.x() * 15, top = r.y() * 15;
            QCOMPARE(r.size(), QSize(33, 29));
            QVERIFY2((left - 90) % 510 == 0 && left >= 90 && left <= 8760 && rowTops.count(top), qPrintable(QString::number(Z)));
            QVERIFY2(seen.insert({left, top}).second, qPrintable(QStringLiteral("cell %1 shares its place").arg(Z)));
            const bool blue = blueCells.count(Z);
            QCOMPARE(w->fmePTElement(Z)->palette().color(QPalette::Window).rgb(),
                     blue ? rgb(128, 128, 255) : rgb(224, 224, 224));
        }
        QCOMPARE(blueCells.size(), std::size_t(24));
        QCOMPARE(w->fmePTElement(0)->palette().color(QPalette::Window).rgb(), rgb(192, 192, 255));
    }

    // As drawn: the white 15-twip gaps between cells, the cell colours, and the
    // red outline of the selection frame in the gap around cell 4, over the
    // cells, with the cell showing through it.
    void gapsAndSelectionFrameAsDrawn()
    {
        const QImage img = w->Frame1->grab().toImage();
        const QRect fe = w->fmePTElement(26)->geometry();
        const QRect co = w->fmePTElement(27)->geometry();
        QCOMPARE(co.left() - fe.right(), 2); // one pixel between them
        QCOMPARE(img.pixel(fe.right() + 1, fe.center().y()), rgb(255, 255, 255));
        QCOMPARE(img.pixel(fe.center().x(), fe.bottom() + 1), rgb(255, 255, 255));
        QCOMPARE(img.pixel(fe.left() + 2, fe.top() + 2), rgb(224, 224, 224));
        const QRect s = w->fmePTElement(16)->geometry();
        QCOMPARE(img.pixel(s.left() + 2, s.top() + 2), rgb(128, 128, 255));

        QWidget *shape = w->ElementSelShape;
        QCOMPARE(shape->geometry(), px(585, 825, 525, 465));
        QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
        const QRect be = w->fmePTElement(4)->geometry();
        QCOMPARE(shape->geometry(), be.adjusted(-1, -1, 1, 1));
        QCOMPARE(img.pixel(be.left() - 1, be.center().y()), rgb(255, 0, 0));
        QCOMPARE(img.pixel(be.right() + 1, be.center().y()), rgb(255, 0, 0));
        QCOMPARE(img.pixel(be.center().x(), be.top() - 1), rgb(255, 0, 0));
        QCOMPARE(img.pixel(be.center().x(), be.bottom() + 1), rgb(255, 0, 0));
        QCOMPARE(img.pixel(be.left() + 2, be.top() + 2), rgb(224, 224, 224));
    }

    void arrayIndices_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("fmePTElement") << "fmePTElement" << 0 << 109;
        QTest::newRow("ElementSelectionLabel") << "ElementSelectionLabel" << 1 << 109;
        QTest::newRow("PTLabel") << "PTLabel" << 1 << 10;
        QTest::newRow("PTGroupsLabel") << "PTGroupsLabel" << 0 << 17;
        QTest::newRow("PTTitleText") << "PTTitleText" << 0 << 5;
        QTest::newRow("Label1") << "Label1" << 3 << 11;
        QTest::newRow("Label2") << "Label2" << 1 << 1;
        QTest::newRow("Text4") << "Text4" << 0 << 0;
        for (const char *row : {"PTLineKa1", "PTLineKa2", "PTLineKb", "PTLineLa1", "PTLineLa2", "PTLineLb1", "PTLineLb2",
                                "PTLineLg1", "PTLineSiScapeText"})
            QTest::newRow(row) << row << 0 << 2;
    }

    void arrayIndices()
    {
        QFETCH(QString, name);
        QFETCH(int, first);
        QFETCH(int, last);
        auto member = [&](int i) { return child(QStringLiteral("%1(%2)").arg(name).arg(i)); };
        for (int i = first; i <= last; ++i)
            QVERIFY2(member(i), qPrintable(QStringLiteral("%1(%2) missing").arg(name).arg(i)));
        for (int i : {first - 2, first - 1, last + 1})
            QVERIFY2(!member(i), qPrintable(QStringLiteral("%1(%2) exists").arg(name).arg(i)));
        QVERIFY(!child(name)); // no member without an index
    }

    void initialTexts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        auto row = [](const char *control, const QString &text) { QTest::newRow(control) << control << text; };
        row("Frame4", QStringLiteral("Linhas de raios-X correspondentes - (eV) "));
        row("ElementSelectionLabel(1)", "H");
        row("ElementSelectionLabel(109)", "H");
        row("PTLabel(1)", "2");
        row("PTLabel(4)", "4.00260");
        row("PTLabel(8)", "-");
        row("PTLabel(9)", "ancient");
        row("PTLabel(10)", "1s2");
        row("Label1(4)", QStringLiteral("densidade 300K (g/cm  )"));
        row("Label1(7)", QStringLiteral("ponto de fusão (\u00BAC)"));
        row("Label1(11)", QStringLiteral("Série dos Actínios"));
        row("Text2", "Simb");
        row("ElementText1", "");
        row("PTTitleText(3)", "Linha");
        row("PTTitleText(4)", "Energia");
        row("PTLineKa1(1)", "");
        row("PTLineLg1(2)", "");
        row("PTLineSiScapeText(1)", "");
        row("PTLineSiScapeText(2)", "-");
        row("mnuTranslate", "English &Version");
        row("mnuHelp", "&Ajuda");
        row("mnuAbout", "&Sobre");
        row("Label3", "www.example.org/zandor");
        row("Label2(1)", "zandor@example.org");
    }

    void initialTexts()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QObject *o = w->findChild<QObject *>(control);
        QVERIFY(o);
        QCOMPARE(textOf(o), text);
    }

    // An auto-size label follows its caption from the edge the design keeps:
    // the right-aligned values end at 1275 inside the large cell whatever they
    // show, the series captions at 1800 in their boxes; left-aligned and centred
    // labels keep their left edge. Fixed-size labels keep their size.
    void autoSizeKeepsDesignedEdge_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("edge"); // "right", "left" or "fixed"
        QTest::addColumn<int>("twips");    // the edge kept, from the design
        for (int i : {4, 5, 6, 7, 8, 9})
            QTest::newRow(qPrintable(QStringLiteral("PTLabel(%1)").arg(i)))
                << QStringLiteral("PTLabel(%1)").arg(i) << "right" << 1275;
        QTest::newRow("lanthanides") << "Label1(10)" << "right" << 1800;
        QTest::newRow("actinides") << "Label1(11)" << "right" << 1800;
        QTest::newRow("name, left") << "PTLabel(3)" << "left" << 60;
        QTest::newRow("configuration, centred") << "PTLabel(10)" << "left" << 675;
        QTest::newRow("e-mail") << "Label2(1)" << "left" << 5160;
        QTest::newRow("element symbol") << "ElementSelectionLabel(26)" << "fixed" << 45;
    }

    void autoSizeKeepsDesignedEdge()
    {
        QFETCH(QString, control);
        QFETCH(QString, edge);
        QFETCH(int, twips);
        auto *label = w->findChild<Label *>(control);
        QVERIFY(label);
        const QRect before = label->geometry();
        auto check = [&](const QString &caption) {
            label->setCaption(caption);
            const QRect r = label->geometry();
            QCOMPARE(label->text(), caption);
            QCOMPARE(r.top(), before.top());
            if (edge == QLatin1String("fixed")) {
                QCOMPARE(r, before);
                return;
            }
            QCOMPARE(r.size(), label->sizeHint());
            if (edge == QLatin1String("right"))
                QCOMPARE(r.right() + 1, twips / 15);
            else
                QCOMPARE(r.left(), twips / 15);
        };
        check(QStringLiteral("a far longer caption 12345"));
        const int wide = label->width();
        check(QStringLiteral("1"));
        if (edge != QLatin1String("fixed"))
            QVERIFY(label->width() < wide);
        check(QStringLiteral("Discovered 1807 (ºC)"));
    }

    void fonts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::newRow("default font") << "PTGroupsLabel(0)" << 11 << false;
        QTest::newRow("symbol 9.75 bold") << "ElementSelectionLabel(1)" << 13 << true;
        QTest::newRow("number 13.5 bold") << "PTLabel(1)" << 18 << true;
        QTest::newRow("symbol 24 bold") << "PTLabel(2)" << 32 << true;
        QTest::newRow("web 18") << "Label3" << 24 << false;
        QTest::newRow("e-mail 8.25 bold") << "Label2(1)" << 11 << true;
        QTest::newRow("raised 3, Small Fonts") << "Label1(5)" << 8 << false;
        QTest::newRow("heading box") << "Text2" << 11 << true;
        QTest::newRow("number box") << "ElementText1" << 11 << false;
    }

    void fonts()
    {
        QFETCH(QString, control);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QWidget *c = child(control);
        QVERIFY(c);
        const QFontInfo info(c->font());
        QCOMPARE(info.family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(info.pixelSize(), pixels);
        QCOMPARE(info.bold(), bold);
        QVERIFY(!info.italic());
    }

    // Every fixed-size caption and every text shown in a box fits inside it;
    // every auto-size label stays inside its container.
    void captionsFit_data()
    {
        QTest::addColumn<QString>("control");
        Form1 form;
        for (QWidget *c : form.findChildren<QWidget *>()) {
            const QString name = c->objectName();
            if ((qobject_cast<QLabel *>(c) || (qobject_cast<QLineEdit *>(c) && !textOf(c).isEmpty())) && !name.isEmpty())
                QTest::newRow(qPrintable(name)) << name;
        }
    }

    void captionsFit()
    {
        QFETCH(QString, control);
        QWidget *c = child(control);
        QVERIFY(c);
        if (auto *label = qobject_cast<Label *>(c); label && label->autoSize()) {
            QVERIFY(c->parentWidget()->rect().contains(c->geometry()));
            return;
        }
        const QFontMetrics fm(c->font());
        const QString text = textOf(c);
        // A box loses its border and the line edit's margins: 4 pixels a side.
        const int room = qobject_cast<QLineEdit *>(c) ? c->width() - 8 : c->width();
        QVERIFY2(fm.horizontalAdvance(text) <= room,
                 qPrintable(QStringLiteral("%1 needs %2 of %3").arg(text).arg(fm.horizontalAdvance(text)).arg(room)));
        QVERIFY(fm.height() <= c->height());
    }

    // The raised "3" of the density unit stands in the double blank of its
    // caption, clear of "cm" and of ")", in Portuguese and at the English
    // caption and position of the language switch.
    void raisedThreeStaysClear_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("left");
        QTest::newRow("Portuguese") << QStringLiteral("densidade 300K (g/cm  )") << 3240;
        QTest::newRow("English") << QStringLiteral("density 300K (g/cm  )") << 2990;
    }

    void raisedThreeStaysClear()
    {
        QFETCH(QString, caption);
        QFETCH(int, left);
        Label *density = w->Label1(4);
        Label *three = w->Label1(5);
        density->setCaption(caption);
        three->move(qRound(left / 15.0), three->y());
        const std::set<int> text = inkColumns(density);
        const std::set<int> raised = inkColumns(three);
        QVERIFY(!raised.empty());
        const int from = *raised.begin(), to = *raised.rbegin();
        for (int x = from - 1; x <= to + 1; ++x)
            QVERIFY2(!text.count(x), qPrintable(QStringLiteral("text ink at %1 next to the 3 at %2-%3").arg(x).arg(from).arg(to)));
        // ... and it is inside the gap, not beside the caption.
        QVERIFY(text.lower_bound(from - 5) != text.end() && *text.lower_bound(from - 5) < from);
        QVERIFY(text.upper_bound(to) != text.end() && *text.upper_bound(to) <= to + 5);
    }

    // Only the two search boxes take typing; they alone are in the Tab chain.
    void editableBoxes()
    {
        QStringList editable;
        for (QLineEdit *e : w->findChildren<QLineEdit *>()) {
            if (!e->isReadOnly())
                editable << e->objectName();
            QCOMPARE(bool(e->focusPolicy() & Qt::TabFocus), !e->isReadOnly());
        }
        editable.sort();
        QCOMPARE(editable, (QStringList{"ElementText1", "ElementText2"}));
        QCOMPARE(w->ElementText1->nextInFocusChain(), w->ElementText2);
    }

    void moveTarget_data()
    {
        QTest::addColumn<QString>("receiver");
        QTest::addColumn<bool>("buttons");
        QTest::addColumn<QString>("over"); // the pointer is at `at` inside this control
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("target"); // empty: no control's MouseMove
        QTest::newRow("symbol") << "ElementSelectionLabel(26)" << false << "ElementSelectionLabel(26)" << QPoint(3, 3)
                                << "ElementSelectionLabel(26)";
        QTest::newRow("gap right of 26") << "Frame1" << false << "fmePTElement(26)" << QPoint(33, 10) << "Frame1";
        QTest::newRow("free area above transition metals")
            << "Frame1" << false << "Frame1" << QPoint(120, 80) << "Frame1";
        QTest::newRow("ring of the selection frame") << "Frame1" << false << "ElementSelShape" << QPoint(0, 10) << "Frame1";
        QTest::newRow("margin of a cell") << "Frame1" << false << "fmePTElement(26)" << QPoint(1, 1) << "";
        QTest::newRow("series box") << "Frame1" << false << "Frame2" << QPoint(5, 5) << "";
        QTest::newRow("group heading") << "Frame1" << false << "PTGroupsLabel(3)" << QPoint(5, 5) << "";
        QTest::newRow("held: onto the next symbol")
            << "ElementSelectionLabel(5)" << true << "ElementSelectionLabel(6)" << QPoint(3, 3) << "ElementSelectionLabel(6)";
        QTest::newRow("held: from a gap onto a symbol")
            << "Frame1" << true << "ElementSelectionLabel(90)" << QPoint(10, 10) << "ElementSelectionLabel(90)";
        QTest::newRow("held: onto a cell margin")
            << "ElementSelectionLabel(5)" << true << "fmePTElement(6)" << QPoint(1, 1) << "fmePTElement(6)";
        QTest::newRow("held: onto a gap") << "ElementSelectionLabel(5)" << true << "fmePTElement(5)" << QPoint(33, 10)
                                          << "Frame1";
        QTest::newRow("held: onto the e-mail link") << "Label3" << true << "Label2(1)" << QPoint(2, 2) << "Label2(1)";
        QTest::newRow("held: out of the table") << "ElementSelectionLabel(5)" << true << "Frame3" << QPoint(20, 20) << "";
    }

    void moveTarget()
    {
        QFETCH(QString, receiver);
        QFETCH(bool, buttons);
        QFETCH(QString, over);
        QFETCH(QPoint, at);
        QFETCH(QString, target);
        QWidget *r = child(receiver);
        QWidget *o = child(over);
        QVERIFY(r && o);
        QWidget *t = MouseMoveTarget(w->Frame1, r, buttons, o->mapToGlobal(at));
        QCOMPARE(t ? t->objectName() : QString(), target);
    }
};

QTEST_MAIN(TestForm1Layout)
#include "tst_form1layout.moc"
