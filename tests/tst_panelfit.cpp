// Every element of the shipped data, in both editions, fits the detail
// panel: each text the view writes is fully visible inside its control and
// its container, and overlaps no other text.
#include "mainwindow/form1.h"
#include "db.h"
#include "testsupport.h"

#include <QtTest>

#include <QFrame>
#include <QLineEdit>

#include <algorithm>

using testsupport::ScratchDir;

namespace {

// A text on screen: where its glyphs go and the area it must stay inside,
// both in the window's coordinates.
struct PlacedText {
    QString control;
    QString text;
    QRect ink;
    bool fromData; // written by the view; the others are fixed captions
};

QRect inWindow(const QWidget *w, const QRect &r, const QWidget *window)
{
    return QRect(w->mapTo(window, r.topLeft()), r.size());
}

// The rows of pixels that a text's glyphs cover, for a text whose line
// starts at `top`: lines may overlap where their glyphs do not.
QPair<int, int> inkRows(const QFontMetrics &fm, const QString &text, int top)
{
    const QRect tight = fm.tightBoundingRect(text); // relative to the baseline
    return {top + fm.ascent() + tight.top(), tight.height()};
}

// Where a label draws its caption: its width from the font, placed by the
// label's alignment within its contents.
QRect labelInk(const QLabel *l)
{
    const QFontMetrics fm(l->font());
    const int width = fm.horizontalAdvance(l->text());
    const QRect r = l->contentsRect();
    int x = r.left();
    if (l->alignment() & Qt::AlignRight)
        x = r.right() + 1 - width;
    else if (l->alignment() & Qt::AlignHCenter)
        x = r.left() + (r.width() - width) / 2;
    const auto [y, height] = inkRows(fm, l->text(), r.top());
    return QRect(x, y, width, height);
}

// The line a line edit draws its text on: the contents less the text
// margins and the two pixels Qt keeps free on either side. Qt scrolls (and
// so cuts) a text that needs more than that width less one pixel.
QRect boxLine(const QLineEdit *e)
{
    return e->contentsRect().marginsRemoved(e->textMargins()).adjusted(2, 0, -2, 0);
}

QRect boxInk(const QLineEdit *e)
{
    const QFontMetrics fm(e->font());
    const QRect line = boxLine(e);
    const int width = fm.horizontalAdvance(e->text()) + 1;
    int x = line.left();
    if (e->alignment() & Qt::AlignRight)
        x = line.right() + 1 - width;
    else if (e->alignment() & Qt::AlignHCenter)
        x = line.left() + (line.width() - width) / 2;
    const auto [y, height] = inkRows(fm, e->text(), line.top() + (line.height() - fm.height() + 1) / 2);
    return QRect(x, y, width, height);
}

} // namespace

class TestPanelFit : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDir> dir;
    std::unique_ptr<Form1> w;

    // The problems of the display as it stands, each naming the control and
    // its text.
    QStringList problems() const
    {
        QList<PlacedText> texts;
        QStringList found;
        auto describe = [](const PlacedText &t) { return QStringLiteral("%1 \"%2\"").arg(t.control, t.text); };

        QList<QLabel *> labels;
        for (int i = 1; i <= 10; ++i)
            labels << w->PTLabel(i);
        for (int i = 3; i <= 9; ++i)
            labels << w->Label1(i);
        for (QLabel *l : labels) {
            const PlacedText t{l->objectName(), l->text(), inWindow(l, labelInk(l), w.get()),
                               l->objectName().startsWith(QLatin1String("PTLabel"))};
            if (t.text.isEmpty())
                continue;
            texts << t;
            if (!t.fromData)
                continue;
            if (!l->rect().contains(labelInk(l)))
                found << describe(t) + QStringLiteral(" is cut by its own edge");
            // Inside every frame around it, up to the panel.
            for (QWidget *p = l->parentWidget(); p && p != w->centralWidget(); p = p->parentWidget()) {
                const QRect inside = inWindow(p, p->contentsRect(), w.get());
                if (!inside.contains(t.ink))
                    found << describe(t) + QStringLiteral(" runs out of %1 (ink %2, room %3)")
                                               .arg(p->objectName(), rectText(t.ink), rectText(inside));
            }
        }

        QList<QLineEdit *> boxes{w->ElementText1, w->ElementText2, w->ElementText3};
        for (auto *row : {&w->PTLineKa1, &w->PTLineKa2, &w->PTLineKb, &w->PTLineLa1, &w->PTLineLa2, &w->PTLineLb1,
                          &w->PTLineLb2, &w->PTLineLg1, &w->PTLineSiScapeText})
            for (int i = 0; i <= 2; ++i)
                boxes << (*row)(i);
        for (QLineEdit *e : boxes) {
            const PlacedText t{e->objectName(), e->text(), inWindow(e, boxInk(e), w.get()), true};
            if (t.text.isEmpty())
                continue;
            texts << t;
            const QRect line = boxLine(e);
            const QFontMetrics fm(e->font());
            if (fm.horizontalAdvance(t.text) + 1 > line.width())
                found << describe(t) + QStringLiteral(" needs %1 pixels, the box has %2")
                                           .arg(fm.horizontalAdvance(t.text) + 1)
                                           .arg(line.width());
            if (fm.height() > line.height())
                found << describe(t) + QStringLiteral(" is taller than its box");
        }

        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                if ((texts[i].fromData || texts[j].fromData) && texts[i].ink.intersects(texts[j].ink)) {
                    const QRect both = texts[i].ink.intersected(texts[j].ink);
                    found << describe(texts[i]) + QStringLiteral(" overlaps ") + describe(texts[j])
                                 + QStringLiteral(" (%1x%2 pixels)").arg(both.width()).arg(both.height());
                }
        return found;
    }

    static QString rectText(const QRect &r)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

private slots:
    void init()
    {
        dir = std::make_unique<ScratchDir>();
        QVERIFY(dir->copyShipped());
        w = std::make_unique<Form1>();
        QVERIFY(w->Form1_Load());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    void cleanup()
    {
        w.reset();
        dir.reset();
    }

    // The check itself catches what it should.
    void detectsOverflow()
    {
        w->ViewElement(26);
        QCOMPARE(problems(), QStringList());
        w->ElementText3->setText(QStringLiteral("Ferro Ferro Ferro Ferro"));
        w->PTLabel(4)->setCaption(QStringLiteral("55.845 55.845 55.845"));
        const QString found = problems().join(QLatin1Char('\n'));
        QVERIFY2(found.contains(QLatin1String("ElementText3 \"Ferro Ferro Ferro Ferro\" needs")), qPrintable(found));
        QVERIFY2(found.contains(QLatin1String("PTLabel(4) \"55.845 55.845 55.845\" runs out of fmePTElement(0)")),
                 qPrintable(found));
        QVERIFY2(found.contains(QRegularExpression(QStringLiteral(
                     "PTLabel\\(1\\) \"26\" overlaps PTLabel\\(4\\) \"55.845 55.845 55.845\" \\(\\d+x\\d+ pixels\\)"))),
                 qPrintable(found));
    }

    void everyElementFits_data()
    {
        QTest::addColumn<QByteArray>("edition");
        QTest::addColumn<QStringList>("known");
        // What the shipped data do not fit yet: an element's name and its
        // share of the earth's crust share a row at the foot of the large
        // cell, and together are too wide; two English names are wider than
        // the name box. Each is expected to fail until the data or the panel
        // change; then this test fails until the entry is removed here.
        QTest::newRow("Portuguese") << QByteArray("br")
                                    << QStringList{
                                           R"(element 25: PTLabel(3) "Manganês" overlaps PTLabel(8) "0.0950")",
                                           R"(element 42: PTLabel(3) "Molibdênio" overlaps PTLabel(8) "1.2E-4")",
                                           R"(element 59: PTLabel(3) "Praseodímio" overlaps PTLabel(8) "9.2E-4")",
                                           R"(element 60: PTLabel(3) "Neodímio" overlaps PTLabel(8) "4.15E-3")",
                                           R"(element 74: PTLabel(3) "Tungstênio" overlaps PTLabel(8) "1.25E-4")",
                                           R"(element 91: PTLabel(3) "Protactínio" overlaps PTLabel(8) "1.4E-10")",
                                       };
        QTest::newRow("English") << QByteArray("en")
                                 << QStringList{
                                        R"(element 15: PTLabel(3) "Phosphorus" overlaps PTLabel(8) "0.105")",
                                        R"(element 24: PTLabel(3) "Chromium" overlaps PTLabel(8) "0.0102")",
                                        R"(element 25: PTLabel(3) "Manganese" overlaps PTLabel(8) "0.0950")",
                                        R"(element 32: PTLabel(3) "Germanium" overlaps PTLabel(8) "1.5E-4")",
                                        R"(element 42: PTLabel(3) "Molybdenum" overlaps PTLabel(8) "1.2E-4")",
                                        R"(element 57: PTLabel(3) "Lanthanum" overlaps PTLabel(8) "3.9E-3")",
                                        R"(element 59: ElementText3 "Praseodymium" needs)",
                                        R"(element 59: PTLabel(3) "Praseodymium" overlaps PTLabel(8) "9.2E-4")",
                                        R"(element 60: PTLabel(3) "Neodymium" overlaps PTLabel(8) "4.15E-3")",
                                        R"(element 62: PTLabel(3) "Samarium" overlaps PTLabel(8) "7.05E-4")",
                                        R"(element 64: PTLabel(3) "Gadolinium" overlaps PTLabel(8) "6.2E-4")",
                                        R"(element 66: PTLabel(3) "Dysprosium" overlaps PTLabel(8) "5.2E-4")",
                                        R"(element 74: PTLabel(3) "Tungsten" overlaps PTLabel(8) "1.25E-4")",
                                        R"(element 91: PTLabel(3) "Protactinium" overlaps PTLabel(8) "1.4E-10")",
                                        R"(element 104: ElementText3 "Rutherfordium" needs)",
                                    };
    }

    void everyElementFits()
    {
        QFETCH(QByteArray, edition);
        QFETCH(QStringList, known);
        QVERIFY(db::LoadElementTable(edition.toStdString()));
        QStringList unexpected;
        QStringList stillThere;
        for (int Z = 1; Z <= 109; ++Z) {
            w->ViewElement(Z);
            for (const QString &p : problems()) {
                const QString problem = QStringLiteral("element %1: %2").arg(Z).arg(p);
                const auto k = std::find_if(known.cbegin(), known.cend(),
                                            [&](const QString &k) { return problem.startsWith(k); });
                if (k == known.cend())
                    unexpected << problem;
                else if (!stillThere.contains(*k))
                    stillThere << *k;
            }
        }
        for (const QString &p : unexpected)
            qWarning().noquote() << p;
        QVERIFY2(unexpected.isEmpty(), "see the list above");
        for (const QString &k : known)
            QVERIFY2(stillThere.contains(k), qPrintable(QStringLiteral("no longer happens: ") + k));
        if (!stillThere.isEmpty()) {
            QEXPECT_FAIL("", "shipped data that do not fit the panel yet", Continue);
            QVERIFY(stillThere.isEmpty());
        }
    }
};

QTEST_MAIN(TestPanelFit)
#include "tst_panelfit.moc"
