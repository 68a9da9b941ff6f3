// The Help menu: read-me and About windows. Both are modeless: created when
// they do not exist, reused while open, created anew after being closed.
#include "form1.h"

#include "secondary/form2.h"
#include "secondary/form3.h"

#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
// The window of `p`, made if there is none. A window the user has closed is
// only deleted once the event loop runs again; it is never reused.
template <class W>
W *windowOf(QPointer<W> &p, Form1 *owner)
{
    if (p && !p->isVisible()) {
        p->deleteLater();
        p = nullptr;
    }
    if (!p)
        p = new W(owner);
    return p;
}

// Shows a window, or brings it to the front when it is open already.
void bringUp(QWidget *w)
{
    if (!w->isVisible()) {
        w->show();
        return;
    }
    w->raise();
    w->activateWindow();
}
} // namespace

// Shows readme.txt in the read-me window, read again on every command; edits
// typed into the box are lost. A file that cannot be read gives an empty box.
void Form1::mnuReadMe_Click()
{
    Form2 *readMe = windowOf(form2, this);
    readMe->Text1->clear();
    readMe->Text1->setPlainText(ReadMeText(QString::fromLatin1(ReadMeFile)));
    bringUp(readMe);
}

// Shows the About window and writes its text, replacing whatever was typed.
void Form1::mnuAbout_Click()
{
    Form3 *about = windowOf(form3, this);
    bringUp(about);
    about->Text1->setPlainText(AboutText());
}
