#include "showtext.h"

#include "label.h"

#include <QLineEdit>

void ShowCaption(Label *label, const QString &caption)
{
    if (label->text() != caption)
        label->setCaption(caption);
}

void ShowText(QLineEdit *box, const QString &text)
{
    if (box->text() == text && box->cursorPosition() == text.size() && !box->hasSelectedText()
        && !box->isUndoAvailable() && !box->isRedoAvailable() && !box->isModified())
        return;
    box->setText(text);
}
