// Selecting an element with the pointer.
#include "form1.h"

// Moves the selection frame around cell `index` and shows that element.
void Form1::ElementSelectionLabel_MouseMove(int /*index*/) {}
