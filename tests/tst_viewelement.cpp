// The element detail view: which line rows belong to an element, what each
// line box shows, the escape energies, and what the panel and the boxes show.
#include "data/db.h"
#include "mainwindow/energyformat.h"
#include "mainwindow/form1.h"
#include "testsupport.h"

#include <QtTest>

#include <QLineEdit>

#include <QRandomGenerator>

#include <algorithm>
#include <climits>

using testsupport::ScratchDir;

namespace {

// Element Z: number Z, symbol "E<Z>", name "name<Z>", columns 4 to 18
// "c<column>-<Z>"; silicon's ratio (column 16 of row 14) is 0. Row 26 has a
// Windows-1252 name and configuration.
QByteArray elementFile()
{
    return testsupport::elementFile([](int Z, int c) -> QByteArray {
        const QByteArray z = QByteArray::number(Z);
        switch (c) {
        case 1: return z;
        case 2: return "E" + z;
        case 3: return Z == 26 ? QByteArray("F\xe9rro") : "name" + z;
        case 10:
            if (Z == 26)
                return "[Ar] 3d\xb2";
            break;
        case 16:
            if (Z == 14)
                return "0";
            break;
        }
        return "c" + QByteArray::number(c) + "-" + z;
    });
}

struct LineRow {
    int row;
    QByteArray energy, z, name;
};

// Silicon's Ka1 and Ka2 at rows 65 and 66, both 1739.98 eV, and its Kb at
// row 70: with silicon's ratio 0 the escape energy is exactly 1739.98. Every
// other row is empty unless `rows` fills it.
QByteArray lineFile(const QList<LineRow> &rows)
{
    QList<QList<QByteArray>> grid(588, QList<QByteArray>{"", "", "", ""});
    grid[64] = {"Si Ka1", "1739.98", "14", "ka1"};
    grid[65] = {"Si Ka2", "1739.98", "14", "ka2"};
    grid[69] = {"Si Kb", "1836.0", "14", "kb"};
    for (const LineRow &r : rows)
        grid[r.row - 1] = {"x", r.energy, r.z, r.name};
    return testsupport::lineFile([&](int r) { return grid[r - 1]; });
}

const char *const lineNames[] = {"ka1", "ka2", "kb", "la1", "la2", "lb1", "lb2", "lg1"};

QList<QLineEdit *> lineBoxes(const Form1 &w, int index)
{
    return {w.PTLineKa1(index), w.PTLineKa2(index), w.PTLineKb(index), w.PTLineLa1(index),
            w.PTLineLa2(index), w.PTLineLb1(index), w.PTLineLb2(index), w.PTLineLg1(index)};
}

// The line grid as "ka1 6403.8 4663.9 | ka2 - - | ...".
QString shownLines(const Form1 &w)
{
    const QList<QLineEdit *> energy = lineBoxes(w, 1);
    const QList<QLineEdit *> escape = lineBoxes(w, 2);
    QStringList parts;
    for (int i = 0; i < 8; ++i)
        parts << QStringLiteral("%1 %2 %3").arg(QLatin1String(lineNames[i]), energy[i]->text(), escape[i]->text());
    return parts.join(QStringLiteral(" | "));
}

// The same for the lines given (name, energy, escape); all others "- -".
QString lines(const QList<std::array<const char *, 3>> &shown = {})
{
    QStringList parts;
    for (const char *name : lineNames) {
        QString part = QStringLiteral("%1 - -").arg(QLatin1String(name));
        for (const auto &s : shown)
            if (qstrcmp(s[0], name) == 0)
                part = QStringLiteral("%1 %2 %3").arg(QLatin1String(name), QString::fromUtf8(s[1]),
                                                      QString::fromUtf8(s[2]));
        parts << part;
    }
    return parts.join(QStringLiteral(" | "));
}

// Everything the view writes, for comparing two displays.
QStringList display(const Form1 &w)
{
    QStringList all;
    for (int i = 1; i <= 10; ++i)
        all << w.PTLabel(i)->text();
    all << w.ElementText1->text() << w.ElementText2->text() << w.ElementText3->text() << shownLines(w);
    return all;
}

// The line grid for element Z straight from the rows of LineTable, in order.
QString passOverAllRows(double siEscapeEnergy, int Z)
{
    const double N = db::NumericValue(db::ElementTable(Z, 1));
    QStringList energy(8, QStringLiteral("-"));
    QStringList escape(8, QStringLiteral("-"));
    for (int r = 1; r <= 588; ++r) {
        if (db::NumericValue(db::LineTable(r, 3)) != N)
            continue;
        const QByteArray name = QByteArray::fromStdString(db::LineTable(r, 4)).toLower();
        const auto line = std::find(std::begin(lineNames), std::end(lineNames), name);
        if (line == std::end(lineNames))
            continue;
        const double E = db::NumericValue(db::LineTable(r, 2));
        const auto i = line - std::begin(lineNames);
        energy[i] = FormatEnergy(E);
        if (E > siEscapeEnergy && N > 14)
            escape[i] = FormatEnergy(E - siEscapeEnergy);
    }
    QStringList parts;
    for (int i = 0; i < 8; ++i)
        parts << QStringLiteral("%1 %2 %3").arg(QLatin1String(lineNames[i]), energy[i], escape[i]);
    return parts.join(QStringLiteral(" | "));
}

std::unique_ptr<Form1> start(const ScratchDir &dir, const QList<LineRow> &rows)
{
    if (!dir.write("elements_br.inf", elementFile()) || !dir.write("kl_lines.inf", lineFile(rows)))
        return nullptr;
    auto w = std::make_unique<Form1>();
    if (!w->Form1_Load())
        return nullptr;
    return w;
}

} // namespace

class TestViewElement : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void lineBoxes_data()
    {
        QTest::addColumn<QList<LineRow>>("rows");
        QTest::addColumn<int>("Z");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");

        auto add = [](const char *name, const QList<LineRow> &rows, int Z, const QString &shown,
                      const char *locale = "C") { QTest::newRow(name) << rows << Z << QString::fromLatin1(locale) << shown; };

        // 6403.84 - 1739.98 = 4663.86
        add("Fe Ka1 and its escape", {{100, "6403.84", "26", "ka1"}}, 26, lines({{"ka1", "6403.8", "4663.9"}}));
        add("comma locale", {{100, "6403.84", "26", "ka1"}}, 26, lines({{"ka1", "6403,8", "4663,9"}}), "pt_BR");
        add("energy equal to the escape energy", {{100, "1739.98", "26", "ka1"}}, 26,
            lines({{"ka1", "1740.0", "-"}}));
        add("0.04 eV above it", {{100, "1740.02", "26", "ka1"}}, 26, lines({{"ka1", "1740.0", "0.0"}}));

        // Each name goes to its own row of the grid.
        add("all eight lines",
            {{100, "98434.1", "92", "ka1"}, {101, "94654.2", "92", "ka2"}, {102, "111298.3", "92", "kb"},
             {103, "13614.7", "92", "la1"}, {104, "13438.8", "92", "la2"}, {105, "17220.9", "92", "lb1"},
             {106, "16428.4", "92", "lb2"}, {107, "20167.5", "92", "lg1"}},
            92,
            lines({{"ka1", "98434.1", "96694.1"}, {"ka2", "94654.2", "92914.2"}, {"kb", "111298.3", "109558.3"},
                   {"la1", "13614.7", "11874.7"}, {"la2", "13438.8", "11698.8"}, {"lb1", "17220.9", "15480.9"},
                   {"lb2", "16428.4", "14688.4"}, {"lg1", "20167.5", "18427.5"}}));

        for (const char *name : {"KA1", "Ka1", "kA1"})
            add(qPrintable(QStringLiteral("name %1").arg(QLatin1String(name))), {{100, "5000", "26", name}}, 26,
                lines({{"ka1", "5000.0", "3260.0"}}));
        for (const char *name : {" ka1", "ka1 ", "ma1", "ka", ""})
            add(qPrintable(QStringLiteral("name '%1' ignored").arg(QLatin1String(name))),
                {{100, "5000", "26", name}}, 26, lines());

        for (const char *z : {"26.0", " 26", "026", "2.6E1"})
            add(qPrintable(QStringLiteral("number '%1'").arg(QLatin1String(z))), {{100, "5000", z, "ka1"}}, 26,
                lines({{"ka1", "5000.0", "3260.0"}}));
        for (const char *z : {"26.5", "27", ""})
            add(qPrintable(QStringLiteral("number '%1' is another element").arg(QLatin1String(z))),
                {{100, "5000", z, "ka1"}}, 26, lines());

        add("energy with a unit", {{100, "6403.84 eV", "26", "ka1"}}, 26, lines({{"ka1", "6403.8", "4663.9"}}));
        add("energy empty", {{100, "", "26", "ka1"}}, 26, lines({{"ka1", "0.0", "-"}}));
        add("energy not a number", {{100, "-", "26", "ka1"}}, 26, lines({{"ka1", "0.0", "-"}}));

        // Several rows for one line: the energy of the last; the escape of the
        // last that has one.
        add("two rows, both above", {{100, "5000", "26", "ka1"}, {101, "6000", "26", "ka1"}}, 26,
            lines({{"ka1", "6000.0", "4260.0"}}));
        add("two rows, the later below", {{100, "5000", "26", "ka1"}, {101, "1000", "26", "ka1"}}, 26,
            lines({{"ka1", "1000.0", "3260.0"}}));
        add("two rows, the earlier below", {{100, "1000", "26", "ka1"}, {101, "5000", "26", "ka1"}}, 26,
            lines({{"ka1", "5000.0", "3260.0"}}));
        add("two rows, both below", {{100, "1000", "26", "ka1"}, {101, "900", "26", "ka1"}}, 26,
            lines({{"ka1", "900.0", "-"}}));
        add("first and last row of the file", {{588, "5000", "26", "KA1"}, {1, "6000", "26", "ka1"}}, 26,
            lines({{"ka1", "5000.0", "3260.0"}}));
        // Rows of many elements interleaved: still the file order within one.
        QList<LineRow> interleaved;
        for (int i = 0; i < 300; ++i)
            interleaved.append({100 + i, QByteArray::number(9000 - i), QByteArray::number(20 + i % 11), "kb"});
        add("many rows, interleaved", interleaved, 26, lines({{"kb", "8708.0", "6968.0"}}));

        // Escape energies only for elements heavier than silicon.
        add("element 13", {{100, "5000", "13", "ka1"}}, 13, lines({{"ka1", "5000.0", "-"}}));
        add("silicon itself", {}, 14, lines({{"ka1", "1740.0", "-"}, {"ka2", "1740.0", "-"}, {"kb", "1836.0", "-"}}));
        add("element 15", {{100, "5000", "15", "ka1"}}, 15, lines({{"ka1", "5000.0", "3260.0"}}));

        add("an element without lines", {{100, "5000", "25", "ka1"}, {101, "5000", "27", "ka1"}}, 26, lines());
    }

    void lineBoxes()
    {
        QFETCH(QList<LineRow>, rows);
        QFETCH(int, Z);
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        ScratchDir dir;
        const auto w = start(dir, rows);
        QVERIFY(w);
        QCOMPARE(w->SiEscapeEnergy, 1739.98);
        w->ViewElement(Z);
        QCOMPARE(shownLines(*w), shown);
    }

    // Columns 1 to 10 of the row, decoded from Windows-1252, go into the
    // panel; columns 1 to 3 into the boxes.
    void panelAndBoxes()
    {
        ScratchDir dir;
        const auto w = start(dir, {});
        QVERIFY(w);
        w->ViewElement(26);
        QCOMPARE(w->PTLabel(1)->text(), QStringLiteral("26"));
        QCOMPARE(w->PTLabel(2)->text(), QStringLiteral("E26"));
        QCOMPARE(w->PTLabel(3)->text(), QStringLiteral("Férro"));
        for (int i = 4; i <= 9; ++i)
            QCOMPARE(w->PTLabel(i)->text(), QStringLiteral("c%1-26").arg(i));
        QCOMPARE(w->PTLabel(10)->text(), QStringLiteral("[Ar] 3d²"));
        QCOMPARE(w->ElementText1->text(), QStringLiteral("26"));
        QCOMPARE(w->ElementText2->text(), QStringLiteral("E26"));
        QCOMPARE(w->ElementText3->text(), QStringLiteral("Férro"));
        // The silicon row and the line names stay.
        QCOMPARE(w->PTLineSiScapeText(1)->text(), QStringLiteral("1740.0"));
        QCOMPARE(w->PTLineSiScapeText(2)->text(), QStringLiteral("-"));
        QCOMPARE(w->PTLineKa1(0)->text(), QStringLiteral("Ka1"));
        // Auto-size labels follow their new captions.
        QCOMPARE(w->PTLabel(4)->width(), w->PTLabel(4)->sizeHint().width());
    }

    void nothingOfTheFormerElementStays()
    {
        ScratchDir dir;
        QList<LineRow> rows;
        for (int i = 0; i < 8; ++i)
            rows.append({100 + i, QByteArray::number(5000 + i), "92", lineNames[i]});
        const auto w = start(dir, rows);
        QVERIFY(w);
        w->ViewElement(92);
        QVERIFY(!shownLines(*w).contains(QLatin1String(" -")));
        w->ViewElement(50);
        QCOMPARE(shownLines(*w), lines());
        QCOMPARE(w->PTLabel(1)->text(), QStringLiteral("50"));
        QCOMPARE(w->ElementText2->text(), QStringLiteral("E50"));
    }

    void sameElementTwice()
    {
        ScratchDir dir;
        const auto w = start(dir, {{100, "6403.84", "26", "ka1"}, {101, "6390.8", "26", "ka2"}});
        QVERIFY(w);
        w->ViewElement(26);
        const QStringList first = display(*w);
        w->ViewElement(26);
        QCOMPARE(display(*w), first);
        w->ViewElement(92);
        w->ViewElement(26);
        QCOMPARE(display(*w), first);
    }

    void numbersOutsideTheTableShowNothing_data()
    {
        QTest::addColumn<int>("Z");
        for (int Z : {0, 110, -1, 32767, INT_MIN, INT_MAX})
            QTest::addRow("%d", Z) << Z;
    }

    void numbersOutsideTheTableShowNothing()
    {
        QFETCH(int, Z);
        ScratchDir dir;
        const auto w = start(dir, {{100, "5000", "0", "ka1"}, {101, "5000", "110", "ka1"}, {102, "5000", "-1", "ka1"}});
        QVERIFY(w);
        const QStringList before = display(*w); // the window's sample texts
        w->ViewElement(Z);
        QCOMPARE(display(*w), before);
        w->ViewElement(26);
        const QStringList shown = display(*w);
        w->ViewElement(Z);
        QCOMPARE(display(*w), shown);
    }

    // Whatever the line file holds, the view shows what a plain pass over all
    // its rows in file order gives. Random files from pools of awkward fields.
    void sameAsAPassOverAllRows()
    {
        const QList<QByteArray> numbers{"26", "26.0", " 26", "2.6E1", "+26", "13", "14", "15",
                                        "92", "92.5", "0", "-0", "", "x", "1e999", "109"};
        const QList<QByteArray> names{"ka1", "KA1", "Ka2", "kb", "KB", "la1", "La2", "lb1",
                                      "LB2", "lg1", " ka1", "kb ", "ma1", "", "lg"};
        const QList<QByteArray> energies{"6403.84", "1739.98", "1740.02", "0", "", "-5", "100000.05",
                                         "1e3", "7000 eV", "12,5", "0.05", "0.15", "1839.9"};
        QRandomGenerator random(1234);
        auto pick = [&random](const QList<QByteArray> &pool) { return pool[random.bounded(int(pool.size()))]; };

        ScratchDir dir;
        QVERIFY(dir.write("elements_br.inf", elementFile()));
        Form1 w;
        for (int file = 0; file < 20; ++file) {
            QList<LineRow> rows;
            for (int r = 1; r <= 588; ++r)
                rows.append({r, pick(energies), pick(numbers), pick(names)});
            QVERIFY(dir.write("kl_lines.inf", lineFile(rows)));
            QVERIFY(w.Form1_Load());
            for (int Z : {1, 13, 14, 15, 26, 92, 109}) {
                w.ViewElement(Z);
                QCOMPARE(shownLines(w), passOverAllRows(w.SiEscapeEnergy, Z));
            }
        }
    }

    // The lines are found again after the line file is loaded anew.
    void followsANewLineFile()
    {
        {
            ScratchDir dir;
            const auto w = start(dir, {{100, "5000", "26", "ka1"}});
            QVERIFY(w);
            w->ViewElement(26);
            QCOMPARE(shownLines(*w), lines({{"ka1", "5000.0", "3260.0"}}));
        }
        ScratchDir dir;
        const auto w = start(dir, {{200, "6000", "26", "kb"}});
        QVERIFY(w);
        w->ViewElement(26);
        QCOMPARE(shownLines(*w), lines({{"kb", "6000.0", "4260.0"}}));
    }
};

QTEST_MAIN(TestViewElement)
#include "tst_viewelement.moc"
