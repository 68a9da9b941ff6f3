// The reasons of identification in English, as the command line prints
// them: each kind of reason, with the elements, lines and energies it names,
// worded as sentences the command line has always printed (the expected
// texts are taken from its output on measured spectra where one shows the
// kind).
#include "identify/reasons.h"
#include "xray/lines.h"

#include <QTest>

using identify::ElementReason;
using identify::LinePeak;
using identify::PeakReason;
using identify::Rival;

Q_DECLARE_METATYPE(identify::ElementReason)
Q_DECLARE_METATYPE(identify::PeakReason)

class TestIdentifyReasons : public QObject {
    Q_OBJECT

private slots:
    void elementReasons_data();
    void elementReasons();
    void peakReasons_data();
    void peakReasons();
};

namespace {

const xray::Line *line(const char *text)
{
    const xray::Line *l = xray::parseLine(text);
    if (!l)
        qFatal("no line %s", text);
    return l;
}

int Z(const char *text) { return line(text)->Z; }

Rival missing(const char *text, double energy_eV) { return {Rival::Kind::Missing, Z(text), {line(text), energy_eV}}; }
Rival notSeen(const char *text, double energy_eV) { return {Rival::Kind::NotSeen, Z(text), {line(text), energy_eV}}; }
Rival simple(Rival::Kind kind, int z) { return {kind, z, {}}; }

ElementReason explains(double peak_eV, const char *at, std::vector<LinePeak> partners = {},
                       std::vector<Rival> rivals = {})
{
    return {ElementReason::Kind::Explains, peak_eV, at ? line(at) : nullptr, std::move(partners), std::move(rivals)};
}

} // namespace

void TestIdentifyReasons::elementReasons_data()
{
    QTest::addColumn<ElementReason>("reason");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << ElementReason{} << "";
    QTest::newRow("required") << ElementReason{.kind = ElementReason::Kind::Required} << "required";
    QTest::newRow("required, not seen") << ElementReason{.kind = ElementReason::Kind::RequiredUnseen}
                                        << "required; its lines are not seen";
    QTest::newRow("its line alone") << explains(6403.8, "Fe Ka1") << "the peak at 6.40 keV is its Ka1";
    QTest::newRow("no line named") << explains(6403.8, nullptr) << "the peak at 6.40 keV";
    QTest::newRow("one partner, rivals")
        << explains(284.0, "Ru Ll", {{line("Ru Lb3"), 361.0}},
                    {simple(Rival::Kind::FitsPoorly, 20), missing("Cl Ll", 182.0)})
        << "the peak at 0.28 keV is its Ll, with Lb3 at 0.36 keV; rather than Ca (fits the peak poorly), "
           "Cl (its Ll at 0.18 keV is missing)";
    QTest::newRow("two partners")
        << explains(1776.0, "W Ma1", {{line("W Mz2"), 1384.0}, {line("W Mb"), 1834.0}})
        << "the peak at 1.78 keV is its Ma1, with Mz2 at 1.38 keV and Mb at 1.83 keV";
    QTest::newRow("three partners, three rivals")
        << explains(2048.0, "Zr La1", {{line("Zr Ll"), 1792.0}, {line("Zr Lb1"), 2124.0}, {line("Zr Lb3"), 2201.0}},
                    {missing("Pt M2N4", 2696.0), simple(Rival::Kind::FitsPoorly, 15), missing("Ir Ma1", 1985.0)})
        << "the peak at 2.05 keV is its La1, with Ll at 1.79 keV, Lb1 at 2.12 keV and Lb3 at 2.20 keV; rather "
           "than Pt (its M2N4 at 2.70 keV is missing), P (fits the peak poorly), Ir (its Ma1 at 1.99 keV is "
           "missing)";
    QTest::newRow("rivals that fit less well, or not seen")
        << explains(524.9, "O Ka1", {},
                    {simple(Rival::Kind::FitsLessWell, 53), notSeen("Xe La1", 4110.0), notSeen("Cs M1N2", 1041.0)})
        << "the peak at 0.52 keV is its Ka1; rather than I (fits less well), Xe (its La1 at 4.11 keV is not "
           "seen), Cs (its M1N2 at 1.04 keV is not seen)";
}

void TestIdentifyReasons::elementReasons()
{
    QFETCH(ElementReason, reason);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(identify::reasonText(reason)), text);
}

void TestIdentifyReasons::peakReasons_data()
{
    QTest::addColumn<PeakReason>("reason");
    QTest::addColumn<QString>("text");
    const auto kind = [](PeakReason::Kind k) { return PeakReason{.kind = k}; };
    QTest::newRow("explained") << PeakReason{} << "";
    QTest::newRow("in the noise peak's reach")
        << PeakReason{.kind = PeakReason::Kind::BelowLines, .energy_eV = 150}
        << "below 0.15 keV, in the noise peak's reach, where no line is looked for";
    QTest::newRow("Rayleigh") << kind(PeakReason::Kind::Rayleigh)
                              << "the beam scattered by the sample (Rayleigh, at the beam energy), no element's line";
    QTest::newRow("Compton") << kind(PeakReason::Kind::Compton)
                             << "the beam scattered by the sample (Compton, below the beam energy), no element's line";
    QTest::newRow("too wide") << kind(PeakReason::Kind::TooWide)
                              << "wider than a line: the shape of the continuum, or scattered radiation";
    QTest::newRow("no line fits") << kind(PeakReason::Kind::NoLineFits) << "no element has a line there that fits";
    QTest::newRow("not explained") << kind(PeakReason::Kind::NotExplained) << "no element found explains it";
    QTest::newRow("partly explained") << kind(PeakReason::Kind::PartlyExplained)
                                      << "the elements found explain only part of it";
    QTest::newRow("refused")
        << PeakReason{.kind = PeakReason::Kind::Refused,
                      .rivals = {notSeen("V Ka1", 4952.0), simple(Rival::Kind::FitsPoorly, 8),
                                 simple(Rival::Kind::FitsPoorly, 54), notSeen("Cr Ka1", 5414.7)}}
        << "tried V (its Ka1 at 4.95 keV is not seen), O (fits the peak poorly), Xe (fits the peak poorly), Cr (its "
           "Ka1 at 5.41 keV is not seen)";
    QTest::newRow("explained as well by the others")
        << PeakReason{.kind = PeakReason::Kind::Refused, .rivals = {simple(Rival::Kind::ExplainedAlready, 20)}}
        << "tried Ca (the elements found explain it as well)";
    QTest::newRow("a missing line not named")
        << PeakReason{.kind = PeakReason::Kind::Refused,
                      .rivals = {{Rival::Kind::Missing, 26, {nullptr, 7058.0}}}}
        << "tried Fe (its line at 7.06 keV is missing)";
}

void TestIdentifyReasons::peakReasons()
{
    QFETCH(PeakReason, reason);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(identify::reasonText(reason)), text);
}

QTEST_MAIN(TestIdentifyReasons)
#include "tst_identify_reasons.moc"
