// The cube's spectra (sum, maximum pixel, one pixel, a rectangle) against
// sums taken directly over the phantom, from a cube in memory, a streamed
// .bcf and a streamed ripple file alike, in any chunking and on several
// threads; their metadata; refusals; progress and cancelling; and a cube
// loaded into memory equal to its file.
#include "imagetesting.h"

#include "image/bytesource.h"
#include "image/cube.h"
#include "image/open.h"
#include "image/ripple.h"
#include "image/spectra.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cmath>
#include <cstring>

class TestImageSpectra : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void spectra_data();
    void spectra();
    void metadata();
    void refusals();
    void progressAndCancel();
    void notFinite();
    void wideSums();
    void loadedCube();

private:
    std::shared_ptr<const image::PixelSource> source(const QString &kind) const;

    QTemporaryDir dir_;
    synth::PhantomRecipe recipe_ = imagetesting::smallRecipe(17, 9, 128);
    std::vector<std::uint32_t> cube_;
};

namespace {

std::vector<double> directSum(const std::vector<std::uint32_t> &cube, const synth::PhantomRecipe &r, const image::Rect &rect)
{
    std::vector<double> sum(r.channels, 0.0);
    for (std::size_t y = rect.y0; y < rect.y1; ++y)
        for (std::size_t x = rect.x0; x < rect.x1; ++x)
            for (std::size_t c = 0; c < r.channels; ++c)
                sum[c] += cube[(y * r.width + x) * r.channels + c];
    return sum;
}

} // namespace

void TestImageSpectra::initTestCase()
{
    QVERIFY(dir_.isValid());
    cube_ = imagetesting::phantomCube(synth::Phantom(recipe_));
    synth::BcfOptions bcf;
    bcf.blockSize = 2000;
    QVERIFY(!imagetesting::writeBcf(dir_.filePath("map.bcf").toStdString(), recipe_, cube_, bcf));
    synth::RippleOptions ripple;
    ripple.order = image::RecordOrder::Image;
    QVERIFY(!imagetesting::writeRipple(dir_.filePath("map.rpl").toStdString(), recipe_,
                                       std::vector<double>(cube_.begin(), cube_.end()), ripple));
}

std::shared_ptr<const image::PixelSource> TestImageSpectra::source(const QString &kind) const
{
    if (kind == "memory") {
        image::Header h;
        h.width = recipe_.width;
        h.height = recipe_.height;
        h.channels = recipe_.channels;
        h.type = image::SampleType::U32;
        auto cube = image::Cube::copyOf(h, std::as_bytes(std::span(cube_)));
        return cube ? cube.value() : nullptr;
    }
    auto opened = image::openImageFile(dir_.filePath(kind).toStdString());
    return opened ? opened.value() : nullptr;
}

void TestImageSpectra::spectra_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("threads");
    for (const char *kind : {"memory", "map.bcf", "map.rpl"}) {
        QTest::newRow(qPrintable(QString("%1, rows").arg(kind))) << kind << 0 << 1;
        QTest::newRow(qPrintable(QString("%1, chunks of 5 on 3 threads").arg(kind))) << kind << 5 << 3;
    }
}

void TestImageSpectra::spectra()
{
    QFETCH(QString, kind);
    QFETCH(int, chunk);
    QFETCH(int, threads);
    const auto src = source(kind);
    QVERIFY(src);
    image::ChunkOptions options;
    options.chunkPixels = std::size_t(chunk);
    options.threads = unsigned(threads);

    const auto summary = image::summarize(*src, options);
    QVERIFY2(summary, summary ? "" : summary.error().reason.c_str());
    const image::Rect all{0, 0, recipe_.width, recipe_.height};
    const std::vector<double> sum = directSum(cube_, recipe_, all);
    QVERIFY(summary->sum.counts == sum);
    double total = 0;
    for (double c : sum)
        total += c;
    QCOMPARE(summary->totalCounts, total);
    std::vector<double> maximum(recipe_.channels, 0.0);
    for (std::size_t i = 0; i < cube_.size(); ++i)
        maximum[i % recipe_.channels] = std::max(maximum[i % recipe_.channels], double(cube_[i]));
    QVERIFY(summary->maximum.counts == maximum);
    const auto sumAlone = image::sumSpectrum(*src, options);
    QVERIFY(sumAlone && sumAlone->counts == sum);
    const auto maximumAlone = image::maximumPixelSpectrum(*src, options);
    QVERIFY(maximumAlone && maximumAlone->counts == maximum);

    for (const image::Rect &rect : {image::Rect{0, 0, 1, 1}, image::Rect{16, 8, 17, 9}, image::Rect{3, 2, 11, 7},
                                    image::Rect{0, 4, 17, 5}, image::Rect{5, 0, 6, 9}, all}) {
        const auto region = image::regionSpectrum(*src, rect, options);
        QVERIFY2(region, region ? "" : region.error().reason.c_str());
        QVERIFY2(region->counts == directSum(cube_, recipe_, rect),
                 qPrintable(QString("%1,%2 to %3,%4").arg(rect.x0).arg(rect.y0).arg(rect.x1).arg(rect.y1)));
        if (rect.x1 - rect.x0 == 1 && rect.y1 - rect.y0 == 1) {
            const auto pixel = image::pixelSpectrum(*src, rect.x0, rect.y0);
            QVERIFY(pixel && pixel->counts == region->counts);
        }
    }
}

void TestImageSpectra::metadata()
{
    // The ripple pair carries each pixel's live time (0.5 s): the sum has
    // that of every pixel, a rectangle of its pixels, the maximum none.
    const auto src = source("map.rpl");
    QVERIFY(src);
    const auto summary = image::summarize(*src);
    QVERIFY(summary);
    const spectrum::Spectrum &sum = summary->sum;
    QCOMPARE(sum.calibration, std::optional(spectrum::Calibration{recipe_.offset_eV, recipe_.gain_eV}));
    QCOMPARE(sum.meta.beam_kV, std::optional(recipe_.beam_kV));
    QCOMPARE(sum.meta.liveTime_s, std::optional(0.5 * double(recipe_.width * recipe_.height)));
    QCOMPARE(sum.meta.title, std::string("phantom, sum spectrum"));
    QCOMPARE(summary->maximum.meta.liveTime_s, std::nullopt);
    const auto region = image::regionSpectrum(*src, {2, 2, 4, 5});
    QVERIFY(region);
    QCOMPARE(region->meta.liveTime_s, std::optional(3.0));
    QCOMPARE(region->meta.title, std::string("phantom, sum of x 2 to 3, y 2 to 4"));
    const auto pixel = image::pixelSpectrum(*src, 16, 8);
    QVERIFY(pixel);
    QCOMPARE(pixel->meta.liveTime_s, std::optional(0.5));
    QCOMPARE(pixel->meta.title, std::string("phantom, pixel 16, 8"));
}

void TestImageSpectra::refusals()
{
    const auto src = source("map.bcf");
    QVERIFY(src);
    const auto outside = image::pixelSpectrum(*src, 17, 0);
    QVERIFY(!outside);
    QCOMPARE(outside.error().reason, std::string("pixel 17, 0 is outside the image of 17 × 9 pixels"));
    QVERIFY(!image::pixelSpectrum(*src, 0, 9));
    for (const image::Rect &rect : {image::Rect{3, 3, 3, 5}, image::Rect{4, 3, 2, 5}, image::Rect{0, 0, 18, 9},
                                    image::Rect{0, 0, 17, 10}})
        QVERIFY(!image::regionSpectrum(*src, rect));
    // Reads outside the image, or into a buffer of the wrong size.
    std::vector<std::byte> buffer(src->header().pixelBytes() * 2);
    QVERIFY(src->read(0, 2, buffer) == std::nullopt);
    QVERIFY(src->read(17 * 9 - 1, 2, buffer));
    QVERIFY(src->read(0, 1, buffer));
}

void TestImageSpectra::progressAndCancel()
{
    const auto src = source("map.bcf");
    QVERIFY(src);
    image::ChunkOptions options;
    options.chunkPixels = 10;
    options.threads = 2;
    std::vector<std::uint64_t> seen;
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
        seen.push_back(done);
        return total == 17 * 9;
    };
    QVERIFY(image::summarize(*src, options));
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(seen.back(), std::uint64_t(17 * 9));
    QCOMPARE(seen.size(), std::size_t(16)); // 153 pixels in chunks of 10

    std::atomic<int> chunks{0};
    options.progress = [](std::uint64_t, std::uint64_t) { return false; };
    const auto cancelled = image::forEachChunk(*src, options, [&](const image::Chunk &) -> std::optional<image::Error> {
        ++chunks;
        return std::nullopt;
    });
    QVERIFY(cancelled && image::isCancelled(*cancelled));
    QVERIFY(chunks <= 2); // what each thread had started
    // An error of the consumer stops the walk and comes back.
    const auto stopped = image::forEachChunk(*src, {}, [](const image::Chunk &) -> std::optional<image::Error> {
        return image::Error{"enough"};
    });
    QVERIFY(stopped && stopped->reason == "enough");
}

void TestImageSpectra::notFinite()
{
    const std::string rpl = "width\t2\nheight\t2\ndepth\t3\ndata-type\tfloat\ndata-length\t4\nbyte-order\tlittle-endian\n"
                            "record-by\tvector\n";
    std::vector<float> values(12, 1.5f);
    values[10] = std::nanf("");
    std::string raw(reinterpret_cast<const char *>(values.data()), values.size() * sizeof(float));
    const auto opened = image::openRipple(rpl, image::memoryBytes(raw));
    QVERIFY(opened);
    const auto summary = image::summarize(*opened.value());
    QVERIFY(!summary);
    QCOMPARE(summary.error().reason, std::string("pixel 1, 1 holds a count that is not a finite number in channel 1"));
    QVERIFY(!image::pixelSpectrum(*opened.value(), 1, 1));
    QVERIFY(image::pixelSpectrum(*opened.value(), 0, 1));
}

void TestImageSpectra::wideSums()
{
    // 64-bit counts past what a 64-bit integer holds once added (found by
    // fuzzing: they overflowed) add up as doubles; 32-bit ones exactly.
    const std::string rpl = "width\t2\nheight\t2\ndepth\t2\ndata-type\tsigned\ndata-length\t8\nbyte-order\tlittle-endian\n"
                            "record-by\tvector\n";
    std::vector<std::int64_t> values(8, std::int64_t(1) << 62);
    const auto opened = image::openRipple(
        rpl, image::memoryBytes(std::string(reinterpret_cast<const char *>(values.data()), values.size() * 8)));
    QVERIFY(opened);
    const auto summary = image::summarize(*opened.value());
    QVERIFY(summary);
    QCOMPARE(summary->sum.counts[0], 4.0 * double(std::int64_t(1) << 62));

    const std::string rpl32 = "width\t3\nheight\t1\ndepth\t1\ndata-type\tunsigned\ndata-length\t4\nbyte-order\tlittle-endian\n"
                              "record-by\tvector\n";
    std::vector<std::uint32_t> big = {4294967295u, 4294967295u, 3u};
    const auto opened32 = image::openRipple(
        rpl32, image::memoryBytes(std::string(reinterpret_cast<const char *>(big.data()), big.size() * 4)));
    QVERIFY(opened32);
    const auto sum32 = image::sumSpectrum(*opened32.value());
    QVERIFY(sum32);
    QCOMPARE(sum32->counts[0], 8589934593.0);
}

void TestImageSpectra::loadedCube()
{
    const auto src = source("map.bcf");
    QVERIFY(src);
    image::ChunkOptions options;
    options.threads = 3;
    options.chunkPixels = 4;
    const auto cube = image::loadCube(*src, options);
    QVERIFY2(cube, cube ? "" : cube.error().reason.c_str());
    QCOMPARE(cube.value()->header().type, src->header().type);
    std::string error;
    QVERIFY(imagetesting::readAll(*cube.value(), error) == imagetesting::readAll(*src, error));
    QVERIFY(cube.value()->data() != nullptr);
    const auto pixel = cube.value()->pixel(5, 3);
    std::vector<double> counts(recipe_.channels);
    image::toDoubles(src->header().type, pixel.data(), recipe_.channels, counts.data());
    QVERIFY(std::equal(counts.begin(), counts.end(), cube_.begin() + std::ptrdiff_t((3 * recipe_.width + 5) * recipe_.channels)));
    // A copy of the wrong size is refused.
    QVERIFY(!image::Cube::copyOf(src->header(), cube.value()->bytes().subspan(1)));
}

QTEST_GUILESS_MAIN(TestImageSpectra)
#include "tst_image_spectra.moc"
