// Bad input through the program's own paths: a real start-up (Form1_Load),
// real menu commands and real key and pointer events on a shown window.
//
// Every way a data file can be broken is tried on each file where the program
// reads it: the Portuguese element file and the line file at start-up (a
// "PTError" message, no window), the other edition of the element file on a
// language switch (the captions switch, the data stay whole, no message) and
// readme.txt on the read-me command (what can be read is shown, no message).
// Then files that are odd but valid, numbers in the line file that are no
// numbers, and the search boxes given what a user can paste into them.
#include "data/db.h"
#include "mainwindow/elementtext.h"
#include "mainwindow/form1.h"
#include "secondary/form2.h"
#include "testsupport.h"
#include "uicommon/ansi.h"
#include "uicommon/errorreport.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QRegularExpression>

using testsupport::joined;
using testsupport::linesOf;
using testsupport::ScratchDir;
using testsupport::wholeTable;
using testsupport::withField;

namespace {

const QString elementMessage = QStringLiteral("Error:  elements_br.inf info file access denied!");
const QString lineMessage = QStringLiteral("Error: kl_lines.inf info file access denied");

const QString englishOffer = QStringLiteral("English &Version");
const QString portugueseOffer = QStringLiteral("&Vers\u00E3o em Portugu\u00EAs");

// Windows-1252 bytes 0x80 to 0x9F and the characters they stand for; the
// five bytes the code page leaves unassigned stay the C1 control of their
// value.
QByteArray highBytes()
{
    QByteArray bytes;
    for (int b = 0x80; b <= 0x9F; ++b)
        bytes += char(b);
    return bytes;
}
const QString highText = QStringLiteral("\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                                        "\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                                        "\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");

// The ways a file is broken, by name; "missing" and "directory" replace the
// file, every other one its bytes. `row` is the data line to break.
const QStringList damages{"missing", "empty", "short", "no TAB after a field", "directory", "binary",
                          "NUL bytes for TABs", "50 MB line", "CR-only line ends"};

bool damage(const ScratchDir &dir, const QString &name, const QString &how)
{
    const QString path = dir.file(name);
    const QByteArray good = testsupport::readFile(path);
    if (!QFile::remove(path))
        return false;
    if (how == "missing")
        return true;
    if (how == "directory")
        return QDir(dir.path()).mkdir(name);

    QList<QByteArray> lines = linesOf(good);
    const int row = int(lines.size()) / 2;
    QByteArray bytes;
    if (how == "empty") {
    } else if (how == "short") {
        lines.removeLast();
        bytes = joined(lines);
    } else if (how == "no TAB after a field") {
        lines[row].chop(1); // every field ends with its TAB, the last one too
        bytes = joined(lines);
    } else if (how == "binary") {
        bytes.resize(64 * 1024);
        QRandomGenerator random(20240613);
        for (char &c : bytes)
            c = char(random.bounded(256));
    } else if (how == "NUL bytes for TABs") {
        bytes = good;
        bytes.replace('\t', '\0');
    } else if (how == "50 MB line") {
        lines[row] = QByteArray(50 * 1024 * 1024, 'x');
        bytes = joined(lines);
    } else if (how == "CR-only line ends") {
        bytes = good;
        bytes.replace("\r\n", "\r");
    } else {
        return false;
    }
    return dir.write(name, bytes);
}

// Every text the main window shows: title, menus, captions and boxes, each
// with the control's name.
QStringList windowTexts(const Form1 &w, const QWidget *except = nullptr)
{
    QStringList texts{"title: " + w.windowTitle()};
    for (const QMenu *m : w.findChildren<QMenu *>())
        texts << m->objectName() + ": " + m->title();
    for (const QAction *a : w.findChildren<QAction *>())
        texts << a->objectName() + ": " + a->text();
    for (const QLabel *l : w.findChildren<QLabel *>())
        texts << l->objectName() + ": " + l->text();
    for (const QGroupBox *g : w.findChildren<QGroupBox *>())
        texts << g->objectName() + ": " + g->title();
    for (const QLineEdit *e : w.findChildren<QLineEdit *>())
        if (e != except)
            texts << e->objectName() + ": " + e->text();
    return texts;
}

// The texts that show a number that is none: NaN or infinity, as any
// formatting would spell them.
QStringList notANumber(const QStringList &texts)
{
    static const QRegularExpression word(QStringLiteral("\\b(nan|inf|infinity)\\b|\u221E"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (const QString &t : texts)
        if (word.match(t).hasMatch())
            found << t;
    return found;
}

// Replaces the whole text of a box in one change, as pasting over a
// selection does.
void pasteInto(QLineEdit *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

    QList<QPair<QString, QString>> reports;
    ErrorReporter previousReporter;

    // A started, shown window on the files in `dir`; null after a failed
    // start-up.
    std::unique_ptr<Form1> start()
    {
        auto w = testsupport::startWindow();
        if (w)
            testsupport::pointerOffTable(*w);
        return w;
    }

    // What the read-me box shows for the shipped readme.txt with its middle
    // line made 50 MB long: the lines before it, the first characters of
    // that line with the cut mark, and the mark alone where the part of the
    // file it shows ends.
    static QStringList readMeCutAtTheHugeLine()
    {
        const QList<QByteArray> lines = linesOf(testsupport::readFile(QDir(testsupport::shareDir()).filePath("readme.txt")));
        QStringList blocks;
        for (qsizetype i = 0; i < lines.size() / 2; ++i)
            blocks << FromAnsi(lines[i].toStdString());
        blocks << QString(ReadMeMaxLineChars - 1, u'x') + QChar(CutMark) << QString(QChar(CutMark)) << QString();
        return blocks;
    }

    static void pointAt(Form1 &w, int Z)
    {
        QTest::mouseMove(w.Frame3, QPoint(5, 5));
        QTest::mouseMove(w.ElementSelectionLabel(Z));
    }

private slots:
    void init()
    {
        reports.clear();
        previousReporter = SetErrorReporter([this](const QString &title, const QString &text) {
            reports.append({title, text});
        });
    }
    void cleanup() { SetErrorReporter(previousReporter); }

    // Start-up reads the Portuguese element file, then the line file. Any
    // damage to either is one message and no window.
    void startupRefuses_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");
        for (const QString &how : damages) {
            QTest::addRow("elements_br.inf %s", qPrintable(how)) << "elements_br.inf" << how << elementMessage;
            QTest::addRow("kl_lines.inf %s", qPrintable(how)) << "kl_lines.inf" << how << lineMessage;
        }
    }

    void startupRefuses()
    {
        QFETCH(QString, file);
        QFETCH(QString, how);
        QFETCH(QString, message);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        QVERIFY(damage(dir, file, how));

        Form1 w;
        QVERIFY(!w.Form1_Load());
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports[0].first, QStringLiteral("PTError"));
        QCOMPARE(reports[0].second, message);
        QVERIFY(!w.isVisible());
        for (const QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
    }

    // The English edition is not read at start-up, so damage to it changes
    // nothing then.
    void startupIgnoresTheEnglishEdition()
    {
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        QVERIFY(damage(dir, "elements.inf", "binary"));
        Form1 w;
        QVERIFY(w.Form1_Load());
        QVERIFY(reports.isEmpty());
    }

    // A switch whose element file cannot be read: the captions switch all
    // the same, the data stay whole in the language before, and pointing at
    // an element shows it in that language. No message.
    void switchKeepsTheData_data()
    {
        QTest::addColumn<bool>("toEnglish");
        QTest::addColumn<QString>("how");
        for (const QString &how : damages) {
            QTest::addRow("to English, elements.inf %s", qPrintable(how)) << true << how;
            QTest::addRow("back, elements_br.inf %s", qPrintable(how)) << false << how;
        }
    }

    void switchKeepsTheData()
    {
        QFETCH(bool, toEnglish);
        QFETCH(QString, how);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        const auto w = start();
        QVERIFY(w);
        if (!toEnglish)
            w->mnuTranslate->trigger(); // English, from the whole file
        const QStringList before = wholeTable();
        const QString iron = QString::fromLatin1(db::ElementTable(26, 3));
        QVERIFY(damage(dir, toEnglish ? "elements.inf" : "elements_br.inf", how));

        w->mnuTranslate->trigger();
        QCOMPARE(w->mnuTranslate->text(), toEnglish ? portugueseOffer : englishOffer);
        QCOMPARE(w->Label1(3)->text(), toEnglish ? u"atomic mass (amu)"_qs : u"massa at\u00F4mica (u.m.a.)"_qs);
        QCOMPARE(w->Text1->text(), toEnglish ? u"Name"_qs : u"Nome"_qs);
        QVERIFY(wholeTable() == before);
        pointAt(*w, 26);
        QCOMPARE(w->PTLabel(3)->text(), iron);
        QCOMPARE(w->ElementText3->text(), iron);
        QVERIFY(reports.isEmpty());
    }

    // The read-me command shows what it can read of the file, and an empty
    // box when it cannot read it at all. No message.
    void readMe_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("blocks"); // the box's lines; empty: not compared
        QTest::addColumn<int>("atLeast");        // characters in the box
        QTest::newRow("missing") << "missing" << QStringList{""} << 0;
        QTest::newRow("directory") << "directory" << QStringList{""} << 0;
        QTest::newRow("empty") << "empty" << QStringList{""} << 0;
        QTest::newRow("binary") << "binary" << QStringList() << 1000;
        QTest::newRow("NUL bytes for TABs") << "NUL bytes for TABs" << QStringList() << 5000;
        QTest::newRow("50 MB line") << "50 MB line" << readMeCutAtTheHugeLine() << 0;
    }

    void readMe()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, blocks);
        QFETCH(int, atLeast);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        QVERIFY(damage(dir, "readme.txt", how));
        const auto w = start();
        QVERIFY(w);

        w->mnuReadMe->trigger();
        QVERIFY(w->form2 && w->form2->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(w->form2));
        const QString text = w->form2->Text1->toPlainText();
        if (!blocks.isEmpty())
            QCOMPARE(text.split(u'\n'), blocks);
        QVERIFY2(text.size() >= atLeast, qPrintable(QString::number(text.size())));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(reports.isEmpty());
        // The main window still answers.
        pointAt(*w, 26);
        QCOMPARE(w->ElementText1->text(), u"26"_qs);
    }

    // Line ends of CR alone and the bytes 0x80 to 0x9F in readme.txt.
    void readMeOddButReadable_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("blocks");
        QTest::newRow("CR-only line ends") << QByteArray("one\rtwo\r\rthree\r") << QStringList{"one", "two", "", "three", ""};
        QTest::newRow("bytes 0x80 to 0x9F") << "a " + highBytes() + " z\r\n" << QStringList{"a " + highText + " z", ""};
        QTest::newRow("NUL inside a line") << QByteArray("a\0b\r\n", 5) << QStringList{u"a\u0000b"_qs, ""};
    }

    void readMeOddButReadable()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, blocks);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        QVERIFY(dir.write("readme.txt", file));
        const auto w = start();
        QVERIFY(w);
        w->mnuReadMe->trigger();
        QVERIFY(w->form2 && w->form2->isVisible());
        QCOMPARE(w->form2->Text1->toPlainText().split(u'\n'), blocks);
    }

    // Element files that are odd but keep the format load, and every field
    // shows exactly what the file holds: the bytes 0x80 to 0x9F as the
    // characters of Windows-1252, a NUL as a NUL, in the Portuguese edition
    // at start-up and in the English one after a switch. A symbol with such a
    // character is found in the symbol box in either letter case.
    void oddButValidElementFiles_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QByteArray>("symbol");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shownSymbol");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("typed"); // into the symbol box
        for (bool english : {false, true}) {
            const char *edition = english ? "elements.inf" : "elements_br.inf";
            QTest::addRow("%s, bytes 0x80 to 0x9F", edition)
                << english << QByteArray("\x8A\x9F") << highBytes() << u"\u0160\u0178"_qs << highText
                << u"\u0161\u00FF"_qs;
            QTest::addRow("%s, NUL bytes", edition) << english << QByteArray("F\0", 2) << QByteArray("Fe\0rro", 6)
                                                    << u"F\u0000"_qs << u"Fe\u0000rro"_qs << u"f\u0000"_qs;
        }
        // Longer than the window shows: the first characters and the cut mark.
        const QString cutName = QString(MaxShownChars - 1, u'n') + QChar(CutMark);
        QTest::newRow("elements_br.inf, 100 000-byte name")
            << false << QByteArray("Fe") << QByteArray(100000, 'n') << u"Fe"_qs << cutName << u"fE"_qs;
        QTest::newRow("elements_br.inf, 5 MB name")
            << false << QByteArray("Fe") << QByteArray(5 << 20, 'n') << u"Fe"_qs << cutName << u"fE"_qs;
        QTest::newRow("elements.inf, 5 MB name")
            << true << QByteArray("Fe") << QByteArray(5 << 20, 'n') << u"Fe"_qs << cutName << u"fE"_qs;
    }

    void oddButValidElementFiles()
    {
        QFETCH(bool, english);
        QFETCH(QByteArray, symbol);
        QFETCH(QByteArray, name);
        QFETCH(QString, shownSymbol);
        QFETCH(QString, shownName);
        QFETCH(QString, typed);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        const QString file = english ? "elements.inf" : "elements_br.inf";
        QByteArray bytes = withField(testsupport::readFile(dir.file(file)), 26, 2, symbol);
        QVERIFY(dir.write(file, withField(bytes, 26, 3, name)));

        const auto w = start();
        QVERIFY(w);
        if (english)
            w->mnuTranslate->trigger();
        else
            QCOMPARE(w->ElementSelectionLabel(26)->text(), shownSymbol);
        QVERIFY(reports.isEmpty());

        pointAt(*w, 26);
        QCOMPARE(w->PTLabel(2)->text(), shownSymbol);
        QCOMPARE(w->PTLabel(3)->text(), shownName);
        QCOMPARE(w->ElementText2->text(), shownSymbol);
        QCOMPARE(w->ElementText3->text(), shownName.left(w->ElementText3->maxLength()));

        pointAt(*w, 8);
        pasteInto(w->ElementText2, typed);
        QCOMPARE(w->ElementText1->text(), u"26"_qs);
        QCOMPARE(w->ElementText2->text(), shownSymbol);
        QCOMPARE(w->PTLabel(3)->text(), shownName);
        QVERIFY(reports.isEmpty());
        // The grid keeps the bytes as read.
        QCOMPARE(QByteArray::fromStdString(db::ElementTable(26, 3)), name);
    }

    // A symbol of megabytes: the cell shows its beginning from start-up on,
    // and so do the detail panel and the symbol box. Typing the beginning of
    // that symbol is typing a symbol not yet complete; the whole symbol can
    // be typed into no box, so no text finds it.
    void hugeSymbol()
    {
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        const QByteArray symbol(5 << 20, 'Q');
        QVERIFY(dir.write("elements_br.inf", withField(testsupport::readFile(dir.file("elements_br.inf")), 26, 2, symbol)));
        const QString shown = QString(MaxShownChars - 1, u'Q') + QChar(CutMark);

        const auto w = start();
        QVERIFY(w);
        QCOMPARE(w->ElementSelectionLabel(26)->text(), shown);
        pointAt(*w, 26);
        QCOMPARE(w->PTLabel(2)->text(), shown);
        QCOMPARE(w->ElementText2->text(), shown);
        QCOMPARE(QByteArray::fromStdString(db::ElementTable(26, 2)), symbol);

        pointAt(*w, 8);
        pasteInto(w->ElementText2, u"qq"_qs);
        QCOMPARE(w->ElementText2->text(), u"qq"_qs);
        QCOMPARE(w->ElementText1->text(), u"8"_qs);
        QCOMPARE(qsizetype(w->ElementText2->maxLength()), elementtext::MaxTypedChars);
        pasteInto(w->ElementText2, QString(int(elementtext::MaxTypedChars), u'q'));
        QCOMPARE(w->ElementText2->text().size(), elementtext::MaxTypedChars);
        QCOMPARE(w->ElementText1->text(), u"8"_qs);
        QCOMPARE(w->PTLabel(2)->text(), u"O"_qs);
        QVERIFY(reports.isEmpty());
    }

    // Energies in the line file that are no numbers, or too large for one:
    // whatever the view and the silicon escape box show, never NaN or
    // infinity.
    void energiesThatAreNoNumbers_data()
    {
        QTest::addColumn<QByteArray>("silicon"); // silicon's three energies
        QTest::newRow("silicon plain") << QByteArray("1740.0");
        QTest::newRow("silicon 1e308: mean overflows") << QByteArray("1e308");
        QTest::newRow("silicon -1e308") << QByteArray("-1e308");
        QTest::newRow("silicon nan") << QByteArray("nan");
    }

    void energiesThatAreNoNumbers()
    {
        QFETCH(QByteArray, silicon);
        const QList<QByteArray> odd{"nan", "NaN", "inf", "-inf", "Infinity", "1e999", "-1e999", "1e308",
                                    "-1e308", "1.7976931348623157e308", "4.9e-324", "0x1A", "1e-999"};
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        QByteArray lines = testsupport::readFile(dir.file("kl_lines.inf"));
        for (int row = 1; row <= db::LineRows; ++row)
            lines = withField(lines, row, 2, row == 65 || row == 66 || row == 70 ? silicon : odd[row % odd.size()]);
        QVERIFY(dir.write("kl_lines.inf", lines));
        QVERIFY(dir.write("elements_br.inf", withField(testsupport::readFile(dir.file("elements_br.inf")), 14, 16, silicon)));

        const auto w = start();
        QVERIFY(w);
        QCOMPARE(notANumber(windowTexts(*w)), QStringList());
        for (int Z : {1, 7, 13, 14, 15, 19, 26, 31, 38, 47, 56, 57, 64, 71, 79, 83, 89, 92, 98, 104, 109}) {
            QTest::mouseMove(w->ElementSelectionLabel(Z));
            QCOMPARE(w->ElementText1->text(), QString::number(Z));
            QCOMPARE(notANumber(windowTexts(*w)), QStringList());
        }
    }

    // What a user can paste into the number box. Nothing found: the symbol
    // and the name box are emptied, the number box keeps what was pasted,
    // the view stays on oxygen.
    void numberBoxPasted_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("found"); // 0: nothing found
        QTest::newRow("10 000 digits") << QString(10000, u'9') << 0;
        QTest::newRow("10 000 digits, leading zeros of 26") << QString(9998, u'0') + "26" << 26;
        QTest::newRow("26, then 10 000 digits") << "26" + QString(10000, u'0') << 0;
        QTest::newRow("10 000 letters") << QString(10000, u'x') << 0;
        QTest::newRow("10 000 blanks, then 26") << QString(10000, u' ') + "26" << 26;
        QTest::newRow("control characters") << u"\u0001\u0002\u0007\u0008\u001B\u007F"_qs << 0;
        QTest::newRow("NUL, then 26") << u"\u000026"_qs << 0;
        QTest::newRow("C1 controls") << u"\u0080\u0085\u009F"_qs << 0;
        QTest::newRow("TAB inside") << u"2\t6"_qs << 26;
        QTest::newRow("line feed inside") << u"2\n6"_qs << 26;
        QTest::newRow("1e999") << "1e999" << 0;
        QTest::newRow("-1e999") << "-1e999" << 0;
        QTest::newRow("1e-999") << "1e-999" << 0;
        QTest::newRow("2.6e1") << "2.6e1" << 26;
        QTest::newRow("nan") << "nan" << 0;
        QTest::newRow("NaN") << "NaN" << 0;
        QTest::newRow("inf") << "inf" << 0;
        QTest::newRow("-inf") << "-inf" << 0;
        QTest::newRow("Infinity") << "Infinity" << 0;
        QTest::newRow("-0") << "-0" << 0;
        QTest::newRow("-0.0e0") << "-0.0e0" << 0;
        QTest::newRow("0x1A") << "0x1A" << 0;
        QTest::newRow("&H1A") << "&H1A" << 0;
        QTest::newRow("Arabic-Indic 26") << u"\u0662\u0666"_qs << 0;
        QTest::newRow("a smiley, then 26") << u"\U0001F600 26"_qs << 0;
    }

    void numberBoxPasted()
    {
        QFETCH(QString, input);
        QFETCH(int, found);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        const auto w = start();
        QVERIFY(w);
        pointAt(*w, 8);
        const QString oxygen = w->PTLabel(3)->text();
        const QString iron = QString::fromLatin1(db::ElementTable(26, 3));

        pasteInto(w->ElementText1, input);
        if (found) {
            QCOMPARE(w->ElementText1->text(), QString::number(found));
            QCOMPARE(w->ElementText2->text(), u"Fe"_qs);
            QCOMPARE(w->PTLabel(3)->text(), iron);
        } else {
            QCOMPARE(w->ElementText1->text(), input);
            QCOMPARE(w->ElementText2->text(), QString());
            QCOMPARE(w->ElementText3->text(), QString());
            QCOMPARE(w->PTLabel(3)->text(), oxygen);
        }
        QCOMPARE(notANumber(windowTexts(*w, w->ElementText1)), QStringList());
        QVERIFY(reports.isEmpty());
    }

    // The same in the symbol box: no symbol, so the element of the number
    // box is shown again and its symbol written back.
    void symbolBoxPasted_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("10 000 letters") << QString(10000, u'x');
        QTest::newRow("Fe, then 10 000 letters") << "Fe" + QString(10000, u'e');
        QTest::newRow("10 000 digits") << QString(10000, u'7');
        QTest::newRow("control characters") << u"\u0001\u0002\u0007\u0008\u001B\u007F"_qs;
        QTest::newRow("Fe with a NUL") << u"Fe\u0000"_qs;
        QTest::newRow("Fe with a TAB") << u"Fe\t"_qs;
        for (const char *text : {"1e999", "nan", "inf", "-0", "0x1A", "&H1A"})
            QTest::newRow(text) << QString::fromLatin1(text);
    }

    void symbolBoxPasted()
    {
        QFETCH(QString, input);
        ScratchDir dir;
        QVERIFY(dir.copyShipped());
        const auto w = start();
        QVERIFY(w);
        pointAt(*w, 8);
        const QStringList oxygen{w->ElementText1->text(), w->ElementText2->text(), w->ElementText3->text()};

        pasteInto(w->ElementText2, input);
        QCOMPARE((QStringList{w->ElementText1->text(), w->ElementText2->text(), w->ElementText3->text()}), oxygen);
        QCOMPARE(w->ElementText2->cursorPosition(), int(oxygen[1].size()));
        QCOMPARE(notANumber(windowTexts(*w)), QStringList());
        QVERIFY(reports.isEmpty());
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
