// Element maps (identify/mapmodel.h, identify/mapfit.h, image/elementmaps.h)
// on the phantom of tools/synth/phantom.h: each element where its phase is
// and nowhere else, the overlapping pairs (Ti Kb on V Ka, Si Ka on W Ma)
// told apart; the per-pixel solver against Lawson and Hanson's method on
// the same normal equations worked out independently; the same maps in
// any chunking and on any number of threads; the model as bytes; the
// edges (no counts, no lines in range, a count that is not a number); and
// the .npy and PNG files the maps are written as.
#include "imagetesting.h"

#include "identify/mapfit.h"
#include "identify/mapmodel.h"
#include "identify/nnls.h"
#include "image/arrayview.h"
#include "image/cube.h"
#include "image/elementmaps.h"
#include "image/mapimage.h"
#include "image/npy.h"
#include "image/open.h"
#include "image/png.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>

class TestImageMaps : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void crosstalk_data();
    void crosstalk();
    void identifiedElements();
    void solver();
    void chunking();
    void modelBytes();
    void edges();
    void npyFile();
    void pngFile();

private:
    std::string path(const QString &name) const { return dir_.filePath(name).toStdString(); }
    // Each element's mean map value over the pixels of each phase.
    std::map<std::string, std::vector<double>> phaseMeans(const std::vector<image::ElementMap> &maps) const;

    QTemporaryDir dir_;
    synth::PhantomRecipe recipe_;
    std::vector<std::uint32_t> cube_;
    std::map<QString, image::MapResult> results_; // by file kind
};

namespace {

const std::vector<int> Given = {6, 8, 14, 22, 23, 74}; // C, O, Si, Ti, V, W

identify::MapOptions given()
{
    identify::MapOptions o;
    o.elements = Given;
    return o;
}

std::shared_ptr<image::Cube> cubeOf(const synth::PhantomRecipe &r, const std::vector<std::uint32_t> &counts)
{
    image::Header h;
    h.width = r.width;
    h.height = r.height;
    h.channels = r.channels;
    h.type = image::SampleType::U32;
    h.calibration = spectrum::Calibration{r.offset_eV, r.gain_eV};
    h.meta.beam_kV = r.beam_kV;
    auto cube = image::Cube::copyOf(h, std::as_bytes(std::span(counts)));
    return cube ? cube.value() : nullptr;
}

// The top-hat filter by its definition: the central window's mean less the
// side windows' mean, 0 where the windows leave the bins.
std::vector<double> filtered(const identify::MapModel &m, const std::vector<double> &counts)
{
    std::vector<double> bins(m.bins, 0.0), out(m.bins, 0.0);
    for (std::size_t b = 0; b < m.bins; ++b)
        for (std::size_t q = 0; q < m.channelsPerBin; ++q)
            bins[b] += counts[m.firstChannel + b * m.channelsPerBin + q];
    for (std::size_t i = 0; i < m.bins; ++i) {
        const long h = m.half[i], s = m.side[i], n = long(m.bins);
        if (long(i) - h - s < 0 || long(i) + h + s >= n)
            continue;
        double centre = 0, sides = 0;
        for (long j = -h; j <= h; ++j)
            centre += bins[std::size_t(long(i) + j)];
        for (long j = h + 1; j <= h + s; ++j)
            sides += bins[std::size_t(long(i) + j)] + bins[std::size_t(long(i) - j)];
        out[i] = centre / double(2 * h + 1) - sides / double(2 * s);
    }
    return out;
}

double weighted(const identify::MapModel &m, std::size_t first, const std::vector<double> &a, const std::vector<double> &b,
                std::size_t bFirst = 0)
{
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        const std::size_t i = first + k;
        if (i >= bFirst && i - bFirst < b.size())
            sum += m.weights[i] * a[k] * b[i - bFirst];
    }
    return sum;
}

std::uint32_t bigEndian32(const unsigned char *p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

std::vector<char> readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

void TestImageMaps::initTestCase()
{
    QVERIFY(dir_.isValid());
    recipe_ = imagetesting::smallRecipe(48, 48, 1024);
    recipe_.gain_eV = 20;
    recipe_.offset_eV = -475;
    recipe_.countsPerPixel = 1000;
    cube_ = imagetesting::phantomCube(synth::Phantom(recipe_));
    QVERIFY(!imagetesting::writeBcf(path("map.bcf"), recipe_, cube_, {}));
    QVERIFY(!imagetesting::writeRipple(path("map.rpl"), recipe_, std::vector<double>(cube_.begin(), cube_.end()), {}));
    image::ChunkOptions options;
    options.threads = 2;
    for (const QString kind : {"rpl", "bcf"}) {
        const auto source = image::openImageFile(path("map." + kind));
        QVERIFY(source);
        auto result = image::elementMaps(*source.value(), given(), options);
        QVERIFY2(result, result ? "" : result.error().reason.c_str());
        results_.emplace(kind, std::move(result.value()));
    }
}

std::map<std::string, std::vector<double>> TestImageMaps::phaseMeans(const std::vector<image::ElementMap> &maps) const
{
    const synth::Phantom phantom(recipe_);
    std::map<std::string, std::vector<double>> means;
    for (const image::ElementMap &m : maps) {
        std::vector<double> sum(5, 0.0), count(5, 0.0);
        for (std::size_t y = 0; y < recipe_.height; ++y)
            for (std::size_t x = 0; x < recipe_.width; ++x) {
                const std::size_t phase = phantom.phaseAt(x, y);
                sum[phase] += m.values[y * recipe_.width + x];
                ++count[phase];
            }
        for (std::size_t p = 0; p < 5; ++p)
            sum[p] /= count[p];
        means[m.symbol] = sum;
    }
    return means;
}

void TestImageMaps::crosstalk_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("own");
    QTest::addColumn<int>("other");
    QTest::addColumn<double>("most");
    // Phases: 0 carbon, 1 TiO2, 2 V2O5, 3 SiO2, 4 W. Si Ka and W Ma lie 35 eV
    // apart: the model of the W M lines leaves a few per cent of Si in W.
    for (const QString file : {"rpl", "bcf"}) {
        const auto row = [&](const char *name, const char *element, int own, int other, double most) {
            QTest::newRow(qPrintable(file + ": " + name)) << file << element << own << other << most;
        };
        row("Ti, not in V2O5 (Ti Kb on V Ka)", "Ti", 1, 2, 0.04);
        row("V, not in TiO2 (V Ka under Ti Kb)", "V", 2, 1, 0.04);
        row("W, not in SiO2 (W Ma on Si Ka)", "W", 4, 3, 0.04);
        row("Si, not in W (Si Ka under W Ma)", "Si", 3, 4, 0.09);
        row("Ti, not in the carbon", "Ti", 1, 0, 0.01);
        row("V, not in the carbon", "V", 2, 0, 0.01);
        row("Si, not in the carbon", "Si", 3, 0, 0.01);
        row("W, not in the carbon", "W", 4, 0, 0.01);
        row("C, not in W", "C", 0, 4, 0.02);
        row("O, in SiO2 and not in W", "O", 3, 4, 0.02);
        row("O, in SiO2 and not in the carbon", "O", 3, 0, 0.02);
    }
}

void TestImageMaps::crosstalk()
{
    QFETCH(QString, file);
    QFETCH(QString, element);
    QFETCH(int, own);
    QFETCH(int, other);
    QFETCH(double, most);
    const auto means = phaseMeans(results_.at(file).maps);
    const std::vector<double> &m = means.at(element.toStdString());
    QVERIFY2(m[std::size_t(own)] > 50, qPrintable(QString("%1 in its own phase: %2").arg(element).arg(m[std::size_t(own)])));
    QVERIFY2(m[std::size_t(other)] <= most * m[std::size_t(own)],
             qPrintable(QString("%1: %2 where it is, %3 where it is not").arg(element).arg(m[std::size_t(own)]).arg(m[std::size_t(other)])));
}

void TestImageMaps::identifiedElements()
{
    // Without elements given, those identified in the sum, in its order,
    // each brightest in its own phase.
    const auto source = image::openImageFile(path("map.rpl"));
    QVERIFY(source);
    const auto result = image::elementMaps(*source.value(), {}, {});
    QVERIFY(result);
    const auto &id = result->design.identification;
    QCOMPARE(result->maps.size(), id.elements.size());
    for (std::size_t i = 0; i < id.elements.size(); ++i)
        QCOMPARE(result->maps[i].Z, id.elements[i].Z);
    const auto means = phaseMeans(result->maps);
    for (const auto &[symbol, phase] : std::map<std::string, std::size_t>{{"Ti", 1}, {"V", 2}, {"W", 4}, {"C", 0}}) {
        QVERIFY2(means.count(symbol), symbol.c_str());
        const std::vector<double> &m = means.at(symbol);
        QCOMPARE(std::size_t(std::max_element(m.begin(), m.end()) - m.begin()), phase);
    }
    // The elements given come in the order given, the lines of each those
    // that explain peaks of the sum.
    const auto &maps = results_.at("rpl").maps;
    QCOMPARE(maps.size(), Given.size());
    for (std::size_t i = 0; i < Given.size(); ++i)
        QCOMPARE(maps[i].Z, Given[i]);
    QCOMPARE(maps[3].symbol, std::string("Ti"));
    QVERIFY(std::find(maps[3].lines.begin(), maps[3].lines.end(), "Ka1") != maps[3].lines.end());
}

void TestImageMaps::solver()
{
    // Each pixel's amplitudes against nnls.h on normal equations worked out
    // here from the filter's definition: the same minimum. Signed columns
    // go in as two columns, of either sign.
    const identify::MapModel &m = results_.at("rpl").design.model;
    const auto fit = identify::MapFit::prepare(m);
    QVERIFY(fit);
    std::vector<std::size_t> columns; // fitted, with a sign
    std::vector<double> signs;
    for (std::size_t c = 0; c < m.columns.size(); ++c) {
        if (!fit->fitted(c))
            continue;
        columns.push_back(c);
        signs.push_back(1);
        if (m.columns[c].kind == identify::MapColumn::Kind::Signed) {
            columns.push_back(c);
            signs.push_back(-1);
        }
    }
    const std::size_t n = columns.size();
    identify::SquareMatrix G(n);
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b) {
            const identify::MapColumn &ca = m.columns[columns[a]], &cb = m.columns[columns[b]];
            G(a, b) = signs[a] * signs[b] * weighted(m, ca.first, ca.values, cb.values, cb.first);
        }
    const synth::Phantom phantom(recipe_);
    int checked = 0, constrained = 0;
    for (std::size_t p = 0; p < recipe_.width * recipe_.height; p += 37) {
        const std::uint32_t *pixel = cube_.data() + p * recipe_.channels;
        const std::vector<double> counts(pixel, pixel + recipe_.channels);
        const identify::MapFit::PixelFit mine = fit->fitPixel(pixel);
        // What the tied columns take away, then the right-hand side.
        std::vector<double> f = filtered(m, counts);
        for (std::size_t t = 0; t < m.tied.size(); ++t) {
            double inRange = 0;
            for (std::size_t c = m.tied[t].fromChannel; c < m.tied[t].toChannel; ++c)
                inRange += counts[c];
            QCOMPARE(mine.tiedCounts[t], inRange);
            for (std::size_t k = 0; k < m.tied[t].values.size(); ++k)
                f[m.tied[t].first + k] -= inRange * m.tied[t].values[k];
        }
        std::vector<double> g(n);
        for (std::size_t a = 0; a < n; ++a)
            g[a] = signs[a] * weighted(m, m.columns[columns[a]].first, m.columns[columns[a]].values, f);
        const std::vector<double> theirs = identify::nonNegativeLeastSquares(G, g);
        std::vector<double> amplitude(m.columns.size(), 0.0);
        for (std::size_t a = 0; a < n; ++a)
            amplitude[columns[a]] += signs[a] * theirs[a];
        double scale = 1;
        for (const double v : amplitude)
            scale = std::max(scale, std::fabs(v));
        for (std::size_t c = 0; c < m.columns.size(); ++c) {
            constrained += c < m.elementCount() && mine.amplitudes[c] == 0;
            QVERIFY2(std::fabs(mine.amplitudes[c] - amplitude[c]) <= 1e-6 * scale,
                     qPrintable(QString("pixel %1, %2: %3 against %4").arg(p).arg(m.columns[c].label.c_str())
                                    .arg(mine.amplitudes[c]).arg(amplitude[c])));
        }
        ++checked;
    }
    QVERIFY(checked > 50);
    QVERIFY(constrained > 50); // the constraint was at work
}

void TestImageMaps::chunking()
{
    // The same maps from the cube in memory, streamed, in chunks of any size
    // on any number of threads; and a chunk fitted alone gives its share.
    const image::MapResult &reference = results_.at("rpl");
    const auto fit = identify::MapFit::prepare(reference.design.model);
    QVERIFY(fit);
    const auto cube = cubeOf(recipe_, cube_);
    QVERIFY(cube);
    const std::size_t pixels = recipe_.width * recipe_.height;
    for (const auto &[threads, chunk] : std::vector<std::pair<unsigned, std::size_t>>{{1, 0}, {3, 7}, {2, 1000}}) {
        image::ChunkOptions options;
        options.threads = threads;
        options.chunkPixels = chunk;
        const auto values = image::fitMaps(*cube, fit.value(), options);
        QVERIFY(values);
        const auto maps = image::splitMaps(reference.design.model, values.value(), pixels);
        for (std::size_t e = 0; e < maps.size(); ++e)
            QVERIFY(maps[e].values == reference.maps[e].values);
    }
    // All at once from a view of the counts where they are (as the Python
    // module hands over a NumPy array): the same maps.
    const auto view = image::ArrayView::of(std::as_bytes(std::span(cube_)), recipe_.width, recipe_.height,
                                           recipe_.channels, image::SampleType::U32,
                                           spectrum::Calibration{recipe_.offset_eV, recipe_.gain_eV}, recipe_.beam_kV);
    QVERIFY(view);
    const auto all = image::elementMaps(*view.value(), given());
    QVERIFY(all);
    for (std::size_t e = 0; e < all->maps.size(); ++e)
        QVERIFY(all->maps[e].values == reference.maps[e].values);
    QVERIFY(!image::ArrayView::of(std::as_bytes(std::span(cube_)), recipe_.width + 1, recipe_.height, recipe_.channels,
                                  image::SampleType::U32, std::nullopt));

    const std::size_t first = 101, count = 333;
    std::vector<float> part(fit->elements() * count);
    QVERIFY(!image::fitChunk(fit.value(), image::SampleType::U32,
                             std::as_bytes(std::span(cube_).subspan(first * recipe_.channels, count * recipe_.channels)),
                             count, part.data(), count));
    for (std::size_t e = 0; e < fit->elements(); ++e)
        for (std::size_t p = 0; p < count; ++p)
            QCOMPARE(part[e * count + p], reference.maps[e].values[first + p]);
    // Sizes that disagree are refused.
    QVERIFY(image::fitChunk(fit.value(), image::SampleType::U16, std::as_bytes(std::span(cube_).subspan(0, 10)), 1,
                            part.data(), 1));
}

void TestImageMaps::modelBytes()
{
    const identify::MapModel &m = results_.at("bcf").design.model;
    const std::string bytes = identify::mapModelBytes(m);
    const auto back = identify::mapModelFromBytes(bytes);
    QVERIFY(back);
    QCOMPARE(identify::mapModelBytes(back.value()), bytes);
    const auto a = identify::MapFit::prepare(m), b = identify::MapFit::prepare(back.value());
    const std::uint32_t *pixel = cube_.data() + 700 * recipe_.channels;
    QVERIFY(a->fitPixel(pixel).amplitudes == b->fitPixel(pixel).amplitudes);
    // Cut short anywhere, or with a size or a number changed: refused.
    for (std::size_t cut = 0; cut < bytes.size(); cut += 1 + cut / 3)
        QVERIFY(!identify::mapModelFromBytes(std::string_view(bytes).substr(0, cut)));
    std::string changed = bytes;
    changed[56] = char(0x7F); // the top byte of the grid's first channel: far out
    QVERIFY(!identify::mapModelFromBytes(changed));
    // A column's atomic number far out of range is refused, not clamped
    // (a model read must write back as it was read).
    identify::MapModel farZ = m;
    farZ.columns[0].Z = 5000;
    QVERIFY(!identify::mapModelFromBytes(identify::mapModelBytes(farZ)));
    identify::MapModel broken = m;
    broken.weights[10] = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(!identify::MapFit::prepare(broken));
    broken = m;
    broken.columns[0].first = m.bins;
    QVERIFY(!identify::MapFit::prepare(broken));
}

void TestImageMaps::edges()
{
    // No counts at all: every map 0, said in a warning.
    std::vector<std::uint32_t> none(cube_.size(), 0);
    const auto empty = cubeOf(recipe_, none);
    const auto zero = image::elementMaps(*empty, given());
    QVERIFY2(zero, zero ? "" : zero.error().reason.c_str());
    QCOMPARE(zero->maps.size(), Given.size());
    QVERIFY(!zero->design.warnings.empty());
    for (const image::ElementMap &m : zero->maps)
        QCOMPARE(m.totalCounts, 0.0);

    // An element without a line in the image's range: its map is 0, with a
    // warning; the others are mapped.
    synth::PhantomRecipe narrow = recipe_;
    narrow.offset_eV = 1000;
    narrow.gain_eV = 10;
    narrow.channels = 256; // 1 to 3.5 keV
    const auto window = cubeOf(narrow, imagetesting::phantomCube(synth::Phantom(narrow)));
    identify::MapOptions siFe;
    siFe.elements = {14, 26};
    const auto partial = image::elementMaps(*window, siFe);
    QVERIFY(partial);
    QCOMPARE(partial->maps.size(), std::size_t(2));
    QVERIFY(partial->maps[0].totalCounts > 0);
    QCOMPARE(partial->maps[1].totalCounts, 0.0);
    QCOMPARE(partial->design.warnings.size(), std::size_t(1));
    QVERIFY(partial->design.warnings[0].starts_with("Fe has no lines"));

    // A count that is not a number: that pixel's maps are NaN, the others'
    // are as before.
    const auto fit = identify::MapFit::prepare(results_.at("rpl").design.model);
    std::vector<float> counts(cube_.begin(), cube_.begin() + std::ptrdiff_t(3 * recipe_.channels));
    counts[recipe_.channels + 500] = std::numeric_limits<float>::infinity();
    std::vector<float> out(fit->elements() * 3);
    QVERIFY(!image::fitChunk(fit.value(), image::SampleType::F32, std::as_bytes(std::span(counts)), 3, out.data(), 3));
    for (std::size_t e = 0; e < fit->elements(); ++e) {
        QCOMPARE(out[e * 3], results_.at("rpl").maps[e].values[0]);
        QVERIFY(std::isnan(out[e * 3 + 1]));
        QCOMPARE(out[e * 3 + 2], results_.at("rpl").maps[e].values[2]);
    }

    // A model for another number of channels, and a cancelled fit.
    const auto other = cubeOf(narrow, imagetesting::phantomCube(synth::Phantom(narrow)));
    QVERIFY(!image::fitMaps(*other, fit.value()));
    image::ChunkOptions cancel;
    cancel.chunkPixels = 100;
    cancel.progress = [](std::uint64_t done, std::uint64_t) { return done < 300; };
    const auto cancelled = image::elementMaps(*cubeOf(recipe_, cube_), given(), cancel);
    QVERIFY(!cancelled && image::isCancelled(cancelled.error()));
}

void TestImageMaps::npyFile()
{
    // The header: magic, version 1.0, its length, the dictionary padded to
    // a multiple of 64 bytes; then the numbers, little-endian.
    const std::array<std::size_t, 2> shape = {3, 2};
    const std::string header = image::npyHeader("<f4", shape);
    QCOMPARE(header.size() % 64, std::size_t(0));
    QCOMPARE(header.substr(0, 8), std::string("\x93NUMPY\x01\x00", 8));
    QCOMPARE(std::size_t(std::uint8_t(header[8]) | std::uint8_t(header[9]) << 8), header.size() - 10);
    QVERIFY(header.find("{'descr': '<f4', 'fortran_order': False, 'shape': (3, 2), }") == 10);
    QCOMPARE(header.back(), '\n');
    QVERIFY(image::npyHeader("<f8", std::array<std::size_t, 1>{5}).find("'shape': (5,)") != std::string::npos);

    const std::vector<float> values = {1.5f, -2, 0, 1e30f, 7, 0.25f};
    QVERIFY(!image::writeNpy(path("a.npy"), values, shape));
    const std::vector<char> bytes = readBytes(path("a.npy"));
    QCOMPARE(bytes.size(), header.size() + 6 * 4);
    QCOMPARE(std::memcmp(bytes.data() + header.size(), values.data(), 24), 0); // little-endian machine
    QVERIFY(image::writeNpy(path("a.npy"), values, std::array<std::size_t, 2>{2, 2}));
    QVERIFY(image::writeNpy(path("no/such/folder/a.npy"), values, shape));

    // NumPy reads it back, where it is installed.
    if (!QFile::exists("/usr/bin/python3"))
        QSKIP("no /usr/bin/python3");
    QProcess python;
    python.start("/usr/bin/python3", {"-c", "import sys, numpy; a = numpy.load(sys.argv[1]); "
                                            "print(a.dtype, a.shape, ' '.join(repr(float(v)) for v in a.ravel()))",
                                      dir_.filePath("a.npy")});
    QVERIFY(python.waitForFinished(30000));
    if (python.exitCode() != 0 && python.readAllStandardError().contains("No module named"))
        QSKIP("no NumPy");
    QCOMPARE(python.readAllStandardOutput().trimmed(), QByteArray("float32 (3, 2) 1.5 -2.0 0.0 1.0000000150474662e+30 7.0 0.25"));
}

void TestImageMaps::pngFile()
{
    // A valid PNG: the signature, chunks with their CRCs, and rows that
    // inflate to height × (1 + 3 × width) bytes; the map's largest value
    // drawn in the scale's top colour, NaN in grey.
    std::vector<float> values(20 * 10);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = float(i % 20);
    values[5] = std::numeric_limits<float>::quiet_NaN();
    const image::RgbImage picture = image::renderMap(values, 20, 10, "Fe net counts");
    QVERIFY(picture.width > 256 && picture.height > 128);
    QVERIFY(!image::writePng(path("a.png"), picture));
    const std::vector<char> file = readBytes(path("a.png"));
    const auto *bytes = reinterpret_cast<const unsigned char *>(file.data());
    QCOMPARE(std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8), 0);
    std::size_t at = 8;
    std::vector<std::string> types;
    std::vector<unsigned char> idat;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = bigEndian32(bytes + at);
        QVERIFY(at + 12 + length <= file.size());
        const std::string type(file.data() + at + 4, 4);
        QCOMPARE(std::uint32_t(crc32(crc32(0, nullptr, 0), bytes + at + 4, length + 4)), bigEndian32(bytes + at + 8 + length));
        if (type == "IHDR") {
            QCOMPARE(bigEndian32(bytes + at + 8), std::uint32_t(picture.width));
            QCOMPARE(bigEndian32(bytes + at + 12), std::uint32_t(picture.height));
            QCOMPARE(int(bytes[at + 16]), 8);
            QCOMPARE(int(bytes[at + 17]), 2);
        }
        if (type == "IDAT")
            idat.insert(idat.end(), bytes + at + 8, bytes + at + 8 + length);
        types.push_back(type);
        at += 12 + length;
    }
    QCOMPARE(at, file.size());
    QCOMPARE(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    std::vector<unsigned char> rows(picture.height * (1 + 3 * picture.width) + 1);
    uLongf size = uLongf(rows.size());
    QCOMPARE(uncompress(rows.data(), &size, idat.data(), uLong(idat.size())), Z_OK);
    QCOMPARE(std::size_t(size), picture.height * (1 + 3 * picture.width));

    // The map is enlarged by whole pixels; find the brightest and the NaN.
    const auto colourAt = [&](std::size_t x, std::size_t y) {
        const std::uint8_t *p = picture.rgb.data() + (y * picture.width + x) * 3;
        return std::array<std::uint8_t, 3>{p[0], p[1], p[2]};
    };
    bool top = false, grey = false;
    for (std::size_t y = 0; y < picture.height; ++y)
        for (std::size_t x = 0; x < picture.width; ++x) {
            top = top || colourAt(x, y) == image::mapColour(1);
            grey = grey || colourAt(x, y) == std::array<std::uint8_t, 3>{128, 128, 128};
        }
    QVERIFY(top && grey);
    QCOMPARE(image::mapTop(values), 19.0);
    QVERIFY(image::renderMap(values, 7, 7, "x").rgb.empty()); // the sizes disagree
}

QTEST_GUILESS_MAIN(TestImageMaps)
#include "tst_image_maps.moc"
