#include "errorreport.h"

#include <QMessageBox>

namespace {

void messageBox(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

ErrorReporter &current()
{
    static ErrorReporter reporter = messageBox;
    return reporter;
}

} // namespace

void ReportError(const QString &title, const QString &text) { current()(title, text); }

ErrorReporter SetErrorReporter(ErrorReporter reporter)
{
    ErrorReporter previous = current();
    current() = reporter ? std::move(reporter) : ErrorReporter(messageBox);
    return previous;
}
