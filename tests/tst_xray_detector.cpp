// The detector model: resolution, escape peaks with their worked energies
// and sizes, and the mass attenuation they rest on.
#include "xray/detector.h"
#include "xray/lines.h"

#include <QTest>

#include <cmath>

class TestXrayDetector : public QObject {
    Q_OBJECT

private slots:
    void resolution();
    void escapeEnergies_data();
    void escapeEnergies();
    void escapeFractions();
    void attenuationEdges();
    void materials();
};

namespace {

double energy(const char *line) { return xray::parseLine(line)->energy_eV; }

} // namespace

void TestXrayDetector::resolution()
{
    const xray::Detector si(xray::Material::Si);
    QCOMPARE(si.fwhmMnKa(), 129.0);
    QCOMPARE(xray::Detector(xray::Material::Ge).fwhmMnKa(), 145.0);
    QCOMPARE(xray::Detector(xray::Material::CdTe).fwhmMnKa(), 250.0);
    // At Mn Ka the FWHM is the one given; elsewhere it follows
    // FWHM^2 = FWHM(Mn Ka)^2 + 2.49 eV (E - 5898.7 eV).
    QCOMPARE(si.fwhm(energy("Mn Ka1")), 129.0);
    // The reference energy is the line table's Mn K-alpha1.
    QCOMPARE(xray::mnKalpha_eV(), energy("Mn Ka1"));
    QVERIFY(qAbs(si.fwhm(17479.3) - std::sqrt(129.0 * 129.0 + 2.49 * (17479.3 - 5898.7))) < 1e-9);
    QVERIFY(si.fwhm(1000) < si.fwhm(5000));
    // Better than a perfect detector at Mn Ka: only the statistical term.
    const xray::Detector ideal(xray::Material::Si, 100);
    QVERIFY(qAbs(ideal.fwhm(1000) - std::sqrt(2.49 * 1000)) < 1e-9);
    QVERIFY(std::isfinite(ideal.fwhm(0)) && ideal.fwhm(-5) == 0);
}

void TestXrayDetector::escapeEnergies_data()
{
    QTest::addColumn<int>("material");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QStringList>("escapes"); // "Si KL3 4663.9", by the detector's lines
    const int si = int(xray::Material::Si), ge = int(xray::Material::Ge), cdte = int(xray::Material::CdTe);
    QTest::newRow("Fe Ka1 in Si") << si << "Fe Ka1" << QStringList{"Si KL3 4663.9", "Si KM3 4568"};
    QTest::newRow("Cu Ka1 in Si") << si << "Cu Ka1" << QStringList{"Si KL3 6307.8", "Si KM3 6211.9"};
    QTest::newRow("Mo Ka1 in Ge") << ge << "Mo Ka1" << QStringList{"Ge KL3 7592.9", "Ge KM3 6497"};
    QTest::newRow("P Ka1 just above the Si K edge") << si << "P Ka1" << QStringList{"Si KL3 270.2", "Si KM3 174.3"};
    QTest::newRow("Si Ka1 below its own edge") << si << "Si Ka1" << QStringList{};
    QTest::newRow("Cu Ka1 below the Ge K edge") << ge << "Cu Ka1" << QStringList{};
    QTest::newRow("Sn Ka1 below the Cd K edge") << cdte << "Sn Ka1" << QStringList{};
    QTest::newRow("Te Ka1 between the Cd and Te K edges") << cdte << "Te Ka1"
                                                          << QStringList{"Cd KL3 4298.7", "Cd KM3 1377.7"};
    QTest::newRow("Pb Ka1 above both") << cdte << "Pb Ka1"
                                       << QStringList{"Cd KL3 51795.6", "Cd KM3 48874.6", "Te KL3 47496.9",
                                                      "Te KM3 43974.2"};
}

void TestXrayDetector::escapeEnergies()
{
    QFETCH(int, material);
    QFETCH(QString, parent);
    QFETCH(QStringList, escapes);
    const xray::Detector detector(static_cast<xray::Material>(material));
    QStringList found;
    for (const xray::Escape &e : detector.escapes(energy(parent.toLatin1().constData())))
        found << QString::fromStdString(xray::escapeLineLabel(*e.line)) + " "
                     + QString::number(std::round(e.energy_eV * 10) / 10, 'g', 10);
    QCOMPARE(found, escapes);
}

void TestXrayDetector::escapeFractions()
{
    const xray::Detector si(xray::Material::Si), ge(xray::Material::Ge);
    const xray::EscapeLine &siKa = si.escapeLines()[0], &siKb = si.escapeLines()[1];
    // Largest just above the edge, then falling as the parent goes deeper
    // into the detector: a few per cent at most.
    double last = 1;
    for (double e = 1850; e < 40000; e *= 1.1) {
        const double f = si.escapeFraction(siKa, e);
        QVERIFY2(f > 0 && f < last && f < 0.03, qPrintable(QString::number(e)));
        last = f;
    }
    QCOMPARE(si.escapeFraction(siKa, 1838.9), 0.0);
    // K-beta carries a few per cent of silicon's K emission.
    const double ratio = si.escapeFraction(siKb, 6403.9) / si.escapeFraction(siKa, 6403.9);
    QVERIFY(ratio > 0.01 && ratio < 0.05);
    // Germanium's yield is ten times silicon's: Mo Ka escapes of several
    // per cent.
    const double mo = ge.escapeFraction(ge.escapeLines()[0], 17479.3);
    QVERIFY(mo > 0.03 && mo < 0.15);
    // A detector's fraction for another detector's line is none.
    QCOMPARE(ge.escapeFraction(siKa, 6403.9), 0.0);
}

void TestXrayDetector::attenuationEdges()
{
    const xray::Detector si(xray::Material::Si), cdte(xray::Material::CdTe);
    // Silicon's K edge: the jump by about its jump ratio (10.37).
    const double below = si.massAttenuation(1838.8), above = si.massAttenuation(1839.0);
    QVERIFY(above / below > 8 && above / below < 12);
    // Falling between edges.
    QVERIFY(si.massAttenuation(5000) > si.massAttenuation(6000));
    // CdTe: both K edges show.
    QVERIFY(cdte.massAttenuation(26712) > 1.5 * cdte.massAttenuation(26710));
    QVERIFY(cdte.massAttenuation(31814) > 1.5 * cdte.massAttenuation(31813));
    QVERIFY(std::isfinite(si.massAttenuation(500)) && std::isfinite(si.massAttenuation(300000)));
}

void TestXrayDetector::materials()
{
    QCOMPARE(xray::parseMaterial("si"), xray::Material::Si);
    QCOMPARE(xray::parseMaterial("GE"), xray::Material::Ge);
    QCOMPARE(xray::parseMaterial("CdTe"), xray::Material::CdTe);
    QVERIFY(!xray::parseMaterial("sdd"));
    QVERIFY(!xray::parseMaterial(""));
    QCOMPARE(xray::materialLabel(xray::Material::CdTe), "CdTe");
    QCOMPARE(xray::Detector(xray::Material::CdTe).escapeLines().size(), std::size_t(4));
}

QTEST_GUILESS_MAIN(TestXrayDetector)
#include "tst_xray_detector.moc"
