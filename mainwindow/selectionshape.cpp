#include "selectionshape.h"

#include "uicommon/colors.h"

#include <QPainter>

SelectionShape::SelectionShape(QWidget *parent) : QWidget(parent), border_(FromBgr(0x000000FF))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void SelectionShape::paintEvent(QPaintEvent *)
{
    // Four one-pixel strips rather than a stroked rectangle: a 1-pixel pen on
    // the widget's edge loses its left and top lines at fractional scale
    // factors (1.25, 1.5), where filled strips stay visible.
    QPainter painter(this);
    const int w = width(), h = height();
    painter.fillRect(0, 0, w, 1, border_);
    painter.fillRect(0, h - 1, w, 1, border_);
    painter.fillRect(0, 0, 1, h, border_);
    painter.fillRect(w - 1, 0, 1, h, border_);
}
