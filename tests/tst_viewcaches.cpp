// What the detail view and the search boxes keep between calls: decoded
// element texts, the line grid of each element, measured caption sizes. Each
// must follow the data, the locale and the fonts as they change, so that
// what the window shows is what a fresh computation would show.
#include "data/db.h"
#include "mainwindow/label.h"
#include "mainwindow/textbox.h"
#include "mainwindowfixture.h"
#include "uicommon/fonts.h"

#include <QtTest>

#include <QLineEdit>

namespace {

// Element Z: number Z, symbol "<tag>Z", name "<tag>name<Z>"; silicon's ratio
// (column 16 of row 14) is 0.
QByteArray elementFile(const QByteArray &tag)
{
    return testsupport::elementFile([&](int Z, int c) -> QByteArray {
        const QByteArray z = QByteArray::number(Z);
        switch (c) {
        case 1: return z;
        case 2: return tag + z;
        case 3: return tag + "name" + z;
        case 16: return "0";
        default: return "c" + QByteArray::number(c);
        }
    });
}

// Silicon's Ka1 and Ka2 (1739.98 eV) and Kb at rows 65, 66 and 70, and iron's
// Ka1 at row 100 with the energy given.
QByteArray lineFile(const QByteArray &ironKa1)
{
    return testsupport::lineFile([&](int r) -> QList<QByteArray> {
        if (r == 65 || r == 66)
            return {"Si", "1739.98", "14", r == 65 ? "ka1" : "ka2"};
        if (r == 70)
            return {"Si", "1836.0", "14", "kb"};
        if (r == 100)
            return {"Fe", ironKa1, "26", "ka1"};
        return {"", "", "", ""};
    });
}

} // namespace

class TestViewCaches : public QObject, private MainWindowFixture {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(makeScratchDir(Data::None));
        QVERIFY(dir->write("elements_br.inf", elementFile("A")));
        QVERIFY(dir->write("kl_lines.inf", lineFile("6403.84")));
        QVERIFY(loadWindow());
    }

    void cleanup()
    {
        stop();
        QLocale::setDefault(QLocale::c());
    }

    // A grid's stamp changes with every write and every load, and travels
    // with the cells: a stamp seen before always means the same cells.
    void gridStamps()
    {
        db::LineGrid a;
        a.set(1, 1, "x");
        const auto first = a.stamp();
        a.set(1, 1, "y");
        QVERIFY(a.stamp() != first);
        db::LineGrid b;
        b.set(2, 2, "z");
        const auto ofB = b.stamp();
        a.swap(b);
        QCOMPARE(a.stamp(), ofB);

        const auto loaded = db::LineTable.stamp();
        QVERIFY(db::LoadLineTable()); // the same file again
        QVERIFY(db::LineTable.stamp() != loaded);
    }

    // New element data, loaded or written into the grid, show at once, in
    // the panel and in the lookups of both search boxes.
    void elementTextsFollowTheTable()
    {
        w->ViewElement(26);
        QCOMPARE(w->PTLabel(3)->text(), QStringLiteral("Aname26"));

        QVERIFY(dir->write("elements_br.inf", elementFile("B")));
        QVERIFY(db::LoadElementTable("br"));
        w->ViewElement(26);
        QCOMPARE(w->PTLabel(2)->text(), QStringLiteral("B26"));
        QCOMPARE(w->ElementText3->text(), QStringLiteral("Bname26"));

        w->ElementText2->setText(QStringLiteral("b30"));
        QCOMPARE(w->ElementText1->text(), QStringLiteral("30"));
        QCOMPARE(w->PTLabel(3)->text(), QStringLiteral("Bname30"));
        w->ElementText2->setText(QStringLiteral("a31")); // the old edition's symbol
        QCOMPARE(w->PTLabel(3)->text(), QStringLiteral("Bname30"));

        db::ElementTable.set(31, 3, "Gall\xe9um");
        w->ViewElement(31);
        QCOMPARE(w->PTLabel(3)->text(), QStringLiteral("Galléum"));
        db::ElementTable.set(32, 1, "31"); // row 32 now reads as element 31 too
        w->ElementText1->setText(QStringLiteral("31"));
        QCOMPARE(w->ElementText3->text(), QStringLiteral("Galléum")); // then the view of row 31
        QCOMPARE(w->ElementText2->text(), QStringLiteral("B31"));
        w->ElementText1->setText(QStringLiteral("32")); // no row reads as 32; the view shows row 32
        QCOMPARE(w->PTLabel(3)->text(), QStringLiteral("Bname32"));
        QCOMPARE(w->ElementText1->text(), QStringLiteral("31"));
    }

    // The line grid follows a new line file, without anything being told.
    void linesFollowTheTable()
    {
        w->ViewElement(26);
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("6403.8"));
        QVERIFY(dir->write("kl_lines.inf", lineFile("7000")));
        QVERIFY(db::LoadLineTable());
        w->ViewElement(26);
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("7000.0"));
        QCOMPARE(w->PTLineKa1(2)->text(), QStringLiteral("5260.0"));
    }

    // The energies follow the default locale and the escape energy between
    // two displays of the same element.
    void energiesFollowLocaleAndEscapeEnergy()
    {
        w->ViewElement(26);
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("6403.8"));
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        w->ViewElement(26);
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("6403,8"));
        QCOMPARE(w->PTLineKa1(2)->text(), QStringLiteral("4663,9"));
        QLocale::setDefault(QLocale::c());
        w->SiEscapeEnergy = 1403.84;
        w->ViewElement(26);
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("6403.8"));
        QCOMPARE(w->PTLineKa1(2)->text(), QStringLiteral("5000.0"));
    }

    // An auto-size label takes the size of its caption in the font it has,
    // also when the font changes under an unchanged caption and back.
    void autoSizeFollowsTheFont()
    {
        Label *value = w->PTLabel(4);
        const int right = value->geometry().right();
        const QFont design = value->font();
        QFont large = design;
        large.setPointSizeF(14);
        for (const QString &caption : {QStringLiteral("55.845"), QStringLiteral("1.008")}) {
            value->setCaption(caption);
            const QSize small = value->size();
            QCOMPARE(small, value->sizeHint());
            value->setFont(large);
            QCOMPARE(value->size(), value->sizeHint());
            QVERIFY(value->width() > small.width());
            QCOMPARE(value->geometry().right(), right);
            value->setFont(design);
            QCOMPARE(value->size(), small);
            QCOMPARE(value->geometry().right(), right);
        }
    }

    // The energy and escape boxes leave their texts unshaped; every text
    // they show must look exactly as shaped text in the same font would.
    void unshapedFiguresLookTheSame()
    {
        QLineEdit *shown = w->PTLineKa1(1);
        QVERIFY(shown->font().styleStrategy() & QFont::PreferNoShaping);
        QStringList texts{QStringLiteral("-"), QStringLiteral("0.0"), QStringLiteral("-12.5")};
        for (int i = 0; i < 1200; ++i)
            texts << QString::number(i * 97.3, 'f', 1) << QString::number(i * 97.3, 'f', 1).replace(u'.', u',');

        TextBox plain;
        TextBox unshaped;
        for (TextBox *b : {&plain, &unshaped}) {
            b->setGeometry(shown->geometry());
            b->setAlignment(shown->alignment());
            b->setBackColor(QColor(Qt::white));
        }
        plain.setFont(fonts::DefaultFont());
        unshaped.setFont(shown->font());
        for (const QString &text : texts) {
            plain.setText(text);
            unshaped.setText(text);
            QVERIFY2(plain.grab().toImage() == unshaped.grab().toImage(), qPrintable(text));
        }
    }
};

QTEST_MAIN(TestViewCaches)
#include "tst_viewcaches.moc"
