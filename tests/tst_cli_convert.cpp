// zandor convert: to EMSA/MSA and CSV, the output's name, and the statuses
// when the input cannot be read or the output cannot be written.
#include "clirun.h"

#include "spectrum/read.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using Args = std::vector<std::string>;

class TestCliConvert : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void toEmsa_data();
    void toEmsa();
    void toCsv();
    void failures_data();
    void failures();
    void program();

private:
    QTemporaryDir dir_;
    std::string path(const QString &name) const { return dir_.filePath(name).toStdString(); }
};

namespace {

using clirun::Run;
using clirun::run;

const QByteArray Spx = "<?xml version=\"1.0\" encoding=\"WINDOWS-1252\"?>\r\n<TRTSpectrum>"
                       "<ClassInstance Type=\"TRTSpectrum\" Name=\"Caf\xE9\">"
                       "<ClassInstance Type=\"TRTSpectrumHeader\"><ChannelCount>4</ChannelCount>"
                       "<CalibAbs>-0.1</CalibAbs><CalibLin>0.01</CalibLin></ClassInstance>"
                       "<TRTHeaderedClass><ClassInstance Type=\"TRTSpectrumHardwareHeader\">"
                       "<RealTime>2000</RealTime><LifeTime>1500</LifeTime></ClassInstance></TRTHeaderedClass>"
                       "<Channels>7,8,9,10</Channels></ClassInstance></TRTSpectrum>\r\n";

} // namespace

void TestCliConvert::initTestCase()
{
    QVERIFY(dir_.isValid());
    for (const auto &[name, bytes] : {std::pair<const char *, QByteArray>{"in.spx", Spx},
                                      {"in.txt", "5\n6\n7\n"},
                                      {"short.msa", "#FORMAT : EMSA/MAS Spectral Data File\n#NPOINTS : 9\n#DATATYPE : Y\n"
                                                    "#XPERCHAN : 10\n#OFFSET : 0\n#SPECTRUM :\n1,2\n#ENDOFDATA :\n"}}) {
        QFile file(dir_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

void TestCliConvert::toEmsa_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("calibrated");
    QTest::newRow("spx to .msa") << "in.spx" << "out.msa" << true;
    QTest::newRow("spx to .EMSA") << "in.spx" << "out.EMSA" << true;
    QTest::newRow("counts to .msa") << "in.txt" << "counts.msa" << false;
}

void TestCliConvert::toEmsa()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, calibrated);
    const auto original = spectrum::readFile(path(input));
    QVERIFY(original);
    const Run r = run({"convert", path(input), path(output)});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, std::string());
    QCOMPARE(r.out, "wrote " + path(output) + " (EMSA/MSA, " + std::to_string(original->channels()) + " channels" +
                        (calibrated ? "" : ", uncalibrated") + ")\n");
    const auto back = spectrum::readFile(path(output));
    QVERIFY(back);
    QCOMPARE(back->format, spectrum::Format::Emsa);
    QVERIFY(back->counts == original->counts);
    QCOMPARE(back->calibration, original->calibration);
    QCOMPARE(back->meta.title, original->meta.title);
    QCOMPARE(back->meta.liveTime_s, original->meta.liveTime_s);
    QVERIFY(back->warnings.empty());
}

void TestCliConvert::toCsv()
{
    const Run r = run({"convert", path("in.spx"), path("out.csv")});
    QCOMPARE(r.status, 0);
    QFile file(dir_.filePath("out.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("energy_keV,counts\n-0.1,7\n-0.09,8\n-0.08,9\n-0.07,10\n"));

    // The reader's warnings go to stderr; the conversion still happens.
    const Run warned = run({"convert", path("short.msa"), path("short.csv")});
    QCOMPARE(warned.status, 0);
    QCOMPARE(warned.err, "zandor convert: '" + path("short.msa") +
                             "': warning: #NPOINTS is 9 but the data hold 2 channels; all are kept\n");
}

void TestCliConvert::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    const QString in = dir_.filePath("in.txt");
    QTest::newRow("unknown output type") << QStringList{"convert", in, dir_.filePath("out.txt")} << 2
                                         << "zandor convert: the output file must end in .msa or .emsa (EMSA/MSA) "
                                            "or .csv, not '" + dir_.filePath("out.txt") + "'\n";
    QTest::newRow("one file only") << QStringList{"convert", in} << 2
                                   << "zandor convert: needs an input and an output file\n";
    QTest::newRow("three files") << QStringList{"convert", in, "a.csv", "b.csv"} << 2
                                 << "zandor convert: unexpected argument 'b.csv'\n";
    QTest::newRow("input missing") << QStringList{"convert", dir_.filePath("none.spx"), dir_.filePath("x.csv")} << 1
                                   << "zandor convert: '" + dir_.filePath("none.spx") + "': no such file or directory\n";
    QTest::newRow("input unreadable") << QStringList{"convert", dir_.path(), dir_.filePath("x.csv")} << 1
                                      << "zandor convert: '" + dir_.path() + "': a directory, not a spectrum file\n";
    QTest::newRow("output not writable") << QStringList{"convert", in, dir_.filePath("no/dir/x.msa")} << 1
                                         << "zandor convert: cannot write '" + dir_.filePath("no/dir/x.msa") +
                                                "': cannot create a file in " + dir_.filePath("no/dir") +
                                                ": no such file or directory\n";
}

void TestCliConvert::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, err);
    const Run r = run(args);
    QCOMPARE(r.status, status);
    QCOMPARE(QString::fromStdString(r.err), err);
    QCOMPARE(r.out, std::string());
    QVERIFY(!QFile::exists(dir_.filePath("x.csv")));
}

void TestCliConvert::program()
{
    QProcess p;
    p.start(ZANDOR_PROGRAM, {"convert", dir_.filePath("in.spx"), dir_.filePath("p.msa")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFile::exists(dir_.filePath("p.msa")));
    p.start(ZANDOR_PROGRAM, {"convert", dir_.filePath("in.spx"), dir_.filePath("p.png")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    p.start(ZANDOR_PROGRAM, {"convert", dir_.filePath("missing.spx"), dir_.filePath("p.csv")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(p.readAllStandardError().count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestCliConvert)
#include "tst_cli_convert.moc"
