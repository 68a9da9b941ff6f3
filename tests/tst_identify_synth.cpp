// The synthetic spectra that identification is measured on: what goes in
// must be what the recipe says, or the benchmark's figures mean nothing.
// Line ratios within a family, the families and elements weighed by the
// excitation model and the detector's efficiency, absorption in a bulk
// sample, escape and sum peaks at their energies and sizes, the continuum's
// shape, XRF with the tube's scattered lines, and the counts, calibration
// and metadata written.
#include "detectormodel.h"
#include "excitation.h"
#include "hardcases.h"
#include "random.h"
#include "synth.h"

#include "xray/absorption.h"
#include "xray/bulkabsorption.h"
#include "xray/elements.h"
#include "xray/excitation.h"
#include "xray/lines.h"

#include <QTest>

#include <cmath>
#include <numeric>
#include <set>

class TestIdentifySynth : public QObject {
    Q_OBJECT

private slots:
    void addPeakIntegratesToItsCounts();
    void linesKeepTheirFamilyRatios();
    void familiesFollowTheExcitationModel();
    void massFractionsScaleTheLines();
    void beamEnergyLimitsTheLines();
    void bulkSampleAbsorbs();
    void escapesTakeTheirFraction_data();
    void escapesTakeTheirFraction();
    void sumPeaksFollowThePileUp();
    void continuumIsKramers();
    void detectorEfficiency();
    void compoundMassFractions();
    void xrfScattersTheTube();
    void countsAndMetadata();
    void hardCasesAreWellFormed();
};

namespace {

const xray::Line &line(int Z, std::string_view siegbahn)
{
    for (const xray::Line &l : xray::linesOf(Z))
        if (l.siegbahn() == siegbahn)
            return l;
    qFatal("no line %s of %d", std::string(siegbahn).c_str(), Z);
}

// The true counts of a line (after its escapes left).
double trueCounts(const synth::Truth &t, const xray::Line &l)
{
    double counts = 0;
    for (const synth::TrueLine &tl : t.lines)
        if (tl.line == &l)
            counts += tl.counts;
    return counts;
}

// A thin sample: the excitation model and the detector alone, which most
// tests here check exactly; absorption in a bulk sample has its own.
synth::Recipe eds(std::vector<synth::Constituent> sample, double kV = 20)
{
    synth::Recipe r;
    r.sample = std::move(sample);
    r.beam_kV = kV;
    r.thinSample = true;
    return r;
}

double sum(const std::vector<double> &v) { return std::accumulate(v.begin(), v.end(), 0.0); }

} // namespace

void TestIdentifySynth::addPeakIntegratesToItsCounts()
{
    // A peak well inside the channels holds its counts, centred where it
    // was put, with the width asked for; one half outside holds half.
    std::vector<double> channels(1000, 0.0);
    synth::addPeak(channels, 0, 10, 5000, 130, 1e4);
    // (Cut at +-6 sigma: 2e-9 of it is left out.)
    QVERIFY(std::fabs(sum(channels) - 1e4) < 1e-3);
    double mean = 0, second = 0;
    for (std::size_t k = 0; k < channels.size(); ++k) {
        mean += channels[k] * 10.0 * double(k);
        second += channels[k] * (10.0 * double(k)) * (10.0 * double(k));
    }
    mean /= 1e4;
    const double sigma = std::sqrt(second / 1e4 - mean * mean);
    QVERIFY(std::fabs(mean - 5000) < 1e-3);
    // Integrated over 10 eV channels: sigma^2 grows by 10^2/12.
    QVERIFY2(std::fabs(sigma - std::sqrt(std::pow(130 / 2.3548, 2) + 100.0 / 12)) < 0.1, qPrintable(QString::number(sigma)));
    std::vector<double> edge(1000, 0.0);
    synth::addPeak(edge, 0, 10, 0, 130, 1e4);
    QVERIFY(std::fabs(sum(edge) - 5000 - 1e4 * 0.5 * (std::erf(5 / (130 / 2.3548) / std::sqrt(2.0)))) < 1);
    // Nothing for no counts or no width.
    std::vector<double> none(10, 0.0);
    synth::addPeak(none, 0, 10, 50, 0, 100);
    synth::addPeak(none, 0, 10, 50, 100, -1);
    QCOMPARE(sum(none), 0.0);
}

void TestIdentifySynth::linesKeepTheirFamilyRatios()
{
    // Lines of one subshell keep the table's ratios: Cu Ka2/Ka1 and the
    // Kb1/Ka1 ratio times the detector's efficiency at the two energies.
    const synth::Recipe r = eds({{29, 1.0}});
    const synth::Synthetic s = synth::generate(r);
    const xray::Line &ka1 = line(29, "Ka1"), &ka2 = line(29, "Ka2"), &kb1 = line(29, "Kb1");
    const auto emitted = [&](const xray::Line &l) {
        // Counts before the escapes left.
        double escaped = 0;
        for (const synth::TrueEscape &e : s.truth.escapes)
            if (e.parent == &l)
                escaped += e.counts;
        return trueCounts(s.truth, l) + escaped;
    };
    const auto expected = [&](const xray::Line &a, const xray::Line &b) {
        return a.relative / b.relative * r.detector.efficiency(a.energy_eV) / r.detector.efficiency(b.energy_eV);
    };
    QVERIFY(std::fabs(emitted(ka2) / emitted(ka1) / expected(ka2, ka1) - 1) < 1e-9);
    QVERIFY(std::fabs(emitted(kb1) / emitted(ka1) / expected(kb1, ka1) - 1) < 1e-9);
}

void TestIdentifySynth::familiesFollowTheExcitationModel()
{
    // Cu L against Cu K: electronLineYield at the beam, times the detector's
    // efficiency at each line. At 20 kV, and at 10 kV where K is barely
    // excited (overvoltage 1.1), the L family gains on K.
    double previous = 0;
    for (const double kV : {20.0, 10.0}) {
        const synth::Recipe r = eds({{29, 1.0}}, kV);
        const synth::Synthetic s = synth::generate(r);
        const xray::Line &ka1 = line(29, "Ka1"), &la1 = line(29, "La1");
        const double expected = xray::electronLineYield(la1, kV * 1000) / xray::electronLineYield(ka1, kV * 1000)
                                * r.detector.efficiency(la1.energy_eV) / r.detector.efficiency(ka1.energy_eV);
        double kaEscaped = 0;
        for (const synth::TrueEscape &e : s.truth.escapes)
            if (e.parent == &ka1)
                kaEscaped += e.counts;
        const double ratio = trueCounts(s.truth, la1) / (trueCounts(s.truth, ka1) + kaEscaped);
        QVERIFY2(std::fabs(ratio / expected - 1) < 1e-9, qPrintable(QString::number(ratio)));
        QVERIFY(ratio > previous);
        previous = ratio;
    }
}

void TestIdentifySynth::massFractionsScaleTheLines()
{
    // Doubling an element's share doubles its lines against another's;
    // the sample is normalised, and entries without lines (H) are dropped.
    const synth::Synthetic a = synth::generate(eds({{26, 1.0}, {28, 1.0}}));
    const synth::Synthetic b = synth::generate(eds({{26, 2.0}, {28, 1.0}, {1, 5.0}}));
    QCOMPARE(b.truth.sample.size(), std::size_t(2));
    QVERIFY(std::fabs(b.truth.sample[0].massFraction - 2.0 / 3) < 1e-12);
    const xray::Line &fe = line(26, "Ka1"), &ni = line(28, "Ka1");
    const double ra = trueCounts(a.truth, fe) / trueCounts(a.truth, ni);
    const double rb = trueCounts(b.truth, fe) / trueCounts(b.truth, ni);
    QVERIFY2(std::fabs(rb / ra - 2) < 1e-9, qPrintable(QString::number(rb / ra)));
}

void TestIdentifySynth::beamEnergyLimitsTheLines()
{
    // At 5 kV no K line of iron (edge 7.11 keV), its L lines still; the
    // continuum ends at the beam energy.
    const synth::Recipe r = eds({{26, 1.0}}, 5);
    const synth::Synthetic s = synth::generate(r);
    QCOMPARE(trueCounts(s.truth, line(26, "Ka1")), 0.0);
    QVERIFY(trueCounts(s.truth, line(26, "La1")) > 0);
    for (std::size_t k = 0; k < s.background.size(); ++k)
        if (r.offset_eV + r.gain_eV * double(k) >= 5000)
            QCOMPARE(s.background[k], 0.0);
}

void TestIdentifySynth::bulkSampleAbsorbs()
{
    // Against a thin sample, a bulk one keeps its hard lines and loses its
    // soft ones on the way out: Cu La (0.93 keV) falls against Cu Ka
    // (8.05 keV), more at a higher beam energy (deeper electrons) and at a
    // lower take-off angle (a longer path).
    const xray::Line &ka1 = line(29, "Ka1"), &la1 = line(29, "La1");
    const auto lOverK = [&](double kV, bool thin, double takeOff = 35) {
        synth::Recipe r = eds({{29, 1.0}}, kV);
        r.thinSample = thin;
        r.takeOff_deg = takeOff;
        const synth::Synthetic s = synth::generate(r);
        return trueCounts(s.truth, la1) / trueCounts(s.truth, ka1);
    };
    const double at15 = lOverK(15, false) / lOverK(15, true), at20 = lOverK(20, false) / lOverK(20, true);
    const double at30 = lOverK(30, false) / lOverK(30, true);
    QVERIFY2(at20 < 0.7, qPrintable(QString::number(at20)));
    QVERIFY(at30 < at20 && at20 < at15);
    QVERIFY(lOverK(20, false, 15) < lOverK(20, false, 35));
    QVERIFY(lOverK(20, true, 15) == lOverK(20, true, 35));

    // Absorption in the model: every share between 0 and 1, nearly 1 for
    // a hard line, falling with the sample's attenuation; 1 where the beam
    // generates nothing.
    const xray::BulkAbsorption cu({{29, 1.0}}, 20000, 35);
    const double hard = cu.emerging(ka1.energy_eV, 8979), soft = cu.emerging(la1.energy_eV, 931);
    QVERIFY(hard > 0.9 && hard < 1);
    QVERIFY(soft > 0 && soft < hard);
    QCOMPARE(cu.emerging(ka1.energy_eV, 25000), 1.0);
    QVERIFY(std::fabs(cu.massAttenuation(8000) - *xray::sampleAttenuation(29, 8000)) < 1e-12);

    // An edge between two lines: in Fe-Ni, iron's K edge (7.11 keV) lies
    // under Ni Ka (7.48 keV), not under Fe Ka (6.40 keV), and nickel's
    // (8.33 keV) under neither: Ni Ka is the one absorbed.
    const auto kept = [&](int Z) {
        synth::Recipe r = eds({{26, 0.5}, {28, 0.5}});
        const double thin = trueCounts(synth::generate(r).truth, line(Z, "Ka1"));
        r.thinSample = false;
        return trueCounts(synth::generate(r).truth, line(Z, "Ka1")) / thin;
    };
    QVERIFY2(kept(28) < kept(26) - 0.03, qPrintable(QString("%1 %2").arg(kept(28)).arg(kept(26))));

    // The continuum too, at its own energy: against a thin sample, less
    // is left of it at 1.5 keV than at 10 keV, and nearly all near the
    // beam energy.
    synth::Recipe bulk = eds({{26, 1.0}}), thin = bulk;
    bulk.thinSample = false;
    const synth::Synthetic b = synth::generate(bulk), t = synth::generate(thin);
    const auto left = [&](double e) {
        const std::size_t k = std::size_t(std::lround((e - bulk.offset_eV) / bulk.gain_eV));
        return b.background[k] / t.background[k];
    };
    QVERIFY(left(1500) < 0.8 * left(10000));
    QVERIFY(left(19500) > 0.99 * left(10000));
}

void TestIdentifySynth::escapesTakeTheirFraction_data()
{
    QTest::addColumn<int>("Z");
    QTest::addColumn<int>("material");
    QTest::addColumn<double>("escapeLine_eV");
    QTest::newRow("Cu Ka1 in silicon") << 29 << int(xray::Material::Si) << 1739.98;
    QTest::newRow("Mo Ka1 in germanium") << 42 << int(xray::Material::Ge) << 9886.42;
}

void TestIdentifySynth::escapesTakeTheirFraction()
{
    // Each escape holds the Reed-Ware fraction of its parent's photons, at
    // the parent's energy less the escaping line's, and the parent keeps
    // the rest.
    QFETCH(int, Z);
    QFETCH(int, material);
    QFETCH(double, escapeLine_eV);
    synth::Recipe r = eds({{Z, 1.0}}, 30);
    r.detector = synth::DetectorModel::typical(static_cast<xray::Material>(material));
    const synth::Synthetic s = synth::generate(r);
    const xray::Line &ka1 = line(Z, "Ka1");
    double escaped = 0, ka = 0;
    for (const synth::TrueEscape &e : s.truth.escapes) {
        if (e.parent != &ka1)
            continue;
        escaped += e.counts;
        QVERIFY(std::fabs(e.energy_eV - (ka1.energy_eV - e.escape->energy_eV)) < 1e-9);
        if (std::fabs(e.escape->energy_eV - escapeLine_eV) < 0.5)
            ka = e.counts;
    }
    QVERIFY(ka > 0);
    double fraction = 0;
    for (const xray::Escape &e : r.detector.detector.escapes(ka1.energy_eV))
        fraction += e.fraction;
    const double parent = trueCounts(s.truth, ka1);
    QVERIFY2(std::fabs(escaped / (parent + escaped) - fraction) < 1e-12, qPrintable(QString::number(fraction)));
}

void TestIdentifySynth::sumPeaksFollowThePileUp()
{
    // 2 x Ti Ka1 at twice its energy, Ka1 + Kb1 between; their sizes are
    // the pile-up share times the product of the two lines' shares, twice
    // for two different lines; none without pile-up.
    synth::Recipe r = eds({{22, 1.0}});
    r.pileUp = 0.01;
    r.counts = 1e7;
    const synth::Synthetic s = synth::generate(r);
    const xray::Line &ka1 = line(22, "Ka1"), &kb1 = line(22, "Kb1");
    const double a = trueCounts(s.truth, ka1), b = trueCounts(s.truth, kb1);
    bool twice = false, mixed = false;
    for (const synth::TrueSum &sum : s.truth.sums) {
        if (sum.first == &ka1 && sum.second == &ka1) {
            QVERIFY(std::fabs(sum.energy_eV - 2 * ka1.energy_eV) < 1e-9);
            QVERIFY(std::fabs(sum.counts - 0.01 * a * a / 1e7) < 1e-6 * sum.counts);
            twice = true;
        }
        if (sum.first == &ka1 && sum.second == &kb1) {
            QVERIFY(std::fabs(sum.counts - 0.01 * 2 * a * b / 1e7) < 1e-6 * sum.counts);
            mixed = true;
        }
        QVERIFY(sum.first->energy_eV <= sum.second->energy_eV);
    }
    QVERIFY(twice && mixed);
    r.pileUp = 0;
    QVERIFY(synth::generate(r).truth.sums.empty());
}

void TestIdentifySynth::continuumIsKramers()
{
    // Under electrons, the continuum over the efficiency falls as
    // (E0 - E)/E: its values at 5 and 10 keV compare as 3 to 1 at 20 kV.
    const synth::Recipe r = eds({{26, 1.0}});
    const synth::Synthetic s = synth::generate(r);
    const auto at = [&](double e) {
        const std::size_t k = std::size_t(std::lround((e - r.offset_eV) / r.gain_eV));
        return s.background[k] / r.detector.efficiency(e);
    };
    QVERIFY2(std::fabs(at(5000) / at(10000) - 3) < 1e-9, qPrintable(QString::number(at(5000) / at(10000))));
    // Twice the continuum, twice the background against the lines.
    synth::Recipe more = r;
    more.continuum = 2;
    const synth::Synthetic t = synth::generate(more);
    const double before = s.background[600] / trueCounts(s.truth, line(26, "Ka1"));
    const double after = t.background[600] / trueCounts(t.truth, line(26, "Ka1"));
    QVERIFY(std::fabs(after / before - 2) < 1e-9);
}

void TestIdentifySynth::detectorEfficiency()
{
    // The SDD's polymer window passes most of 1 keV, less below the carbon
    // edge's far side, and its 0.45 mm crystal stops less of 20 keV than of
    // 10 keV. The germanium detector's beryllium window stops C Ka almost
    // entirely, and germanium stops 50 keV photons that silicon lets pass.
    const synth::DetectorModel si = synth::DetectorModel::typical(xray::Material::Si);
    const synth::DetectorModel ge = synth::DetectorModel::typical(xray::Material::Ge);
    QVERIFY(si.efficiency(1000) > 0.8 && si.efficiency(1000) < 1);
    QVERIFY(si.efficiency(5000) > 0.95);
    QVERIFY(si.efficiency(277) < si.efficiency(1000));
    QVERIFY(si.efficiency(20000) < si.efficiency(10000));
    QVERIFY(ge.efficiency(277) < 1e-3);
    QVERIFY(ge.efficiency(50000) > 5 * si.efficiency(50000));
    // The window layers from the outside in, the dead layer last.
    QVERIFY(!si.window.empty());
    for (const synth::Layer &layer : si.window) {
        double total = 0;
        for (const auto &[Z, f] : layer.massFractions)
            total += f;
        QVERIFY(std::fabs(total - 1) < 1e-12);
        QVERIFY(layer.transmission(5000) > 0 && layer.transmission(5000) <= 1);
        QVERIFY(std::fabs(layer.absorption(5000) + layer.transmission(5000) - 1) < 1e-15);
    }
    // Transmission is exp(-mu rho t) with the table's attenuation.
    const synth::Layer be{"Be", {{4, 1.0}}, 4.6e-3};
    QVERIFY(std::fabs(be.transmission(2000) - std::exp(-*xray::absorberAttenuation(4, 2000) * 4.6e-3)) < 1e-12);
}

void TestIdentifySynth::compoundMassFractions()
{
    // Polyimide, C22H10N2O5: carbon is 69 % of its mass.
    const auto polyimide = synth::compound({{6, 22}, {1, 10}, {7, 2}, {8, 5}});
    QCOMPARE(polyimide.size(), std::size_t(4));
    double total = 0, carbon = 0;
    for (const auto &[Z, f] : polyimide) {
        total += f;
        if (Z == 6)
            carbon = f;
    }
    QVERIFY(std::fabs(total - 1) < 1e-12);
    const double expected = 22 * xray::atomicWeight(6)
                            / (22 * xray::atomicWeight(6) + 10 * xray::atomicWeight(1) + 2 * xray::atomicWeight(7)
                               + 5 * xray::atomicWeight(8));
    QVERIFY(std::fabs(carbon - expected) < 1e-12);
    QVERIFY(carbon > 0.68 && carbon < 0.70);
}

void TestIdentifySynth::xrfScattersTheTube()
{
    // A copper sample under a rhodium tube at 40 kV: Cu K lines, the tube's
    // Rh K lines scattered at their energy (Rayleigh) and below it
    // (Compton, at 90 degrees about 0.8 keV lower for Rh Ka), the truth
    // naming rhodium as what the sample scatters.
    synth::Recipe r = eds({{29, 1.0}}, 40);
    r.excitation = synth::Excitation::Tube;
    const synth::Synthetic s = synth::generate(r);
    QCOMPARE(s.truth.scatterZ, 45);
    QCOMPARE(QString::fromStdString(s.spectrum.meta.signalType), QStringLiteral("XRF"));
    QVERIFY(trueCounts(s.truth, line(29, "Ka1")) > 0);
    const xray::Line &rh = line(45, "Ka1");
    QVERIFY(trueCounts(s.truth, rh) > 0); // Rayleigh, which escapes too
    // The noise-free spectrum has a Compton hump below Rh Ka.
    const double compton = rh.energy_eV / (1 + rh.energy_eV / 510998.95);
    QVERIFY(rh.energy_eV - compton > 700 && rh.energy_eV - compton < 900);
    const std::size_t kc = std::size_t(std::lround((compton - r.offset_eV) / r.gain_eV));
    const std::size_t between = std::size_t(std::lround((compton - 1500 - r.offset_eV) / r.gain_eV));
    QVERIFY(s.expected[kc] > 2 * s.expected[between]);
    // No Cu line without tube photons above its edge: at 8 kV the K shell
    // (8.98 keV) is not excited.
    r.beam_kV = 8;
    QCOMPARE(trueCounts(synth::generate(r).truth, line(29, "Ka1")), 0.0);
}

void TestIdentifySynth::countsAndMetadata()
{
    // The counts asked for (the noise peak apart), whole numbers, the
    // calibration, beam energy and signal type written, and the FWHM when
    // asked to record it.
    synth::Recipe r = eds({{26, 0.7}, {24, 0.3}});
    r.counts = 2e5;
    r.channels = 2048;
    r.gain_eV = 20;
    r.offset_eV = -200;
    r.recordResolution = true;
    const synth::Synthetic s = synth::generate(r);
    QCOMPARE(s.spectrum.counts.size(), std::size_t(2048));
    for (const double c : s.spectrum.counts)
        QVERIFY(c >= 0 && c == std::floor(c));
    const double expected = sum(s.expected);
    QVERIFY(std::fabs(sum(s.spectrum.counts) - expected) < 5 * std::sqrt(expected));
    // The continuum and the peaks within range, plus the noise peak, less
    // what falls outside the channels and the sums.
    QVERIFY(std::fabs(expected / (r.counts * (1 + r.zeroPeak)) - 1) < 0.02);
    QCOMPARE(s.spectrum.calibration->offset_eV, -200.0);
    QCOMPARE(s.spectrum.calibration->gain_eV, 20.0);
    QCOMPARE(*s.spectrum.meta.beam_kV, 20.0);
    QCOMPARE(QString::fromStdString(s.spectrum.meta.signalType), QStringLiteral("EDS"));
    QCOMPARE(*s.spectrum.meta.resolution.fwhmMnKa_eV, 129.0);
}

void TestIdentifySynth::hardCasesAreWellFormed()
{
    // Every hard case has a unique name, a question, a sample of elements
    // with lines, its own seed, and makes a spectrum with counts.
    const std::vector<synth::HardCase> cases = synth::hardCases();
    QVERIFY(cases.size() >= 30);
    std::set<std::string> names;
    std::set<std::uint64_t> seeds;
    for (const synth::HardCase &c : cases) {
        QVERIFY(names.insert(c.name).second);
        QVERIFY(seeds.insert(c.recipe.seed).second);
        QVERIFY(!c.question.empty());
        QVERIFY(!c.recipe.sample.empty());
        for (const synth::Constituent &part : c.recipe.sample)
            QVERIFY2(xray::hasLines(part.Z) && part.massFraction > 0, c.name.c_str());
        QCOMPARE(synth::findHardCase(cases, c.name), &c);
    }
    QVERIFY(!synth::findHardCase(cases, "no-such-case"));
    // The list: each overlap and artefact has its case.
    for (const char *name : {"s-mo-pb-25kv", "batio3-20kv", "wsi2-20kv", "tasi2-20kv", "srsio3-20kv", "ypo4-20kv",
                             "albr3-20kv", "as-pb-25kv", "cr-mn-20kv", "fe-co-20kv", "cu-escape-20kv", "mo-ge-30kv",
                             "ti-sum-20kv", "fe-cr1-20kv", "cu-pb2-20kv", "brass-5kv"})
        QVERIFY2(synth::findHardCase(cases, name), name);
}

QTEST_GUILESS_MAIN(TestIdentifySynth)
#include "tst_identify_synth.moc"
