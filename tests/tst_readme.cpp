// The read-me window: the text made from readme.txt, the window, and its
// life: reused while open, rebuilt from the file on every command, created
// anew after being closed.
#include "mainwindow/form1.h"
#include "secondary/form2.h"
#include "testsupport.h"

#include <QtTest>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

using testsupport::ScratchDir;

namespace {

// The paragraphs of the box: a text ending in a line end has an empty one
// after it.
QStringList blocksOf(const QPlainTextEdit *box)
{
    QStringList blocks;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks;
}

} // namespace

class TestReadMe : public QObject {
    Q_OBJECT

private slots:
    // The file's lines, each followed by CR LF.
    void fileToText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("CR LF lines") << QByteArray("one\r\ntwo\r\n") << u"one\r\ntwo\r\n"_qs;
        QTest::newRow("last line without line end") << QByteArray("one\r\ntwo") << u"one\r\ntwo\r\n"_qs;
        QTest::newRow("empty line in the middle") << QByteArray("one\r\n\r\ntwo\r\n") << u"one\r\n\r\ntwo\r\n"_qs;
        QTest::newRow("empty lines only") << QByteArray("\r\n\r\n") << u"\r\n\r\n"_qs;
        QTest::newRow("LF line ends") << QByteArray("one\ntwo\n\nthree") << u"one\r\ntwo\r\n\r\nthree\r\n"_qs;
        QTest::newRow("CR at the end of the file") << QByteArray("one\r") << u"one\r\n"_qs;
        QTest::newRow("Windows-1252") << QByteArray("Configura\xe7\xe3o \x80\r\n") << u"Configura\u00E7\u00E3o \u20AC\r\n"_qs;
    }

    void fileToText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        ScratchDir dir;
        QVERIFY(dir.write("readme.txt", file));
        QCOMPARE(ReadMeText(dir.file("readme.txt")), text);

        Form1 w;
        w.mnuReadMe_Click();
        QVERIFY(w.form2 && w.form2->isVisible());
        QCOMPARE(blocksOf(w.form2->Text1), text.split(u"\r\n"_qs));
    }

    // No file, or a directory of that name: an empty box, no message.
    void unreadableFile_data()
    {
        QTest::addColumn<bool>("directory");
        QTest::newRow("missing") << false;
        QTest::newRow("directory") << true;
    }

    void unreadableFile()
    {
        QFETCH(bool, directory);
        ScratchDir dir;
        if (directory)
            QVERIFY(QDir(dir.path()).mkdir("readme.txt"));
        Form1 w;
        w.mnuReadMe_Click();
        QVERIFY(w.form2 && w.form2->isVisible());
        QCOMPARE(w.form2->Text1->toPlainText(), QString());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // A fixed, modeless tool window; long lines wrap at the box width, a word
    // longer than the box too.
    void window()
    {
        ScratchDir dir;
        QVERIFY(dir.write("readme.txt", QByteArray("word ").repeated(100) + "\r\n" + QByteArray(400, 'x')));
        Form1 w;
        w.show();
        w.mnuReadMe_Click();
        Form2 *f = w.form2;
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCOMPARE(f->windowTitle(), u"readme.txt"_qs);
        QCOMPARE(f->windowType(), Qt::Tool);
        QCOMPARE(f->size(), QSize(437, 343));
        QCOMPARE(f->minimumSize(), f->maximumSize());
        QVERIFY(!f->isModal() && w.isEnabled());
        QVERIFY(!f->Text1->isReadOnly());
        QCOMPARE(f->Text1->horizontalScrollBar()->maximum(), 0);
        for (QTextBlock b : {f->Text1->document()->firstBlock(), f->Text1->document()->firstBlock().next()})
            QVERIFY(b.layout()->lineCount() > 3);
    }

    // A second command reuses the open window: edits are lost, the file is
    // read again.
    void secondCommandRebuildsTheText()
    {
        ScratchDir dir;
        QVERIFY(dir.write("readme.txt", "first\r\n"));
        Form1 w;
        w.mnuReadMe_Click();
        Form2 *f = w.form2;
        QTest::keyClicks(f->Text1, "typed");
        QVERIFY(dir.write("readme.txt", "second\r\nthird"));
        w.mnuReadMe_Click();
        QCOMPARE(w.form2.data(), f);
        QCOMPARE(w.findChildren<Form2 *>().size(), 1);
        QCOMPARE(blocksOf(f->Text1), (QStringList{"second", "third", ""}));
    }

    // Closed with its close box it goes, the main window stays, and the next
    // command makes a new one.
    void closeThenCommand()
    {
        ScratchDir dir;
        QVERIFY(dir.write("readme.txt", "text\r\n"));
        Form1 w;
        w.show();
        w.mnuReadMe_Click();
        QPointer<Form2> first = w.form2;
        QVERIFY(first->close());
        QVERIFY(w.isVisible());
        w.mnuReadMe_Click();
        QVERIFY(w.form2 && w.form2 != first && w.form2->isVisible());
        QCOMPARE(blocksOf(w.form2->Text1), (QStringList{"text", ""}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QCOMPARE(w.findChildren<Form2 *>().size(), 1);
    }
};

QTEST_MAIN(TestReadMe)
#include "tst_readme.moc"
