// The element and line loaders on well-formed, odd and broken files.
#include "data/db.h"
#include "testsupport.h"

#include <QtTest>
#include <functional>

using testsupport::record;
using testsupport::ScratchDir;

namespace {

// An element file whose row Z holds "<tag>Z" in column 1... and column c
// holds "<tag>Z.c"; `edit` may change any line (0 is the header).
QByteArray elementFile(const QByteArray &tag, int rows = db::ElementRows,
                       const std::function<void(int, QByteArray &)> &edit = {})
{
    return testsupport::elementFile(
        [&](int z, int c) { return c == 1 ? QByteArray::number(z) : tag + QByteArray::number(z) + '.' + QByteArray::number(c); },
        rows, edit);
}

QByteArray lineFile(int rows = db::LineRows, const std::function<void(int, QByteArray &)> &edit = {})
{
    QByteArray file = record({"label", "energy", "Z", "line"});
    for (int r = 1; r <= rows; ++r) {
        QByteArray line = record({"row" + QByteArray::number(r), QByteArray::number(1000 + r),
                                  QByteArray::number(r % 100 + 1), "ka1"});
        if (edit)
            edit(r, line);
        file += line;
    }
    return file;
}

QByteArray cell(int row, int column) { return QByteArray::fromStdString(db::ElementTable(row, column)); }

} // namespace

class TestLoaders : public QObject {
    Q_OBJECT
private slots:
    void languageChoosesEdition_data();
    void languageChoosesEdition();
    void keepsFieldsExactly();
    void rowIsDecidedByPosition();
    void keepsAFieldThatIsMostOfTheFile_data();
    void keepsAFieldThatIsMostOfTheFile();
    void acceptsOddButValidFiles_data();
    void acceptsOddButValidFiles();
    void rejectsBrokenElementFiles_data();
    void rejectsBrokenElementFiles();
    void failedLoadLeavesGridWhole();
    void vanishedFileLeavesGridWhole();
    void loadsLineFile();
    void rejectsBrokenLineFiles_data();
    void rejectsBrokenLineFiles();
    void readsOutsideGridAreEmpty();
};

void TestLoaders::languageChoosesEdition_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QByteArray>("tag");
    QTest::newRow("br") << QByteArray("br") << QByteArray("pt");
    QTest::newRow("en") << QByteArray("en") << QByteArray("en");
    QTest::newRow("BR") << QByteArray("BR") << QByteArray("en");
    QTest::newRow("Br") << QByteArray("Br") << QByteArray("en");
    QTest::newRow("empty") << QByteArray("") << QByteArray("en");
    QTest::newRow("br with blank") << QByteArray("br ") << QByteArray("en");
}

void TestLoaders::languageChoosesEdition()
{
    QFETCH(QByteArray, language);
    QFETCH(QByteArray, tag);
    ScratchDir dir;
    QVERIFY(dir.write("elements.inf", elementFile("en")));
    QVERIFY(dir.write("elements_br.inf", elementFile("pt")));
    QVERIFY(db::LoadElementTable(language.toStdString()));
    QCOMPARE(cell(26, 3), tag + "26.3");
    QCOMPARE(cell(109, 18), tag + "109.18");
}

void TestLoaders::keepsFieldsExactly()
{
    ScratchDir dir;
    QVERIFY(dir.write("elements.inf", elementFile("x", db::ElementRows, [](int z, QByteArray &line) {
        if (z == 2) // blanks, an empty field, Windows-1252 bytes, NUL, then a remark after the 18th TAB
            line = record({"2", "He ", "", " H\xE9lio", QByteArray("a\0b", 3), "\x80\x9F", "7", "8", "9",
                           "10", "11", "12", "13", "14", "15", "0.03", "17", "18"},
                          "a 19th field\tand a remark");
    })));
    QVERIFY(db::LoadElementTable("en"));
    QCOMPARE(cell(2, 2), QByteArray("He "));
    QCOMPARE(cell(2, 3), QByteArray(""));
    QCOMPARE(cell(2, 4), QByteArray(" H\xE9lio"));
    QCOMPARE(cell(2, 5), QByteArray("a\0b", 3));
    QCOMPARE(cell(2, 6), QByteArray("\x80\x9F"));
    QCOMPARE(cell(2, 18), QByteArray("18"));
    QCOMPARE(cell(3, 2), QByteArray("x3.2"));
}

void TestLoaders::rowIsDecidedByPosition()
{
    // A header that looks like element data is still a header, and a line's
    // own column 1 does not choose its row.
    ScratchDir dir;
    QVERIFY(dir.write("elements.inf", elementFile("x", db::ElementRows, [](int z, QByteArray &line) {
        if (z == 0)
            line = record({"1", "H", "Hydrogen"});
        if (z == 5)
            line.replace(0, 1, "77");
    })));
    QVERIFY(db::LoadElementTable("en"));
    QCOMPARE(cell(1, 1), QByteArray("1"));
    QCOMPARE(cell(1, 2), QByteArray("x1.2"));
    QCOMPARE(cell(5, 1), QByteArray("77"));
    QCOMPARE(cell(5, 2), QByteArray("x5.2"));
}

// A field of megabytes, in the first, a middle or the last place of the
// file, is kept byte for byte, and so is every other field.
void TestLoaders::keepsAFieldThatIsMostOfTheFile_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("row 1, column 1") << 1 << 1;
    QTest::newRow("row 55, column 3") << 55 << 3;
    QTest::newRow("row 109, column 18") << 109 << 18;
}

void TestLoaders::keepsAFieldThatIsMostOfTheFile()
{
    QFETCH(int, row);
    QFETCH(int, column);
    const QByteArray huge = "<" + QByteArray(5 * 1024 * 1024, 'f') + QByteArray("\0\x85", 2) + ">";
    ScratchDir dir;
    QVERIFY(dir.write("elements.inf", elementFile("x", db::ElementRows, [&](int z, QByteArray &line) {
        if (z == row) {
            QList<QByteArray> fields = line.split('\t');
            fields[column - 1] = huge;
            line = fields.join('\t');
        }
    })));
    QVERIFY(db::LoadElementTable("en"));
    QCOMPARE(cell(row, column), huge);
    for (int z = 1; z <= db::ElementRows; ++z)
        for (int c = 1; c <= db::ElementColumns; ++c)
            if (z != row || c != column)
                QCOMPARE(cell(z, c), c == 1 ? QByteArray::number(z) : "x" + QByteArray::number(z) + '.' + QByteArray::number(c));
}

void TestLoaders::acceptsOddButValidFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("extra lines after the last row")
        << elementFile("ok") + "garbage without tabs\r\n" + QByteArray(1000, '\xFF') + "\r\n";
    QByteArray lf = elementFile("ok");
    lf.replace("\r\n", "\n");
    QTest::newRow("line feed alone") << lf;
    QByteArray noEnd = elementFile("ok");
    noEnd.chop(2);
    QTest::newRow("last line without line end") << noEnd;
    QTest::newRow("50 MB header line")
        << elementFile("ok", db::ElementRows, [](int z, QByteArray &line) {
               if (z == 0)
                   line = QByteArray(50 * 1024 * 1024, 'h') + "\r\n";
           });
}

void TestLoaders::acceptsOddButValidFiles()
{
    QFETCH(QByteArray, file);
    ScratchDir dir;
    QVERIFY(dir.write("elements.inf", file));
    QVERIFY(db::LoadElementTable("en"));
    QCOMPARE(cell(1, 2), QByteArray("ok1.2"));
    QCOMPARE(cell(109, 18), QByteArray("ok109.18"));
}

void TestLoaders::rejectsBrokenElementFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("asDirectory");
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("header only") << QByteArray("header\r\n") << false;
    QTest::newRow("no header") << elementFile("x").mid(elementFile("x").indexOf('\n') + 1) << false;
    QTest::newRow("108 rows") << elementFile("x", 108) << false;
    QTest::newRow("18th field without TAB")
        << elementFile("x", db::ElementRows, [](int z, QByteArray &line) {
               if (z == 60)
                   line = line.left(line.lastIndexOf('\t')) + "\r\n";
           }) << false;
    QTest::newRow("empty line in the middle")
        << elementFile("x", db::ElementRows, [](int z, QByteArray &line) {
               if (z == 30)
                   line = "\r\n" + line;
           }) << false;
    QByteArray crOnly = elementFile("x");
    crOnly.replace("\r\n", "\r");
    QTest::newRow("carriage return alone") << crOnly << false;
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xFF\xFE\x00\n\x00\t\x00", 10) << false;
    QTest::newRow("50 MB line without TAB")
        << elementFile("x", db::ElementRows, [](int z, QByteArray &line) {
               if (z == 1)
                   line = QByteArray(50 * 1024 * 1024, 'z') + "\r\n";
           }) << false;
    QTest::newRow("directory") << QByteArray() << true;
}

void TestLoaders::rejectsBrokenElementFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, asDirectory);
    ScratchDir dir;
    if (asDirectory)
        QVERIFY(QDir(dir.path()).mkdir("elements.inf"));
    else
        QVERIFY(dir.write("elements.inf", file));
    QVERIFY(!db::LoadElementTable("en"));
    QVERIFY(!db::LoadElementTable("br")); // missing
}

void TestLoaders::failedLoadLeavesGridWhole()
{
    ScratchDir dir;
    QVERIFY(dir.write("elements_br.inf", elementFile("pt")));
    QVERIFY(db::LoadElementTable("br"));
    // The English edition breaks in its 60th row: nothing of it may show.
    QVERIFY(dir.write("elements.inf", elementFile("en", db::ElementRows, [](int z, QByteArray &line) {
        if (z == 60)
            line = "60\tNd\tNeodymium\r\n";
    })));
    QVERIFY(!db::LoadElementTable("en"));
    for (int z = 1; z <= db::ElementRows; ++z)
        for (int c = 2; c <= db::ElementColumns; ++c)
            QVERIFY2(cell(z, c).startsWith("pt"), qPrintable(QString("row %1 column %2").arg(z).arg(c)));
}

void TestLoaders::vanishedFileLeavesGridWhole()
{
    ScratchDir dir;
    QVERIFY(dir.write("elements.inf", elementFile("en")));
    QVERIFY(db::LoadElementTable("en"));
    QVERIFY(QFile::remove(dir.file("elements.inf")));
    QVERIFY(!db::LoadElementTable("en"));
    QCOMPARE(cell(26, 3), QByteArray("en26.3"));
}

void TestLoaders::loadsLineFile()
{
    ScratchDir dir;
    QVERIFY(dir.write("kl_lines.inf", lineFile(db::LineRows, [](int r, QByteArray &line) {
        if (r == 65)
            line = record({"Si Ka1", "1739.98", "14", "KA1"}, "remark");
    }) + "more\r\n"));
    QVERIFY(db::LoadLineTable());
    QCOMPARE(db::LineTable(1, 1), std::string("row1"));
    QCOMPARE(db::LineTable(65, 2), std::string("1739.98"));
    QCOMPARE(db::LineTable(65, 4), std::string("KA1"));
    QCOMPARE(db::LineTable(588, 2), std::string("1588"));
}

void TestLoaders::rejectsBrokenLineFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("587 records") << lineFile(587);
    QTest::newRow("4th field without TAB") << lineFile(db::LineRows, [](int r, QByteArray &line) {
        if (r == 588)
            line = "a\t1\t2\tka1\r\n";
    });
}

void TestLoaders::rejectsBrokenLineFiles()
{
    QFETCH(QByteArray, file);
    ScratchDir dir;
    QVERIFY(dir.write("kl_lines.inf", lineFile()));
    QVERIFY(db::LoadLineTable());
    if (file.isEmpty())
        QVERIFY(QFile::remove(dir.file("kl_lines.inf")));
    else
        QVERIFY(dir.write("kl_lines.inf", file));
    QVERIFY(!db::LoadLineTable());
    QCOMPARE(db::LineTable(588, 4), std::string("ka1")); // the earlier load stays whole
    QCOMPARE(db::LineTable(588, 1), std::string("row588"));
}

void TestLoaders::readsOutsideGridAreEmpty()
{
    QVERIFY(db::ElementTable(0, 1).empty());
    QVERIFY(db::ElementTable(110, 1).empty());
    QVERIFY(db::ElementTable(1, 19).empty());
    QVERIFY(db::LineTable(589, 1).empty());
    QVERIFY(db::LineTable(1, 0).empty());
}

QTEST_APPLESS_MAIN(TestLoaders)
#include "tst_db_loaders.moc"
