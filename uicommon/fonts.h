// The window definitions name their fonts by the classic faces "MS Sans
// Serif" and "Small Fonts". Those names stay in the code; InstallFontFaces()
// maps them once to an installed face.
#pragma once

#include <QFont>

namespace fonts {

inline constexpr const char *MsSansSerif = "MS Sans Serif";
inline constexpr const char *SmallFonts = "Small Fonts";

// The installed face that stands in for both classic faces.
inline constexpr const char *InstalledFace = "Liberation Sans";

// Maps the classic faces to the installed one. Safe to call more than once.
void InstallFontFaces();

// A font of one of the classic faces, size in points (8.25, 9.75, ...).
QFont Font(const char *face, double points, bool bold = false);

// The window's default font, for every control that names no font.
QFont DefaultFont();

} // namespace fonts
