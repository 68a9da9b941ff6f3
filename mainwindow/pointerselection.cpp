// Selecting an element with the pointer.
#include "form1.h"

#include "uicommon/twips.h"

#include <QFrame>

// Moves the selection frame around cell `index` and shows that element. The
// frame and the cells are all in Frame1; the frame stands 15 twips above and
// to the left of the cell, so that its outline lies in the gap around it.
void Form1::ElementSelectionLabel_MouseMove(int index)
{
    const QFrame *cell = index >= ElementSelectionLabel.first() ? fmePTElement(index) : nullptr;
    if (!cell)
        return;
    const int top = tw(twipsOf(cell->y()) - 15);
    const int left = tw(twipsOf(cell->x()) - 15);
    ElementSelShape->move(left, top); // both edges at once: nothing is drawn in between
    ViewElement(index);
    if (index != shownByPointer_) {
        shownByPointer_ = index;
        emit elementShown(index);
    }
}

void Form1::showElement(int Z) { ElementSelectionLabel_MouseMove(Z); }
