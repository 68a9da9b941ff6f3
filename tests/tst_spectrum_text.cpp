// Text spectra (energy and counts; counts alone, .spe), and telling the
// formats apart by content.
#include "spectrumtesting.h"

#include "spectrum/text.h"

#include <QTest>

#include <cmath>

using namespace spectrumtesting;

class TestSpectrumText : public QObject {
    Q_OBJECT

private slots:
    void detectByContent_data();
    void detectByContent();
    void twoColumns_data();
    void twoColumns();
    void countsAlone_data();
    void countsAlone();
    void refusals_data();
    void refusals();
};

void TestSpectrumText::detectByContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("format"); // or "refused: reason"
    QTest::newRow("EMSA") << QByteArray("#FORMAT      : EMSA/MAS Spectral Data File\r\n") << "emsa";
    QTest::newRow("EMSA after a blank line, lower case") << QByteArray("\n#format : x\n") << "emsa";
    QTest::newRow("EMSA without FORMAT") << QByteArray("#TITLE : x\n#SPECTRUM\n1\n") << "emsa";
    QTest::newRow("a comment that mentions a spectrum") << QByteArray("# Spectrum of the grid\n1\n2\n")
                                                        << "counts";
    QTest::newRow("XML") << QByteArray("<?xml version=\"1.0\"?><TRTSpectrum/>") << "spx";
    QTest::newRow("XML after a byte-order mark") << QByteArray("\xEF\xBB\xBF  <TRTSpectrum/>") << "spx";
    QTest::newRow("two columns") << QByteArray("0.01\t5\n0.02\t6\n") << "text";
    QTest::newRow("two columns after a header") << QByteArray("Energy,Counts\n0.01,5\n") << "text";
    QTest::newRow("one column") << QByteArray("# MCA\n5\n6\n") << "counts";
    QTest::newRow("rows of counts") << QByteArray("5 6 7 8\n9 10 11 12\n") << "counts";
    QTest::newRow(".spe") << QByteArray("$SPEC_ID:\nx\n$DATA:\n0 1\n5\n6\n") << "counts";
    QTest::newRow("empty") << QByteArray() << "refused: the file is empty";
    QTest::newRow("blanks") << QByteArray(" \r\n\t\n") << "refused: the file holds only blanks";
    QTest::newRow("NUL bytes") << QByteArray("1\n2\0\n3", 7) << "refused: binary data, not a spectrum file";
    QTest::newRow("control characters") << QByteArray("\x01\x02\x03\x04 1\n") << "refused: binary data";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE" "1\0\n\0", 6) << "refused: UTF-16";
    QTest::newRow("prose") << QByteArray("Dear colleague,\nplease find the spectrum attached.\n")
                           << "refused: not a spectrum: no line of numbers";
}

void TestSpectrumText::detectByContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, format);
    const auto detected = spectrum::detectFormat(view(bytes));
    if (format.startsWith("refused: ")) {
        QVERIFY(!detected);
        QVERIFY2(QString::fromStdString(detected.error().reason).startsWith(format.mid(9)),
                 detected.error().reason.c_str());
    } else {
        QVERIFY2(detected, detected ? "" : detected.error().reason.c_str());
        QCOMPARE(QString::fromLatin1(spectrum::formatName(detected.value()).data()), format);
    }
}

void TestSpectrumText::twoColumns_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("offset"); // eV; NaN: uncalibrated
    QTest::addColumn<double>("gain");
    QTest::addColumn<QString>("warning");
    const double none = std::nan("");
    QTest::newRow("commas, keV by the rule (largest below 200)") << QByteArray("0.10,5\n0.11,6\n0.12,7\n")
                                                                 << 100.0 << 10.0 << "";
    QTest::newRow("TABs, eV by the rule") << QByteArray("1000\t5\r\n1010\t6\r\n1020\t7\r\n") << 1000.0 << 10.0
                                          << "";
    QTest::newRow("blanks, header names keV") << QByteArray("Energy (keV)  Counts\n  250  5\n  251  6\n")
                                              << 250000.0 << 1000.0 << "";
    QTest::newRow("header names eV, below 200") << QByteArray("energy_eV,counts\n10,1\n20,2\n30,3\n") << 10.0
                                                << 10.0 << "";
    QTest::newRow("comment line names the unit") << QByteArray("# Energy/eV, Counts\n10,1\n20,2\n") << 10.0
                                                 << 10.0 << "";
    QTest::newRow("first column counts channels") << QByteArray("Channel;Counts\n0;1\n1;2\n") << none << none
                                                  << "";
    QTest::newRow("semicolons and decimal commas") << QByteArray("0,10;5\n0,11;6\n") << 100.0 << 10.0 << "";
    QTest::newRow("uneven energies") << QByteArray("1,5\n2,6\n5,7\n") << 666.667 << 2000.0
                                     << "not evenly spaced";
    QTest::newRow("one row") << QByteArray("1.5,5\n") << none << none << "one channel gives no gain";
    QTest::newRow("negative counts") << QByteArray("1,5\n2,-6\n") << 1000.0 << 1000.0 << "negative counts";
}

void TestSpectrumText::twoColumns()
{
    QFETCH(QByteArray, bytes);
    QFETCH(double, offset);
    QFETCH(double, gain);
    QFETCH(QString, warning);
    const auto result = read(bytes);
    QVERIFY2(result, qPrintable(reason(result)));
    QCOMPARE(result->format, spectrum::Format::Text);
    if (std::isnan(offset)) {
        QVERIFY(!result->calibration);
    } else {
        QVERIFY(result->calibration);
        QVERIFY2(qAbs(result->calibration->offset_eV - offset) < 1e-3, qPrintable(QString::number(result->calibration->offset_eV)));
        QVERIFY2(qAbs(result->calibration->gain_eV - gain) < 1e-6 * gain, qPrintable(QString::number(result->calibration->gain_eV)));
    }
    expectWarning(result.value(), warning);
}

void TestSpectrumText::countsAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("details"); // live, real, title, calibration
    QTest::addColumn<QString>("warning");
    QTest::newRow("one a line with comments") << QByteArray("# from the MCA\n# 3 channels\n5\n6\n# mid\n7\n")
                                              << "5,6,7" << "" << "";
    QTest::newRow("a header line") << QByteArray("counts\r\n5\r\n6\r\n") << "5,6" << "" << "";
    QTest::newRow("several a line") << QByteArray("1 2 3 4\n5 6 7 8\n") << "1,2,3,4,5,6,7,8" << "" << "";
    QTest::newRow(".spe") << QByteArray("$SPEC_ID:\nSoil 12\n$SPEC_REM:\nDET# 1\n$DATE_MEA:\n"
                                        "03/14/2024 10:15:00\n$MEAS_TIM:\n100 120\n$DATA:\n0 3\n"
                                        "5\n6\n7\n8\n$ROI:\n0\n$ENER_FIT:\n0.010 0.020\n$MCA_CAL:\n2\n")
                          << "5,6,7,8" << "live=100 real=120 title=Soil 12 offset=10 gain=20" << "";
    QTest::newRow(".spe, several a line") << QByteArray("$DATA:\n  0  5\n  1  2  3\n  4  5  6\n")
                                          << "1,2,3,4,5,6" << "" << "";
    QTest::newRow(".spe announces more") << QByteArray("$DATA:\n0 9\n1\n2\n") << "1,2" << ""
                                         << "$DATA announces channels 0 to 9 but holds 2 counts";
}

void TestSpectrumText::countsAlone()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, counts);
    QFETCH(QString, details);
    QFETCH(QString, warning);
    const auto result = read(bytes);
    QVERIFY2(result, qPrintable(reason(result)));
    const spectrum::Spectrum &s = result.value();
    QCOMPARE(s.format, spectrum::Format::Counts);
    QCOMPARE(countsText(s), counts);
    if (details.contains("live=")) {
        QCOMPARE(s.meta.liveTime_s, std::optional(100.0));
        QCOMPARE(s.meta.realTime_s, std::optional(120.0));
        QCOMPARE(s.meta.title, std::string("Soil 12"));
        QCOMPARE(s.meta.date, std::string("03/14/2024"));
        QCOMPARE(s.meta.time, std::string("10:15:00"));
        QVERIFY(s.calibration);
        QVERIFY(qAbs(s.calibration->offset_eV - 10.0) < 1e-9);
        QVERIFY(qAbs(s.calibration->gain_eV - 20.0) < 1e-9);
    } else {
        QVERIFY(!s.calibration);
    }
    expectWarning(s, warning);
}

void TestSpectrumText::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("line");
    QTest::newRow("header but no data") << QByteArray("energy,counts\n# nothing yet\n") << "not a spectrum" << 0;
    QTest::newRow(".spe header but no data") << QByteArray("$SPEC_ID:\nx\n$DATA:\n0 3\n")
                                             << "a header but no data" << 0;
    QTest::newRow("text where counts should be") << QByteArray("1,5\n2,five\n")
                                                 << "text where a number should be: 'five'" << 2;
    QTest::newRow("NaN counts") << QByteArray("5\n6\nNaN\n") << "must be finite numbers, not 'NaN'" << 3;
    QTest::newRow("infinite energy") << QByteArray("1,5\ninf,6\n") << "must be finite numbers, not 'inf'" << 2;
    QTest::newRow("a column too few") << QByteArray("1,5\n2\n") << "holds one number, not an energy and a count" << 2;
    QTest::newRow("three columns, read as text") << QByteArray("1,5\n2,6,7\n") << "holds more than an energy and a count" << 2;
    QTest::newRow("a word starting like inf") << QByteArray("1,5\n2,Inferno\n") << "text where a number should be: 'Inferno'" << 2;
    QTest::newRow("energies falling") << QByteArray("3,5\n2,6\n1,7\n") << "energies do not rise" << 0;
    QTest::newRow("all at one energy") << QByteArray("3,5\n3,6\n") << "energies do not rise" << 0;
    QTest::newRow("a second header after the data") << QByteArray("5\n6\ncounts\n")
                                                    << "text where a number should be: 'counts'" << 3;
}

void TestSpectrumText::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(int, line);
    expectRefusal(read(bytes), reason, line);
}

QTEST_GUILESS_MAIN(TestSpectrumText)
#include "tst_spectrum_text.moc"
