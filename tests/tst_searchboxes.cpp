// The number and symbol boxes, driven by keys (typed or pasted) on the
// shipped data: what each input finds, what the other boxes and the view
// show, the caret, and the select-all on keyboard focus.
#include "data/db.h"
#include "mainwindowfixture.h"

#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

using testsupport::cellText;

namespace {


// Replaces the whole text of a box at once, as pasting over a selection
// does: one change of the text. An empty text is a Delete over the
// selection.
void pasteInto(QLineEdit *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Delete);
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

// Selects the whole text of a box and types over it, key by key.
void typeInto(QLineEdit *box, const QString &keys)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, keys);
}

} // namespace

class TestSearchBoxes : public QObject, private MainWindowFixture {
    Q_OBJECT

    // The element the detail view shows, by its number label.
    int shown() const { return w->PTLabel(1)->text().toInt(); }

    // Element Z in all three boxes, or 0: all three empty.
    QStringList boxesOf(int Z) const
    {
        return Z ? QStringList{cellText(Z, 1), cellText(Z, 2), cellText(Z, 3)} : QStringList{"", "", ""};
    }
    QStringList boxes() const { return {w->ElementText1->text(), w->ElementText2->text(), w->ElementText3->text()}; }

private slots:
    void init()
    {
        QVERIFY(makeScratchDir());
        QVERIFY(startWindow());
        // Oxygen on show and in the boxes.
        testsupport::pointerOffTable(*w);
        QTest::mouseMove(w->ElementSelectionLabel(8));
        QCOMPARE(boxes(), boxesOf(8));
        QCOMPARE(shown(), 8);
    }

    void cleanup() { stop(); }

    void numberBox_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("after");      // the number box afterwards
        QTest::addColumn<QList<int>>("symbols"); // the symbol box's texts in turn, as elements; 0: empty
        QTest::addColumn<int>("view");           // the element on show afterwards

        for (const char *input : {"26", "026", " 26", "2 6", "26.0", "26abc"})
            QTest::addRow("'%s'", input) << QString::fromLatin1(input) << "26" << QList<int>{26} << 26;
        QTest::newRow("'1'") << "1" << "1" << QList<int>{1} << 1;
        QTest::newRow("'109'") << "109" << "109" << QList<int>{109} << 109;

        // No element: symbol and name emptied, the view stays.
        for (const char *input : {"0", "-3", "x", "", "110", "500", "1e999", "\uff12\uff16"})
            QTest::addRow("'%s'", input) << QString::fromUtf8(input) << QString::fromUtf8(input) << QList<int>{0} << 8;

        // Rounding to the nearest element, halves to the even one.
        QTest::newRow("'0.3'") << "0.3" << "0.3" << QList<int>{} << 8;
        QTest::newRow("'0.5'") << "0.5" << "0.5" << QList<int>{} << 8;
        QTest::newRow("'0.6'") << "0.6" << "1" << QList<int>{1} << 1;
        QTest::newRow("'2.4'") << "2.4" << "2" << QList<int>{2} << 2;
        QTest::newRow("'2.5'") << "2.5" << "2" << QList<int>{2} << 2;
        QTest::newRow("'3.5'") << "3.5" << "4" << QList<int>{4} << 4;
        QTest::newRow("'108.5'") << "108.5" << "108" << QList<int>{108} << 108;
        QTest::newRow("'109.4'") << "109.4" << "109" << QList<int>{0, 109} << 109;
        QTest::newRow("'109.5'") << "109.5" << "109.5" << QList<int>{0} << 8;
        QTest::newRow("'109.7'") << "109.7" << "109.7" << QList<int>{0} << 8;
    }

    void numberBox()
    {
        QFETCH(QString, input);
        QFETCH(QString, after);
        QFETCH(QList<int>, symbols);
        QFETCH(int, view);
        QSignalSpy symbolChanges(w->ElementText2, &QLineEdit::textChanged);

        pasteInto(w->ElementText1, input);
        QCOMPARE(w->ElementText1->text(), after);
        QStringList expected;
        for (int Z : symbols)
            expected << (Z ? cellText(Z, 2) : QString());
        QStringList seen;
        for (const QList<QVariant> &change : symbolChanges)
            seen << change.at(0).toString();
        QCOMPARE(seen, expected);
        QCOMPARE(w->ElementText3->text(), symbols.isEmpty() ? cellText(8, 3) : symbols.last() ? cellText(symbols.last(), 3) : "");
        QCOMPARE(shown(), view);
        QCOMPARE(w->PTLabel(2)->text(), cellText(view, 2));
    }

    void typingANumber()
    {
        typeInto(w->ElementText1, QStringLiteral("26"));
        QCOMPARE(boxes(), boxesOf(26));
        QCOMPARE(shown(), 26);
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("6403.9"));
    }

    void symbolBox_data()
    {
        QTest::addColumn<bool>("emptyFirst"); // empty the box before typing
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after"); // the symbol box afterwards
        QTest::addColumn<int>("boxes");     // the element in the number and name box; 0: both empty
        QTest::addColumn<int>("view");

        QTest::newRow("fe") << false << "fe" << "Fe" << 26 << 26;
        QTest::newRow("FE") << false << "FE" << "Fe" << 26 << 26;
        QTest::newRow("Fe") << false << "Fe" << "Fe" << 26 << 26;
        QTest::newRow("zN") << false << "zN" << "Zn" << 30 << 30;
        // No symbol: the element of the number box again, with its symbol.
        QTest::newRow("Fe, then x") << false << "Fex" << "Fe" << 26 << 26;
        QTest::newRow("Fe and a blank") << false << "Fe " << "Fe" << 26 << 26;
        QTest::newRow("Zx") << false << "Zx" << "O" << 8 << 8;
        QTest::newRow("Q") << false << "Q" << "O" << 8 << 8;
        QTest::newRow("blank") << false << " " << "O" << 8 << 8;
        // The beginning of a symbol stays as typed.
        QTest::newRow("Z") << false << "Z" << "Z" << 8 << 8;
        QTest::newRow("z") << false << "z" << "z" << 8 << 8;
        QTest::newRow("X") << false << "X" << "X" << 8 << 8;
        // An emptied box empties the number and the name box.
        QTest::newRow("emptied") << true << "" << "" << 0 << 8;
        QTest::newRow("Q, number box empty") << true << "Q" << "Q" << 0 << 8;
        QTest::newRow("fe, number box empty") << true << "fe" << "Fe" << 26 << 26;
    }

    void symbolBox()
    {
        QFETCH(bool, emptyFirst);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(int, boxes);
        QFETCH(int, view);
        if (emptyFirst) {
            pasteInto(w->ElementText2, QString());
            QCOMPARE(this->boxes(), QStringList({"", "", ""}));
        }
        if (!keys.isEmpty())
            typeInto(w->ElementText2, keys);
        QCOMPARE(w->ElementText2->text(), after);
        QCOMPARE(w->ElementText1->text(), boxes ? cellText(boxes, 1) : QString());
        QCOMPARE(w->ElementText3->text(), boxes ? cellText(boxes, 3) : QString());
        QCOMPARE(shown(), view);
        QCOMPARE(w->PTLabel(3)->text(), cellText(view, 3));
        QCOMPARE(w->ElementText2->cursorPosition(), after.size());
        QVERIFY(!w->ElementText2->hasSelectedText());
    }

    // While the text typed is the beginning of a symbol, nothing else
    // changes; the next letter completes it.
    void symbolTypedLetterByLetter_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("Z");
        QTest::newRow("Z n") << "Z" << "n" << 30;
        QTest::newRow("M g") << "M" << "g" << 12;
        QTest::newRow("X e") << "X" << "e" << 54;
        QTest::newRow("z r") << "z" << "r" << 40;
    }

    void symbolTypedLetterByLetter()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, Z);
        typeInto(w->ElementText2, first);
        QCOMPARE(boxes(), QStringList({cellText(8, 1), first, cellText(8, 3)}));
        QCOMPARE(shown(), 8);
        QCOMPARE(w->ElementText2->cursorPosition(), 1);
        QTest::keyClicks(w->ElementText2, second);
        QCOMPARE(boxes(), boxesOf(Z));
        QCOMPARE(shown(), Z);
        QCOMPARE(w->ElementText2->cursorPosition(), 2);
    }

    // Tab and Backtab select the whole text; typing replaces it.
    void keyboardFocusSelectsAll()
    {
        QTest::mouseMove(w->ElementSelectionLabel(26));
        w->ElementText1->setFocus();
        QTest::keyClick(w->ElementText1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->ElementText2);
        QCOMPARE(w->ElementText2->selectedText(), QStringLiteral("Fe"));
        QCOMPARE(w->ElementText2->selectionStart(), 0);
        QTest::keyClick(w->ElementText2, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w->ElementText1);
        QCOMPARE(w->ElementText1->selectedText(), QStringLiteral("26"));
        QTest::keyClicks(w->ElementText1, QStringLiteral("8"));
        QCOMPARE(boxes(), boxesOf(8));
        QCOMPARE(shown(), 8);
    }

    void clickDoesNotSelectAll()
    {
        QTest::mouseMove(w->ElementSelectionLabel(26));
        QTest::mouseClick(w->ElementText3, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), w->ElementText3);
        QTest::mouseClick(w->ElementText2, Qt::LeftButton, {}, QPoint(3, 8));
        QCOMPARE(QApplication::focusWidget(), w->ElementText2);
        QVERIFY(!w->ElementText2->hasSelectedText());
        QCOMPARE(w->ElementText2->cursorPosition(), 0);
    }

    // Where a box already holds the text to show, the write is left out only
    // when it would change nothing: the caret, the selection and the undo
    // history end up as after a write.
    void undoAfterALookupChangesNothing_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("Z");
        QTest::newRow("number") << 1 << "26" << 26;
        QTest::newRow("symbol, as the table writes it") << 2 << "Fe" << 26;
        QTest::newRow("symbol, other case") << 2 << "fe" << 26;
    }

    void undoAfterALookupChangesNothing()
    {
        QFETCH(int, box);
        QFETCH(QString, keys);
        QFETCH(int, Z);
        QLineEdit *edit = box == 1 ? w->ElementText1 : w->ElementText2;
        typeInto(edit, keys);
        QCOMPARE(shown(), Z);
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(boxes(), boxesOf(Z));
        QCOMPARE(shown(), Z);
    }

    void pointerLeavesTheCaretAtTheEnd_data()
    {
        QTest::addColumn<int>("Z");
        QTest::newRow("same element") << 26;
        QTest::newRow("another element") << 92;
    }

    void pointerLeavesTheCaretAtTheEnd()
    {
        QFETCH(int, Z);
        QTest::mouseMove(w->ElementSelectionLabel(26));
        w->ElementText2->setFocus();
        QTest::keyClick(w->ElementText2, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(w->ElementText1->selectedText(), QStringLiteral("26"));
        w->ElementText2->setCursorPosition(0);
        QTest::mouseMove(w->ElementSelectionLabel(Z), QPoint(3, 3));
        QCOMPARE(boxes(), boxesOf(Z));
        for (QLineEdit *edit : {w->ElementText1, w->ElementText2}) {
            QVERIFY(!edit->hasSelectedText());
            QCOMPARE(edit->cursorPosition(), edit->text().size());
        }
    }
};

QTEST_MAIN(TestSearchBoxes)
#include "tst_searchboxes.moc"
