#include "selectionshape.h"

#include "colors.h"

#include <QPainter>

SelectionShape::SelectionShape(QWidget *parent) : QWidget(parent), border_(FromBgr(0x000000FF))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void SelectionShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(border_, 1, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
