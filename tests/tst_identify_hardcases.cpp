// Automatic identification on the hard cases, synthetic spectra with fixed
// seeds: the overlaps told apart by partner lines, escape and sum peaks
// named as artefacts of the elements found, a trace beside a major
// element, and low-voltage spectra with only L and M lines; the elements
// of a bulk sample (absorption in it) and of a thin one alike.
#include "hardcases.h"
#include "identifytesting.h"
#include "synth.h"

#include "identify/identify.h"
#include "xray/detector.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <QTest>

#include <algorithm>
#include <cmath>

class TestIdentifyHardCases : public QObject {
    Q_OBJECT

private slots:
    void elementsFound_data();
    void elementsFound();
    void artefactsNamed_data();
    void artefactsNamed();
    void partnerLinesDecide();
    void requiredAndExcluded();
    void givenOptionsWin();
    void artefactsAcrossSeeds_data();
    void artefactsAcrossSeeds();
    void tracesBesideMajors();
    void lowVoltageUsesLAndM();
    void xrfScatterIsTheAnode();
    void knownFailure();
};

namespace {

const std::vector<synth::HardCase> &cases()
{
    static const std::vector<synth::HardCase> all = synth::hardCases();
    return all;
}

identify::Identification identifyCase(const std::string &name, identify::IdentifyOptions options = {},
                                      std::uint64_t seed = 0, bool thin = false)
{
    const synth::HardCase *c = synth::findHardCase(cases(), name);
    if (!c)
        qFatal("no hard case %s", name.c_str());
    options.material = c->recipe.detector.detector.material();
    synth::Recipe recipe = c->recipe;
    if (seed)
        recipe.seed = seed;
    recipe.thinSample = thin;
    const auto result = identify::identify(synth::generate(recipe).spectrum, options);
    if (!result)
        qFatal("%s refused: %s", name.c_str(), result.error().reason.c_str());
    return result.value();
}

// The symbols found, sorted: "Mo S".
using identifytesting::found;
using identifytesting::peakNear;

// "Fe Ka1", "esc Cu Ka1 Si KL3", "sum Ti Ka1 Ti Ka1", "zero", "unexplained".
QString label(const identify::IdentifiedPeak &p)
{
    const auto line = [](const xray::Line *l) {
        return QString::fromStdString(std::string(xray::elementSymbol(l->Z)) + " " + std::string(l->siegbahn()));
    };
    const identify::Assignment &a = p.assignment;
    switch (a.kind) {
    case identify::AssignmentKind::Line:
        return line(a.line);
    case identify::AssignmentKind::Escape:
        return "esc " + line(a.line) + " " + QString::fromStdString(xray::escapeLineLabel(*a.escape));
    case identify::AssignmentKind::Sum:
        return "sum " + line(a.line) + " " + line(a.second);
    case identify::AssignmentKind::Zero:
        return "zero";
    case identify::AssignmentKind::Unexplained:
        return "unexplained";
    }
    return {};
}

} // namespace

void TestIdentifyHardCases::elementsFound_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("elements");
    // S Ka, Mo La and Pb Ma at 2.3 keV.
    QTest::newRow("PbS") << "pbs-20kv" << "Pb S";
    QTest::newRow("MoS2, no Mo K at 20 kV") << "mos2-20kv" << "Mo S";
    QTest::newRow("S, Mo and Pb together") << "s-mo-pb-25kv" << "Mo Pb S";
    QTest::newRow("pure Mo is not S") << "mo-25kv" << "Mo";
    QTest::newRow("pure Pb is not S or Mo") << "pb-20kv" << "Pb";
    QTest::newRow("pyrite's S is not Mo or Pb") << "fes2-20kv" << "Fe S";
    // Other overlaps.
    QTest::newRow("BaTiO3") << "batio3-20kv" << "Ba O Ti";
    QTest::newRow("pure Ti is not Ba") << "ti-20kv" << "Ti";
    QTest::newRow("WSi2") << "wsi2-20kv" << "Si W";
    QTest::newRow("pure W: W Ma is not Si") << "w-20kv" << "W";
    QTest::newRow("SrSiO3") << "srsio3-20kv" << "O Si Sr";
    QTest::newRow("YPO4") << "ypo4-20kv" << "O P Y";
    QTest::newRow("As in Pb") << "as-pb-25kv" << "As Pb";
    QTest::newRow("Mn Ka under Cr Kb") << "cr-mn-20kv" << "Cr Mn";
    QTest::newRow("pure Cr: Cr Kb is not Mn") << "cr-20kv" << "Cr";
    QTest::newRow("Co Ka under Fe Kb") << "fe-co-20kv" << "Co Fe";
    QTest::newRow("pure Fe: Fe Kb is not Co") << "fe-20kv" << "Fe";
    // Artefacts are no elements.
    QTest::newRow("Cu escape is not Fe") << "cu-escape-20kv" << "Cu";
    QTest::newRow("Ti sums are not Cu") << "ti-sum-20kv" << "Ti";
    QTest::newRow("Ge escapes of Mo") << "mo-ge-30kv" << "Mo";
    // Traces beside major elements.
    QTest::newRow("1 wt % Cr in Fe") << "fe-cr1-20kv" << "Cr Fe";
    QTest::newRow("2 wt % Pb in Cu") << "cu-pb2-20kv" << "Cu Pb";
    // 5 kV: L and M lines only.
    QTest::newRow("brass at 5 kV") << "brass-5kv" << "Cu Zn";
    QTest::newRow("Fe-Ni at 5 kV") << "feni-5kv" << "Fe Ni";
    QTest::newRow("solder at 5 kV") << "pbsn-5kv" << "Pb Sn";
    QTest::newRow("W at 5 kV") << "w-5kv" << "W";
    // XRF: the tube's scattered lines are no element of the sample.
    QTest::newRow("brass by XRF, Rh tube") << "brass-xrf-40kv" << "Cu Zn";
    QTest::newRow("steel by XRF") << "steel-xrf-40kv" << "Cr Fe Mn Ni";
}

void TestIdentifyHardCases::elementsFound()
{
    QFETCH(QString, name);
    QFETCH(QString, elements);
    const synth::HardCase *c = synth::findHardCase(cases(), name.toStdString());
    for (const bool thin : {false, true}) {
        const identify::Identification id = identifyCase(name.toStdString(), {}, 0, thin);
        // Brass at 5 kV: Zn La lies 80 eV above Cu La, on its shoulder, at a
        // tenth of it (in bulk Cu's L edges absorb it further), within what
        // the model of Cu's L peaks may be off by near 1 keV on a real
        // detector (docs/identification.md, "Hard cases that still fail").
        if (name == "brass-5kv")
            QEXPECT_FAIL("", "brass at 5 kV: Zn La on Cu La's shoulder, within the model's uncertainty at 1 keV",
                         Continue);
        // S, Mo and Pb in bulk: Mo's L family, free to fall far short of its
        // K (at U = 1.25 and under S's absorption), is fitted low beneath S
        // K-alpha, and the Mo L-gamma3 and Pb M3 peak at 2.85 keV is named
        // Pd L-alpha, whose K family 25 kV does not excite.
        if (name == "s-mo-pb-25kv" && !thin)
            QEXPECT_FAIL("", "S, Mo and Pb in bulk: Mo L left low under S K, Pd named at 2.85 keV", Continue);
        QVERIFY2(found(id) == elements, qPrintable(QString("%1 sample: %2").arg(thin ? "thin" : "bulk", found(id))));
        // The estimated resolution is the generator's. SrSiO3 in bulk: Sr
        // K-alpha at 14.1 keV is the one peak the estimate rests on, and at
        // this seed it comes out 3 % narrow there, 6 % at Mn K-alpha (126 to
        // 134 eV over eight other seeds).
        if (name == "srsio3-20kv" && !thin)
            QEXPECT_FAIL("", "SrSiO3 in bulk: the resolution from Sr K-alpha alone, 6 % low at this seed", Continue);
        QVERIFY2(std::fabs(id.fwhmMnKa_eV / c->recipe.detector.detector.fwhmMnKa() - 1) < 0.05,
                 qPrintable(QString::number(id.fwhmMnKa_eV)));
        // Every peak is named after something within 0.75 FWHM of it (a
        // sum's width is two lines' in quadrature): a group of lines that
        // spans two peaks must not lend its strongest line's name to both.
        const xray::Detector detector(c->recipe.detector.detector.material(), id.fwhmMnKa_eV);
        for (const identify::IdentifiedPeak &p : id.peaks) {
            const identify::Assignment &a = p.assignment;
            double named = 0, reach = 0.75 * detector.fwhm(p.peak.energy_eV);
            if (a.kind == identify::AssignmentKind::Line)
                named = a.line->energy_eV;
            else if (a.kind == identify::AssignmentKind::Escape)
                named = a.line->energy_eV - a.escape->energy_eV;
            else if (a.kind == identify::AssignmentKind::Sum) {
                named = a.line->energy_eV + a.second->energy_eV;
                reach *= std::sqrt(2.0);
            } else
                continue;
            QVERIFY2(std::fabs(named - p.peak.energy_eV) <= reach,
                     qPrintable(QString("%1 sample: the peak at %2 eV named %3 (%4 eV)")
                                    .arg(thin ? "thin" : "bulk")
                                    .arg(p.peak.energy_eV, 0, 'f', 1)
                                    .arg(label(p))
                                    .arg(named, 0, 'f', 1)));
        }
    }
}

void TestIdentifyHardCases::artefactsNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("energy");
    QTest::addColumn<QString>("label");
    QTest::newRow("Si escape of Cu Ka at 6.31 keV, where Fe Ka is not")
        << "cu-escape-20kv" << 6307.8 << "esc Cu Ka1 Si KL3";
    QTest::newRow("2 x Ti Ka at 9.02 keV, near Cu Kb") << "ti-sum-20kv" << 9021.8 << "sum Ti Ka1 Ti Ka1";
    QTest::newRow("Ti Ka + Ti Kb at 9.44 keV") << "ti-sum-20kv" << 9443.0 << "sum Ti Ka1 Ti Kb1";
    QTest::newRow("Si escape of Ti Ka at 2.77 keV") << "ti-sum-20kv" << 2770.9 << "esc Ti Ka1 Si KL3";
    QTest::newRow("Ge Ka escape of Mo Ka at 7.59 keV, near Ni Ka")
        << "mo-ge-30kv" << 7592.9 << "esc Mo Ka1 Ge KL3";
    QTest::newRow("Ge Kb escape of Mo Ka at 6.50 keV, near Fe Kb") << "mo-xrf-ge-50kv" << 6497.0 << "esc Mo Ka1 Ge KM3";
    QTest::newRow("Ge escape of Mo Kb at 9.72 keV") << "mo-xrf-ge-50kv" << 9720.8 << "esc Mo Kb1 Ge KL3";
    QTest::newRow("2 x Fe Ka at 12.8 keV") << "steel-xrf-40kv" << 12807.8 << "sum Fe Ka1 Fe Ka1";
    QTest::newRow("the noise peak") << "fe-20kv" << 0.0 << "zero";
}

void TestIdentifyHardCases::artefactsNamed()
{
    QFETCH(QString, name);
    QFETCH(double, energy);
    QFETCH(QString, label);
    const identify::Identification id = identifyCase(name.toStdString());
    const identify::IdentifiedPeak *p = peakNear(id, energy, 40);
    QVERIFY2(p, "no peak found there");
    QCOMPARE(::label(*p), label);
}

void TestIdentifyHardCases::partnerLinesDecide()
{
    // At 2.3 keV the peak is S's in pyrite, Mo's in MoS2 beside S, Pb's in
    // PbS beside S: the element chosen for the strongest peak says why, and
    // names its partner lines and the rivals it beat.
    const identify::Identification pbs = identifyCase("pbs-20kv");
    const auto pb = std::find_if(pbs.elements.begin(), pbs.elements.end(), [](const auto &e) { return e.Z == 82; });
    QVERIFY(pb != pbs.elements.end());
    QVERIFY2(pb->confidence == identify::Confidence::Certain, identify::reasonText(pb->reason).c_str());
    const auto hasLine = [](const identify::IdentifiedElement &e, std::string_view name) {
        return std::any_of(e.lines.begin(), e.lines.end(), [&](const xray::Line *l) { return l->siegbahn() == name; });
    };
    QVERIFY(hasLine(*pb, "La1")); // Pb is told by its L lines
    QVERIFY(hasLine(*pb, "Ma1") || hasLine(*pb, "Mb"));

    const identify::Identification mo = identifyCase("mo-25kv");
    QCOMPARE(mo.elements.size(), std::size_t(1));
    const std::string why = identify::reasonText(mo.elements[0].reason);
    QVERIFY2(QString::fromStdString(why).contains("rather than"), why.c_str());
    QVERIFY(hasLine(mo.elements[0], "Lb1"));

    // Every peak of pure lead is its own line, an escape of one, or the
    // noise peak: nothing is left for S or Mo.
    const identify::Identification pure = identifyCase("pb-20kv");
    for (const identify::IdentifiedPeak &p : pure.peaks)
        if (p.assignment.line)
            QCOMPARE(int(p.assignment.line->Z), 82);
}

void TestIdentifyHardCases::requiredAndExcluded()
{
    // A copper grid known to be there is listed even without its lines;
    // an excluded element is never proposed, and its peak stays unexplained.
    identify::IdentifyOptions options;
    options.require = {29};
    const identify::Identification withCu = identifyCase("fe-20kv", options);
    QCOMPARE(found(withCu), QString("Cu Fe"));
    const auto cu = std::find_if(withCu.elements.begin(), withCu.elements.end(), [](const auto &e) { return e.Z == 29; });
    QVERIFY(cu->required);
    QCOMPARE(cu->confidence, identify::Confidence::Possible);

    options = {};
    options.exclude = {24};
    const identify::Identification noCr = identifyCase("fe-cr1-20kv", options);
    QVERIFY(!found(noCr).split(u' ').contains("Cr"));
    const identify::IdentifiedPeak *p = peakNear(noCr, 5414.7, 40);
    QVERIFY(p);
    QVERIFY(!p->assignment.line || p->assignment.line->Z != 24);
}

void TestIdentifyHardCases::givenOptionsWin()
{
    // A beam energy given overrides the file's; at 5 kV the FeNi alloy's K
    // lines are beyond it, and a FWHM given is used as it is.
    identify::IdentifyOptions options;
    options.beam_kV = 30;
    options.fwhmMnKa_eV = 140;
    const identify::Identification id = identifyCase("feni-5kv", options);
    QCOMPARE(*id.beam_kV, 30.0);
    QVERIFY(!id.beamFromFile);
    QCOMPARE(id.fwhmMnKa_eV, 140.0);
    QCOMPARE(id.fwhmSource, identify::Identification::FwhmSource::Given);
    QCOMPARE(found(identifyCase("feni-5kv")), QString("Fe Ni"));
    QVERIFY(identifyCase("feni-5kv").beamFromFile);
}

void TestIdentifyHardCases::artefactsAcrossSeeds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("energy");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("elements");
    QTest::newRow("Cu escape, not Fe") << "cu-escape-20kv" << 6307.8 << "esc Cu Ka1 Si KL3" << "Cu";
    QTest::newRow("2 x Ti Ka, not Cu") << "ti-sum-20kv" << 9021.8 << "sum Ti Ka1 Ti Ka1" << "Ti";
    // (The Ge escapes of Mo Ka1 and Ka2, 105 eV apart, make one peak at
    // about 7.56 keV.)
    QTest::newRow("Ge escape of Mo Ka, not Ni") << "mo-ge-30kv" << 7557.0 << "esc Mo Ka1 Ge KL3" << "Mo";
}

void TestIdentifyHardCases::artefactsAcrossSeeds()
{
    // Not one lucky spectrum: with four other seeds the artefact is named
    // as one each time, and no element is made of it.
    QFETCH(QString, name);
    QFETCH(double, energy);
    QFETCH(QString, label);
    QFETCH(QString, elements);
    for (const std::uint64_t seed : {1001u, 1002u, 1003u, 1004u}) {
        const identify::Identification id = identifyCase(name.toStdString(), {}, seed);
        QCOMPARE(found(id), elements);
        const identify::IdentifiedPeak *p = peakNear(id, energy, 40);
        QVERIFY2(p, qPrintable(u"seed "_qs + QString::number(seed)));
        QCOMPARE(::label(*p), label);
    }
}

void TestIdentifyHardCases::tracesBesideMajors()
{
    // 1 wt % Cr in Fe: found by its Ka1 beside Fe's lines, at least
    // probable; 2 wt % Pb in Cu at 20 kV: by its M lines, which no line of
    // Cu explains (at an overvoltage of 1.5 for Pb L3 its L-alpha is a
    // peak of a few hundred counts, five standard deviations: it may be
    // named beside them).
    const identify::Identification cr = identifyCase("fe-cr1-20kv");
    const auto chromium = std::find_if(cr.elements.begin(), cr.elements.end(), [](const auto &e) { return e.Z == 24; });
    QVERIFY(chromium != cr.elements.end());
    QVERIFY(chromium->confidence != identify::Confidence::Possible);
    QVERIFY(std::any_of(chromium->lines.begin(), chromium->lines.end(),
                        [](const xray::Line *l) { return l->siegbahn() == "Ka1"; }));
    QVERIFY(cr.elements.front().Z == 26); // the major, most significant
    const identify::Identification pb = identifyCase("cu-pb2-20kv");
    const auto lead = std::find_if(pb.elements.begin(), pb.elements.end(), [](const auto &e) { return e.Z == 82; });
    QVERIFY(lead != pb.elements.end());
    QVERIFY(std::any_of(lead->lines.begin(), lead->lines.end(),
                        [](const xray::Line *l) { return l->family == xray::Family::M; }));
    const identify::IdentifiedPeak *ma = peakNear(pb, 2345.5, 40);
    QVERIFY(ma);
    QCOMPARE(::label(*ma), QString("Pb Ma1"));
}

void TestIdentifyHardCases::lowVoltageUsesLAndM()
{
    // At 5 kV no K shell of Cu, Zn, Fe or Ni is excited: every line
    // assigned is an L line; the solder's Pb by its M lines, Sn by its L
    // lines and its M lines (Mz at 0.40 keV), its L3 shell barely excited.
    for (const char *name : {"brass-5kv", "feni-5kv", "pbsn-5kv", "w-5kv"}) {
        const identify::Identification id = identifyCase(name);
        QVERIFY(!id.elements.empty());
        for (const identify::IdentifiedPeak &p : id.peaks) {
            if (p.assignment.kind != identify::AssignmentKind::Line)
                continue;
            QVERIFY2(p.assignment.line->family != xray::Family::K || p.assignment.line->Z < 20,
                     qPrintable(QString::fromLatin1(name) + ": " + ::label(p)));
            QVERIFY(p.peak.energy_eV < 5000);
        }
    }
    const identify::Identification solder = identifyCase("pbsn-5kv");
    for (const identify::IdentifiedElement &e : solder.elements) {
        for (const xray::Line *l : e.lines)
            QVERIFY(e.Z == 82 ? l->family == xray::Family::M : l->family != xray::Family::K);
        if (e.Z == 50)
            QVERIFY(std::any_of(e.lines.begin(), e.lines.end(), [](const xray::Line *l) { return l->siegbahn() == "La1"; }));
    }
}

void TestIdentifyHardCases::xrfScatterIsTheAnode()
{
    // By XRF the tube's rhodium lines are in the spectrum, scattered by the
    // sample: told apart from the sample's elements, their peaks named as
    // the tube's. Its L lines are what shows here (the synthetic scatter of
    // its K lines is weak).
    const identify::Identification id = identifyCase("brass-xrf-40kv");
    QCOMPARE(found(id), QString("Cu Zn"));
    const identify::IdentifiedPeak *rh = peakNear(id, 2696.7, 40);
    QVERIFY(rh);
    QCOMPARE(rh->reason.kind, identify::PeakReason::Kind::TubeRayleigh);
    QVERIFY(rh->reason.line);
    QCOMPARE(rh->reason.line->Z, 45);
    QCOMPARE(QString::fromStdString(identify::reasonText(rh->reason)),
             QString("the tube's Rh La1 scattered by the sample (Rayleigh), no element of the sample"));
    QVERIFY(std::any_of(id.notes.begin(), id.notes.end(),
                        [](const identify::Note &n) { return n.kind == identify::Note::Kind::Xrf; }));
}

void TestIdentifyHardCases::knownFailure()
{
    // AlBr3: Al Ka lies 6 eV from Br La1, and only Br's L/K ratio, which
    // absorption changes by factors of several at 1.5 keV, could show that
    // part of the peak is aluminium. Bromine is found, nothing false; Al is
    // missed (docs/identification.md, "Hard cases that still fail"). Told
    // that Al is there, it is listed.
    const identify::Identification id = identifyCase("albr3-20kv");
    QVERIFY(found(id).split(u' ').contains("Br"));
    QEXPECT_FAIL("", "Al Ka under Br La: the families' ratio cannot tell", Continue);
    QCOMPARE(found(id), QString("Al Br"));
    identify::IdentifyOptions options;
    options.require = {13};
    QCOMPARE(found(identifyCase("albr3-20kv", options)), QString("Al Br"));
}

QTEST_GUILESS_MAIN(TestIdentifyHardCases)
#include "tst_identify_hardcases.moc"
