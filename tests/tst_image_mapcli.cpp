// zandor map: the files it writes and its --json, its refusals (status 2 for
// bad usage, 1 for a file it cannot read or write, one line each), and
// Ctrl-C, which leaves nothing behind (the program itself, interrupted).
#include "clirun.h"
#include "imagetesting.h"

#include "image/open.h"
#include "image/spectra.h"
#include "spectrum/read.h"

#include <nlohmann/json.hpp>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <fstream>

class TestImageMapCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void json();
    void readable();
    void refusals_data();
    void refusals();
    void interrupted();

private:
    std::string path(const QString &name) const { return dir_.filePath(name).toStdString(); }

    QTemporaryDir dir_;
    synth::PhantomRecipe recipe_ = imagetesting::smallRecipe(24, 16, 512);
};

using clirun::Run;
using clirun::run;

namespace {

// A .npy file's float32 numbers, after its header.
std::vector<float> npyValues(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 10)
        return {};
    const int header = 10 + (std::uint8_t(bytes[8]) | std::uint8_t(bytes[9]) << 8);
    std::vector<float> values(std::size_t(bytes.size() - header) / 4);
    std::memcpy(values.data(), bytes.data() + header, values.size() * 4);
    return values;
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

void TestImageMapCli::initTestCase()
{
    QVERIFY(dir_.isValid());
    const std::vector<std::uint32_t> cube = imagetesting::phantomCube(synth::Phantom(recipe_));
    QVERIFY(!imagetesting::writeBcf(path("map.bcf"), recipe_, cube, {}));
    QVERIFY(!imagetesting::writeRipple(path("map.rpl"), recipe_, std::vector<double>(cube.begin(), cube.end()), {}));
    QFile bcf(dir_.filePath("map.bcf"));
    QVERIFY(bcf.open(QIODevice::ReadOnly));
    QFile cut(dir_.filePath("cut.bcf"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bcf.readAll().left(3000));
    cut.close();
    QFile msa(dir_.filePath("one.msa"));
    QVERIFY(msa.open(QIODevice::WriteOnly));
    msa.write("#FORMAT : EMSA/MAS Spectral Data File\n#NPOINTS : 3\n#XPERCHAN : 10\n#OFFSET : 0\n#SPECTRUM :\n1, 2, 3\n"
              "#ENDOFDATA :\n");
    msa.close();
    QFile file(dir_.filePath("a-file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestImageMapCli::json()
{
    const QString out = dir_.filePath("out-json");
    const Run r = run({"map", path("map.bcf"), "--out", out.toStdString(), "--elements", "Ti,V,Si,W", "--json",
                       "--threads", "2"});
    QCOMPARE(r.status, 0);
    const auto json = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto &item : json.items())
        keys.push_back(item.key());
    QCOMPARE(keys, (std::vector<std::string>{"file", "width", "height", "channels", "elements", "seconds"}));
    QCOMPARE(json["file"].get<std::string>(), path("map.bcf"));
    QCOMPARE(json["width"].get<std::size_t>(), recipe_.width);
    QCOMPARE(json["height"].get<std::size_t>(), recipe_.height);
    QCOMPARE(json["channels"].get<std::size_t>(), recipe_.channels);
    QVERIFY(json["seconds"].get<double>() >= 0);
    const std::vector<std::string> symbols = {"Ti", "V", "Si", "W"};
    QCOMPARE(json["elements"].size(), symbols.size());
    QStringList expected = {"sum.msa"};
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        const auto &e = json["elements"][i];
        keys.clear();
        for (const auto &item : e.items())
            keys.push_back(item.key());
        QCOMPARE(keys, (std::vector<std::string>{"element", "lines", "total_counts", "map", "image"}));
        QCOMPARE(e["element"].get<std::string>(), symbols[i]);
        QVERIFY(e["lines"].is_array());
        QCOMPARE(e["map"].get<std::string>(), symbols[i] + ".npy");
        QCOMPARE(e["image"].get<std::string>(), symbols[i] + ".png");
        // The map holds height × width numbers adding up to the total.
        const std::vector<float> values = npyValues(out + "/" + QString::fromStdString(symbols[i]) + ".npy");
        QCOMPARE(values.size(), recipe_.width * recipe_.height);
        double total = 0;
        for (const float v : values)
            total += v;
        QVERIFY(std::fabs(total - e["total_counts"].get<double>()) <= 0.05 + 1e-6 * total);
        expected << QString::fromStdString(symbols[i]) + ".npy" << QString::fromStdString(symbols[i]) + ".png";
    }
    QVERIFY(json["elements"][0]["total_counts"].get<double>() > 0);
    // Nothing else in the folder (no file left half written), and the sum
    // spectrum is the image's.
    expected.sort();
    QCOMPARE(filesIn(out), expected);
    const auto sum = spectrum::readFile((out + "/sum.msa").toStdString());
    QVERIFY(sum);
    const auto source = image::openImageFile(path("map.bcf"));
    QVERIFY(source);
    QCOMPARE(sum->counts, image::sumSpectrum(*source.value())->counts);
    // Notes of the identification go to stderr, each one line.
    for (const QString &line : QString::fromStdString(r.err).split('\n', Qt::SkipEmptyParts))
        QVERIFY2(line.startsWith("zandor map: '" + dir_.filePath("map.bcf") + "': "), qPrintable(line));

    // Again into the same folder: the files are replaced, nothing added.
    const Run again = run({"map", path("map.bcf"), "--out", out.toStdString(), "--elements", "Ti,V,Si,W"});
    QCOMPARE(again.status, 0);
    QCOMPARE(filesIn(out), expected);
}

void TestImageMapCli::readable()
{
    // Without --elements, those identified; folders made as needed.
    const QString out = dir_.filePath("made/for/maps");
    const Run r = run({"map", path("map.rpl"), "--out", out.toStdString()});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.starts_with(path("map.rpl") + "\n  image      24 × 16 pixels, 512 channels\n  elements   "),
             r.out.c_str());
    QVERIFY(r.out.find("(identified in the sum spectrum)\n\n  element      net counts  lines\n") != std::string::npos);
    const std::size_t at = r.out.find("  elements   ") + 13;
    const QString first = QString::fromStdString(r.out.substr(at, r.out.find_first_of(", ", at) - at));
    QVERIFY(QFile::exists(out + "/" + first + ".npy") && QFile::exists(out + "/" + first + ".png"));
    QVERIFY(QFile::exists(out + "/sum.msa"));
}

void TestImageMapCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // the start of the one line after "zandor map: "
    const QString out = dir_.filePath("refused");
    const QString bcf = dir_.filePath("map.bcf");
    QTest::newRow("no --out") << QStringList{bcf} << 2 << "--out DIR is needed";
    QTest::newRow("no image") << QStringList{"--out", out} << 2 << "needs one spectrum image";
    QTest::newRow("two images") << QStringList{bcf, bcf, "--out", out} << 2 << "unexpected argument";
    QTest::newRow("unknown option") << QStringList{bcf, "--out", out, "--colour"} << 2 << "unknown option '--colour'";
    QTest::newRow("bad --threads") << QStringList{bcf, "--out", out, "--threads", "two"} << 2 << "--threads 'two'";
    QTest::newRow("negative --threads") << QStringList{bcf, "--out", out, "--threads", "-1"} << 2 << "--threads '-1'";
    QTest::newRow("unknown element") << QStringList{bcf, "--out", out, "--elements", "Ti,Xx"} << 2 << "";
    QTest::newRow("element without lines") << QStringList{bcf, "--out", out, "--elements", "H"} << 2
                                           << "--elements 'H': H has no X-ray lines";
    QTest::newRow("empty element") << QStringList{bcf, "--out", out, "--elements", "Ti,,V"} << 2 << "--elements 'Ti,,V'";
    QTest::newRow("bad --beam") << QStringList{bcf, "--out", out, "--beam", "fast"} << 2 << "--beam 'fast'";
    QTest::newRow("bad --detector") << QStringList{bcf, "--out", out, "--detector", "nai"} << 2 << "unknown detector 'nai'";
    QTest::newRow("a single spectrum") << QStringList{dir_.filePath("one.msa"), "--out", out} << 2
                                       << "zandor map needs a spectrum image";
    QTest::newRow("no such file") << QStringList{dir_.filePath("none.bcf"), "--out", out} << 1
                                  << "'" + dir_.filePath("none.bcf") + "': ";
    QTest::newRow("damaged .bcf") << QStringList{dir_.filePath("cut.bcf"), "--out", out} << 1
                                  << "'" + dir_.filePath("cut.bcf") + "': ";
    QTest::newRow("--out is a file") << QStringList{bcf, "--out", dir_.filePath("a-file")} << 1
                                     << "cannot write the maps into '" + dir_.filePath("a-file") + "'";
    QTest::newRow("--out under a file") << QStringList{bcf, "--out", dir_.filePath("a-file/maps")} << 1
                                        << "cannot make the folder '" + dir_.filePath("a-file/maps") + "'";
}

void TestImageMapCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run r = run(QStringList{"map"} + args);
    QCOMPARE(r.status, status);
    QCOMPARE(r.out, std::string());
    QCOMPARE(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    QVERIFY2(r.err.starts_with("zandor map: " + message.toStdString()), r.err.c_str());
    // Nothing made, nothing left.
    QVERIFY(!QFile::exists(dir_.filePath("refused")));
}

void TestImageMapCli::interrupted()
{
    // A map large enough to take a moment; Ctrl-C once the sum spectrum is
    // written under its temporary name. The folder keeps what it held, and
    // gets nothing of this run.
    synth::PhantomRecipe big = imagetesting::smallRecipe(256, 256, 2048);
    big.gain_eV = 10;
    big.offset_eV = -475;
    big.countsPerPixel = 100;
    QVERIFY(!imagetesting::writeRipple(path("big.rpl"), big,
                                       [&] {
                                           const auto cube = imagetesting::phantomCube(synth::Phantom(big));
                                           return std::vector<double>(cube.begin(), cube.end());
                                       }(),
                                       {}));
    const QString out = dir_.filePath("interrupted");
    QVERIFY(QDir().mkpath(out));
    {
        QFile old(out + "/Ti.npy");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older map");
    }
    QProcess zandor;
    zandor.start(ZANDOR_PROGRAM, {"map", dir_.filePath("big.rpl"), "--out", out, "--threads", "1"});
    QVERIFY(zandor.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    bool signalled = false;
    while (!signalled && timer.elapsed() < 60000 && zandor.state() == QProcess::Running) {
        for (const QString &name : filesIn(out))
            if (name.startsWith(".sum.msa.") && name.endsWith(".part")) {
                ::kill(pid_t(zandor.processId()), SIGINT);
                signalled = true;
            }
        if (!signalled)
            QTest::qSleep(1);
    }
    QVERIFY(zandor.waitForFinished(60000));
    QVERIFY2(signalled, "the map was done before it could be interrupted");
    QCOMPARE(zandor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zandor.exitCode(), 130);
    QCOMPARE(zandor.readAllStandardError(), QByteArray("zandor map: cancelled: nothing written\n"));
    QCOMPARE(filesIn(out), QStringList{"Ti.npy"});
    QFile old(out + "/Ti.npy");
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an older map"));
}

QTEST_GUILESS_MAIN(TestImageMapCli)
#include "tst_image_mapcli.moc"
