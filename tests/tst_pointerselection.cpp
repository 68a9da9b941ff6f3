// Selecting an element with the pointer, through real pointer events on the
// shipped data: where the selection frame goes, what the panel and the three
// boxes show, and what selects nothing.
#include "data/db.h"
#include "mainwindowfixture.h"

#include <QtTest>

#include <QFrame>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWindow>

using testsupport::cellText;

namespace {


// The pointer through the window system, as QTest::mouseMove() moves it
// when no button is held, but with modifier keys and with the buttons that
// QTest::mousePress() left down.
void moveTo(QWidget *over, QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    QWindow *window = over->window()->windowHandle();
    QTest::mouseEvent(QTest::MouseMove, window, Qt::NoButton, modifiers,
                      window->mapFromGlobal(over->mapToGlobal(at)));
}

} // namespace

class TestPointerSelection : public QObject, private MainWindowFixture {
    Q_OBJECT

    // The selection frame's Left and Top in twips, inside Frame1.
    QPoint framePosition() const { return w->ElementSelShape->pos() * 15; }

    QLabel *symbol(int Z) const { return w->ElementSelectionLabel(Z); }

    // True when the panel and the three boxes show element Z.
    bool shows(int Z) const
    {
        for (int i = 1; i <= 10; ++i)
            if (w->PTLabel(i)->text() != cellText(Z, i))
                return false;
        return w->ElementText1->text() == cellText(Z, 1) && w->ElementText2->text() == cellText(Z, 2)
            && w->ElementText3->text() == cellText(Z, 3);
    }

    // Element 8 on show, through the number box; the frame stays where it is.
    void lookUpOxygen()
    {
        w->ElementText1->setFocus();
        QTest::keyClick(w->ElementText1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->ElementText1, QStringLiteral("8"));
        QVERIFY(shows(8));
    }

private slots:
    void init()
    {
        QVERIFY(makeScratchDir());
        QVERIFY(startWindow());
        testsupport::pointerOffTable(*w);
    }

    void cleanup() { stop(); }

    // Cell positions (Left, Top in twips) as the table places them.
    void selectsTheCellUnderThePointer_data()
    {
        QTest::addColumn<int>("Z");
        QTest::addColumn<QPoint>("cellAt");
        QTest::addColumn<QPoint>("at"); // in the symbol label; (-1, -1): its far corner
        const QPoint center(13, 10), corner(0, 0), far(-1, -1);
        QTest::newRow("1") << 1 << QPoint(90, 390) << center;
        QTest::newRow("1, symbol's top left pixel") << 1 << QPoint(90, 390) << corner;
        QTest::newRow("1, symbol's bottom right pixel") << 1 << QPoint(90, 390) << far;
        QTest::newRow("2") << 2 << QPoint(8760, 390) << center;
        QTest::newRow("5") << 5 << QPoint(6210, 840) << center;
        QTest::newRow("13") << 13 << QPoint(6210, 1290) << center;
        QTest::newRow("26") << 26 << QPoint(3660, 1740) << center;
        QTest::newRow("57") << 57 << QPoint(1110, 2640) << center;
        QTest::newRow("72") << 72 << QPoint(1620, 2640) << center;
        QTest::newRow("89") << 89 << QPoint(1110, 3090) << center;
        QTest::newRow("104") << 104 << QPoint(1620, 3090) << center;
        QTest::newRow("109") << 109 << QPoint(4170, 3090) << far;
        QTest::newRow("58, first lanthanide") << 58 << QPoint(2130, 3690) << center;
        QTest::newRow("71, last lanthanide") << 71 << QPoint(8760, 3690) << corner;
        QTest::newRow("90, first actinide") << 90 << QPoint(2130, 4140) << center;
        QTest::newRow("103, last actinide") << 103 << QPoint(8760, 4140) << far;
    }

    void selectsTheCellUnderThePointer()
    {
        QFETCH(int, Z);
        QFETCH(QPoint, cellAt);
        QFETCH(QPoint, at);
        if (at == QPoint(-1, -1))
            at = symbol(Z)->rect().bottomRight();

        QTest::mouseMove(symbol(8));
        QVERIFY(shows(8));
        QSignalSpy numbers(w->ElementText1, &QLineEdit::textChanged);
        QSignalSpy symbols(w->ElementText2, &QLineEdit::textChanged);
        QSignalSpy names(w->ElementText3, &QLineEdit::textChanged);

        QTest::mouseMove(symbol(Z), at);
        QCOMPARE(framePosition(), cellAt - QPoint(15, 15));
        QVERIFY(shows(Z));
        // Straight from one element to the other: the nested lookup writes
        // nothing else into the boxes.
        QCOMPARE(numbers.size(), 1);
        QCOMPARE(symbols.size(), 1);
        QCOMPARE(names.size(), 1);

        // Moving on within the same cell changes nothing.
        QTest::mouseMove(symbol(Z), symbol(Z)->rect().center() + QPoint(1, 1));
        QCOMPARE(framePosition(), cellAt - QPoint(15, 15));
        QVERIFY(shows(Z));
        QCOMPARE(numbers.size() + symbols.size() + names.size(), 3);
    }

    // Showing the line energies too: iron's Ka1 from the shipped line file.
    void showsTheLines()
    {
        QTest::mouseMove(symbol(26));
        QCOMPARE(w->PTLineKa1(1)->text(), QStringLiteral("6403.9"));
        QCOMPARE(w->PTLineKa1(2)->text(), QStringLiteral("4661.6"));
        QTest::mouseMove(symbol(8));
        QCOMPARE(w->PTLineKa1(2)->text(), QStringLiteral("-"));
    }

    // Places in and around the table that select nothing. Element 26 is
    // framed, element 8 on show.
    void selectsNothingElse_data()
    {
        QTest::addColumn<QString>("over");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("left margin of 26") << "fmePTElement(26)" << QPoint(1, 12);
        QTest::newRow("top margin of 26") << "fmePTElement(26)" << QPoint(16, 3);
        QTest::newRow("right margin of 26") << "fmePTElement(26)" << QPoint(31, 12);
        QTest::newRow("bottom margin of 26") << "fmePTElement(26)" << QPoint(16, 27);
        QTest::newRow("gap right of 26") << "fmePTElement(26)" << QPoint(33, 12);
        QTest::newRow("gap below 26") << "fmePTElement(26)" << QPoint(16, 29);
        QTest::newRow("frame's left side") << "ElementSelShape" << QPoint(0, 15);
        QTest::newRow("free area of the table") << "Frame1" << QPoint(120, 80);
        QTest::newRow("group heading") << "PTGroupsLabel(7)" << QPoint(5, 5);
        QTest::newRow("lanthanide box") << "Frame2" << QPoint(20, 10);
        QTest::newRow("lookup heading") << "Text3" << QPoint(5, 5);
        QTest::newRow("e-mail link") << "Label2(1)" << QPoint(5, 5);
        QTest::newRow("detail panel") << "fmePTElement(0)" << QPoint(20, 20);
    }

    void selectsNothingElse()
    {
        QFETCH(QString, over);
        QFETCH(QPoint, at);
        QWidget *place = w->findChild<QWidget *>(over);
        QVERIFY(place);
        QTest::mouseMove(symbol(26));
        lookUpOxygen();
        const QPoint framed = framePosition();
        QCOMPARE(framed, QPoint(3645, 1725));

        QTest::mouseMove(place, at);
        QVERIFY(shows(8));
        QCOMPARE(framePosition(), framed);
        // The same with a button held, after pressing there (not the left
        // one, which would follow the links).
        QTest::mousePress(place, Qt::MiddleButton, {}, at);
        moveTo(place, at + QPoint(0, 1));
        QTest::mouseRelease(place, Qt::MiddleButton, {}, at + QPoint(0, 1));
        QVERIFY(shows(8));
        QCOMPARE(framePosition(), framed);
    }

    // The other windows follow the table through elementShown: once for
    // each new element the pointer selects, not for moves within a cell nor
    // for lookups; showElement() does what pointing does.
    void announcesTheElementShown()
    {
        QSignalSpy shown(w.get(), &Form1::elementShown);
        QTest::mouseMove(symbol(26));
        QTest::mouseMove(symbol(26), QPoint(3, 3));
        lookUpOxygen();
        QTest::mouseMove(symbol(92));
        QTest::mouseMove(symbol(26));
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown.at(0).at(0).toInt(), 26);
        QCOMPARE(shown.at(1).at(0).toInt(), 92);
        QCOMPARE(shown.at(2).at(0).toInt(), 26);

        w->showElement(103);
        QCOMPARE(framePosition(), QPoint(8760, 4140) - QPoint(15, 15));
        QVERIFY(shows(103));
        QCOMPARE(shown.last().at(0).toInt(), 103);
        w->showElement(0); // not an element: nothing
        w->showElement(110);
        QVERIFY(shows(103));
        QCOMPARE(shown.size(), 4);
    }

    // The selection frame lets the pointer through to the symbol it frames.
    void throughTheFrame()
    {
        QTest::mouseMove(symbol(26));
        lookUpOxygen();
        QCOMPARE(framePosition(), QPoint(3645, 1725)); // a lookup does not move it
        QTest::mouseMove(symbol(26), QPoint(2, 2));
        QVERIFY(shows(26));
    }

    void leavingTheTableKeepsTheSelection()
    {
        QTest::mouseMove(symbol(92));
        QVERIFY(shows(92));
        const QPoint framed = framePosition();
        QTest::mouseMove(w->fmePTElement(92), QPoint(1, 1));
        QTest::mouseMove(w->Frame1, QPoint(2, 2));
        QTest::mouseMove(w->Frame3, QPoint(20, 20));
        QTest::mouseMove(w.get(), QPoint(w->width() + 40, w->height() + 40)); // off the window
        QVERIFY(shows(92));
        QCOMPARE(framePosition(), framed);
    }

    // A button or a modifier key held does not matter; with a button held the
    // moves go to the symbol the button went down on, and the symbol under the
    // pointer is selected.
    void buttonsAndModifiers_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("no button, no key") << Qt::NoButton << Qt::KeyboardModifiers();
        QTest::newRow("no button, alt") << Qt::NoButton << Qt::KeyboardModifiers(Qt::AltModifier);
        QTest::newRow("left, no key") << Qt::LeftButton << Qt::KeyboardModifiers();
        QTest::newRow("left, shift") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier);
        QTest::newRow("right, control") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("middle, shift+control+alt")
            << Qt::MiddleButton << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    }

    void buttonsAndModifiers()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QWindow *window = w->windowHandle();
        auto inWindow = [window](QWidget *over, QPoint at) { return window->mapFromGlobal(over->mapToGlobal(at)); };

        moveTo(symbol(26), QPoint(5, 5), modifiers);
        QVERIFY(shows(26));
        if (button != Qt::NoButton)
            QTest::mousePress(window, button, modifiers, inWindow(symbol(26), QPoint(5, 5)));
        moveTo(symbol(26), QPoint(8, 5), modifiers);
        moveTo(symbol(92), QPoint(6, 6), modifiers);
        QVERIFY(shows(92));
        QCOMPARE(framePosition(), QPoint(3135, 4125));
        moveTo(w->fmePTElement(8), QPoint(1, 1), modifiers); // a margin
        moveTo(w->Frame3, QPoint(20, 20), modifiers);         // out of the table
        QVERIFY(shows(92));
        moveTo(symbol(58), QPoint(10, 10), modifiers); // back in
        QVERIFY(shows(58));
        QCOMPARE(framePosition(), QPoint(2115, 3675));
        if (button != Qt::NoButton)
            QTest::mouseRelease(window, button, modifiers, inWindow(symbol(58), QPoint(10, 10)));
        QVERIFY(shows(58));
    }
};

QTEST_MAIN(TestPointerSelection)
#include "tst_pointerselection.moc"
