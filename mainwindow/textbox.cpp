#include "textbox.h"

#include "shrinkfit.h"
#include "uicommon/colors.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

// QLineEdit keeps this many pixels free at either end of its text line.
constexpr int LineMargin = 2;

// Bound of the cache of fitted texts.
constexpr qsizetype MaxFitted = 1024;

} // namespace

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    setTextMargins(1, 0, 1, 0);
}

void TextBox::setBackColor(const QColor &c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Base, c);
    setPalette(p);
}

QColor TextBox::backColor() const { return palette().color(QPalette::Active, QPalette::Base); }

int TextBox::textRoom() const
{
    return contentsRect().marginsRemoved(textMargins()).width() - 2 * LineMargin - 1;
}

void TextBox::setShrinkToFit(bool on)
{
    if (on == shrinkToFit_)
        return;
    if (on) {
        design_ = font();
        fitted_.clear();
        shrinkToFit_ = true;
        connect(this, &QLineEdit::textChanged, this, &TextBox::fitText);
        fitText();
    } else {
        disconnect(this, &QLineEdit::textChanged, this, &TextBox::fitText);
        applySteps(0);
        shrinkToFit_ = false;
    }
}

void TextBox::fitText()
{
    if (!shrinkToFit_)
        return;
    const QString shown = text();
    int steps = 0;
    if (const auto found = fitted_.constFind(shown); found != fitted_.cend()) {
        steps = *found;
    } else {
        const int room = textRoom();
        steps = shrinkfit::FewestSteps(design_, [&](int s) {
            return QFontMetrics(shrinkfit::Smaller(design_, s)).horizontalAdvance(shown) <= room;
        });
        if (fitted_.size() >= MaxFitted)
            fitted_.clear();
        fitted_.insert(shown, steps);
    }
    applySteps(steps);
}

void TextBox::applySteps(int steps)
{
    if (steps == shrinkSteps_)
        return;
    shrinkSteps_ = steps;
    setFont(shrinkfit::Smaller(design_, steps));
}

void TextBox::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    if (shrinkToFit_) {
        fitted_.clear();
        fitText();
    }
}

void TextBox::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange && shrinkToFit_) {
        fitted_.clear();
        fitText();
    }
}

void TextBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(FlatBorderColor());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
