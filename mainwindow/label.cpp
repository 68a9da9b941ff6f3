#include "label.h"

#include "colors.h"

Label::Label(QWidget *parent) : QLabel(parent)
{
    setFrameShape(QFrame::NoFrame);
    setMargin(0);
    setIndent(0);
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setForeColor(SystemWindowText());
    setBackColor(SystemWindowBackground());
    setOpaque(false);
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    if (autoSize_)
        fitToCaption();
}

void Label::setAutoSize(bool on)
{
    autoSize_ = on;
    if (on)
        fitToCaption();
}

void Label::fitToCaption()
{
    const int right = geometry().right();
    const QSize size = sizeHint();
    if (alignment() & Qt::AlignRight)
        setGeometry(right - size.width() + 1, y(), size.width(), size.height());
    else
        setGeometry(x(), y(), size.width(), size.height());
}

void Label::setOpaque(bool on) { setAutoFillBackground(on); }

void Label::setForeColor(const QColor &c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::WindowText, c);
    setPalette(p);
}

QColor Label::foreColor() const { return palette().color(QPalette::Active, QPalette::WindowText); }

void Label::setBackColor(const QColor &c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Window, c);
    setPalette(p);
}

QColor Label::backColor() const { return palette().color(QPalette::Active, QPalette::Window); }
