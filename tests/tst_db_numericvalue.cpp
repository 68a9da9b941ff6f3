// Reading texts as numbers, and decoding Windows-1252 bytes for display.
#include "data/cp1252.h"
#include "data/db.h"

#include <QtTest>
#include <clocale>
#include <cmath>
#include <string>

class TestNumericValue : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void neverNanOrInfinite_data();
    void neverNanOrInfinite();
    void ignoresCommaLocale();
    void decodesEveryByte_data();
    void decodesEveryByte();
    void decodesWholeText();
};

void TestNumericValue::reads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << QByteArray("26") << 26.0;
    QTest::newRow("fraction") << QByteArray("6403.84") << 6403.84;
    QTest::newRow("unit after blank") << QByteArray("6403.84 eV") << 6403.84;
    QTest::newRow("e that is no exponent") << QByteArray("1.5e") << 1.5;
    QTest::newRow("e then word") << QByteArray("2eV") << 2.0;
    QTest::newRow("exponent") << QByteArray("1.5E3") << 1500.0;
    QTest::newRow("lower-case exponent") << QByteArray("1.5e-3") << 0.0015;
    QTest::newRow("exponent with plus") << QByteArray("2E+2") << 200.0;
    QTest::newRow("exponent sign without digits") << QByteArray("2E+") << 2.0;
    QTest::newRow("trailing letters") << QByteArray("26abc") << 26.0;
    QTest::newRow("blank inside") << QByteArray("2 6") << 26.0;
    QTest::newRow("tab and line feed inside") << QByteArray("\t2\n6 ") << 26.0;
    QTest::newRow("blank inside fraction") << QByteArray(" 1 7 4 0 . 0 ") << 1740.0;
    QTest::newRow("leading zero") << QByteArray("026") << 26.0;
    QTest::newRow("leading blank") << QByteArray(" 26") << 26.0;
    QTest::newRow("26.0 with blank") << QByteArray(" 26.0") << 26.0;
    QTest::newRow("negative") << QByteArray("-272") << -272.0;
    QTest::newRow("plus sign") << QByteArray("+3") << 3.0;
    QTest::newRow("sign then blank") << QByteArray("- 3") << -3.0;
    QTest::newRow("no leading digit") << QByteArray(".5") << 0.5;
    QTest::newRow("point without fraction") << QByteArray("5.") << 5.0;
    QTest::newRow("comma ends number") << QByteArray("1742,5") << 1742.0;
    QTest::newRow("second point ends number") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("carriage return is not skipped") << QByteArray("2\r6") << 2.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("dash") << QByteArray("-") << 0.0;
    QTest::newRow("lone point") << QByteArray(".") << 0.0;
    QTest::newRow("word") << QByteArray("ancient") << 0.0;
    QTest::newRow("hex prefix") << QByteArray("0x1A") << 0.0;
    QTest::newRow("basic hex") << QByteArray("&H1A") << 0.0;
    QTest::newRow("nan word") << QByteArray("nan") << 0.0;
    QTest::newRow("inf word") << QByteArray("inf") << 0.0;
    QTest::newRow("infinity word") << QByteArray("-Infinity") << 0.0;
    QTest::newRow("NUL ends number") << QByteArray("12\0" "34", 5) << 12.0;
    QTest::newRow("tiny underflows to zero") << QByteArray("1e-999") << 0.0;
}

void TestNumericValue::reads()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    const double got = db::NumericValue(std::string_view(text.constData(), size_t(text.size())));
    QCOMPARE(got, value);
}

void TestNumericValue::neverNanOrInfinite_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("huge exponent") << QByteArray("1e999");
    QTest::newRow("huge negative") << QByteArray("-1E999");
    QTest::newRow("400 digits") << QByteArray(400, '9');
    QTest::newRow("10000 digits with fraction") << (QByteArray(5000, '1') + "." + QByteArray(5000, '1'));
    QTest::newRow("huge exponent digits") << (QByteArray("1e") + QByteArray(1000, '9'));
}

void TestNumericValue::neverNanOrInfinite()
{
    QFETCH(QByteArray, text);
    const double got = db::NumericValue(std::string_view(text.constData(), size_t(text.size())));
    QVERIFY(std::isfinite(got));
    QCOMPARE(got, 0.0);
}

void TestNumericValue::ignoresCommaLocale()
{
    // The decimal mark of the data files is "." whatever the process locale.
    const char *set = std::setlocale(LC_ALL, "pt_BR.UTF-8");
    if (!set)
        QSKIP("the pt_BR.UTF-8 locale is not installed (the set-up script provides it)");
    const double dotted = db::NumericValue("6403.84");
    const double commaed = db::NumericValue("6403,84");
    std::setlocale(LC_ALL, "C");
    QCOMPARE(dotted, 6403.84);
    QCOMPARE(commaed, 6403.0);
}

void TestNumericValue::decodesEveryByte_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("ASCII A") << 0x41 << 0x41;
    QTest::newRow("NUL") << 0x00 << 0x00;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("unassigned 81") << 0x81 << 0x81;
    QTest::newRow("low quote") << 0x82 << 0x201A;
    QTest::newRow("ellipsis") << 0x85 << 0x2026;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("OE") << 0x8C << 0x0152;
    QTest::newRow("unassigned 8D") << 0x8D << 0x8D;
    QTest::newRow("Z caron") << 0x8E << 0x017D;
    QTest::newRow("unassigned 8F") << 0x8F << 0x8F;
    QTest::newRow("unassigned 90") << 0x90 << 0x90;
    QTest::newRow("left quote") << 0x91 << 0x2018;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("em dash") << 0x97 << 0x2014;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("unassigned 9D") << 0x9D << 0x9D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("nbsp") << 0xA0 << 0xA0;
    QTest::newRow("masculine ordinal") << 0xBA << 0xBA;
    QTest::newRow("a tilde") << 0xE3 << 0xE3;
    QTest::newRow("y diaeresis") << 0xFF << 0xFF;
}

void TestNumericValue::decodesEveryByte()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    QCOMPARE(int(db::Windows1252ToUnicode(static_cast<unsigned char>(byte))), codePoint);
}

void TestNumericValue::decodesWholeText()
{
    // "Hidrogênio" and "ponto de fusão (ºC)" as the element files store them.
    QCOMPARE(db::DecodeWindows1252("Hidrog\xEAnio"), std::u16string(u"Hidrogênio"));
    QCOMPARE(db::DecodeWindows1252("fus\xE3o (\xBA" "C)"), std::u16string(u"fusão (ºC)"));
    QCOMPARE(db::DecodeWindows1252(std::string("a\0b", 3)).size(), std::size_t(3));
    // Every byte value decodes to one code unit; none is lost or replaced.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::u16string decoded = db::DecodeWindows1252(all);
    QCOMPARE(decoded.size(), std::size_t(256));
    QVERIFY(decoded.find(u'\uFFFD') == std::u16string::npos);
}

QTEST_APPLESS_MAIN(TestNumericValue)
#include "tst_db_numericvalue.moc"
