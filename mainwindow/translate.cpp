// The switch between Portuguese and English.
#include "form1.h"

#include "data/db.h"
#include "label.h"
#include "language/captiontable.h"
#include "language/translator.h"
#include "uicommon/twips.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>

namespace {

using language::CaptionRow;
using language::Language;
using language::Target;

// A label's Left in twips. The pixel position cannot hold every twip value
// (2990 twips is 199.33 pixels), so the value last written is kept with the
// label and read back while the label still stands where it put it.
const char *const LeftTwipsProperty = "leftTwips";

int leftTwips(const QWidget *w)
{
    bool ok = false;
    const int kept = w->property(LeftTwipsProperty).toInt(&ok);
    return ok && tw(kept) == w->x() ? kept : twipsOf(w->x());
}

void setLeftTwips(QWidget *w, int twips)
{
    w->setProperty(LeftTwipsProperty, twips);
    w->move(tw(twips), w->y());
}

template <class T>
T *control(Form1 &form, const char *name)
{
    T *c = form.findChild<T *>(QString::fromLatin1(name));
    Q_ASSERT_X(c, "mnuTranslate_Click", name);
    return c;
}

void apply(Form1 &form, const CaptionRow &row, Language to)
{
    const QString text = row.target == Target::LabelLeft ? QString() : QString::fromUtf16(row.text(to));
    switch (row.target) {
    case Target::MenuTitle:
        if (auto *menu = control<QMenu>(form, row.control))
            menu->setTitle(text);
        break;
    case Target::MenuItem:
        if (auto *item = control<QAction>(form, row.control))
            item->setText(text);
        break;
    case Target::WindowTitle:
        form.setWindowTitle(text);
        break;
    case Target::LabelCaption:
        if (auto *label = control<Label>(form, row.control))
            label->setCaption(text);
        break;
    case Target::FrameCaption:
        if (auto *frame = control<QGroupBox>(form, row.control))
            frame->setTitle(text);
        break;
    case Target::BoxText:
        if (auto *box = control<QLineEdit>(form, row.control))
            box->setText(text);
        break;
    case Target::LabelLeft:
        if (auto *label = control<Label>(form, row.control))
            setLeftTwips(label, to == Language::English ? leftTwips(label) + row.englishShift : row.portugueseLeft);
        break;
    }
}

} // namespace

// Reloads the element data in the other language and rewrites the window's
// fixed captions. The language is read from this item's own caption. A failed
// reload leaves the previous edition in place and the captions switch all the
// same; the element on show is not redrawn. The texts outside the caption
// table (tr()) follow within the same click.
void Form1::mnuTranslate_Click()
{
    const Language to =
        mnuTranslate->text() == QString::fromUtf16(language::OfferEnglishCaption) ? Language::English : Language::Portuguese;

    db::LoadElementTable(to == Language::English ? "en" : "br");

    for (const CaptionRow &row : language::CaptionTable)
        apply(*this, row, to);

    language::UseTranslations(to);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}
