#include "textbox.h"

#include "colors.h"

#include <QPainter>

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

void TextBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(FlatBorderColor());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
