// The switch between Portuguese and English.
#include "mainwindow/form1.h"

// Reloads the element data in the other language and rewrites the window's
// fixed captions.
void Form1::mnuTranslate_Click() {}
