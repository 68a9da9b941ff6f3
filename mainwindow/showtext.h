// Writing a caption or a box text only where it changes.
//
// The detail view rewrites the whole panel on every pointer move, mostly with
// the texts it already shows; these writes leave such a control alone, so a
// move within one cell costs next to nothing.
#pragma once

class Label;
class QLineEdit;
class QString;

// Label::setCaption, skipped when the label already shows the caption.
void ShowCaption(Label *label, const QString &caption);

// QLineEdit::setText, skipped only when it would change nothing at all.
// Besides the text, setText puts the caret at the end, drops a selection and
// the undo history and clears the modified flag, but for an unchanged text it
// raises no textChanged. So a skipped write is one where the text is the same
// and none of that is left to do: the search boxes' handlers see exactly what
// an unconditional write would have left them.
void ShowText(QLineEdit *box, const QString &text);
