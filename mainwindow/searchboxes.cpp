// The search boxes: atomic number and symbol.
//
// Every write into a box raises its Change at once, also inside a handler;
// SearchBusy, true while either handler runs, makes those nested Changes
// return at once, including the ones that ViewElement raises.
#include "form1.h"

#include "data/db.h"
#include "elementtext.h"
#include "showtext.h"

#include <QLineEdit>

#include <cmath>

namespace {

// Keeps SearchBusy true for the lifetime of a handler run.
class Busy {
public:
    explicit Busy(bool &flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    bool &flag_;
};

// A box's text read as a number; any character that is not plain ASCII ends
// the number, as it would in a data file.
double numberIn(const QLineEdit *box) { return db::NumericValue(box->text().toStdString()); }

const QString &cell(int row, int column) { return elementtext::Cell(row, column); }

// To the nearest whole number, halves to the even one (2.5 gives 2, 3.5
// gives 4), whatever the floating-point rounding mode.
double roundHalfToEven(double v)
{
    const double below = std::floor(v);
    const double fraction = v - below; // exact for the values that reach here
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2) == 0 ? below : below + 1;
}

// True when `typed` is non-empty and the proper beginning of some symbol of
// the table, both lower-cased.
bool beginsSomeSymbol(const QString &typed)
{
    if (typed.isEmpty())
        return false;
    const QString lowered = typed.toLower();
    for (int r = 1; r <= db::ElementRows; ++r) {
        const QString &symbol = elementtext::LowerSymbol(r);
        if (symbol.size() > lowered.size() && symbol.startsWith(lowered))
            return true;
    }
    return false;
}

// Shows the element whose number v rounds to, when v lies strictly between 0
// and 110 and rounds to 1..109.
void showNumber(Form1 *form, double v)
{
    if (!(v > 0 && v < 110))
        return;
    const auto Z = static_cast<qint16>(roundHalfToEven(v));
    if (Z >= 1 && Z <= db::ElementRows)
        form->ViewElement(Z);
}

} // namespace

// Looks the typed atomic number up and shows the element found. Every row
// is compared; a number outside the table's range empties the symbol and the
// name box, and the view shows the element the number rounds to.
void Form1::ElementText1_Change()
{
    if (SearchBusy)
        return;
    const Busy busy(SearchBusy);

    const double v = numberIn(ElementText1);
    const double vmax = elementtext::Number(db::ElementRows);
    for (int r = 1; r <= db::ElementRows; ++r) {
        if (elementtext::Number(r) == v) {
            ShowText(ElementText2, cell(r, 2));
            ShowText(ElementText3, cell(r, 3));
        } else if (v <= 0 || v > vmax) {
            ShowText(ElementText2, QString());
            ShowText(ElementText3, QString());
        }
    }
    showNumber(this, v);
}

// Looks the typed symbol up, whatever its letter case, and shows the element.
// A symbol found is rewritten as the table writes it; an emptied box empties
// the number and the name box. A text that is no symbol shows again the
// element of the number box, which puts its symbol back -- unless the text is
// the beginning of a symbol: then the user is still typing it (Z on the way
// to Zn), and the text stays as typed.
void Form1::ElementText2_Change()
{
    if (SearchBusy)
        return;
    const Busy busy(SearchBusy);

    bool found = false;
    QString typed = ElementText2->text();
    QString lowered = typed.toLower();
    for (int r = 1; r <= db::ElementRows; ++r) {
        // A match rewrites the box, so it is read again for every row.
        if (ElementText2->text() != typed) {
            typed = ElementText2->text();
            lowered = typed.toLower();
        }
        if (lowered == elementtext::LowerSymbol(r)) {
            found = true;
            ShowText(ElementText1, cell(r, 1));
            ShowText(ElementText2, cell(r, 2));
            ShowText(ElementText3, cell(r, 3));
        } else if (typed.isEmpty()) {
            ShowText(ElementText1, QString());
            ShowText(ElementText3, QString());
        }
    }

    if (found || !beginsSomeSymbol(ElementText2->text()))
        showNumber(this, numberIn(ElementText1));
    ElementText2->setCursorPosition(int(ElementText2->text().size()));
}

// Selects the whole text of the number box.
void Form1::ElementText1_GotFocus() { ElementText1->setSelection(0, int(ElementText1->text().size())); }

// Selects the whole text of the symbol box.
void Form1::ElementText2_GotFocus() { ElementText2->setSelection(0, int(ElementText2->text().size())); }
