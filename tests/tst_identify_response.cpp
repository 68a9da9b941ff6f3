// The detector's response and the decisions built on it: the calibration
// error measured on the spectrum's own peaks, sum peaks between elements,
// families the beam excites that must show, the detector's own lines, rare
// elements only when allowed.
#include "identifytesting.h"
#include "synth.h"

#include "identify/identify.h"
#include "spectrum/read.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

identify::Identification identified(const spectrum::Spectrum &s, identify::IdentifyOptions options = {})
{
    const auto result = identify::identify(s, options);
    if (!result)
        qFatal("refused: %s", result.error().reason.c_str());
    return result.value();
}

using identifytesting::found;
using identifytesting::peakNear;

synth::Recipe recipe(std::vector<synth::Constituent> sample, double beam_kV, std::uint64_t seed)
{
    synth::Recipe r;
    r.sample = std::move(sample);
    r.beam_kV = beam_kV;
    r.seed = seed;
    return r;
}

} // namespace

class TestIdentifyResponse : public QObject {
    Q_OBJECT

private slots:
    // A file whose energies are off: the peaks' own positions say by how
    // much, and the elements are named as in a well calibrated one.
    void calibrationMeasured_data()
    {
        QTest::addColumn<double>("error_eV");
        QTest::newRow("8 eV low") << -8.0;
        QTest::newRow("6 eV high") << 6.0;
        QTest::newRow("none") << 0.0;
    }
    void calibrationMeasured()
    {
        QFETCH(double, error_eV);
        spectrum::Spectrum s =
            synth::generate(recipe({{26, 0.5}, {24, 0.2}, {14, 0.2}, {8, 0.1}}, 20, 31)).spectrum;
        // The file says each channel is error_eV higher than it is: its
        // lines show error_eV below their energies.
        s.calibration->offset_eV -= error_eV;
        const identify::Identification id = identified(s);
        QCOMPARE(found(id), QString("Cr Fe O Si"));
        QVERIFY(id.responsePeaks >= 2);
        for (const double e : {1740.0, 5415.0, 6404.0})
            QVERIFY2(std::fabs(id.response.shift(e) + error_eV) < 2.5,
                     qPrintable(QString("at %1 eV: %2").arg(e).arg(id.response.shift(e))));
    }

    // Sum peaks of two different elements' lines are sums, not elements.
    void sumsBetweenElements()
    {
        synth::Recipe r = recipe({{26, 0.6}, {28, 0.4}}, 25, 32);
        r.counts = 5e6;
        r.pileUp = 0.02;
        const identify::Identification id = identified(synth::generate(r).spectrum);
        QCOMPARE(found(id), QString("Fe Ni"));
        const xray::Line *feKa = xray::findLine(26, "KL3");
        const xray::Line *niKa = xray::findLine(28, "KL3");
        QVERIFY(feKa && niKa);
        const identify::IdentifiedPeak *sum = peakNear(id, feKa->energy_eV + niKa->energy_eV, 60);
        QVERIFY(sum);
        QCOMPARE(sum->assignment.kind, identify::AssignmentKind::Sum);
        QVERIFY(sum->assignment.line->Z != sum->assignment.second->Z);
    }

    // A family the beam excites well must show: Al K-alpha under Br
    // L-alpha's energy is aluminium at 20 kV, where Br K would show.
    void excitedFamilyMustShow()
    {
        const identify::Identification id =
            identified(synth::generate(recipe({{13, 0.53}, {8, 0.47}}, 20, 33)).spectrum);
        QCOMPARE(found(id), QString("Al O"));
        const auto al = std::find_if(id.elements.begin(), id.elements.end(), [](const auto &e) { return e.Z == 13; });
        const auto br = std::find_if(al->reason.rivals.begin(), al->reason.rivals.end(),
                                     [](const identify::Rival &r) { return r.Z == 35; });
        QVERIFY(br != al->reason.rivals.end());
        QCOMPARE(br->kind, identify::Rival::Kind::Missing);
        QCOMPARE(br->peak.line->family, xray::Family::K);
    }

    // Every element called certain has a peak named after it.
    void certainNeedsAPeakOfItsOwn()
    {
        const std::string dir = ZANDOR_SOURCE_DIR "/bench/measured/spectra/";
        for (const char *name : {"K411-K412_K412_std.msa", "K411-K412_CaF2_std.msa", "Benitoite_Benitoite_std.msa",
                                 "Sirion_MnHt30kV_2016-06-17-30kV-Mn-S5-P4-5eV-2K-HR-6.0mm.msa"}) {
            const auto s = spectrum::readFile(dir + name);
            QVERIFY2(s, name);
            const identify::Identification id = identified(s.value());
            for (const identify::IdentifiedElement &e : id.elements) {
                if (e.confidence != identify::Confidence::Certain)
                    continue;
                const bool named = std::any_of(id.peaks.begin(), id.peaks.end(), [&](const identify::IdentifiedPeak &p) {
                    return p.assignment.kind == identify::AssignmentKind::Line && p.assignment.line->Z == e.Z;
                });
                QVERIFY2(named, qPrintable(QString("%1: %2").arg(name, xray::elementSymbol(e.Z).data())));
            }
        }
    }

    // The Al and Si peaks of a pure Mn spectrum at 30 kV are the detector's
    // own (internal fluorescence), not aluminium and silicon of the sample.
    void internalFluorescence()
    {
        const auto s = spectrum::readFile(ZANDOR_SOURCE_DIR
                                          "/bench/measured/spectra/Sirion_MnHt30kV_2016-06-17-30kV-Mn-S5-P4-5eV-2K-HR-3.5mm.msa");
        QVERIFY(s);
        const identify::Identification id = identified(s.value());
        QStringList elements = found(id).split(u' ');
        elements.removeAll(QStringLiteral("C"));
        elements.removeAll(QStringLiteral("O"));
        QCOMPARE(elements, QStringList{QStringLiteral("Mn")});
        const identify::IdentifiedPeak *al = peakNear(id, 1487, 30);
        QVERIFY(al);
        QCOMPARE(al->reason.kind, identify::PeakReason::Kind::Internal);
        QCOMPARE(al->reason.line->Z, 13);
    }

    // Elements that ordinary samples do not hold are proposed only when
    // allowed: a xenon spectrum is left unexplained, or named when allowed.
    void rareOnlyWhenAllowed()
    {
        const spectrum::Spectrum s = synth::generate(recipe({{54, 0.5}, {14, 0.5}}, 15, 34)).spectrum;
        QVERIFY(!found(identified(s)).split(u' ').contains("Xe"));
        identify::IdentifyOptions allow;
        allow.allow = {54};
        QVERIFY(found(identified(s, allow)).split(u' ').contains("Xe"));
    }
};

QTEST_GUILESS_MAIN(TestIdentifyResponse)
#include "tst_identify_response.moc"
