// Where each element's cell stands in the periodic table of the main window.
#pragma once

#include <QPoint>

namespace periodictable {

constexpr int CellWidth = 495;   // twips
constexpr int CellHeight = 435;
constexpr int ColumnPitch = 510; // cell plus a 15-twip gap
constexpr int RowPitch = 450;

// Column 1..18 of element Z (1..109) in the table.
constexpr int Column(int Z)
{
    if (Z == 1) return 1;
    if (Z == 2) return 18;
    if (Z <= 4) return Z - 2;        // 3, 4
    if (Z <= 10) return Z + 8;       // 5..10 in 13..18
    if (Z <= 12) return Z - 10;      // 11, 12
    if (Z <= 18) return Z;           // 13..18
    if (Z <= 36) return Z - 18;
    if (Z <= 54) return Z - 36;
    if (Z <= 57) return Z - 54;      // 55, 56, 57
    if (Z <= 71) return Z - 53;      // lanthanides in 5..18
    if (Z <= 86) return Z - 68;      // 72..86 in 4..18
    if (Z <= 89) return Z - 86;      // 87, 88, 89
    if (Z <= 103) return Z - 85;     // actinides in 5..18
    return Z - 100;                  // 104..109 in 4..9
}

// Top of the row of element Z, in twips, inside Frame1. Periods 1 to 7 are
// 450 apart from 390; the lanthanide row is 600 below period 7, the actinide
// row 450 below that.
constexpr int Top(int Z)
{
    if (Z >= 58 && Z <= 71) return 3690;
    if (Z >= 90 && Z <= 103) return 4140;
    const int period = Z <= 2 ? 1 : Z <= 10 ? 2 : Z <= 18 ? 3 : Z <= 36 ? 4 : Z <= 54 ? 5 : Z <= 86 ? 6 : 7;
    return 390 + RowPitch * (period - 1);
}

// Left and top of cell Z in twips, inside Frame1.
constexpr QPoint CellTwips(int Z) { return QPoint(90 + ColumnPitch * (Column(Z) - 1), Top(Z)); }

// The 24 cells drawn light blue; all others are light grey.
constexpr bool IsBlueCell(int Z)
{
    return Z == 1 || Z == 2 || (Z >= 5 && Z <= 10) || (Z >= 14 && Z <= 18) || (Z >= 32 && Z <= 36)
        || (Z >= 51 && Z <= 54) || Z == 85 || Z == 86;
}

constexpr unsigned BlueCellBgr = 0x00FF8080;
constexpr unsigned GreyCellBgr = 0x00E0E0E0;

} // namespace periodictable
