// The shipped data files, read through the program's own loaders: both
// element editions, the line file and the read-me, copied into a scratch
// directory.

#include "data/db.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>
#include <set>
#include <utility>

namespace {

QByteArray cell(const std::string &text) { return QByteArray::fromStdString(text); }

QByteArray element(int z, int column) { return cell(db::ElementTable(z, column)); }
QByteArray line(int row, int column) { return cell(db::LineTable(row, column)); }
double energy(int row) { return db::NumericValue(db::LineTable(row, 2)); }

// The row of (Z, name) in the loaded line table, or 0.
int lineRow(int z, const char *name)
{
    const std::string zText = std::to_string(z);
    for (int row = 1; row <= db::LineRows; ++row)
        if (db::LineTable(row, 3) == zText && db::LineTable(row, 4) == name)
            return row;
    return 0;
}

} // namespace

class ShippedData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        scratch_ = std::make_unique<testsupport::ScratchDir>();
        QVERIFY(scratch_->copyShipped());
        QVERIFY(db::LoadLineTable());
    }
    void cleanupTestCase() { scratch_.reset(); }

    // Byte layout the loaders don't enforce: exactly N TAB-terminated fields,
    // CR LF everywhere, nothing undefined in Windows-1252.
    void fileLayout_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("fields");
        QTest::newRow("english") << "elements.inf" << db::ElementRows << db::ElementColumns;
        QTest::newRow("portuguese") << "elements_br.inf" << db::ElementRows << db::ElementColumns;
        QTest::newRow("lines") << "kl_lines.inf" << db::LineRows << db::LineColumns;
    }
    void fileLayout()
    {
        QFETCH(QString, file);
        QFETCH(int, records);
        QFETCH(int, fields);
        const QByteArray bytes = testsupport::readFile(scratch_->file(file));
        QVERIFY(bytes.endsWith("\t\r\n"));
        const QList<QByteArray> lines = bytes.chopped(1).split('\n');
        QCOMPARE(lines.size(), records + 1);
        for (const QByteArray &l : lines) {
            QVERIFY2(l.endsWith("\t\r"), l.constData());
            QCOMPARE(l.count('\t'), fields);
            QCOMPARE(l.count('\r'), 1);
            for (char c : {'\x81', '\x8d', '\x8f', '\x90', '\x9d', '\0'})
                QVERIFY2(!l.contains(c), l.constData());
        }
    }

    void editionLoads_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("antiquity");
        QTest::newRow("en") << "en" << QByteArray("ancient");
        QTest::newRow("br") << "br" << QByteArray("antiga");
    }
    void editionLoads()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, antiquity);
        QVERIFY(db::LoadElementTable(language.toStdString()));
        // Columns 4-9 are shown right-aligned in a narrow panel: short,
        // "." as decimal mark, "-" when unknown.
        static const QRegularExpression number(QStringLiteral("^-?\\d+(\\.\\d+)?(E-\\d+)?$"));
        for (int z = 1; z <= db::ElementRows; ++z) {
            QCOMPARE(element(z, 1), QByteArray::number(z));
            for (int column = 4; column <= 9; ++column) {
                const QByteArray text = element(z, column);
                QVERIFY2(text.size() <= 7, text.constData());
                if (text == "-" || (column == 9 && text == antiquity))
                    continue;
                QVERIFY2(number.match(QString::fromLatin1(text)).hasMatch(), text.constData());
            }
        }
        QCOMPARE(element(26, 9), antiquity);
    }

    void editionsAgree()
    {
        QVERIFY(db::LoadElementTable("en"));
        const db::ElementGrid english = db::ElementTable;
        QVERIFY(db::LoadElementTable("br"));
        for (int z = 1; z <= db::ElementRows; ++z) {
            for (int column = 1; column <= db::ElementColumns; ++column) {
                const QByteArray en = cell(english(z, column));
                const QByteArray br = element(z, column);
                if (column == 3)
                    QVERIFY2(en != br, en.constData());
                else if (column == 9 && en == "ancient")
                    QCOMPARE(br, QByteArray("antiga"));
                else
                    QCOMPARE(br, en);
            }
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("z");
        QTest::addColumn<QByteArray>("name"); // Windows-1252 bytes
        QTest::newRow("H br") << "br" << 1 << QByteArray("Hidrog\xeanio");
        QTest::newRow("Ne br") << "br" << 10 << QByteArray("Ne\xf4nio");
        QTest::newRow("Fe br") << "br" << 26 << QByteArray("Ferro");
        QTest::newRow("Mt br") << "br" << 109 << QByteArray("Meitn\xe9rio");
        QTest::newRow("Fe en") << "en" << 26 << QByteArray("Iron");
        QTest::newRow("Rf en") << "en" << 104 << QByteArray("Rutherfordium");
        QTest::newRow("Mt en") << "en" << 109 << QByteArray("Meitnerium");
    }
    void names()
    {
        QFETCH(QString, language);
        QFETCH(int, z);
        QFETCH(QByteArray, name);
        QVERIFY(db::LoadElementTable(language.toStdString()));
        QCOMPARE(element(z, 3), name);
    }

    void siliconRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<double>("expected");
        QTest::newRow("Ka1") << 65 << QByteArray("ka1") << 1740.0;
        QTest::newRow("Ka2") << 66 << QByteArray("ka2") << 1739.4;
        QTest::newRow("Kb") << 70 << QByteArray("kb") << 1836.0;
    }
    void siliconRows()
    {
        QFETCH(int, row);
        QFETCH(QByteArray, name);
        QFETCH(double, expected);
        QCOMPARE(line(row, 3), QByteArray("14"));
        QCOMPARE(line(row, 4), name);
        QVERIFY(qAbs(energy(row) - expected) <= 0.5);
    }

    void linesAreDistinctAndKnown()
    {
        static const std::set<std::string> known{"ka1", "ka2", "kb", "la1",
                                                 "la2", "lb1", "lb2", "lg1"};
        std::set<std::pair<std::string, std::string>> seen;
        for (int row = 1; row <= db::LineRows; ++row) {
            const std::string &z = db::LineTable(row, 3);
            const std::string &name = db::LineTable(row, 4);
            QVERIFY2(known.count(name), name.c_str());
            QVERIFY2(seen.insert({z, name}).second, (z + " " + name).c_str());
            const int number = int(db::NumericValue(z));
            QVERIFY(number >= 1 && number <= db::ElementRows);
            QCOMPARE(QByteArray::number(number), line(row, 3));
            QVERIFY(energy(row) > 0);
        }
    }

    // Ascending energy, apart from silicon's fixed rows.
    void linesAscendOutsideSiliconRows()
    {
        double previous = 0;
        for (int row = 1; row <= db::LineRows; ++row) {
            if (row == 65 || row == 66 || row == 70)
                continue;
            QVERIFY2(energy(row) >= previous, line(row, 1).constData());
            previous = energy(row);
        }
    }

    void coverage_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("ka1 B-Bi") << QByteArray("ka1") << 5 << 83;
        QTest::newRow("ka2 B-Bi") << QByteArray("ka2") << 5 << 83;
        QTest::newRow("kb Al-Bi") << QByteArray("kb") << 13 << 83;
        QTest::newRow("la1 Sc-Cf") << QByteArray("la1") << 21 << 98;
        QTest::newRow("la2 Sc-Cf") << QByteArray("la2") << 21 << 98;
        QTest::newRow("lb1 Sc-Cf") << QByteArray("lb1") << 21 << 98;
        QTest::newRow("lb2 Y-Cf") << QByteArray("lb2") << 39 << 98;
        QTest::newRow("lg1 Y-Cf") << QByteArray("lg1") << 39 << 98;
    }
    void coverage()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, first);
        QFETCH(int, last);
        for (int z = first; z <= last; ++z)
            QVERIFY2(lineRow(z, name.constData()) != 0, QByteArray::number(z).constData());
    }

    void knownEnergies_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<double>("expected");
        QTest::newRow("Fe Ka1") << 26 << QByteArray("ka1") << QByteArray("Fe Ka1") << 6403.8;
        QTest::newRow("Cu Ka1") << 29 << QByteArray("ka1") << QByteArray("Cu Ka1") << 8047.8;
        QTest::newRow("Pb La1") << 82 << QByteArray("la1") << QByteArray("Pb La1") << 10551.5;
    }
    void knownEnergies()
    {
        QFETCH(int, z);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, label);
        QFETCH(double, expected);
        const int row = lineRow(z, name.constData());
        QVERIFY(row != 0);
        QCOMPARE(line(row, 1), label);
        QVERIFY2(qAbs(energy(row) - expected) <= 0.5, line(row, 2).constData());
    }

    // The escape energy as the program computes it from the two tables.
    void siliconEscapeEnergy()
    {
        QVERIFY(db::LoadElementTable("en"));
        const double ratio = db::NumericValue(db::ElementTable(14, 16));
        QVERIFY(ratio >= 0.02 && ratio <= 0.05);
        const double wKa = 1 / (ratio + 1);
        const double wKb = 1 - wKa;
        const double eKa = (energy(65) + energy(66)) / 2;
        const double eKb = energy(70);
        const double escape = eKa * wKa + eKb * wKb;
        QVERIFY2(escape >= 1739 && escape <= 1745, QByteArray::number(escape).constData());
    }

    void readmeIsBilingualWindows1252()
    {
        const QByteArray bytes = testsupport::readFile(scratch_->file("readme.txt"));
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QVERIFY(bytes.contains("\"English Version\""));
        QVERIFY(bytes.contains("\"Vers\xe3o em Portugu\xeas\""));
    }

private:
    std::unique_ptr<testsupport::ScratchDir> scratch_;
};

QTEST_GUILESS_MAIN(ShippedData)
#include "tst_db_shippeddata.moc"
