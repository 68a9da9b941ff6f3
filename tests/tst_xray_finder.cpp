// The line finder on the cases its users meet: the strong line first, the
// S / Mo / Pb overlap told apart by confirming lines, escape and sum peaks
// with their worked energies, the beam energy, and the limits.
#include "xray/finder.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <QTest>

#include <cmath>

class TestXrayFinder : public QObject {
    Q_OBJECT

private slots:
    void strongLineFirst();
    void overlapToldApartByConfirmingLines_data();
    void overlapToldApartByConfirmingLines();
    void artefacts_data();
    void artefacts();
    void knownElementsFirst();
    void beamEnergy();
    void toleranceAndLimit();
    void nothingForBadEnergies();
};

namespace {

// "Fe Ka1", "Cu Ka1 esc Si KL3", "Fe Ka1 + Cu Ka1"
QString describe(const xray::Candidate &c)
{
    const auto name = [](const xray::Line &l) {
        return QString::fromStdString(std::string(xray::elementSymbol(l.Z)) + " " + std::string(l.siegbahn()));
    };
    switch (c.kind) {
    case xray::CandidateKind::Line:
        return name(*c.line);
    case xray::CandidateKind::Escape:
        return name(*c.line) + " esc " + QString::fromStdString(xray::escapeLineLabel(*c.escape));
    case xray::CandidateKind::Sum:
        return name(*c.line) + " + " + name(*c.second);
    }
    return {};
}

const xray::Candidate *findCandidate(const std::vector<xray::Candidate> &found, const QString &what)
{
    for (const xray::Candidate &c : found)
        if (describe(c) == what)
            return &c;
    return nullptr;
}

const xray::Detector si(xray::Material::Si);

} // namespace

void TestXrayFinder::strongLineFirst()
{
    const auto found = xray::findLines(6400, si).candidates;
    QVERIFY(found.size() > 2);
    QCOMPARE(describe(found[0]), QStringLiteral("Fe Ka1"));
    QCOMPARE(describe(found[1]), QStringLiteral("Fe Ka2"));
    QCOMPARE(found[0].delta_eV, 6403.9 - 6400);
    for (std::size_t i = 1; i < found.size(); ++i)
        QVERIFY(found[i - 1].score >= found[i].score);
}

void TestXrayFinder::overlapToldApartByConfirmingLines_data()
{
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<double>("confirmEnergy");
    QTest::newRow("S") << "S Ka1" << "S Kb1" << 2464.0;
    QTest::newRow("Mo") << "Mo La1" << "Mo Ka1" << 17479.3;
    QTest::newRow("Pb") << "Pb Ma1" << "Pb La1" << 10551.2;
}

void TestXrayFinder::overlapToldApartByConfirmingLines()
{
    QFETCH(QString, candidate);
    QFETCH(QString, confirm);
    QFETCH(double, confirmEnergy);
    const auto found = xray::findLines(2310, si).candidates;
    // All three within the first few, whatever their order.
    const auto c = std::find_if(found.begin(), found.end(),
                                [&](const xray::Candidate &x) { return describe(x) == candidate; });
    QVERIFY(c != found.end());
    QVERIFY(c - found.begin() < 3);
    // The confirming line is the first to look for.
    QVERIFY(!c->confirm.empty());
    const xray::Line &first = *c->confirm.front();
    QCOMPARE(QString::fromStdString(std::string(xray::elementSymbol(first.Z)) + " " + std::string(first.siegbahn())),
             confirm);
    QCOMPARE(first.energy_eV, confirmEnergy);
    // None of them lies under the candidate itself.
    for (const xray::Line *l : c->confirm) {
        QVERIFY(l != c->line && l->relative >= 0.05);
        QVERIFY(std::abs(l->energy_eV - c->energy_eV) >= si.fwhm(std::max(l->energy_eV, c->energy_eV)));
    }
}

void TestXrayFinder::artefacts_data()
{
    QTest::addColumn<double>("energy");
    QTest::addColumn<int>("material");
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<double>("candidateEnergy");
    const int si = int(xray::Material::Si), ge = int(xray::Material::Ge);
    QTest::newRow("Fe Ka1 escape in Si") << 4663.9 << si << "" << "Fe Ka1 esc Si KL3" << 4663.9;
    QTest::newRow("Cu Ka1 escape next to Fe") << 6310.0 << si << "" << "Cu Ka1 esc Si KL3" << 6307.8;
    QTest::newRow("Mo Ka1 Ge K-alpha escape") << 7592.9 << ge << "" << "Mo Ka1 esc Ge KL3" << 7592.9;
    QTest::newRow("Mo Ka1 Ge K-beta escape") << 6497.0 << ge << "" << "Mo Ka1 esc Ge KM3" << 6497.0;
    QTest::newRow("Fe Ka1 + Fe Ka1") << 12807.8 << si << "Fe" << "Fe Ka1 + Fe Ka1" << 12807.8;
    QTest::newRow("Fe Ka1 + Cu Ka1") << 14451.7 << si << "Fe Cu" << "Fe Ka1 + Cu Ka1" << 14451.7;
    QTest::newRow("Ti Ka1 + Ti Kb1") << 9442.0 << si << "Ti" << "Ti Ka1 + Ti Kb1" << 4510.9 + 4931.8;
}

void TestXrayFinder::artefacts()
{
    QFETCH(double, energy);
    QFETCH(int, material);
    QFETCH(QString, elements);
    QFETCH(QString, candidate);
    QFETCH(double, candidateEnergy);
    xray::FindOptions options;
    for (const QString &symbol : elements.split(u' ', Qt::SkipEmptyParts))
        options.elements.push_back(*xray::parseElement(symbol.toStdString()));
    const auto found = xray::findLines(energy, xray::Detector(static_cast<xray::Material>(material)), options).candidates;
    const xray::Candidate *c = findCandidate(found, candidate);
    QVERIFY(c);
    QVERIFY(std::abs(c->energy_eV - candidateEnergy) < 0.005);
    if (c->kind == xray::CandidateKind::Escape) {
        QVERIFY(c->fraction > 0 && c->fraction < 0.2);
        // Its parent is the first line to look for.
        QCOMPARE(c->confirm.front(), c->line);
    }
    // Sum peaks only from the elements named.
    if (elements.isEmpty())
        QVERIFY(std::none_of(found.begin(), found.end(),
                             [](const xray::Candidate &x) { return x.kind == xray::CandidateKind::Sum; }));
}

void TestXrayFinder::knownElementsFirst()
{
    // At 6.31 keV, Tb La1 is the closest strong line; with Fe and Cu known
    // present, the Cu escapes right at the energy come first. Fe Ka1, 0.7
    // FWHM away, keeps its place by score.
    xray::FindOptions options;
    QCOMPARE(describe(xray::findLines(6310, si, options).candidates.front()), QStringLiteral("Tb La1"));
    options.elements = {26, 29};
    auto found = xray::findLines(6310, si, options).candidates;
    QStringList first;
    for (std::size_t i = 0; i < 4; ++i)
        first << describe(found[i]);
    QCOMPARE(first, (QStringList{"Cu Ka1 esc Si KL3", "Cu Ka2 esc Si KL3", "Tb La1", "Fe Ka1"}));
    QVERIFY(found[0].known && found[0].near && found[3].known && !found[3].near);
    // A known element's escape 0.75 FWHM off never goes before a line at the
    // energy: at Fe Ka1 with only Cu known, Fe Ka1 leads.
    options.elements = {29};
    found = xray::findLines(6407, si, options).candidates;
    QCOMPARE(describe(found.front()), QStringLiteral("Fe Ka1"));
    const auto escape = std::find_if(found.begin(), found.end(),
                                     [](const xray::Candidate &c) { return c.kind == xray::CandidateKind::Escape && c.line->Z == 29; });
    QVERIFY(escape != found.end() && escape->known && !escape->near && escape - found.begin() > 5);
}

void TestXrayFinder::beamEnergy()
{
    // No line above the beam energy, nor an escape or sum of one.
    xray::FindOptions options;
    options.beam_eV = 8000; // below Cu's K edge (8979 eV)
    options.elements = {29, 26};
    for (double e = 500; e < 20000; e += 250) {
        for (const xray::Candidate &c : xray::findLines(e, si, options).candidates) {
            QVERIFY2(xray::isExcited(*c.line, options.beam_eV), qPrintable(describe(c)));
            QVERIFY(!c.second || xray::isExcited(*c.second, options.beam_eV));
            for (const xray::Line *l : c.confirm)
                QVERIFY(xray::isExcited(*l, options.beam_eV) && l->energy_eV < 8000);
        }
    }
    QVERIFY(!findCandidate(xray::findLines(8047.8, si, options).candidates, "Cu Ka1"));
    QVERIFY(findCandidate(xray::findLines(929.5, si, options).candidates, "Cu La1"));
}

void TestXrayFinder::toleranceAndLimit()
{
    xray::FindOptions options;
    options.tolerance_eV = 20;
    const xray::FindResult all = xray::findLines(6400, si, options);
    QCOMPARE(all.withinTolerance, all.candidates.size());
    for (const xray::Candidate &c : all.candidates)
        QVERIFY(std::abs(c.delta_eV) <= 20);
    options.limit = 2;
    const xray::FindResult two = xray::findLines(6400, si, options);
    QCOMPARE(two.candidates.size(), std::size_t(2));
    QCOMPARE(two.withinTolerance, all.candidates.size());
    QCOMPARE(describe(two.candidates[1]), describe(all.candidates[1]));
    // The default tolerance is one FWHM.
    for (const xray::Candidate &c : xray::findLines(2310, si).candidates)
        QVERIFY(std::abs(c.delta_eV) <= si.fwhm(2310));
}

void TestXrayFinder::nothingForBadEnergies()
{
    for (double e : {0.0, -6400.0, qQNaN(), qInf(), 1e300})
        QVERIFY(xray::findLines(e, si).candidates.empty());
    xray::FindOptions zero;
    zero.tolerance_eV = 0;
    QVERIFY(xray::findLines(6400, si, zero).candidates.empty());
    // Elements outside the table, and one named thousands of times, are
    // harmless.
    xray::FindOptions odd;
    odd.elements.assign(5000, 26);
    odd.elements.push_back(1);
    odd.elements.push_back(200);
    odd.elements.push_back(-3);
    QVERIFY(findCandidate(xray::findLines(12807.8, si, odd).candidates, "Fe Ka1 + Fe Ka1"));
}

QTEST_GUILESS_MAIN(TestXrayFinder)
#include "tst_xray_finder.moc"
