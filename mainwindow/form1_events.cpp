// The one place where Qt's signals and events reach the handlers of Form1.
//
// - Change of the search boxes: textChanged, which Qt emits synchronously
//   for every change of the text, the program's own writes included.
// - GotFocus of the search boxes: their FocusIn, except when a mouse click,
//   the activation of the window or a closing menu brings the focus back;
//   those are not the keyboard moving the focus.
// - Click of the menu items: triggered.
// - MouseMove of the element symbols, of the contact labels and of Frame1:
//   an event filter on each, with mouse tracking on.
// - Click of the contact labels: a left-button release over the label that
//   the same button was pressed on (the second press of a double click does
//   not start a click).
#include "form1.h"

#include "pointerrouting.h"

#include <QAction>
#include <QFocusEvent>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>

void Form1::connectEvents()
{
    connect(ElementText1, &QLineEdit::textChanged, this, [this] { ElementText1_Change(); });
    connect(ElementText2, &QLineEdit::textChanged, this, [this] { ElementText2_Change(); });
    ElementText1->installEventFilter(this);
    ElementText2->installEventFilter(this);

    connect(mnuTranslate, &QAction::triggered, this, [this] { mnuTranslate_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(mnuReadMe, &QAction::triggered, this, [this] { mnuReadMe_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });

    QList<QWidget *> movers{Frame1, Label3, Label2(1)};
    for (Label *symbol : ElementSelectionLabel)
        movers << symbol;
    for (QWidget *w : movers) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::MouseFocusReason || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        if (watched == ElementText1)
            ElementText1_GotFocus();
        else if (watched == ElementText2)
            ElementText2_GotFocus();
        break;
    }
    case QEvent::MouseMove: {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && (w == Frame1 || w == Label3 || w == Label2(1) || ElementSelectionLabel.indexOf(w) > 0))
            return tableMouseMove(w, static_cast<QMouseEvent *>(event));
        break;
    }
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if ((watched == Label3 || watched == Label2(1)) && me->button() == Qt::LeftButton)
            pressedLink_ = static_cast<QWidget *>(watched);
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton || watched != pressedLink_)
            break;
        pressedLink_ = nullptr;
        auto *link = static_cast<QWidget *>(watched);
        if (!link->rect().contains(me->position().toPoint()))
            break;
        if (link == Label3)
            Label3_Click();
        else
            Label2_Click(Label2.indexOf(link));
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// A change of language reaches the tr() texts; the fixed captions are the
// language switch's own.
void Form1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && mnuTools)
        retranslateToolsMenu();
    QMainWindow::changeEvent(event);
}

// Qt hands a change of language down to every child and repaints each: here
// some three hundred controls, none of which has a tr() text, so the whole
// window would be painted anew (ten milliseconds) for the Tools menu's three
// texts. The menu itself is a window of its own and gets its own event.
bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        changeEvent(event);
        return true;
    }
    return QMainWindow::event(event);
}

// A move that reached one of the watched widgets of the table.
bool Form1::tableMouseMove(QWidget *receiver, QMouseEvent *event)
{
    dispatchMoveAt(MouseMoveTarget(Frame1, receiver, event->buttons() != Qt::NoButton,
                                   event->globalPosition().toPoint()));
    return true; // a move never travels further up to Frame1
}

void Form1::dispatchMoveAt(QWidget *target)
{
    if (!target)
        return;
    if (const int Z = ElementSelectionLabel.indexOf(target); Z >= ElementSelectionLabel.first())
        ElementSelectionLabel_MouseMove(Z);
    else if (target == Label3)
        Label3_MouseMove();
    else if (const int i = Label2.indexOf(target); i >= Label2.first())
        Label2_MouseMove(i);
    else if (target == Frame1)
        Frame1_MouseMove();
}
