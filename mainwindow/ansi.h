// Texts of the data grids for display.
#pragma once

#include <QString>

#include <string>

// The 8-bit Windows-1252 bytes of a grid cell as Unicode.
QString FromAnsi(const std::string &bytes);
