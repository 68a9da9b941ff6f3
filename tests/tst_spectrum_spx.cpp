// Bruker .spx files built from the structure of the format: what is read
// from where, the encodings, and the refusals.
#include "spectrumtesting.h"

#include "spectrum/spx.h"

#include <QTest>

using namespace spectrumtesting;

class TestSpectrumSpx : public QObject {
    Q_OBJECT

private slots:
    void readsTheStructure();
    void titleEncodings_data();
    void titleEncodings();
    void tolerated_data();
    void tolerated();
    void refusals_data();
    void refusals();
};

namespace {

struct SpxParts {
    QByteArray declaration = R"(<?xml version="1.0" encoding="WINDOWS-1252" standalone="yes"?>)";
    QByteArray name = "Fe sample";
    QByteArray header = "<ChannelCount>6</ChannelCount><CalibAbs>-4.8E-1</CalibAbs>"
                        "<CalibLin>5.0E-3</CalibLin><Date>2.12.2022</Date><Time>18:0:24</Time>"
                        "<SigmaAbs>4.2E-4</SigmaAbs><SigmaLin>1.1E-5</SigmaLin>";
    QByteArray hardware = "<RealTime>61234</RealTime><LifeTime>50000</LifeTime><DeadTime>18</DeadTime>";
    QByteArray esma = "<PrimaryEnergy>20</PrimaryEnergy><ElevationAngle>35</ElevationAngle>";
    QByteArray channels = "0,12,345,6789,42,1";
};

// An spx file as the vendor writes it, the parts replaceable.
QByteArray spxFile(const SpxParts &p = {})
{
    return p.declaration + "\r\n<TRTSpectrum>\r\n<RTHeader/>\r\n"
           "<ClassInstance Type=\"TRTSpectrum\" Name=\"" + p.name + "\">\r\n"
           "<TRTHeaderedClass>\r\n"
           "<ClassInstance Type=\"TRTSpectrumHardwareHeader\">" + p.hardware + "</ClassInstance>\r\n"
           "<ClassInstance Type=\"TRTDetectorHeader\"><Type>XFlash</Type></ClassInstance>\r\n"
           "<ClassInstance Type=\"TRTESMAHeader\">" + p.esma + "</ClassInstance>\r\n"
           "</TRTHeaderedClass>\r\n"
           "<ClassInstance Type=\"TRTSpectrumHeader\">" + p.header + "</ClassInstance>\r\n"
           "<Channels>" + p.channels + "</Channels>\r\n"
           "</ClassInstance>\r\n</TRTSpectrum>\r\n";
}

} // namespace

void TestSpectrumSpx::readsTheStructure()
{
    const auto result = read(spxFile());
    QVERIFY2(result, qPrintable(reason(result)));
    const spectrum::Spectrum &s = result.value();
    QCOMPARE(s.format, spectrum::Format::Spx);
    QVERIFY((s.counts == std::vector<double>{0, 12, 345, 6789, 42, 1}));
    QVERIFY(s.calibration);
    QCOMPARE(s.calibration->offset_eV, -480.0);
    QCOMPARE(s.calibration->gain_eV, 5.0);
    QCOMPARE(s.meta.realTime_s, std::optional(61.234));
    QCOMPARE(s.meta.liveTime_s, std::optional(50.0));
    QCOMPARE(s.meta.beam_kV, std::optional(20.0));
    QCOMPARE(s.meta.title, std::string("Fe sample"));
    QCOMPARE(s.meta.date, std::string("2.12.2022"));
    QCOMPARE(s.meta.time, std::string("18:0:24"));
    QCOMPARE(s.meta.resolution.sigmaAbs_keV2, std::optional(4.2e-4));
    QCOMPARE(s.meta.resolution.sigmaLin_keV, std::optional(1.1e-5));
    QCOMPARE(warnings(s), QString());
}

void TestSpectrumSpx::titleEncodings_data()
{
    QTest::addColumn<QByteArray>("declaration");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("warning");
    const QByteArray cp1252 = R"(<?xml version="1.0" encoding="WINDOWS-1252"?>)";
    QTest::newRow("Windows-1252") << cp1252 << QByteArray("A\xE7\xFA" "car 5 \xB5m \x80") << "Açúcar 5 µm €" << "";
    QTest::newRow("Windows-1252 in lower case") << QByteArray(R"(<?xml version="1.0" encoding='windows-1252'?>)")
                                                << QByteArray("\xE9") << "é" << "";
    QTest::newRow("ISO-8859-1") << QByteArray(R"(<?xml version="1.0" encoding="ISO-8859-1"?>)")
                                << QByteArray("\xE9") << "é" << "";
    QTest::newRow("UTF-8") << QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>)") << QByteArray("\xC3\xA9")
                           << "é" << "";
    QTest::newRow("no declaration: UTF-8") << QByteArray() << QByteArray("\xC3\xA9") << "é" << "";
    QTest::newRow("declared UTF-8, written in Windows-1252")
        << QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>)") << QByteArray("\xE9") << "é" << "";
    QTest::newRow("an entity") << cp1252 << QByteArray("Fe &amp; Ni") << "Fe & Ni" << "";
}

void TestSpectrumSpx::titleEncodings()
{
    QFETCH(QByteArray, declaration);
    QFETCH(QByteArray, name);
    QFETCH(QString, title);
    SpxParts parts;
    parts.declaration = declaration;
    parts.name = name;
    const auto result = read(spxFile(parts));
    QVERIFY2(result, qPrintable(reason(result)));
    QCOMPARE(QString::fromStdString(result->meta.title), title);
}

void TestSpectrumSpx::tolerated_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("calibrated");
    SpxParts p;
    p.channels = "1,2,3,";
    QTest::newRow("trailing comma, ChannelCount disagrees") << spxFile(p) << "ChannelCount is 6 but Channels holds 3"
                                                            << true;
    p = {};
    p.header = "<CalibAbs>0</CalibAbs>";
    QTest::newRow("no CalibLin") << spxFile(p) << "no CalibLin: the spectrum is uncalibrated" << false;
    p = {};
    p.hardware = "";
    p.esma = "<PrimaryEnergy>fifteen</PrimaryEnergy>";
    QTest::newRow("no times, bad beam energy") << spxFile(p) << "PrimaryEnergy 'fifteen' is no number" << true;
    p = {};
    p.header = "<CalibAbs>-0,48</CalibAbs><CalibLin>0,005</CalibLin>";
    QTest::newRow("decimal commas") << spxFile(p) << "CalibAbs has a decimal comma" << true;
    p = {};
    p.channels = "5, -3, 7";
    QTest::newRow("negative counts") << spxFile(p) << "1 channel has negative counts" << true;
}

void TestSpectrumSpx::tolerated()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, warning);
    QFETCH(bool, calibrated);
    const auto result = read(file);
    QVERIFY2(result, qPrintable(reason(result)));
    QVERIFY2(warnings(result.value()).contains(warning), qPrintable(warnings(result.value())));
    QCOMPARE(result->calibration.has_value(), calibrated);
}

void TestSpectrumSpx::refusals_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("line");
    const QByteArray whole = spxFile();
    // The parser stops where the text ends: the last line.
    const QByteArray half = whole.left(whole.size() / 2);
    QTest::newRow("truncated XML") << half << "not well-formed XML" << int(half.count('\n')) + 1;
    QTest::newRow("another XML file") << QByteArray("<?xml version=\"1.0\"?>\n<svg><g/></svg>")
                                      << "not a Bruker spectrum: its root element is 'svg'" << 0;
    QTest::newRow("no spectrum inside") << QByteArray("<TRTSpectrum><RTHeader/></TRTSpectrum>")
                                        << "without a spectrum" << 0;
    SpxParts p;
    p.channels = "";
    QTest::newRow("empty Channels") << spxFile(p) << "a header but no data" << 0;
    p.channels = "1,,2";
    QTest::newRow("empty value") << spxFile(p) << "empty value between two commas" << 0;
    p.channels = "1,NaN,2";
    QTest::newRow("NaN counts") << spxFile(p) << "counts must be finite numbers, not 'NaN'" << 0;
    p.channels = "1,many,2";
    QTest::newRow("text counts") << spxFile(p) << "text where a number should be: 'many'" << 0;
    p = {};
    p.header = "<CalibAbs>0</CalibAbs><CalibLin>0</CalibLin>";
    QTest::newRow("gain of zero") << spxFile(p) << "CalibLin, the gain, must be above zero" << 0;
    p.header = "<CalibLin>-0.01</CalibLin>";
    QTest::newRow("negative gain") << spxFile(p) << "must be above zero" << 0;
    p = {};
    p.declaration = R"(<?xml version="1.0" encoding="UTF-16"?>)";
    QTest::newRow("wrong encoding declaration") << spxFile(p) << "declares the encoding 'UTF-16'" << 1;
    p.declaration = R"(<?xml version="1.0" encoding="EBCDIC-US"?>)";
    QTest::newRow("unknown encoding") << spxFile(p) << "declares the encoding 'EBCDIC-US'" << 1;
}

void TestSpectrumSpx::refusals()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QFETCH(int, line);
    expectRefusal(read(file), reason, line);
}

QTEST_GUILESS_MAIN(TestSpectrumSpx)
#include "tst_spectrum_spx.moc"
