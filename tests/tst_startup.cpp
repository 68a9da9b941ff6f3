// Start-up of the main window: loading, the two failure messages, the
// silicon escape energy and its rendering, and where the data are found.
#include "app/datadir.h"
#include "data/db.h"
#include "mainwindow/energyformat.h"
#include "mainwindow/form1.h"
#include "mainwindow/siescape.h"
#include "testsupport.h"
#include "uicommon/errorreport.h"

#include <QtTest>

#include <QLineEdit>

#include <cmath>
#include <limits>

using testsupport::ScratchDir;

namespace {

// The symbol of row Z in the synthetic element file: "Q<Z>", but row 26
// holds "F" and the Windows-1252 byte for "é".
QByteArray symbolBytes(int Z) { return Z == 26 ? QByteArray("F\xe9") : "Q" + QByteArray::number(Z); }
QString symbolText(int Z) { return Z == 26 ? QStringLiteral("Fé") : QStringLiteral("Q%1").arg(Z); }

// Header and `rows` element lines of 18 TAB-terminated fields; silicon's
// ratio in column 16 of row 14. `brokenRow` loses its last TAB.
QByteArray elementFile(const QByteArray &ratio = "0.03", int rows = 109, int brokenRow = 0)
{
    const auto field = [&](int Z, int c) -> QByteArray {
        switch (c) {
        case 1: return QByteArray::number(Z);
        case 2: return symbolBytes(Z);
        case 3: return "name" + QByteArray::number(Z);
        case 16: return Z == 14 ? ratio : QByteArray("0.1");
        default: return "c" + QByteArray::number(c);
        }
    };
    return testsupport::elementFile(field, rows, [&](int Z, QByteArray &line) {
        if (Z == brokenRow)
            line.replace("c18\t", "c18");
    });
}

// Header and `rows` line records of 4 TAB-terminated fields; silicon's Ka1,
// Ka2 and Kb (1740.0, 1739.4 and 1836.0 eV) at rows 65, 66 and 70, every
// other row 1000 eV and more. `brokenRow` has only three fields.
QByteArray lineFile(int rows = 588, int brokenRow = 0)
{
    return testsupport::lineFile(
        [&](int r) {
            const QByteArray energy = r == 65 ? "1740.0" : r == 66 ? "1739.4" : r == 70 ? "1836.0" : QByteArray::number(1000 + r);
            QList<QByteArray> fields{"row" + QByteArray::number(r), energy, QByteArray::number(r % 100 + 1), "ka1"};
            if (r == brokenRow)
                fields.removeLast();
            return fields;
        },
        rows);
}

const QString elementMessage = QStringLiteral("Error:  elements_br.inf info file access denied!");
const QString lineMessage = QStringLiteral("Error: kl_lines.inf info file access denied");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    QList<QPair<QString, QString>> reports;
    ErrorReporter previousReporter;

private slots:
    void init()
    {
        reports.clear();
        previousReporter = SetErrorReporter([this](const QString &title, const QString &text) {
            reports.append({title, text});
        });
    }
    void cleanup()
    {
        SetErrorReporter(previousReporter);
        QLocale::setDefault(QLocale::c());
    }

    void loadsAndFillsTheWindow()
    {
        ScratchDir dir;
        QVERIFY(dir.write("elements_br.inf", elementFile()));
        QVERIFY(dir.write("kl_lines.inf", lineFile()));
        Form1 w;
        QVERIFY(w.Form1_Load());
        QVERIFY(reports.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.windowTitle(), QStringLiteral("Zandor v4"));
        for (int Z = 1; Z <= 109; ++Z)
            QCOMPARE(w.ElementSelectionLabel(Z)->text(), symbolText(Z));
        QCOMPARE(w.PTLineSiScapeText(1)->text(), QStringLiteral("1742.5"));
        // Nothing else changes before the first element is shown.
        QCOMPARE(w.PTLabel(2)->text(), QStringLiteral("He"));
        QCOMPARE(w.PTLineKa1(1)->text(), QString());
        QCOMPARE(w.ElementText1->text(), QString());
        QCOMPARE(w.PTLineSiScapeText(2)->text(), QStringLiteral("-"));
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QByteArray>("portuguese"); // empty: no such file
        QTest::addColumn<QByteArray>("english");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("message");
        const QByteArray elements = elementFile();
        const QByteArray lines = lineFile();
        QTest::newRow("no element file") << QByteArray() << QByteArray() << lines << elementMessage;
        QTest::newRow("only the English edition") << QByteArray() << elements << lines << elementMessage;
        QTest::newRow("element file short") << elementFile("0.03", 108) << elements << lines << elementMessage;
        QTest::newRow("element line without its 18th TAB")
            << elementFile("0.03", 109, 50) << elements << lines << elementMessage;
        QTest::newRow("no file at all") << QByteArray() << QByteArray() << QByteArray() << elementMessage;
        QTest::newRow("no line file") << elements << elements << QByteArray() << lineMessage;
        QTest::newRow("line file short") << elements << QByteArray() << lineFile(587) << lineMessage;
        QTest::newRow("line record with three fields") << elements << QByteArray() << lineFile(588, 300) << lineMessage;
    }

    void failuresAreReported()
    {
        QFETCH(QByteArray, portuguese);
        QFETCH(QByteArray, english);
        QFETCH(QByteArray, lines);
        QFETCH(QString, message);
        ScratchDir dir;
        if (!portuguese.isEmpty())
            QVERIFY(dir.write("elements_br.inf", portuguese));
        if (!english.isEmpty())
            QVERIFY(dir.write("elements.inf", english));
        if (!lines.isEmpty())
            QVERIFY(dir.write("kl_lines.inf", lines));

        Form1 w;
        QVERIFY(!w.Form1_Load());
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports[0].first, QStringLiteral("PTError"));
        QCOMPARE(reports[0].second, message);
        QVERIFY(!w.isVisible());
        // Nothing after the failed step ran.
        QCOMPARE(w.windowTitle(), QStringLiteral("Tabela periódica dos elementos"));
        QCOMPARE(w.ElementSelectionLabel(1)->text(), QStringLiteral("H"));
        QCOMPARE(w.PTLineSiScapeText(1)->text(), QString());
        QCOMPARE(w.SiEscapeEnergy, 0.0);
    }

    // Through the whole start-up: silicon's ratio from column 16 of element
    // row 14, its lines from rows 65, 66 and 70 of the line file. A ratio with
    // no meaning (negative, or not a number) counts as 0: K-alpha lines only.
    void siliconEscapeEnergy_data()
    {
        QTest::addColumn<QByteArray>("ratio");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("energy");
        QTest::addColumn<QString>("shown"); // empty: not compared
        QTest::newRow("worked example") << QByteArray("0.03") << "C" << 1742.5048543689320 << "1742.5";
        QTest::newRow("worked example, comma locale") << QByteArray("0.03") << "pt_BR" << 1742.5048543689320 << "1742,5";
        QTest::newRow("ratio with blanks") << QByteArray(" 0.03 ") << "C" << 1742.5048543689320 << "1742.5";
        QTest::newRow("ratio 0: mean of K-alpha") << QByteArray("0") << "C" << 1739.7 << "1739.7";
        QTest::newRow("ratio 1: halfway to K-beta") << QByteArray("1") << "C" << 1787.85 << "";
        for (const char *meaningless : {"-1", "-5", "-0.5", "nan", "inf", "-", "", "1e999"})
            QTest::newRow(qPrintable(QStringLiteral("ratio '%1'").arg(QLatin1String(meaningless))))
                << QByteArray(meaningless) << "C" << 1739.7 << "1739.7";
    }

    void siliconEscapeEnergy()
    {
        QFETCH(QByteArray, ratio);
        QFETCH(QString, locale);
        QFETCH(double, energy);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        ScratchDir dir;
        QVERIFY(dir.write("elements_br.inf", elementFile(ratio)));
        QVERIFY(dir.write("kl_lines.inf", lineFile()));
        Form1 w;
        QVERIFY(w.Form1_Load());
        QVERIFY2(qFuzzyCompare(w.SiEscapeEnergy, energy), qPrintable(QString::number(w.SiEscapeEnergy, 'g', 17)));
        if (!shown.isEmpty())
            QCOMPARE(w.PTLineSiScapeText(1)->text(), shown);
    }

    // Ratios that no file can give (NumericValue never returns them).
    void escapeEnergyFromRatio_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("energy");
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 1739.7;
        QTest::newRow("+inf") << std::numeric_limits<double>::infinity() << 1739.7;
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << 1739.7;
    }

    void escapeEnergyFromRatio()
    {
        QFETCH(double, ratio);
        QFETCH(double, energy);
        const double e = ComputeSiEscapeEnergy(ratio, 1740.0, 1739.4, 1836.0);
        QVERIFY(std::isfinite(e));
        QVERIFY2(qFuzzyCompare(e, energy), qPrintable(QString::number(e, 'g', 17)));
    }

    void formatEnergy_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("eV");
        QTest::addColumn<QString>("shown");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("below one") << "C" << 0.96 << "1.0";
        QTest::newRow("rounds down") << "C" << 6403.84 << "6403.8";
        QTest::newRow("no grouping") << "C" << 1234567.89 << "1234567.9";
        QTest::newRow("negative") << "C" << -272.0 << "-272.0";
        QTest::newRow("small negative") << "C" << -0.06 << "-0.1";
        QTest::newRow("negative rounding to zero") << "C" << -0.04 << "0.0";
        QTest::newRow("minus zero") << "C" << -0.0 << "0.0";
        QTest::newRow("NaN") << "C" << std::numeric_limits<double>::quiet_NaN() << "0.0";
        QTest::newRow("+inf") << "C" << inf << "0.0";
        QTest::newRow("comma locale, no grouping") << "pt_BR" << 1234567.89 << "1234567,9";
        QTest::newRow("comma locale, negative zero") << "pt_BR" << -0.04 << "0,0";
        QTest::newRow("grouping locale") << "en_US" << 12345.67 << "12345.7";
        QTest::newRow("grouping comma locale") << "de_DE" << 12345.67 << "12345,7";
    }

    void formatEnergy()
    {
        QFETCH(QString, locale);
        QFETCH(double, eV);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatEnergy(eV), shown);
    }

    // The working directory is kept when it holds any data file; otherwise the
    // first installed data directory that exists is used.
    void dataDirectory_data()
    {
        QTest::addColumn<QStringList>("files");    // in the working directory
        QTest::addColumn<QStringList>("existing"); // which candidates exist
        QTest::addColumn<QString>("chosen");       // "", "beside" or "absolute"
        const QStringList both{"beside", "absolute"};
        QTest::newRow("empty: beside the program") << QStringList() << both << "beside";
        QTest::newRow("empty: absolute") << QStringList() << QStringList{"absolute"} << "absolute";
        QTest::newRow("empty: none installed") << QStringList() << QStringList() << "";
        QTest::newRow("English element file") << QStringList{"elements.inf"} << both << "";
        QTest::newRow("Portuguese element file") << QStringList{"elements_br.inf"} << both << "";
        QTest::newRow("line file") << QStringList{"kl_lines.inf"} << both << "";
        QTest::newRow("read-me alone") << QStringList{"readme.txt"} << both << "beside";
        QTest::newRow("other files") << QStringList{"elements.txt", "Kl_Lines.inf.bak"} << QStringList{"absolute"}
                                     << "absolute";
    }

    void dataDirectory()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, existing);
        QFETCH(QString, chosen);
        QTemporaryDir root;
        QDir dir(root.path());
        QVERIFY(dir.mkdir("cwd"));
        for (const QString &f : files)
            QVERIFY(testsupport::writeFile(dir.filePath("cwd/" + f), "x"));
        for (const QString &e : existing)
            QVERIFY(dir.mkdir(e));
        const QString result =
            ChooseDataDirectory(dir.filePath("cwd"), {dir.filePath("beside"), dir.filePath("absolute")});
        QCOMPARE(result, chosen.isEmpty() ? QString() : dir.filePath(chosen));
    }

    // ZANDOR_DATA_DIR, when set, is tried before the installed directories.
    void dataDirectoryFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("set") << QByteArray("/somewhere/share");
    }

    void dataDirectoryFromEnvironment()
    {
        QFETCH(QByteArray, value);
        const QByteArray previous = qgetenv("ZANDOR_DATA_DIR");
        const bool wasSet = qEnvironmentVariableIsSet("ZANDOR_DATA_DIR");
        if (value.isNull())
            qunsetenv("ZANDOR_DATA_DIR");
        else
            qputenv("ZANDOR_DATA_DIR", value);
        const QStringList candidates = DataDirectoryCandidates();
        wasSet ? qputenv("ZANDOR_DATA_DIR", previous) : qunsetenv("ZANDOR_DATA_DIR");
        const QStringList installed = InstalledDataDirectories();
        QCOMPARE(candidates, value.isEmpty() ? installed : QStringList{QString::fromLocal8Bit(value)} + installed);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
