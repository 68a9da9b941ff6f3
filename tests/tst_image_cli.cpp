// The command line on spectrum images: zandor info (readable and --json)
// and zandor convert (the sum, --pixel, --region), the statuses and the one
// line of each bad value or unreadable file.
#include "clirun.h"
#include "imagetesting.h"

#include "image/open.h"
#include "image/spectra.h"
#include "spectrum/read.h"

#include <nlohmann/json.hpp>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestImageCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void infoJson();
    void infoReadable();
    void convert_data();
    void convert();
    void badValues_data();
    void badValues();

private:
    std::string path(const QString &name) const { return dir_.filePath(name).toStdString(); }

    QTemporaryDir dir_;
    synth::PhantomRecipe recipe_ = imagetesting::smallRecipe(13, 7, 200);
    std::vector<std::uint32_t> cube_;
    double total_ = 0;
};

using clirun::Run;
using clirun::run;

void TestImageCli::initTestCase()
{
    QVERIFY(dir_.isValid());
    cube_ = imagetesting::phantomCube(synth::Phantom(recipe_));
    for (std::uint32_t c : cube_)
        total_ += c;
    QVERIFY(!imagetesting::writeBcf(path("map.bcf"), recipe_, cube_, {}));
    QVERIFY(!imagetesting::writeRipple(path("map.rpl"), recipe_, std::vector<double>(cube_.begin(), cube_.end()), {}));
    QFile bcf(dir_.filePath("map.bcf"));
    QVERIFY(bcf.open(QIODevice::ReadOnly));
    QFile cut(dir_.filePath("cut.bcf"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bcf.readAll().left(5000));
    cut.close();
    QFile msa(dir_.filePath("one.msa"));
    QVERIFY(msa.open(QIODevice::WriteOnly));
    msa.write("#FORMAT : EMSA/MAS Spectral Data File\n#NPOINTS : 3\n#XPERCHAN : 10\n#OFFSET : 0\n#SPECTRUM :\n1, 2, 3\n"
              "#ENDOFDATA :\n");
}

void TestImageCli::infoJson()
{
    const Run r = run({"info", "--json", path("map.bcf"), path("map.rpl"), path("one.msa")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, std::string());
    const auto json = nlohmann::ordered_json::parse(r.out);
    QVERIFY(json.is_array() && json.size() == 3);
    for (int i = 0; i < 2; ++i) {
        const auto &image = json[std::size_t(i)];
        std::vector<std::string> keys;
        for (const auto &item : image.items())
            keys.push_back(item.key());
        QCOMPARE(keys, (std::vector<std::string>{"file", "kind", "format", "width", "height", "channels", "calibrated",
                                                 "offset_eV", "gain_eV", "live_time_s", "real_time_s", "beam_kV", "title",
                                                 "total_counts", "warnings"}));
        QCOMPARE(image["kind"].get<std::string>(), std::string("spectrum_image"));
        QCOMPARE(image["format"].get<std::string>(), std::string(i == 0 ? "bcf" : "ripple"));
        QCOMPARE(image["width"].get<std::size_t>(), recipe_.width);
        QCOMPARE(image["height"].get<std::size_t>(), recipe_.height);
        QCOMPARE(image["channels"].get<std::size_t>(), recipe_.channels);
        QCOMPARE(image["offset_eV"].get<double>(), recipe_.offset_eV);
        QCOMPARE(image["gain_eV"].get<double>(), recipe_.gain_eV);
        QCOMPARE(image["beam_kV"].get<double>(), recipe_.beam_kV);
        QCOMPARE(image["title"].get<std::string>(), std::string("phantom"));
        QCOMPARE(image["total_counts"].get<double>(), total_);
    }
    // The ripple pair gives each pixel's live time; the sum has all of them.
    QCOMPARE(json[1]["live_time_s"].get<double>(), 0.5 * double(recipe_.width * recipe_.height));
    QCOMPARE(json[2]["kind"].get<std::string>(), std::string("spectrum"));
    QCOMPARE(json[2]["total_counts"].get<double>(), 6.0);
}

void TestImageCli::infoReadable()
{
    const Run r = run({"info", path("map.bcf")});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.find("  format        Bruker bcf\n") != std::string::npos, r.out.c_str());
    QVERIFY2(r.out.find("  image         spectrum image of 13 × 7 pixels, uint8 counts, pixels of 0.25 × 0.25 µm\n") !=
                 std::string::npos,
             r.out.c_str());
    QVERIFY(r.out.find("  channels      200\n") != std::string::npos);
    QVERIFY(r.out.find("  title         phantom\n") != std::string::npos);

    // A damaged file: one line, status 1, the other files still reported.
    const Run cut = run({"info", path("cut.bcf"), path("map.rpl")});
    QCOMPARE(cut.status, 1);
    QVERIFY(cut.out.find("Lispix ripple") != std::string::npos);
    QCOMPARE(std::count(cut.err.begin(), cut.err.end(), '\n'), 1);
    QVERIFY2(cut.err.starts_with("zandor info: '" + path("cut.bcf") + "': "), cut.err.c_str());
}

void TestImageCli::convert_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("x0");
    QTest::addColumn<int>("y0");
    QTest::addColumn<int>("x1");
    QTest::addColumn<int>("y1");
    QTest::newRow("bcf: the sum") << "map.bcf" << QStringList{} << 0 << 0 << 13 << 7;
    QTest::newRow("ripple: the sum") << "map.rpl" << QStringList{} << 0 << 0 << 13 << 7;
    QTest::newRow("bcf: a pixel") << "map.bcf" << QStringList{"--pixel", "12,6"} << 12 << 6 << 13 << 7;
    QTest::newRow("ripple: a pixel") << "map.raw" << QStringList{"--pixel=0,3"} << 0 << 3 << 1 << 4;
    QTest::newRow("bcf: a region") << "map.bcf" << QStringList{"--region", "2,1,9,6"} << 2 << 1 << 9 << 6;
    QTest::newRow("ripple: the whole as a region") << "map.rpl" << QStringList{"--region", "0, 0, 13, 7"} << 0 << 0 << 13 << 7;
}

void TestImageCli::convert()
{
    QFETCH(QString, input);
    QFETCH(QStringList, options);
    QFETCH(int, x0);
    QFETCH(int, y0);
    QFETCH(int, x1);
    QFETCH(int, y1);
    for (const char *out : {"out.msa", "out.csv"}) {
        QStringList args{"convert", dir_.filePath(input), dir_.filePath(out)};
        const Run r = run(args + options);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, std::string());
        QVERIFY2(r.out.starts_with("wrote " + path(out)), r.out.c_str());
    }
    const auto written = spectrum::readFile(path("out.msa"));
    QVERIFY(written);
    QCOMPARE(written->channels(), recipe_.channels);
    QVERIFY(written->calibration);
    QCOMPARE(written->calibration->gain_eV, recipe_.gain_eV);
    std::vector<double> expected(recipe_.channels, 0.0);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (std::size_t c = 0; c < recipe_.channels; ++c)
                expected[c] += cube_[(std::size_t(y) * recipe_.width + std::size_t(x)) * recipe_.channels + c];
    QVERIFY(written->counts == expected);
}

void TestImageCli::badValues_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString bcf = dir_.filePath("map.bcf"), out = dir_.filePath("bad.msa");
    QTest::newRow("one number") << QStringList{"convert", bcf, out, "--pixel", "3"} << 2
                                << "zandor convert: --pixel '3' is not X,Y (two whole numbers from 0)";
    QTest::newRow("a negative pixel") << QStringList{"convert", bcf, out, "--pixel", "-1,2"} << 2
                                      << "zandor convert: --pixel '-1,2' is not X,Y (two whole numbers from 0)";
    QTest::newRow("words") << QStringList{"convert", bcf, out, "--pixel", "a,b"} << 2
                           << "zandor convert: --pixel 'a,b' is not X,Y (two whole numbers from 0)";
    QTest::newRow("three numbers") << QStringList{"convert", bcf, out, "--pixel", "1,2,3"} << 2
                                   << "zandor convert: --pixel '1,2,3' is not X,Y (two whole numbers from 0)";
    QTest::newRow("a pixel outside") << QStringList{"convert", bcf, out, "--pixel", "13,0"} << 2
                                     << "zandor convert: --pixel '13,0' is outside the 13 × 7 image (pixels 0 to 12, 0 to 6)";
    QTest::newRow("a short region") << QStringList{"convert", bcf, out, "--region", "1,2,3"} << 2
                                    << "zandor convert: --region '1,2,3' is not X0,Y0,X1,Y1 (four whole numbers from 0)";
    QTest::newRow("an empty region") << QStringList{"convert", bcf, out, "--region", "4,1,4,5"} << 2
                                     << "zandor convert: --region '4,1,4,5' holds no pixel (X0 < X1 and Y0 < Y1 are needed)";
    QTest::newRow("a region outside") << QStringList{"convert", bcf, out, "--region", "0,0,13,8"} << 2
                                      << "zandor convert: --region '0,0,13,8' reaches outside the 13 × 7 image";
    QTest::newRow("both") << QStringList{"convert", bcf, out, "--pixel", "1,1", "--region", "0,0,2,2"} << 2
                          << "zandor convert: --pixel and --region cannot be given together";
    QTest::newRow("a pixel of a single spectrum")
        << QStringList{"convert", dir_.filePath("one.msa"), out, "--pixel", "0,0"} << 2
        << "zandor convert: --pixel needs a spectrum image, and '" + dir_.filePath("one.msa") + "' holds a single spectrum";
    QTest::newRow("a damaged image") << QStringList{"convert", dir_.filePath("cut.bcf"), out} << 1
                                     << "zandor convert: '" + dir_.filePath("cut.bcf") + "': ";
}

void TestImageCli::badValues()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run r = run(args);
    QCOMPARE(r.status, status);
    QCOMPARE(r.out, std::string());
    QCOMPARE(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    QVERIFY2(QString::fromStdString(r.err).startsWith(message), r.err.c_str());
    QVERIFY(!QFile::exists(dir_.filePath("bad.msa")));
}

QTEST_GUILESS_MAIN(TestImageCli)
#include "tst_image_cli.moc"
