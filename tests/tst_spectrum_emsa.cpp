// EMSA/MSA: the standard's two example tables, the deviations real files
// have, the refusals, and writing: the standard's layout and round trips.
#include "spectrumtesting.h"

#include "spectrum/emsa.h"
#include "spectrum/write.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace spectrumtesting;

class TestSpectrumEmsa : public QObject {
    Q_OBJECT

private slots:
    void standardExampleXY();
    void standardExampleY();
    void deviations_data();
    void deviations();
    void refusals_data();
    void refusals();
    void writesTheStandardLayout();
    void roundTrip_data();
    void roundTrip();
    void checksumOfWrittenFile();
};

namespace {

// Counts made up for the examples: smooth, with a peak, some fractional.
double exampleCount(int i) { return 4000.0 + 150.0 * i + (i == 7 ? 3800.5 : 0.0); }

// The standard's first example, an energy-loss spectrum as XY pairs: 21
// points starting at 520.13 eV, 3.1 eV apart, with the optional keywords of
// a microscope, units inside the keyword field.
QByteArray exampleXY()
{
    QStringList text = {
        "#FORMAT      : EMSA/MAS Spectral Data File",
        "#VERSION     : 1.0",
        "#TITLE       : NiO EELS O K shell",
        "#DATE        : 01-OCT-1991",
        "#TIME        : 12:00",
        "#OWNER       : EMSA/MAS task force",
        "#NPOINTS     : 21.",
        "#NCOLUMNS    : 1.",
        "#XUNITS      : eV",
        "#YUNITS      : counts",
        "#DATATYPE    : XY",
        "#XPERCHAN    : 3.1",
        "#OFFSET      : 520.13",
        "#CHOFFSET    : -168.",
        "#SIGNALTYPE  : ELS",
        "#XLABEL      : Energy",
        "#YLABEL      : Counts",
        "#BEAMKV   -kV: 120.0",
        "#EMISSION -uA: 5.5",
        "#PROBECUR -nA: 12.345",
        "#BEAMDIAM -nm: 100.0",
        "#MAGCAM      : 100.",
        "#CONVANGLE-mR: 1.5",
        "#COLLANGLE-mR: 3.4",
        "#OPERMODE    : IMAG",
        "#THICKNESS-nm: 50.",
        "#DWELLTIME-ms: 100.",
        "#ELSDET      : SERIAL",
        "#SPECTRUM    : Spectral Data Starts Here",
    };
    for (int i = 0; i < 21; ++i)
        text << QStringLiteral("%1, %2").arg(520.13 + 3.1 * i, 0, 'f', 2).arg(exampleCount(i), 0, 'f', 1);
    text << "#ENDOFDATA   :";
    return lines(text);
}

// The second example, an X-ray spectrum as Y values five to a line: 80
// points from 200 eV, 10 eV apart, with the keywords of an EDS detector and
// two user-defined keywords.
QByteArray exampleY()
{
    QStringList text = {
        "#FORMAT      : EMSA/MAS Spectral Data File",
        "#VERSION     : 1.0",
        "#TITLE       : NiO windowless spectrum, O K and Ni L",
        "#DATE        : 01-OCT-1991",
        "#TIME        : 12:00",
        "#OWNER       : EMSA/MAS task force",
        "#NPOINTS     : 80.",
        "#NCOLUMNS    : 5.",
        "#XUNITS      : eV",
        "#YUNITS      : counts",
        "#DATATYPE    : Y",
        "#XPERCHAN    : 10.",
        "#OFFSET      : 200.",
        "#CHOFFSET    : -20.",
        "#SIGNALTYPE  : EDS",
        "#XLABEL      : X-ray energy",
        "#YLABEL      : X-ray intensity",
        "#BEAMKV   -kV: 120.0",
        "#XTILTSTGE-dg: 45.",
        "#ELEVANGLE-dg: 20.",
        "#AZIMANGLE-dg: 90.",
        "#SOLIDANGL-sR: 0.13",
        "#LIVETIME  -s: 100.",
        "#REALTIME  -s: 150.",
        "#TBEWIND  -cm: 0.00",
        "#TAUWIND  -cm: 2.0 E-06",
        "#EDSDET      : SIWLS",
        "#COMMENT     : The next two lines are user-defined keywords",
        "##ALPHA-1    : 3.1415926535",
        "##RESTMASS   : 511.030",
        "#SPECTRUM    : Spectral Data Starts Here",
    };
    for (int row = 0; row < 16; ++row) {
        QStringList values;
        for (int column = 0; column < 5; ++column)
            values << QString::number(exampleCount(row * 5 + column) / 100.0, 'f', 3);
        text << values.join(", ") + ",";
    }
    text << "#ENDOFDATA   :";
    return lines(text);
}

// A small, well-formed Y file with `header` lines inserted before #SPECTRUM
// and `data` as its data lines.
QByteArray smallFile(const QStringList &header, const QStringList &data = {"1, 2, 3, 4,"},
                     const char *end = "\r\n")
{
    QStringList text = {"#FORMAT      : EMSA/MAS Spectral Data File", "#VERSION     : 1.0",
                        "#TITLE       : small", "#NPOINTS     : 4", "#NCOLUMNS    : 4",
                        "#XUNITS      : eV", "#YUNITS      : counts", "#DATATYPE    : Y",
                        "#XPERCHAN    : 10", "#OFFSET      : -20"};
    text << header << "#SPECTRUM    : Spectral Data Starts Here" << data << "#ENDOFDATA   :";
    return lines(text, end);
}

QString keywordsOf(const spectrum::Spectrum &s)
{
    QStringList all;
    for (const spectrum::Keyword &k : s.meta.keywords)
        all << QString::fromStdString(k.name + (k.units.empty() ? "" : "-" + k.units) + "=" + k.value);
    return all.join(u' ');
}

} // namespace

void TestSpectrumEmsa::standardExampleXY()
{
    const auto result = read(exampleXY());
    QVERIFY2(result, qPrintable(reason(result)));
    const spectrum::Spectrum &s = result.value();
    QCOMPARE(s.format, spectrum::Format::Emsa);
    QCOMPARE(s.channels(), std::size_t(21));
    for (int i = 0; i < 21; ++i)
        QCOMPARE(s.counts[std::size_t(i)], exampleCount(i));
    QVERIFY(s.calibration);
    QCOMPARE(s.calibration->offset_eV, 520.13);
    QCOMPARE(s.calibration->gain_eV, 3.1);
    QCOMPARE(s.meta.beam_kV, std::optional(120.0));
    QCOMPARE(s.meta.title, std::string("NiO EELS O K shell"));
    QCOMPARE(s.meta.date, std::string("01-OCT-1991"));
    QCOMPARE(s.meta.time, std::string("12:00"));
    QCOMPARE(s.meta.signalType, std::string("ELS"));
    QCOMPARE(keywordsOf(s), QString("YUNITS=counts XLABEL=Energy YLABEL=Counts EMISSION-uA=5.5 "
                                    "PROBECUR-nA=12.345 BEAMDIAM-nm=100.0 MAGCAM=100. CONVANGLE-mR=1.5 "
                                    "COLLANGLE-mR=3.4 OPERMODE=IMAG THICKNESS-nm=50. DWELLTIME-ms=100. "
                                    "ELSDET=SERIAL"));
    QCOMPARE(warnings(s), QString());
}

void TestSpectrumEmsa::standardExampleY()
{
    const auto result = read(exampleY());
    QVERIFY2(result, qPrintable(reason(result)));
    const spectrum::Spectrum &s = result.value();
    QCOMPARE(s.channels(), std::size_t(80));
    for (int i = 0; i < 80; ++i)
        QCOMPARE(s.counts[std::size_t(i)], QString::number(exampleCount(i) / 100.0, 'f', 3).toDouble());
    QCOMPARE(s.calibration, std::optional(spectrum::Calibration{200.0, 10.0}));
    QCOMPARE(s.meta.liveTime_s, std::optional(100.0));
    QCOMPARE(s.meta.realTime_s, std::optional(150.0));
    QCOMPARE(s.meta.signalType, std::string("EDS"));
    QCOMPARE(keywordsOf(s), QString("YUNITS=counts XLABEL=X-ray energy YLABEL=X-ray intensity "
                                    "XTILTSTGE-dg=45. ELEVANGLE-dg=20. AZIMANGLE-dg=90. SOLIDANGL-sR=0.13 "
                                    "TBEWIND-cm=0.00 TAUWIND-cm=2.0 E-06 EDSDET=SIWLS "
                                    "COMMENT=The next two lines are user-defined keywords "
                                    "#ALPHA-1=3.1415926535 #RESTMASS=511.030"));
    QCOMPARE(warnings(s), QString());
}

void TestSpectrumEmsa::deviations_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("counts");      // comma-separated
    QTest::addColumn<double>("offset");       // NaN: uncalibrated
    QTest::addColumn<double>("gain");
    QTest::addColumn<QString>("detail");      // "field=value" checked below, or ""
    QTest::addColumn<QString>("warning");     // a phrase of the warnings, or "" for none

    const double none = std::nan("");
    QTest::newRow("LF line ends") << smallFile({}, {"1, 2, 3, 4,"}, "\n") << "1,2,3,4" << -20.0 << 10.0 << ""
                                  << "";
    QTest::newRow("keywords in lower case") << smallFile({"#livetime  -s: 50", "#beamkv: 15"})
                                            << "1,2,3,4" << -20.0 << 10.0 << "live=50 beam=15" << "";
    QTest::newRow("units in the keyword field")
        << smallFile({"#LIVETIME  -s: 50.", "#REALTIME-s: 60", "#BEAMKV   -kV: 2.0 E+01"}) << "1,2,3,4" << -20.0
        << 10.0 << "live=50 real=60 beam=20" << "";
    QTest::newRow("beam energy no number") << smallFile({"#BEAMKV   -kV: fifteen"}) << "1,2,3,4" << -20.0 << 10.0
                                           << "" << "#BEAMKV 'fifteen' is no finite number and is left out";
    QTest::newRow("live time in ms") << smallFile({"#LIVETIME -ms: 1500"}) << "1,2,3,4" << -20.0 << 10.0
                                     << "live=1.5" << "";
    QTest::newRow("TABs and blanks") << smallFile({"#TITLE\t:\tsmall"}, {"1\t2", "  3 ,\t4"}) << "1,2,3,4"
                                     << -20.0 << 10.0 << "" << "";
    QTest::newRow("no line end after ENDOFDATA") << smallFile({}).chopped(2) << "1,2,3,4" << -20.0 << 10.0 << ""
                                                 << "";
    QTest::newRow("blank first line") << "\r\n" + smallFile({}) << "1,2,3,4" << -20.0 << 10.0 << "" << "";
    QTest::newRow("repeated TITLE") << smallFile({"#TITLE       : continued"}) << "1,2,3,4" << -20.0 << 10.0
                                    << "title=small continued" << "";
    QTest::newRow("numbers like 2.0 E-06, 21. and 1.") << smallFile({}, {"2.0 E+02, 21., 1., 1.5e1"})
                                                       << "200,21,1,15" << -20.0 << 10.0 << "" << "";
    QTest::newRow("one value a line, no commas") << smallFile({}, {"1", "2", "3", "4"}) << "1,2,3,4" << -20.0
                                                 << 10.0 << "" << "";
    QTest::newRow("NPOINTS disagrees") << smallFile({}, {"1, 2, 3, 4, 5, 6"}) << "1,2,3,4,5,6" << -20.0 << 10.0
                                       << "" << "#NPOINTS is 4 but the data hold 6 channels";
    QTest::newRow("wrong checksum") << smallFile({"#CHECKSUM    : 12345"}) << "1,2,3,4" << -20.0 << 10.0 << ""
                                    << "#CHECKSUM is 12345 but the file sums to";
    QTest::newRow("negative counts kept") << smallFile({}, {"1, -2, 3, -4"}) << "1,-2,3,-4" << -20.0 << 10.0
                                          << "" << "2 channels have negative counts";
    QTest::newRow("XUNITS keV") << smallFile({"#XUNITS      : Energy (KeV)"}) << "1,2,3,4" << -20000.0 << 10000.0
                                << "" << "";
    QTest::newRow("CHOFFSET instead of OFFSET")
        << lines({"#FORMAT : EMSA/MAS Spectral Data File", "#DATATYPE : Y", "#XPERCHAN : 5", "#CHOFFSET : 4",
                  "#SPECTRUM :", "1,2,3,4", "#ENDOFDATA :"})
        << "1,2,3,4" << -20.0 << 5.0 << "" << "";
    QTest::newRow("XY without XPERCHAN: fitted")
        << lines({"#FORMAT : EMSA/MAS Spectral Data File", "#DATATYPE : XY", "#XUNITS : keV", "#SPECTRUM :",
                  "0.10, 5", "0.11, 6", "0.12, 7", "#ENDOFDATA :"})
        << "5,6,7" << 100.0 << 10.0 << "" << "no #XPERCHAN: the calibration is fitted";
    QTest::newRow("XUNITS channel: uncalibrated") << smallFile({"#XUNITS      : channel"}) << "1,2,3,4" << none
                                                  << none << "" << "";
    QTest::newRow("no ENDOFDATA") << lines({"#FORMAT : EMSA/MAS Spectral Data File", "#DATATYPE : Y",
                                            "#XPERCHAN : 5", "#OFFSET : 0", "#SPECTRUM :", "1,2"})
                                  << "1,2" << 0.0 << 5.0 << "" << "ends without #ENDOFDATA";
    QTest::newRow("Windows-1252 title") << smallFile({"#TITLE       : MICRO"}).replace("MICRO", "\xB5m \xE9tude")
                                        << "1,2,3,4" << -20.0 << 10.0 << "title=small µm étude" << "";
    QTest::newRow("checksum after ENDOFDATA")
        << smallFile({}) + "#CHECKSUM    : " + QByteArray::number(qulonglong(spectrum::emsaChecksum(view(smallFile({}))))) + "\r\n"
        << "1,2,3,4" << -20.0 << 10.0 << "" << "";
}

void TestSpectrumEmsa::deviations()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, counts);
    QFETCH(double, offset);
    QFETCH(double, gain);
    QFETCH(QString, detail);
    QFETCH(QString, warning);

    const auto result = read(file);
    QVERIFY2(result, qPrintable(reason(result)));
    const spectrum::Spectrum &s = result.value();
    QCOMPARE(s.format, spectrum::Format::Emsa);
    QCOMPARE(countsText(s), counts);
    if (std::isnan(offset)) {
        QVERIFY(!s.calibration);
    } else {
        QVERIFY(s.calibration);
        QVERIFY(qAbs(s.calibration->offset_eV - offset) < 1e-9 * qMax(1.0, qAbs(offset)));
        QVERIFY(qAbs(s.calibration->gain_eV - gain) < 1e-9 * gain);
    }
    for (const QString &pair : detail.split(u' ', Qt::SkipEmptyParts)) {
        const QString field = pair.section(u'=', 0, 0), value = pair.section(u'=', 1);
        if (field == "live")
            QCOMPARE(s.meta.liveTime_s, std::optional(value.toDouble()));
        else if (field == "real")
            QCOMPARE(s.meta.realTime_s, std::optional(value.toDouble()));
        else if (field == "beam")
            QCOMPARE(s.meta.beam_kV, std::optional(value.toDouble()));
    }
    if (detail.startsWith("title="))
        QCOMPARE(QString::fromStdString(s.meta.title), detail.mid(6));
    expectWarning(s, warning);
}

void TestSpectrumEmsa::refusals_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("line");

    QTest::newRow("DATATYPE neither Y nor XY") << smallFile({"#DATATYPE    : Z"}) << "#DATATYPE must be Y or XY"
                                               << 11;
    QTest::newRow("gain of zero") << smallFile({"#XPERCHAN    : 0"}) << "#XPERCHAN must be above zero" << 11;
    QTest::newRow("negative gain") << smallFile({"#XPERCHAN    : -5"}) << "#XPERCHAN must be above zero" << 11;
    QTest::newRow("gain not a number") << smallFile({"#XPERCHAN    : wide"}) << "#XPERCHAN must be a finite number"
                                       << 11;
    QTest::newRow("NaN counts") << smallFile({}, {"1, nan, 3, 4"}) << "counts must be finite numbers, not 'nan'"
                                << 12;
    QTest::newRow("infinite counts") << smallFile({}, {"1", "2", "inf"}) << "counts must be finite numbers" << 14;
    QTest::newRow("too large for a double") << smallFile({}, {"1e999"}) << "counts must be finite numbers" << 12;
    QTest::newRow("text where counts should be") << smallFile({}, {"1, 2", "three"})
                                                 << "the data hold text where a number should be: 'three'" << 13;
    QTest::newRow("header but no data") << smallFile({}, {}) << "a header but no data" << 0;
    QTest::newRow("no SPECTRUM, no data") << lines({"#FORMAT : EMSA/MAS Spectral Data File", "#TITLE : x"})
                                          << "a header but no data" << 0;
    QTest::newRow("XY line with one number") << lines({"#FORMAT : EMSA/MAS Spectral Data File", "#DATATYPE : XY",
                                                       "#SPECTRUM :", "1, 2", "3"})
                                             << "an XY data line holds pairs" << 5;
    QTest::newRow("stray text in the header") << lines({"#FORMAT : EMSA/MAS Spectral Data File", "hello"})
                                              << "neither an EMSA keyword" << 2;
}

void TestSpectrumEmsa::refusals()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QFETCH(int, line);
    expectRefusal(read(file), reason, line);
}

void TestSpectrumEmsa::writesTheStandardLayout()
{
    spectrum::Spectrum s = read(exampleY()).value();
    s.meta.title = "Point 3 of the grain boundary in the nickel oxide sample, after annealing at 900 C for "
                   "two hours in air, second acquisition with the windowless detector";
    s.meta.keywords.push_back({"#NOTE", "", std::string(120, 'n')});
    const std::string text = spectrum::emsaText(s);
    const QStringList fileLines = QString::fromStdString(text).split("\r\n");
    QCOMPARE(fileLines.last(), QString()); // the last line ends in CR LF too
    QVERIFY(!QString::fromStdString(text).remove("\r\n").contains(u'\n'));
    QVERIFY(!QString::fromStdString(text).remove("\r\n").contains(u'\r'));
    for (const QString &line : fileLines)
        QVERIFY2(line.size() <= 79, qPrintable(line));
    // The required keywords, first and in their order.
    const QStringList required = {"FORMAT", "VERSION", "TITLE", "DATE", "TIME", "OWNER", "NPOINTS",
                                  "NCOLUMNS", "XUNITS", "YUNITS", "DATATYPE", "XPERCHAN", "OFFSET"};
    QStringList names;
    for (const QString &line : fileLines)
        names << line.mid(1).section(QRegularExpression("[ :-]"), 0, 0);
    names.removeDuplicates();
    QCOMPARE(names.mid(0, required.size()), required);
    QVERIFY(fileLines.contains("#DATE        : 01-OCT-1991"));
    QVERIFY(fileLines.contains("#DATATYPE    : Y"));
    QVERIFY(fileLines.contains("#NCOLUMNS    : 1"));
    QVERIFY(fileLines.contains("#XUNITS      : eV"));
    QVERIFY(fileLines.contains("#LIVETIME  -s: 100"));
    QVERIFY(fileLines.contains("#AZIMANGLE-dg: 90."));
    QVERIFY(fileLines.contains("##ALPHA    -1: 3.1415926535"));
    const int spectrumLine = int(fileLines.indexOf(QRegularExpression("^#SPECTRUM.*")));
    QVERIFY(spectrumLine > 0);
    QCOMPARE(fileLines[spectrumLine + 81], QString("#ENDOFDATA   : "));
    // The long title continues on further TITLE lines and reads back whole.
    QVERIFY(fileLines.filter(QRegularExpression("^#TITLE")).size() >= 3);
    const auto back = spectrum::readEmsa(text);
    QVERIFY(back);
    QCOMPARE(back->meta.title, s.meta.title);
    QCOMPARE(warnings(back.value()), QString());
}

void TestSpectrumEmsa::roundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("standard XY example") << exampleXY();
    QTest::newRow("standard Y example") << exampleY();
    QTest::newRow("uncalibrated") << smallFile({"#XUNITS      : channel"});
    QTest::newRow("awkward numbers") << smallFile({}, {"0.1, 1e-300, 1.7976931348623157e308, -2.5e-7",
                                                       "123456789.125, 3"});
    QTest::newRow("Windows-1252 title") << smallFile({"#TITLE       : MICRO"}).replace("MICRO", "\xB5m");
}

void TestSpectrumEmsa::roundTrip()
{
    QFETCH(QByteArray, file);
    const auto first = read(file);
    QVERIFY2(first, qPrintable(reason(first)));
    const std::string written = spectrum::emsaText(first.value());
    const auto second = spectrum::readEmsa(written);
    QVERIFY2(second, qPrintable(QString::fromStdString(second ? "" : second.error().reason)));
    QVERIFY(second->counts == first->counts); // exactly, not approximately
    QCOMPARE(second->calibration, first->calibration);
    QCOMPARE(keywordsOf(second.value()), keywordsOf(first.value()));
    QCOMPARE(second->meta.title, first->meta.title);
    QCOMPARE(second->meta.liveTime_s, first->meta.liveTime_s);
    QCOMPARE(second->meta.realTime_s, first->meta.realTime_s);
    QCOMPARE(second->meta.beam_kV, first->meta.beam_kV);
    QCOMPARE(second->meta.signalType, first->meta.signalType);
    // What was written is whole: no disagreeing NPOINTS, no wrong checksum.
    QVERIFY(!warnings(second.value()).contains("NPOINTS"));
    QVERIFY(!warnings(second.value()).contains("CHECKSUM"));
    // Writing what was read back gives the same bytes.
    QCOMPARE(spectrum::emsaText(second.value()), written);
}

void TestSpectrumEmsa::checksumOfWrittenFile()
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("out.msa").toStdString();
    const spectrum::Spectrum s = read(exampleXY()).value();
    QVERIFY(!spectrum::writeEmsa(s, path));
    const auto back = spectrum::readFile(path);
    QVERIFY(back);
    QCOMPARE(warnings(back.value()), QString()); // the checksum agrees
    // Changing one digit of the data is caught.
    QFile file(dir.filePath("out.msa"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    bytes.replace("4150,", "4151,");
    QVERIFY(read(bytes)->warnings.size() == 1);
    QVERIFY(warnings(read(bytes).value()).contains("#CHECKSUM"));
}

QTEST_GUILESS_MAIN(TestSpectrumEmsa)
#include "tst_spectrum_emsa.moc"
