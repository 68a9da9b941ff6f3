// Ending the program: the Exit command and the main window's close box.
#include "form1.h"

#include "secondary/form2.h"
#include "secondary/form3.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {
// The read-me and About windows go with the main window.
void closeSecondaryWindows(Form1 &form)
{
    if (form.form2)
        form.form2->close();
    if (form.form3)
        form.form3->close();
}
} // namespace

// Ends the program at once, closing every window, with no confirmation.
void Form1::mnuExit_Click()
{
    close(); // takes the read-me and About windows with it
    QCoreApplication::quit();
}

// The close box ends the program too; the tool windows would not keep it
// running, but they would stay on the screen until it ended.
void Form1::closeEvent(QCloseEvent *event)
{
    closeSecondaryWindows(*this);
    QMainWindow::closeEvent(event);
}
