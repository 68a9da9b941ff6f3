// The .bcf reader on synthetic maps: every packing, compressed or plain,
// both versions, small container chunks (chained tables) and records that
// straddle compressed blocks, each count against the phantom it was written
// from; the count type; reads by chunk, by pixel and from several threads;
// progress and cancelling; and damaged files refused with their reason.
#include "imagetesting.h"

#include "image/bcf.h"
#include "image/bytesource.h"
#include "image/spectra.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

class TestImageBcf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyLayout_data();
    void everyLayout();
    void countType_data();
    void countType();
    void chunksPixelsAndThreads();
    void progressAndCancel();
    void damaged_data();
    void damaged();
    void everyTruncation();

private:
    QByteArray write(const QString &name, const synth::PhantomRecipe &recipe, const std::vector<std::uint32_t> &cube,
                     const synth::BcfOptions &options);

    QTemporaryDir dir_;
    synth::PhantomRecipe recipe_ = imagetesting::smallRecipe(19, 11, 256);
    std::vector<std::uint32_t> cube_;
    QByteArray plain_, packed_, compressed_; // chunks of 4096 bytes
};

namespace {

constexpr std::uint32_t Chunk = 4096;
// Where the pixel data start in a plain file of the tools' writer: the data
// file comes first, from chunk 1.
constexpr qsizetype DataStart = 0x118 + Chunk + 32;
constexpr qsizetype FirstRecord = DataStart + 0x1A4;

image::Result<std::shared_ptr<const image::PixelSource>> open(const QByteArray &bytes)
{
    return image::openBcf(image::memoryBytes(bytes.toStdString()));
}

QByteArray patched(QByteArray bytes, qsizetype at, const QByteArray &with)
{
    bytes.replace(at, with.size(), with);
    return bytes;
}

QByteArray le32(std::uint32_t v)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char((v >> (8 * i)) & 0xFF);
    return out;
}

std::uint32_t readLe32(const QByteArray &bytes, qsizetype at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | std::uint8_t(bytes[at + i]);
    return v;
}

} // namespace

QByteArray TestImageBcf::write(const QString &name, const synth::PhantomRecipe &recipe,
                               const std::vector<std::uint32_t> &cube, const synth::BcfOptions &options)
{
    const QString path = dir_.filePath(name);
    const auto error = imagetesting::writeBcf(path.toStdString(), recipe, cube, options);
    if (error)
        qFatal("%s", error->c_str());
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void TestImageBcf::initTestCase()
{
    QVERIFY(dir_.isValid());
    cube_ = imagetesting::phantomCube(synth::Phantom(recipe_));
    synth::BcfOptions options;
    options.chunkSize = Chunk;
    options.compressed = false;
    plain_ = write("plain.bcf", recipe_, cube_, options);
    options.packing = synth::BcfPacking::Packed;
    packed_ = write("packed.bcf", recipe_, cube_, options);
    options.packing = synth::BcfPacking::Pulses12;
    options.compressed = true;
    compressed_ = write("compressed.bcf", recipe_, cube_, options);
}

void TestImageBcf::everyLayout_data()
{
    QTest::addColumn<int>("packing");
    QTest::addColumn<bool>("extraPulses");
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<int>("blockSize");
    const int p12 = int(synth::BcfPacking::Pulses12), p16 = int(synth::BcfPacking::Pulses16),
              packed = int(synth::BcfPacking::Packed);
    QTest::newRow("12-bit pulses, compressed") << p12 << false << true << 2 << 65536 << 524288;
    QTest::newRow("16-bit pulses, compressed") << p16 << false << true << 2 << 65536 << 524288;
    QTest::newRow("packed counts and extra pulses") << packed << true << true << 2 << 65536 << 524288;
    QTest::newRow("packed counts, plain, version 1") << packed << false << false << 1 << 4096 << 0;
    QTest::newRow("12-bit pulses, plain, version 1") << p12 << false << false << 1 << 4096 << 0;
    // Tables chained over many chunks, records over many blocks.
    QTest::newRow("smallest chunks, compressed") << p16 << false << true << 2 << 544 << 1000;
    QTest::newRow("smallest chunks, plain") << p12 << false << false << 2 << 544 << 0;
    QTest::newRow("blocks of 100 bytes") << packed << true << true << 2 << 4096 << 100;
}

void TestImageBcf::everyLayout()
{
    QFETCH(int, packing);
    QFETCH(bool, extraPulses);
    QFETCH(bool, compressed);
    QFETCH(int, version);
    QFETCH(int, chunkSize);
    QFETCH(int, blockSize);
    synth::BcfOptions options;
    options.packing = synth::BcfPacking(packing);
    options.extraPulses = extraPulses;
    options.compressed = compressed;
    options.version = version;
    options.chunkSize = std::uint32_t(chunkSize);
    if (blockSize)
        options.blockSize = std::uint32_t(blockSize);
    const QByteArray bytes = write("layout.bcf", recipe_, cube_, options);
    const auto opened = open(bytes);
    QVERIFY2(opened, opened ? "" : opened.error().reason.c_str());
    const image::Header &h = opened.value()->header();
    QCOMPARE(h.format, image::Format::Bcf);
    QCOMPARE(h.width, recipe_.width);
    QCOMPARE(h.height, recipe_.height);
    QCOMPARE(h.channels, recipe_.channels);
    QVERIFY(h.calibration);
    QCOMPARE(h.calibration->offset_eV, recipe_.offset_eV);
    QCOMPARE(h.calibration->gain_eV, recipe_.gain_eV);
    QCOMPARE(h.meta.beam_kV, std::optional(recipe_.beam_kV));
    QCOMPARE(h.meta.title, std::string("phantom"));
    QCOMPARE(h.meta.pixelWidth, std::optional(0.25));
    QCOMPARE(h.meta.pixelUnit, std::string("µm"));
    QVERIFY(h.meta.realTime_s);
    QVERIFY2(h.warnings.empty(), h.warnings.empty() ? "" : h.warnings[0].c_str());

    std::string error;
    const std::vector<double> read = imagetesting::readAll(*opened.value(), error);
    QVERIFY2(error.empty(), error.c_str());
    QCOMPARE(read.size(), cube_.size());
    for (std::size_t i = 0; i < cube_.size(); ++i)
        if (read[i] != cube_[i])
            QFAIL(qPrintable(QString("sample %1: %2, written %3").arg(i).arg(read[i]).arg(cube_[i])));
}

void TestImageBcf::countType_data()
{
    QTest::addColumn<int>("packing");
    QTest::addColumn<int>("largest");
    QTest::addColumn<int>("type");
    const int p12 = int(synth::BcfPacking::Pulses12), packed = int(synth::BcfPacking::Packed);
    // Pulses: the largest count of a channel, whatever the pixel's pulses.
    QTest::newRow("pulses, 255 in a channel: 8 bits") << p12 << 255 << int(image::SampleType::U8);
    QTest::newRow("pulses, 256 in a channel: 16 bits") << p12 << 256 << int(image::SampleType::U16);
    QTest::newRow("pulses, 60000 in a channel: 16 bits") << int(synth::BcfPacking::Pulses16) << 60000 << int(image::SampleType::U16);
    // Packed counts: the largest count itself.
    QTest::newRow("packed 255: 8 bits") << packed << 255 << int(image::SampleType::U8);
    QTest::newRow("packed 65535: 16 bits") << packed << 65535 << int(image::SampleType::U16);
    QTest::newRow("packed 65536: 32 bits") << packed << 65536 << int(image::SampleType::U32);
    QTest::newRow("packed 3e9: 32 bits") << packed << -1294967296 /* 3e9 as uint32 */ << int(image::SampleType::U32);
}

void TestImageBcf::countType()
{
    QFETCH(int, packing);
    QFETCH(int, largest);
    QFETCH(int, type);
    synth::PhantomRecipe recipe = imagetesting::smallRecipe(3, 2, 40);
    // Every channel 1 (40 pulses and more a pixel), and pixel 1, 1 has
    // `largest` in channel 7.
    std::vector<std::uint32_t> cube(3 * 2 * 40, 1);
    cube[40 * 4 + 7] = std::uint32_t(largest);
    synth::BcfOptions options;
    options.packing = synth::BcfPacking(packing);
    const auto opened = open(write("type.bcf", recipe, cube, options));
    QVERIFY2(opened, opened ? "" : opened.error().reason.c_str());
    QCOMPARE(int(opened.value()->header().type), type);
    const auto pixel = image::pixelSpectrum(*opened.value(), 1, 1);
    QVERIFY(pixel);
    QCOMPARE(pixel->counts[7], double(cube[40 * 4 + 7]));
}

void TestImageBcf::chunksPixelsAndThreads()
{
    const auto opened = open(compressed_);
    QVERIFY(opened);
    const image::PixelSource &source = *opened.value();
    std::string error;
    for (std::size_t chunk : {std::size_t(1), std::size_t(7), recipe_.width, recipe_.width * 3 + 2, std::size_t(0)}) {
        for (unsigned threads : {1u, 3u}) {
            const auto read = imagetesting::readAll(source, error, chunk, threads);
            QVERIFY2(error.empty(), error.c_str());
            QVERIFY2(std::equal(read.begin(), read.end(), cube_.begin()),
                     qPrintable(QString("chunks of %1 on %2 threads").arg(chunk).arg(threads)));
        }
    }
    // Single pixels from several threads at once, against the phantom.
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t y = std::size_t(t); y < recipe_.height; y += 4)
                for (std::size_t x = 0; x < recipe_.width; x += 3) {
                    const auto pixel = image::pixelSpectrum(source, x, y);
                    const std::uint32_t *truth = cube_.data() + (y * recipe_.width + x) * recipe_.channels;
                    if (!pixel || !std::equal(pixel->counts.begin(), pixel->counts.end(), truth))
                        ++wrong;
                }
        });
    for (std::thread &t : threads)
        t.join();
    QCOMPARE(wrong.load(), 0);
}

void TestImageBcf::progressAndCancel()
{
    std::vector<std::uint64_t> seen;
    std::uint64_t total = 0;
    const auto opened = image::openBcf(image::memoryBytes(plain_.toStdString()), [&](std::uint64_t done, std::uint64_t all) {
        seen.push_back(done);
        total = all;
        return true;
    });
    QVERIFY(opened);
    QVERIFY(!seen.empty());
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(seen.back(), total);

    const auto cancelled = image::openBcf(image::memoryBytes(plain_.toStdString()),
                                          [](std::uint64_t, std::uint64_t) { return false; });
    QVERIFY(!cancelled);
    QVERIFY(image::isCancelled(cancelled.error()));
}

void TestImageBcf::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray &p = plain_;
    QTest::newRow("no signature") << patched(p, 0, "XAMVHFSS") << "no AAMVHFSS signature";
    QTest::newRow("too short for a header") << p.left(200) << "cut short within its header";
    QTest::newRow("chunk size 16") << patched(p, 0x128, le32(16)) << "chunk size of 16 bytes";
    QTest::newRow("file table past the end") << patched(p, 0x140, le32(900000)) << "points to chunk 900000";
    QTest::newRow("a million entries") << patched(p, 0x144, le32(1000000)) << "does not fit in the file";
    QTest::newRow("empty file table") << patched(p, 0x144, le32(0)) << "file table is empty";
    {
        QByteArray renamed = p;
        renamed.replace("SpectrumData0", "SpectrumDataX");
        QTest::newRow("no map") << renamed << "no EDSDatabase/SpectrumData";
    }
    {
        // The header's own tag, not the file's entry: the sum spectrum gone.
        QByteArray noSum = p;
        noSum.replace("<SpectrumData0>", "<SpectrumDataX>").replace("</SpectrumData0>", "</SpectrumDataX>");
        QTest::newRow("no sum spectrum") << noSum << "has no SpectrumData0 spectrum";
    }
    {
        QByteArray bad = p;
        bad.replace("<RTHeader/>", "<RTHeader<>"); // the same length: the container unchanged
        QTest::newRow("header not XML") << bad << "not well-formed XML";
    }
    QTest::newRow("no calibration gain") << QByteArray(p).replace("CalibLin>", "CalibLiN>")
                                         << "";
    QTest::newRow("negative height") << patched(p, DataStart, le32(0xFFFFFFFF)) << "size of 19 × -1 pixels";
    QTest::newRow("more records than pixels") << patched(p, DataStart + 0x1A0, le32(20)) << "row 0 holds 20 pixel records";
    QTest::newRow("record outside the row") << patched(p, FirstRecord, le32(19)) << "column 19, outside its 19 pixels";
    {
        const std::uint32_t firstData = readLe32(p, FirstRecord + 18);
        const qsizetype second = FirstRecord + 22 + firstData;
        QTest::newRow("records out of order") << patched(p, second, le32(0)) << "out of order (column 0 after 0)";
    }
    QTest::newRow("more 12-bit pulses than bytes") << patched(p, FirstRecord + 16, QByteArray("\x60\xEA", 2))
                                                   << "60000 pulses of 12 bits in";
    QTest::newRow("a record of 2 GB") << patched(p, FirstRecord + 18, le32(0x7FFFFFFF)) << "a record of 2147483647 bytes";
    QTest::newRow("a record past the end") << patched(p, FirstRecord + 18, le32(0x7FFFFF)) << "cut short";
    QTest::newRow("packed group of width 3") << patched(packed_, FirstRecord + 22, "\x03") << "width 3";
    {
        // The first group's count of channels made to run past the data.
        QByteArray bad = packed_;
        const std::uint32_t size = readLe32(bad, FirstRecord + 18);
        bad[FirstRecord + 22] = '\x08';
        bad[FirstRecord + 23] = '\xFF';
        QTest::newRow("packed group past the data") << bad << (size < 8 + 4 * 255 ? "runs past the record's data" : "");
    }
    {
        // The data file's first block: AACS, its block size and count.
        const qsizetype aacs = compressed_.indexOf("AACS");
        QTest::newRow("a million blocks") << patched(compressed_, aacs + 12, le32(1000000)) << "claims 1000000 compressed blocks";
        QTest::newRow("blocks of 1 GB") << patched(compressed_, aacs + 4, le32(1u << 30)) << "compressed in blocks of";
        QTest::newRow("damaged zlib data") << patched(compressed_, aacs + 0x80 + 16 + 40, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF")
                                           << "compressed block 1";
        QTest::newRow("block bigger than its header says")
            << patched(compressed_, aacs + 0x80 + 4, le32(100)) << "decompresses to more than the 100 bytes";
    }
}

void TestImageBcf::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const auto opened = open(bytes);
    if (reason.isEmpty()) {
        // Readable, with a warning instead.
        QVERIFY2(opened, opened ? "" : opened.error().reason.c_str());
        QVERIFY(!opened.value()->header().warnings.empty());
        return;
    }
    QVERIFY2(!opened, "a damaged file was read");
    QVERIFY2(QString::fromStdString(opened.error().reason).contains(reason),
             qPrintable(QString::fromStdString(opened.error().reason) + " does not say: " + reason));
    QVERIFY2(opened.error().kind != spectrum::ErrorKind::Unworded, "a refusal without a kind for the window");
}

void TestImageBcf::everyTruncation()
{
    // Every file cut short is refused (the container's table comes last),
    // whatever the cut, without reading past what is there.
    for (const QByteArray *file : {&plain_, &compressed_})
        for (qsizetype cut = 0; cut < file->size(); cut += 97) {
            const auto opened = open(file->left(cut));
            QVERIFY2(!opened, qPrintable(QString("cut at %1 of %2 bytes").arg(cut).arg(file->size())));
            QVERIFY(!opened.error().reason.empty());
            QVERIFY(opened.error().kind != spectrum::ErrorKind::Unworded);
        }
}

QTEST_GUILESS_MAIN(TestImageBcf)
#include "tst_image_bcf.moc"
