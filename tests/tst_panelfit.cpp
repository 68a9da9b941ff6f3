// Every element of the shipped data, in both editions, fits the detail
// panel: each text the view writes is fully visible inside its control and
// its container, and overlaps no other text.
#include "data/db.h"
#include "mainwindow/label.h"
#include "mainwindow/textbox.h"
#include "mainwindowfixture.h"
#include "uicommon/fonts.h"

#include <QtTest>

#include <QFrame>
#include <QLineEdit>

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

class TestPanelFit : public QObject, private MainWindowFixture {
    Q_OBJECT

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
        QVERIFY(makeScratchDir());
        QVERIFY(startWindow());
    }

    void cleanup() { stop(); }

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
        QTest::newRow("Portuguese") << QByteArray("br");
        QTest::newRow("English") << QByteArray("en");
    }

    void everyElementFits()
    {
        QFETCH(QByteArray, edition);
        QVERIFY(db::LoadElementTable(edition.toStdString()));
        QStringList found;
        for (int Z = 1; Z <= 109; ++Z) {
            w->ViewElement(Z);
            for (const QString &p : problems())
                found << QStringLiteral("element %1: %2").arg(Z).arg(p);
        }
        for (const QString &p : found)
            qWarning().noquote() << p;
        QVERIFY2(found.isEmpty(), "see the list above");
    }

    // A name too wide for the foot row of the large cell is drawn smaller,
    // together with the share of the crust beside it, just enough to keep
    // two pixels between them; a name too wide for the name box is drawn
    // smaller there. Texts that fit keep the design font, and nothing goes
    // below 6 points.
    void longNamesAreDrawnSmaller()
    {
        const QFont design = fonts::DefaultFont();
        Label *name = w->PTLabel(3);
        Label *share = w->PTLabel(8);
        auto *box = static_cast<TextBox *>(w->ElementText3);
        // The free pixels between name and share with both at `points`.
        auto gapAt = [&](double points) {
            QFont f = design;
            f.setPointSizeF(points);
            const QFontMetrics fm(f);
            return share->geometry().right() + 1 - fm.horizontalAdvance(share->text())
                - (name->x() + fm.horizontalAdvance(name->text()));
        };
        auto justSmallEnough = [&] {
            const double points = name->font().pointSizeF();
            QVERIFY(points < design.pointSizeF());
            QCOMPARE(share->font(), name->font());
            QVERIFY2(gapAt(points) >= 2, qPrintable(QString::number(gapAt(points))));
            QVERIFY2(gapAt(points + 0.25) < 2, qPrintable(QString::number(points)));
        };

        w->ViewElement(59);
        QCOMPARE(name->text(), QStringLiteral("Praseodímio"));
        justSmallEnough();
        QCOMPARE(box->font(), design); // the box has room for it
        const QFont portuguese = name->font();

        w->ViewElement(26);
        QCOMPARE(name->font(), design);
        QCOMPARE(share->font(), design);
        QCOMPARE(share->geometry().right() + 1, 1275 / 15);

        // The switch leaves the panel as it is, until the next element shown.
        w->ViewElement(59);
        w->mnuTranslate_Click();
        QCOMPARE(name->text(), QStringLiteral("Praseodímio"));
        QCOMPARE(name->font(), portuguese);
        w->ViewElement(59);
        QCOMPARE(name->text(), QStringLiteral("Praseodymium"));
        justSmallEnough();
        QVERIFY(name->font().pointSizeF() < portuguese.pointSizeF());
        QVERIFY(box->font().pointSizeF() < design.pointSizeF());
        QVERIFY(QFontMetrics(box->font()).horizontalAdvance(box->text()) <= box->textRoom());
        QFont larger = box->font();
        larger.setPointSizeF(larger.pointSizeF() + 0.25);
        QVERIFY(QFontMetrics(larger).horizontalAdvance(box->text()) > box->textRoom());

        // The name box follows the symbol box's lookups too.
        w->ElementText2->setText(QStringLiteral("rf"));
        QCOMPARE(box->text(), QStringLiteral("Rutherfordium"));
        QVERIFY(box->font().pointSizeF() < design.pointSizeF());
        w->ElementText2->setText(QStringLiteral("fe"));
        QCOMPARE(box->text(), QStringLiteral("Iron"));
        QCOMPARE(box->font(), design);

        // A name that fits nowhere stops at the floor.
        db::ElementTable.set(59, 3, "Praseodymium Praseodymium");
        w->ViewElement(59);
        QCOMPARE(name->font().pointSizeF(), 6.0);
        QCOMPARE(share->font().pointSizeF(), 6.0);
        QCOMPARE(box->font().pointSizeF(), 6.0);
    }
};

QTEST_MAIN(TestPanelFit)
#include "tst_panelfit.moc"
