// The program's icon.
#pragma once

#include <QIcon>

// The icon in all its sizes, from the program's resources.
QIcon ZandorIcon();
