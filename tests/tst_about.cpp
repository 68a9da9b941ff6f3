// The About window: its text, one window however often the command runs, and
// the text fully visible and centred on white.
#include "mainwindow/form1.h"
#include "secondary/contact.h"
#include "secondary/form3.h"
#include "testsupport.h"

#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

class TestAbout : public QObject {
    Q_OBJECT

    static QString shown() { return AboutText().replace(u"\r\n"_qs, u"\n"_qs); }

private slots:
    void text()
    {
        const QString text = AboutText();
        QCOMPARE(text.count(u'\r'), 13);
        QCOMPARE(text.count(u'\n'), 13);
        const QStringList lines = text.split(u"\r\n"_qs);
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines[0], u"Zandor v4 (2007)"_qs);
        QCOMPARE(lines[4], contact::WebCaption());
        QCOMPARE(lines[6], QString::fromUtf8(contact::Institutions[0].name));
        QCOMPARE(lines[13], QString::fromUtf8(contact::Institutions[3].web));
        for (int i = 0; i < 14; ++i)
            QVERIFY2(lines[i].trimmed().isEmpty() == (i == 1 || i == 5), qPrintable(lines[i]));
    }

    // Every line on a line of its own, centred, all inside the box.
    void fitsAndIsCentred()
    {
        Form1 w;
        w.mnuAbout_Click();
        Form3 *f = w.form3;
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCOMPARE(f->windowTitle(), u"About"_qs);
        QCOMPARE(f->windowType(), Qt::Tool);
        QCOMPARE(f->size(), QSize(312, 208));
        QVERIFY(!f->isModal() && !f->Text1->isReadOnly());
        QCOMPARE(f->Text1->toPlainText(), shown());

        const QTextDocument *doc = f->Text1->document();
        const int width = f->Text1->viewport()->width();
        QVERIFY(doc->documentLayout()->documentSize().height() <= f->Text1->viewport()->height());
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            QCOMPARE(b.layout()->lineCount(), 1);
            const QTextLine line = b.layout()->lineAt(0);
            const qreal left = line.naturalTextRect().left();
            QVERIFY2(qAbs(left - (width - left - line.naturalTextWidth())) <= 1, qPrintable(b.text()));
        }
    }

    void whiteBackground()
    {
        Form1 w;
        w.mnuAbout_Click();
        QVERIFY(QTest::qWaitForWindowExposed(w.form3));
        w.form3->Text1->clear();
        w.form3->Text1->clearFocus(); // no caret
        const QImage img = w.form3->grab().toImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QVERIFY2(img.pixel(x, y) == qRgb(255, 255, 255), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }

    // A second command keeps the one window and writes over what was typed.
    void secondCommandRestoresTheText()
    {
        Form1 w;
        w.mnuAbout_Click();
        Form3 *f = w.form3;
        f->Text1->selectAll();
        QTest::keyClicks(f->Text1, "typed");
        QCOMPARE(f->Text1->toPlainText(), u"typed"_qs);
        w.mnuAbout_Click();
        QCOMPARE(w.form3.data(), f);
        QCOMPARE(w.findChildren<Form3 *>().size(), 1);
        QCOMPARE(f->Text1->toPlainText(), shown());
    }

    void sameInEnglish()
    {
        testsupport::ScratchDir dir;
        QVERIFY(dir.copyShipped());
        Form1 w;
        QVERIFY(w.Form1_Load());
        w.mnuAbout_Click();
        w.mnuReadMe_Click();
        w.mnuTranslate_Click();
        QCOMPARE(w.form3->Text1->toPlainText(), shown());
        QCOMPARE(w.form3->windowTitle(), u"About"_qs);
        // The switch found the main window's own Text1, not a secondary window's.
        QCOMPARE(w.Text1->text(), u"Name"_qs);
        w.mnuAbout_Click();
        QCOMPARE(w.form3->Text1->toPlainText(), shown());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
