// zandor info: readable and JSON output, several files, and what a file that
// cannot be read does to the rest and to the status.
#include "clirun.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <nlohmann/json.hpp>

#include <sstream>

using Args = std::vector<std::string>;

class TestCliInfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readable();
    void json();
    void severalFiles();
    void failures_data();
    void failures();
    void program();

private:
    QTemporaryDir dir_;
    std::string path(const char *name) const { return dir_.filePath(name).toStdString(); }
    void write(const char *name, const QByteArray &bytes) const
    {
        QFile file(dir_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

namespace {

using clirun::Run;
using clirun::run;

} // namespace

void TestCliInfo::initTestCase()
{
    QVERIFY(dir_.isValid());
    write("fe.msa", "#FORMAT      : EMSA/MAS Spectral Data File\r\n#VERSION     : 1.0\r\n"
                    "#TITLE       : Fe \xB5-particle\r\n#NPOINTS     : 5\r\n#DATATYPE    : Y\r\n"
                    "#XUNITS      : keV\r\n#XPERCHAN    : 0.005\r\n#OFFSET      : -0.48\r\n"
                    "#LIVETIME  -s: 50.\r\n#REALTIME  -s: 61.5\r\n#BEAMKV   -kV: 20\r\n"
                    "#SPECTRUM    :\r\n1000, 2000, 3000, 4000, 5000\r\n#ENDOFDATA   :\r\n");
    write("mca.txt", "# multichannel analyser\n5\n6\n-1\n");
    write("bad.msa", "#FORMAT : EMSA/MAS Spectral Data File\n#DATATYPE : Y\n#SPECTRUM :\n1, 2, x\n");
}

void TestCliInfo::readable()
{
    const Run r = run({"info", path("fe.msa")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, std::string());
    QCOMPARE(QString::fromStdString(r.out), QString::fromStdString(path("fe.msa")) +
                                                "\n"
                                                "  format        EMSA/MSA\n"
                                                "  channels      5\n"
                                                "  calibration   offset -480 eV, gain 5 eV per channel (-0.48 to -0.46 keV)\n"
                                                "  live time     50 s\n"
                                                "  real time     61.5 s\n"
                                                "  beam          20 kV\n"
                                                "  title         Fe µ-particle\n"
                                                "  total counts  15 000\n");
    const Run counts = run({"info", path("mca.txt")});
    QCOMPARE(counts.status, 0);
    QVERIFY(counts.out.find("  calibration   none (channel numbers only)\n") != std::string::npos);
    QVERIFY(counts.out.find("  live time     -\n") != std::string::npos);
    QVERIFY(counts.out.find("  warning       1 channel has negative counts") != std::string::npos);
}

void TestCliInfo::json()
{
    const Run r = run({"info", "--json", path("fe.msa")});
    QCOMPARE(r.status, 0);
    const auto json = nlohmann::ordered_json::parse(r.out);
    QVERIFY(json.is_object());
    std::vector<std::string> keys;
    for (const auto &item : json.items())
        keys.push_back(item.key());
    QCOMPARE(keys, (std::vector<std::string>{"file", "kind", "format", "channels", "calibrated", "offset_eV", "gain_eV",
                                             "live_time_s", "real_time_s", "beam_kV", "title", "total_counts",
                                             "warnings"}));
    QCOMPARE(json["file"].get<std::string>(), path("fe.msa"));
    QCOMPARE(json["kind"].get<std::string>(), std::string("spectrum"));
    QCOMPARE(json["format"].get<std::string>(), std::string("emsa"));
    QCOMPARE(json["channels"].get<int>(), 5);
    QCOMPARE(json["calibrated"].get<bool>(), true);
    QCOMPARE(json["offset_eV"].get<double>(), -480.0);
    QCOMPARE(json["gain_eV"].get<double>(), 5.0);
    QCOMPARE(json["live_time_s"].get<double>(), 50.0);
    QCOMPARE(json["real_time_s"].get<double>(), 61.5);
    QCOMPARE(json["beam_kV"].get<double>(), 20.0);
    QCOMPARE(json["title"].get<std::string>(), std::string("Fe µ-particle"));
    QCOMPARE(json["total_counts"].get<double>(), 15000.0);
    QVERIFY(json["warnings"].is_array() && json["warnings"].empty());

    const auto counts = nlohmann::json::parse(run({"info", path("mca.txt"), "--json"}).out);
    QCOMPARE(counts["format"].get<std::string>(), std::string("counts"));
    QCOMPARE(counts["calibrated"].get<bool>(), false);
    for (const char *key : {"offset_eV", "gain_eV", "live_time_s", "real_time_s", "beam_kV", "title"})
        QVERIFY2(counts[key].is_null(), key);
    QCOMPARE(counts["warnings"].size(), std::size_t(1));
}

void TestCliInfo::severalFiles()
{
    const Run r = run({"info", path("fe.msa"), path("mca.txt"), "--json"});
    QCOMPARE(r.status, 0);
    const auto json = nlohmann::json::parse(r.out);
    QVERIFY(json.is_array());
    QCOMPARE(json.size(), std::size_t(2));
    QCOMPARE(json[1]["format"].get<std::string>(), std::string("counts"));

    const Run readable = run({"info", path("fe.msa"), path("mca.txt")});
    QVERIFY(readable.out.find("15 000\n\n" + path("mca.txt") + "\n") != std::string::npos);
}

void TestCliInfo::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("reported"); // files on stdout (JSON array entries)
    const QString bad = dir_.filePath("bad.msa"), fe = dir_.filePath("fe.msa");
    QTest::newRow("bad file") << QStringList{"info", bad} << 1
                              << "zandor info: '" + bad +
                                     "': the data hold text where a number should be: 'x' (line 4)\n"
                              << 0;
    QTest::newRow("bad file among good ones, JSON")
        << QStringList{"info", fe, bad, fe, "--json"} << 1
        << "zandor info: '" + bad + "': the data hold text where a number should be: 'x' (line 4)\n" << 2;
    QTest::newRow("missing file") << QStringList{"info", dir_.filePath("none.msa")} << 1
                                  << "zandor info: '" + dir_.filePath("none.msa") + "': no such file or directory\n"
                                  << 0;
    QTest::newRow("a directory") << QStringList{"info", dir_.path(), "--json"} << 1
                                 << "zandor info: '" + dir_.path() + "': a directory, not a spectrum file\n" << 0;
    QTest::newRow("no file") << QStringList{"info"} << 2
                             << "zandor info: needs one or more spectrum files\n" << 0;
    QTest::newRow("unknown option") << QStringList{"info", fe, "--xml"} << 2
                                    << "zandor info: unknown option '--xml'\n" << 0;
}

void TestCliInfo::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, err);
    QFETCH(int, reported);
    const Run r = run(args);
    QCOMPARE(r.status, status);
    QCOMPARE(QString::fromStdString(r.err), err);
    if (args.contains("--json") && reported > 0) {
        const auto json = nlohmann::json::parse(r.out);
        QCOMPARE(int(json.size()), reported);
    } else if (reported == 0) {
        QCOMPARE(r.out, std::string());
    }
}

void TestCliInfo::program()
{
    // The built program: statuses and streams as a script sees them.
    QProcess p;
    p.start(ZANDOR_PROGRAM, {"info", "--json", dir_.filePath("fe.msa")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(nlohmann::json::parse(p.readAllStandardOutput().toStdString())["channels"].get<int>(), 5);

    p.start(ZANDOR_PROGRAM, {"info", dir_.filePath("fe.msa"), dir_.filePath("bad.msa")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(p.readAllStandardOutput().startsWith(dir_.filePath("fe.msa").toUtf8() + "\n  format"));
    QCOMPARE(p.readAllStandardError().count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestCliInfo)
#include "tst_cli_info.moc"
