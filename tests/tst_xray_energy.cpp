// Reading energies as people type them: units, bare numbers, exact scaling,
// and a clear reason for everything that is not an energy.
#include "xray/energy.h"

#include <QTest>

class TestXrayEnergy : public QObject {
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void beam_data();
    void beam();
};

void TestXrayEnergy::accepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("eV");
    QTest::newRow("keV") << "6.4keV" << 6400.0;
    QTest::newRow("eV") << "6400eV" << 6400.0;
    QTest::newRow("blank before the unit") << "6.4 keV" << 6400.0;
    QTest::newRow("bare number is keV") << "6.4" << 6400.0;
    QTest::newRow("letter case") << "6.4KEV" << 6400.0;
    QTest::newRow("ev in lower case") << "6400ev" << 6400.0;
    QTest::newRow("exact decimal scaling") << "2.31" << 2310.0;
    QTest::newRow("exponent") << "6.4e3eV" << 6400.0;
    QTest::newRow("exponent and e of eV") << "1e-1keV" << 100.0;
    QTest::newRow("leading point") << ".5keV" << 500.0;
    QTest::newRow("trailing point") << "5.keV" << 5000.0;
    QTest::newRow("plus sign") << "+6.4" << 6400.0;
    QTest::newRow("blanks around") << "  17.4793 keV  " << 17479.3;
    QTest::newRow("tiny but above zero") << "1e-300" << 1e-297;
}

void TestXrayEnergy::accepted()
{
    QFETCH(QString, text);
    QFETCH(double, eV);
    const xray::EnergyReading r = xray::parseEnergy(text.toStdString());
    QVERIFY2(r, r.reason.c_str());
    QCOMPARE(*r.eV, eV);
}

void TestXrayEnergy::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << "" << "is empty";
    QTest::newRow("blanks") << "   " << "is empty";
    QTest::newRow("negative") << "-6.4" << "is negative";
    QTest::newRow("zero") << "0" << "is not above zero";
    QTest::newRow("zero eV") << "0.000eV" << "is not above zero";
    QTest::newRow("NaN") << "NaN" << "is not a number";
    QTest::newRow("inf") << "inf" << "is not a number";
    QTest::newRow("too large") << "1e999" << "is too large";
    QTest::newRow("large in keV only") << "1e306" << "is too large";
    QTest::newRow("too small") << "1e-999" << "is too small";
    QTest::newRow("huge exponent") << "1e99999999999999999999" << "is too large";
    QTest::newRow("unknown unit") << "6.4keu" << "has an unknown unit 'keu' (use eV or keV)";
    QTest::newRow("volts are for beams") << "20kV" << "has an unknown unit 'kV' (use eV or keV)";
    QTest::newRow("hexadecimal") << "0x1A" << "has an unknown unit 'x1A' (use eV or keV)";
    QTest::newRow("decimal comma") << "6,4" << "is not a number (the decimal mark is '.')";
    QTest::newRow("two points") << "6.4.1" << "is not a number";
    QTest::newRow("two numbers") << "6.4 7" << "is not a number";
    QTest::newRow("unit only") << "keV" << "is not a number";
    QTest::newRow("control character") << "6.4\x01" << "has an unknown unit '?' (use eV or keV)";
}

void TestXrayEnergy::refused()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const xray::EnergyReading r = xray::parseEnergy(text.toStdString());
    QVERIFY(!r);
    QCOMPARE(QString::fromStdString(r.reason), reason);
}

void TestXrayEnergy::beam_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("eV");
    QTest::newRow("bare number is kV") << "20" << 20000.0;
    QTest::newRow("kV") << "20kV" << 20000.0;
    QTest::newRow("V") << "15000 V" << 15000.0;
    QTest::newRow("keV") << "20 keV" << 20000.0;
    QTest::newRow("unknown") << "20 kW" << 0.0;
}

void TestXrayEnergy::beam()
{
    QFETCH(QString, text);
    QFETCH(double, eV);
    QCOMPARE(xray::parseBeamEnergy(text.toStdString()).eV.value_or(0), eV);
    QCOMPARE(xray::isEnergyUnit("kV", true), true);
    QCOMPARE(xray::isEnergyUnit("kV"), false);
}

QTEST_GUILESS_MAIN(TestXrayEnergy)
#include "tst_xray_energy.moc"
