// Inputs kept from fuzzing the reference-data core, replayed through the same
// checks the fuzz targets make (fuzz/checks.h), in the normal and in the
// sanitizer build. Each file in tests/regressions/ is one case; the start of
// its name says what it feeds:
//   elements-...   elements.inf, to LoadElementTable("en")
//   lines-...      kl_lines.inf, to LoadLineTable()
//   number-...     the text given to NumericValue
#include "data/db.h"
#include "fuzz/checks.h"
#include "testsupport.h"

#include <QtTest>
#include <clocale>
#include <memory>
#include <string>
#include <string_view>

using testsupport::ScratchDir;

namespace {

std::string_view view(const QByteArray &bytes) { return {bytes.constData(), std::size_t(bytes.size())}; }

// Loads a well-formed file first, so that a refused input is seen to change
// nothing, then the input, and checks the outcome.
template <class Grid, class Load>
void replayLoad(const char *fileName, Grid &live, Load load, const QByteArray &input)
{
    ScratchDir dir;
    const QString name = QString::fromLatin1(fileName);
    QVERIFY(dir.write(name, QByteArray::fromStdString(checks::wellFormedFile<Grid>("before "))));
    QVERIFY(load());
    const auto before = std::make_unique<Grid>(live);
    QVERIFY(dir.write(name, input));
    const bool loaded = load();
    const std::string failure = checks::checkLoad(live, *before, loaded, view(input));
    QVERIFY2(failure.empty(), failure.c_str());
}

} // namespace

class TestRegressions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void replays_data();
    void replays();
};

void TestRegressions::initTestCase()
{
    // The strtod reading that NumericValue is checked against needs "." as
    // its decimal mark.
    std::setlocale(LC_NUMERIC, "C");
}

void TestRegressions::replays_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("input");
    const QDir dir(QStringLiteral(ZANDOR_SOURCE_DIR "/tests/regressions"));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY2(!names.isEmpty(), qPrintable("no inputs in " + dir.path()));
    for (const QString &name : names) {
        const QString kind = name.section(QLatin1Char('-'), 0, 0);
        QVERIFY2(kind == "elements" || kind == "lines" || kind == "number",
                 qPrintable("no kind of input is named by " + name));
        const QByteArray input = testsupport::readFile(dir.filePath(name));
        QTest::newRow(qPrintable(name)) << kind << input;
    }
}

void TestRegressions::replays()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, input);
    if (kind == "elements") {
        replayLoad(db::ElementFileEnglish, db::ElementTable, [] { return db::LoadElementTable("en"); }, input);
    } else if (kind == "lines") {
        replayLoad(db::LineFile, db::LineTable, [] { return db::LoadLineTable(); }, input);
    } else {
        const std::string failure = checks::checkNumericValue(view(input));
        QVERIFY2(failure.empty(), failure.c_str());
    }
}

QTEST_APPLESS_MAIN(TestRegressions)
#include "tst_db_regressions.moc"
