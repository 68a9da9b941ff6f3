// The Exit command.
#include "mainwindow/form1.h"

// Ends the program at once, closing every window.
void Form1::mnuExit_Click() {}
