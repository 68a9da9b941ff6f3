#include "pointerrouting.h"

#include <QWidget>

QWidget *MouseMoveTarget(QWidget *table, QWidget *receiver, bool buttonsHeld, const QPoint &globalPos)
{
    if (buttonsHeld) {
        const QPoint p = table->mapFromGlobal(globalPos);
        if (!table->rect().contains(p))
            return nullptr;
        QWidget *under = table->childAt(p); // passes over the selection frame
        return under ? under : table;
    }
    if (receiver == table)
        return table->childAt(table->mapFromGlobal(globalPos)) ? nullptr : table;
    return receiver;
}
