// Which control a pointer move over the periodic table is meant for.
#pragma once

#include <QPoint>

class QWidget;

// `table` is Frame1; `receiver` is the widget that Qt delivered the move to
// (Frame1 itself, or a control inside it that tracks the pointer); the
// pointer is at `globalPos`. The result is the control whose MouseMove the
// move raises, or nullptr when it raises none:
// - while a button is held Qt keeps sending moves to the widget the button
//   went down on, so the control under the pointer is looked up instead; the
//   pointer outside the table gives nullptr;
// - a move that reaches Frame1 from a child that ignored it (a cell's
//   margin, a heading, a series box) is not a move over Frame1: only its own
//   free area is, the 15-twip gaps and the see-through selection frame
//   included;
// - otherwise the receiver itself.
// The result may be any control of the table; the caller dispatches those
// that have a MouseMove handler.
QWidget *MouseMoveTarget(QWidget *table, QWidget *receiver, bool buttonsHeld, const QPoint &globalPos);
