// The pieces of identification on spectra made to order: the peak search
// (position, area, significance, the noise peak, no peaks in noise), the
// resolution estimate, the constrained least squares, the synthetic
// spectra's determinism, and the spectra no instrument makes but the
// readers accept (empty, flat, one channel, enormous or negative counts,
// a million channels, uncalibrated).
#include "fuzz/identifyinput.h"
#include "random.h"
#include "synth.h"

#include "spectrum/identify.h"
#include "spectrum/nnls.h"
#include "spectrum/peaksearch.h"
#include "spectrum/resolution.h"
#include "spectrum/workgrid.h"
#include "xray/elements.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cmath>
#include <numeric>

class TestIdentifyCore : public QObject {
    Q_OBJECT

private slots:
    void peakSearchMeasuresPeaks_data();
    void peakSearchMeasuresPeaks();
    void noPeaksInNoise();
    void resolutionEstimate_data();
    void resolutionEstimate();
    void tiedLeastSquares();
    void synthIsDeterministic();
    void poissonSampler_data();
    void poissonSampler();
    void unusualSpectra_data();
    void unusualSpectra();
    void uncalibratedIsRefused();
    void fuzzInputsKeepPromises();
};

namespace {

// A flat continuum of `background` counts a channel (Poisson noise with a
// fixed seed) and Gaussian peaks {energy, counts} at the detector's FWHM.
spectrum::Spectrum made(const std::vector<std::pair<double, double>> &peaks, double background,
                        const xray::Detector &detector, std::uint64_t seed = 7, std::size_t channels = 2048)
{
    std::vector<double> expected(channels, background);
    for (const auto &[energy, counts] : peaks)
        synth::addPeak(expected, -100, 10, energy, detector.fwhm(energy), counts);
    synth::Random random(seed);
    spectrum::Spectrum s;
    s.counts.resize(channels);
    for (std::size_t i = 0; i < channels; ++i)
        s.counts[i] = random.poisson(expected[i]);
    s.calibration = spectrum::Calibration{-100, 10};
    return s;
}

} // namespace

void TestIdentifyCore::peakSearchMeasuresPeaks_data()
{
    QTest::addColumn<double>("energy");
    QTest::addColumn<double>("counts");
    QTest::addColumn<double>("background");
    QTest::newRow("strong, on a low continuum") << 6400.0 << 1e5 << 20.0;
    QTest::newRow("weak, on a high continuum") << 3000.0 << 3000.0 << 200.0;
    QTest::newRow("soft") << 700.0 << 2e4 << 50.0;
    QTest::newRow("hard") << 17480.0 << 2e4 << 10.0;
}

void TestIdentifyCore::peakSearchMeasuresPeaks()
{
    QFETCH(double, energy);
    QFETCH(double, counts);
    QFETCH(double, background);
    const xray::Detector detector(xray::Material::Si, 129);
    const spectrum::Spectrum s = made({{energy, counts}}, background, detector);
    const std::vector<spectrum::Peak> peaks = spectrum::findPeaks(s, detector);
    QCOMPARE(peaks.size(), std::size_t(1));
    const spectrum::Peak &p = peaks[0];
    const double sigma = std::sqrt(counts + 2 * background * detector.fwhm(energy) / 10);
    QVERIFY2(std::fabs(p.energy_eV - energy) < 2 + 200 / std::sqrt(counts), qPrintable(QString::number(p.energy_eV)));
    QVERIFY2(std::fabs(p.netCounts - counts) < 5 * sigma + 0.01 * counts, qPrintable(QString::number(p.netCounts)));
    QVERIFY2(std::fabs(p.fwhm_eV / detector.fwhm(energy) - 1) < 0.05 + 5 / std::sqrt(counts),
             qPrintable(QString::number(p.fwhm_eV)));
    QVERIFY(p.significance > spectrum::PeakThreshold && !p.zero);
}

void TestIdentifyCore::noPeaksInNoise()
{
    // The threshold's promise: a flat continuum shows no peak, seed after
    // seed; a noise peak at 0 eV is reported as such.
    const xray::Detector detector(xray::Material::Si, 129);
    int falsePeaks = 0;
    for (std::uint64_t seed = 1; seed <= 60; ++seed)
        falsePeaks += int(spectrum::findPeaks(made({}, seed % 2 ? 5.0 : 500.0, detector, seed), detector).size());
    QCOMPARE(falsePeaks, 0);
    const std::vector<spectrum::Peak> zero = spectrum::findPeaks(made({{0, 5e4}}, 20, detector), detector);
    QCOMPARE(zero.size(), std::size_t(1));
    QVERIFY(zero[0].zero);
}

void TestIdentifyCore::resolutionEstimate_data()
{
    QTest::addColumn<double>("fwhm");
    QTest::addColumn<QString>("sample");
    QTest::newRow("iron, 129 eV") << 129.0 << "Fe";
    QTest::newRow("iron, 160 eV") << 160.0 << "Fe";
    QTest::newRow("copper and zinc, 125 eV") << 125.0 << "Cu Zn";
    QTest::newRow("molybdenum (K-alpha doublet 105 eV wide), 135 eV") << 135.0 << "Mo";
}

void TestIdentifyCore::resolutionEstimate()
{
    QFETCH(double, fwhm);
    QFETCH(QString, sample);
    synth::Recipe r;
    for (const QString &symbol : sample.split(u' '))
        r.sample.push_back({*xray::parseElement(symbol.toStdString()), 1.0});
    r.beam_kV = 30;
    r.detector = synth::DetectorModel::typical(xray::Material::Si, fwhm);
    const spectrum::Spectrum s = synth::generate(r).spectrum;
    const spectrum::Result<spectrum::Identification> id = spectrum::identify(s);
    QCOMPARE(id->fwhmSource, spectrum::Identification::FwhmSource::Estimated);
    QVERIFY2(std::fabs(id->fwhmMnKa_eV / fwhm - 1) < 0.03, qPrintable(QString::number(id->fwhmMnKa_eV)));
}

void TestIdentifyCore::tiedLeastSquares()
{
    // Two columns that are the same vector: y = 3 x. Free, non-negative,
    // the fit may split 3 anyhow; tied 1:2, it must give 1 and 2; bounded
    // at 0.5 each, 0.5 and 0.5.
    spectrum::SquareMatrix G(2);
    G(0, 0) = G(0, 1) = G(1, 0) = G(1, 1) = 1;
    const std::vector<double> g = {3, 3};
    const std::vector<double> free = spectrum::tiedLeastSquares(G, g, {});
    QVERIFY(std::fabs(free[0] + free[1] - 3) < 1e-9 && free[0] >= 0 && free[1] >= 0);
    const std::vector<double> tied = spectrum::tiedLeastSquares(G, g, {{1, 0, 2, 2}});
    QVERIFY(std::fabs(tied[0] - 1) < 1e-9 && std::fabs(tied[1] - 2) < 1e-9);
    const std::vector<double> bounded = spectrum::tiedLeastSquares(
        G, g, {{0, spectrum::Tie::Bound, 0, 0.5}, {1, spectrum::Tie::Bound, 0, 0.5}});
    QVERIFY(std::fabs(bounded[0] - 0.5) < 1e-9 && std::fabs(bounded[1] - 0.5) < 1e-9);
    // A negative target: the non-negative answer is 0.
    QCOMPARE(spectrum::nonNegativeLeastSquares(G, {-1, -1})[0], 0.0);
}

void TestIdentifyCore::synthIsDeterministic()
{
    // The same recipe and seed give the same counts, bit for bit; another
    // seed gives others. A checksum of the counts guards the sampler
    // against change (the hard cases' figures rest on it).
    synth::Recipe r;
    r.sample = {{26, 1.0}};
    const spectrum::Spectrum a = synth::generate(r).spectrum, b = synth::generate(r).spectrum;
    QVERIFY(a.counts == b.counts);
    r.seed = 2;
    QVERIFY(synth::generate(r).spectrum.counts != a.counts);
    const double total = std::accumulate(a.counts.begin(), a.counts.end(), 0.0);
    QCOMPARE(total, 1008018.0);
}

void TestIdentifyCore::poissonSampler_data()
{
    QTest::addColumn<double>("mean");
    QTest::newRow("inversion") << 3.5;
    QTest::newRow("near the switch") << 30.0;
    QTest::newRow("transformed rejection") << 1000.0;
}

void TestIdentifyCore::poissonSampler()
{
    QFETCH(double, mean);
    synth::Random random(11);
    const int n = 20000;
    double sum = 0, squares = 0;
    for (int i = 0; i < n; ++i) {
        const double k = random.poisson(mean);
        QVERIFY(k >= 0 && k == std::floor(k));
        sum += k;
        squares += k * k;
    }
    const double m = sum / n, v = squares / n - m * m;
    QVERIFY2(std::fabs(m - mean) < 5 * std::sqrt(mean / n), qPrintable(QString::number(m)));
    QVERIFY2(std::fabs(v / mean - 1) < 0.05, qPrintable(QString::number(v)));
    QCOMPARE(random.poisson(0), 0.0);
    QCOMPARE(random.poisson(qQNaN()), 0.0);
}

void TestIdentifyCore::unusualSpectra_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("note");
    QTest::newRow("empty of counts") << "zeros" << "no counts";
    QTest::newRow("flat") << "flat" << "flat";
    QTest::newRow("one channel") << "one" << "too few channels";
    QTest::newRow("negative counts only") << "negative" << "no counts";
    QTest::newRow("counts near the largest double") << "huge" << "scaled down";
    QTest::newRow("a million channels") << "million" << "summed in groups";
    QTest::newRow("beyond the X-ray range") << "far" << "too few channels";
}

void TestIdentifyCore::unusualSpectra()
{
    // Each ends, quickly, with a note saying what it is; none has elements
    // but the huge and the million-channel iron spectra, which have iron.
    QFETCH(QString, what);
    QFETCH(QString, note);
    const xray::Detector detector(xray::Material::Si, 129);
    spectrum::Spectrum s;
    s.calibration = spectrum::Calibration{0, 10};
    if (what == "zeros") {
        s.counts.assign(4096, 0.0);
    } else if (what == "flat") {
        s = made({}, 100, detector, 3, 4096);
    } else if (what == "one") {
        s.counts = {1e6};
    } else if (what == "negative") {
        s.counts.assign(4096, -5.0);
    } else if (what == "huge") {
        s = made({{6400, 1e5}, {7058, 1.4e4}}, 10, detector);
        for (double &c : s.counts)
            c *= 1e300;
    } else if (what == "million") {
        synth::Recipe r;
        r.sample = {{26, 1.0}};
        r.channels = 1 << 20;
        r.gain_eV = 0.02;
        r.offset_eV = 6000;
        s = synth::generate(r).spectrum;
    } else if (what == "far") {
        s.counts.assign(1000, 50.0);
        s.calibration = spectrum::Calibration{1e7, 10};
    }
    const auto result = spectrum::identify(s);
    QVERIFY(result);
    QString notes;
    for (const spectrum::Note &n : result->notes)
        notes += QString::fromStdString(n.text) + " | ";
    QVERIFY2(notes.contains(note), qPrintable(notes));
    const bool iron = what == "huge" || what == "million";
    QCOMPARE(result->elements.empty(), !iron);
    if (iron)
        QVERIFY(std::any_of(result->elements.begin(), result->elements.end(), [](const auto &e) { return e.Z == 26; }));
    for (const spectrum::IdentifiedPeak &p : result->peaks)
        QVERIFY(std::isfinite(p.peak.energy_eV) && std::isfinite(p.peak.netCounts) && std::isfinite(p.peak.significance));
}

void TestIdentifyCore::uncalibratedIsRefused()
{
    spectrum::Spectrum s;
    s.counts.assign(1024, 10.0);
    const auto result = spectrum::identify(s);
    QVERIFY(!result);
    QVERIFY(QString::fromStdString(result.error().reason).contains("not calibrated"));
}

void TestIdentifyCore::fuzzInputsKeepPromises()
{
    // The fuzz target's seeds and findings (a smooth curve once took
    // element after element for seconds): each keeps identification's
    // promises, and each ends.
    const QDir corpus(QStringLiteral(ZANDOR_SOURCE_DIR "/fuzz/corpus/identify"));
    const QStringList files = corpus.entryList(QDir::Files);
    QVERIFY(files.size() >= 5);
    for (const QString &name : files) {
        QFile file(corpus.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto in = identifyinput::decode(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                              std::size_t(bytes.size()));
        QVERIFY2(in, qPrintable(name));
        const std::string failure = identifyinput::check(*in);
        QVERIFY2(failure.empty(), qPrintable(name + u": "_qs + QString::fromStdString(failure)));
    }
}

QTEST_GUILESS_MAIN(TestIdentifyCore)
#include "tst_identify_core.moc"
