// The ripple reader: every number type in both byte orders and both record
// orders against the values written; the forms of the .rpl header and its
// calibration; headers refused with the key at fault; a .raw too short or
// too long; and opening by either file of the pair, or any other file.
#include "imagetesting.h"

#include "image/bytesource.h"
#include "image/open.h"
#include "image/ripple.h"
#include "image/spectra.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(image::SampleType)
Q_DECLARE_METATYPE(image::RecordOrder)

class TestImageRipple : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyType_data();
    void everyType();
    void headerForms_data();
    void headerForms();
    void refusedHeaders_data();
    void refusedHeaders();
    void rawSize();
    void openByEitherFile();

private:
    QTemporaryDir dir_;
};

namespace {

const char *Plain = "key\tvalue\nwidth\t3\nheight\t2\ndepth\t4\noffset\t0\ndata-type\tunsigned\ndata-length\t2\n"
                    "byte-order\tlittle-endian\nrecord-by\tvector\n";

image::Result<image::RippleHeader> parse(const QByteArray &text) { return image::parseRipple(text.toStdString()); }

} // namespace

void TestImageRipple::initTestCase() { QVERIFY(dir_.isValid()); }

void TestImageRipple::everyType_data()
{
    QTest::addColumn<image::SampleType>("type");
    QTest::addColumn<bool>("bigEndian");
    QTest::addColumn<image::RecordOrder>("order");
    for (image::SampleType type : image::AllSampleTypes)
        for (bool big : {false, true})
            for (image::RecordOrder order : {image::RecordOrder::Vector, image::RecordOrder::Image}) {
                if (image::sampleBytes(type) == 1 && big)
                    continue;
                const QString name = QString("%1 %2 %3")
                                         .arg(QString::fromStdString(std::string(image::sampleTypeName(type))))
                                         .arg(big ? "big-endian" : "little-endian")
                                         .arg(order == image::RecordOrder::Vector ? "vector" : "image");
                QTest::newRow(name.toUtf8().constData()) << type << big << order;
            }
}

void TestImageRipple::everyType()
{
    QFETCH(image::SampleType, type);
    QFETCH(bool, bigEndian);
    QFETCH(image::RecordOrder, order);
    const synth::PhantomRecipe recipe = imagetesting::smallRecipe(7, 5, 33);
    const auto counts = imagetesting::phantomCube(synth::Phantom(recipe));
    // Values that use the type: negatives for signed types, fractions for
    // floats, large numbers for wide integers; all exact in a double.
    std::vector<double> values(counts.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        double v = counts[i] + double(i % 5);
        if (image::isSigned(type))
            v -= 3;
        if (image::isFloat(type))
            v *= 0.25;
        else if (image::sampleBytes(type) >= 4)
            v += (i % 7 == 0) ? 1e9 : 0;
        if (image::sampleBytes(type) == 1)
            v = std::clamp(v, image::isSigned(type) ? -128.0 : 0.0, image::isSigned(type) ? 127.0 : 255.0);
        values[i] = v;
    }
    synth::RippleOptions options;
    options.type = type;
    options.bigEndian = bigEndian;
    options.order = order;
    options.offset = 5;
    const std::string path = dir_.filePath("every.rpl").toStdString();
    const auto written = imagetesting::writeRipple(path, recipe, values, options);
    QVERIFY2(!written, written ? written->c_str() : "");
    const auto opened = image::openImageFile(path);
    QVERIFY2(opened, opened ? "" : opened.error().reason.c_str());
    const image::Header &h = opened.value()->header();
    QCOMPARE(h.type, type);
    QCOMPARE(h.format, image::Format::Ripple);
    QCOMPARE(h.width, recipe.width);
    QCOMPARE(h.height, recipe.height);
    QCOMPARE(h.channels, recipe.channels);
    std::string error;
    for (std::size_t chunk : {std::size_t(0), std::size_t(3)}) {
        const std::vector<double> read = imagetesting::readAll(*opened.value(), error, chunk);
        QVERIFY2(error.empty(), error.c_str());
        QVERIFY(read == values);
    }
}

void TestImageRipple::headerForms_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<image::SampleType>("type");
    QTest::addColumn<double>("offset_eV"); // NaN: uncalibrated
    QTest::addColumn<double>("gain_eV");
    QTest::addColumn<double>("beam_kV"); // NaN: none
    QTest::addColumn<int>("warnings");
    const double none = std::nan("");
    QTest::newRow("the plain form, uncalibrated") << QByteArray(Plain) << 3 << image::SampleType::U16 << none << none << none << 0;
    QTest::newRow("ev-per-chan and depth-origin in eV")
        << QByteArray(Plain) + "ev-per-chan\t10\ndepth-origin\t-200\nbeam-energy\t15\n" << 3 << image::SampleType::U16 << -200.0
        << 10.0 << 15.0 << 0;
    QTest::newRow("depth-scale in keV goes first")
        << QByteArray(Plain) + "ev-per-chan\t5\ndepth-scale\t0.02\ndepth-origin\t-0.1\ndepth-units\tkeV\n" << 3
        << image::SampleType::U16 << -100.0 << 20.0 << none << 0;
    QTest::newRow("comments, spaces, capitals and CR LF")
        << QByteArray("; a comment\r\nKEY  VALUE\r\nWidth   3 ; pixels\r\nheight\t2\r\nDEPTH\t4\r\ndata-type\tSigned\r\n"
                      "data-length\t4\r\nbyte-order\tBig-Endian\r\nrecord-by\tImage\r\nev-per-chan\t10\r\n")
        << 3 << image::SampleType::I32 << 0.0 << 10.0 << none << 0;
    QTest::newRow("the Lisp form")
        << QByteArray("((WIDTH 3) (HEIGHT 2) (DEPTH 4) (OFFSET 0) (DATA-TYPE :FLOAT) (DATA-LENGTH 8)\n"
                      "(BYTE-ORDER :LITTLE-ENDIAN) (RECORD-BY :VECTOR))")
        << 3 << image::SampleType::F64 << none << none << none << 0;
    QTest::newRow("MLX lines")
        << QByteArray("(MLX::width : 3)\n(MLX::height : 2)\n(MLX::depth : 4)\n(MLX::data-type : unsigned)\n"
                      "(MLX::data-length : 1)\n(MLX::byte-order : dont-care)\n(MLX::record-by : vector)\n(MLX::ev-per-chan : 20)\n")
        << 3 << image::SampleType::U8 << 0.0 << 20.0 << none << 0;
    QTest::newRow("no offset, one byte without byte-order")
        << QByteArray("width\t3\nheight\t2\ndepth\t4\ndata-type\tunsigned\ndata-length\t1\nrecord-by\tvector\n") << 3
        << image::SampleType::U8 << none << none << none << 0;
    QTest::newRow("depth 1 and dont-care")
        << QByteArray("width\t3\nheight\t2\ndepth\t1\ndata-type\tunsigned\ndata-length\t1\nrecord-by\tdont-care\n") << 3
        << image::SampleType::U8 << none << none << none << 0;
    QTest::newRow("dont-care byte order of 2 bytes")
        << QByteArray(Plain).replace("little-endian", "dont-care") << 3 << image::SampleType::U16 << none << none << none << 1;
    QTest::newRow("a gain in nanometres") << QByteArray(Plain) + "depth-scale\t2\ndepth-units\tnm\n" << 3 << image::SampleType::U16
                                          << none << none << none << 1;
    QTest::newRow("a beam that is no number") << QByteArray(Plain) + "beam-energy\tfast\n" << 3 << image::SampleType::U16
                                              << none << none << none << 1;
    QTest::newRow("a gain of zero") << QByteArray(Plain) + "ev-per-chan\t0\n" << 3 << image::SampleType::U16 << none << none
                                    << none << 1;
}

void TestImageRipple::headerForms()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(image::SampleType, type);
    QFETCH(double, offset_eV);
    QFETCH(double, gain_eV);
    QFETCH(double, beam_kV);
    QFETCH(int, warnings);
    const auto parsed = parse(text);
    QVERIFY2(parsed, parsed ? "" : parsed.error().reason.c_str());
    const image::Header &h = parsed->header;
    QCOMPARE(int(h.width), width);
    QCOMPARE(h.type, type);
    QCOMPARE(h.calibration.has_value(), !std::isnan(gain_eV));
    if (h.calibration) {
        QCOMPARE(h.calibration->offset_eV, offset_eV);
        QCOMPARE(h.calibration->gain_eV, gain_eV);
    }
    QCOMPARE(h.meta.beam_kV.has_value(), !std::isnan(beam_kV));
    if (h.meta.beam_kV)
        QCOMPARE(*h.meta.beam_kV, beam_kV);
    QCOMPARE(int(h.warnings.size()), warnings);
}

void TestImageRipple::refusedHeaders_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    const QByteArray plain(Plain);
    QTest::newRow("no width") << QByteArray(plain).replace("width\t3\n", "") << "has no width";
    QTest::newRow("a width in words") << QByteArray(plain).replace("width\t3", "width\tthree") << "width 'three' is not a whole number";
    QTest::newRow("a negative depth") << QByteArray(plain).replace("depth\t4", "depth\t-4") << "depth '-4' is not a whole number";
    QTest::newRow("width 0") << QByteArray(plain).replace("width\t3", "width\t0") << "0 × 2 pixels holds nothing";
    QTest::newRow("width 70000") << QByteArray(plain).replace("width\t3", "width\t70000") << "a side can be at most 65536";
    QTest::newRow("two million channels") << QByteArray(plain).replace("depth\t4", "depth\t2000000") << "at most 1048576";
    QTest::newRow("a huge width") << QByteArray(plain).replace("width\t3", "width\t99999999999999999999999") << "not a whole number";
    QTest::newRow("complex numbers") << QByteArray(plain).replace("unsigned", "complex") << "data-type is 'complex'";
    QTest::newRow("no data-type") << QByteArray(plain).replace("data-type\tunsigned\n", "") << "has no data-type";
    QTest::newRow("3 bytes") << QByteArray(plain).replace("data-length\t2", "data-length\t3") << "data-length is 3";
    QTest::newRow("floats of 2 bytes") << QByteArray(plain).replace("unsigned", "float") << "floats of 2 bytes";
    QTest::newRow("no byte order for 2 bytes") << QByteArray(plain).replace("byte-order\tlittle-endian\n", "") << "has no byte-order";
    QTest::newRow("middle-endian") << QByteArray(plain).replace("little-endian", "middle-endian") << "byte-order is 'middle-endian'";
    QTest::newRow("no record-by") << QByteArray(plain).replace("record-by\tvector\n", "") << "has no record-by";
    QTest::newRow("record-by dont-care with depth 4") << QByteArray(plain).replace("vector", "dont-care") << "only a depth of 1";
    QTest::newRow("record-by pixel") << QByteArray(plain).replace("vector", "pixel") << "record-by is 'pixel'";
    QTest::newRow("binary") << QByteArray("width\t3\0\x01\x02", 11) << "binary data";
}

void TestImageRipple::refusedHeaders()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    const auto parsed = parse(text);
    QVERIFY2(!parsed, "a bad header was read");
    QVERIFY2(QString::fromStdString(parsed.error().reason).contains(reason),
             qPrintable(QString::fromStdString(parsed.error().reason) + " does not say: " + reason));
    QVERIFY2(parsed.error().kind != spectrum::ErrorKind::Unworded, "a refusal without a kind for the window");
}

void TestImageRipple::rawSize()
{
    // 3 × 2 × 4 samples of 2 bytes after an offset of 10: 58 bytes.
    const std::string text = QByteArray(Plain).replace("offset\t0", "offset\t10").toStdString();
    const auto tooShort = image::openRipple(text, image::memoryBytes(std::string(57, '\0')));
    QVERIFY(!tooShort);
    QCOMPARE(tooShort.error().reason, std::string("the .raw file holds 57 bytes; the .rpl header describes 58 (an offset of 10 "
                                                  "and 3 × 2 pixels × 4 channels of 2 bytes)"));
    const auto exact = image::openRipple(text, image::memoryBytes(std::string(58, '\0')));
    QVERIFY(exact);
    QVERIFY(exact.value()->header().warnings.empty());
    const auto longer = image::openRipple(text, image::memoryBytes(std::string(60, '\0')));
    QVERIFY(longer);
    QCOMPARE(longer.value()->header().warnings.size(), std::size_t(1));
    // An offset past the end of the .raw.
    const auto past = image::openRipple(QByteArray(Plain).replace("offset\t0", "offset\t18446744073709551615").toStdString(),
                                        image::memoryBytes(std::string(60, '\0')));
    QVERIFY(!past);
}

void TestImageRipple::openByEitherFile()
{
    const synth::PhantomRecipe recipe = imagetesting::smallRecipe(4, 3, 20);
    const auto counts = imagetesting::phantomCube(synth::Phantom(recipe));
    const std::vector<double> values(counts.begin(), counts.end());
    const QString rpl = dir_.filePath("pair.rpl");
    QVERIFY(!imagetesting::writeRipple(rpl.toStdString(), recipe, values, {}));
    for (const QString &path : {rpl, dir_.filePath("pair.raw")}) {
        const auto opened = image::openFile(path.toStdString());
        QVERIFY2(opened, opened ? "" : opened.error().reason.c_str());
        QVERIFY(opened->isImage());
        QCOMPARE(opened->image->header().width, std::size_t(4));
    }
    // A header without its .raw, a .raw without its header.
    QVERIFY(QFile::copy(rpl, dir_.filePath("alone.rpl")));
    auto alone = image::openFile(dir_.filePath("alone.rpl").toStdString());
    QVERIFY(!alone);
    QCOMPARE(alone.error().reason, std::string("a ripple header without its data: no alone.raw beside it"));
    QVERIFY(QFile::copy(dir_.filePath("pair.raw"), dir_.filePath("lone.raw")));
    auto lone = image::openImageFile(dir_.filePath("lone.raw").toStdString());
    QVERIFY(!lone);
    QCOMPARE(lone.error().reason, std::string("a raw file without its ripple header: no lone.rpl beside it"));
    // Through openFile, a lone binary .raw is not a spectrum either.
    QVERIFY(!image::openFile(dir_.filePath("lone.raw").toStdString()));
    // Other files are single spectra.
    QFile msa(dir_.filePath("one.msa"));
    QVERIFY(msa.open(QIODevice::WriteOnly));
    msa.write("#FORMAT : EMSA/MAS Spectral Data File\n#NPOINTS : 3\n#XPERCHAN : 10\n#OFFSET : 0\n#SPECTRUM :\n1, 2, 3\n"
              "#ENDOFDATA :\n");
    msa.close();
    const auto single = image::openFile(dir_.filePath("one.msa").toStdString());
    QVERIFY2(single, single ? "" : single.error().reason.c_str());
    QVERIFY(!single->isImage());
    QCOMPARE(single->spectrum->channels(), std::size_t(3));
}

QTEST_GUILESS_MAIN(TestImageRipple)
#include "tst_image_ripple.moc"
