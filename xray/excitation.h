// How strongly an electron beam excites each line of an element, per unit
// mass fraction, in a thick target and without absorption in it: the model
// that weighs an element's families and subshells against each other, for
// identification (with generous tolerances) and for synthetic spectra.
#pragma once

#include "types.h"

namespace xray {

// U ln U - U + 1 for an overvoltage U = E0/Ec above 1, else 0: the number of
// ionisations of one shell along the path of an electron of energy E0 in a
// thick target, per unit of the shell's cross-section scale, from Bethe's
// cross section Q ~ ln(U)/(U Ec^2) integrated over a slowing down with
// dE/ds ~ 1/E: Q ds ~ ln(E/Ec)/(E Ec) E dE = ln(E/Ec) dE / Ec, and the
// integral of ln(E/Ec) dE from Ec to E0 is Ec (U ln U - U + 1), so the
// edge energy cancels: a shell of a lower edge is ionised more only
// through U.
double overvoltageFactor(double U);

// Electrons a full subshell holds, 2j + 1: K 2, L1 2, L2 2, L3 4, M1 2,
// M2 2, M3 4, M4 4, M5 6.
int shellOccupancy(Shell shell);

// The shell whose vacancies give a family's strongest line: K, L3, M5.
Shell mainShell(Family family);

// The family's deepest edge, eV: K, L1, M1. The table's relative
// intensities are for photons of twice its energy.
double deepestEdge_eV(int Z, Family family);

// The photons of `line` generated per unit mass fraction of its element by
// electrons of beam_eV, in arbitrary units shared by all lines:
//   n_m w_m F(U_m) / A x r x c,
// with m the family's main shell (K, L3, M5), n_m its occupancy, w_m its
// fluorescence yield, F the overvoltage factor, A the atomic weight, r the
// line's relative intensity within its family, and c a correction for lines
// from another subshell s of the family: the ratio F(U_s) : F(U_m) at this
// beam, divided by the same ratio at the overvoltages the relative
// intensities were computed for (twice the family's deepest edge), so that
// a subshell the beam barely excites gives fewer photons than the table's
// ratios say. 0 for a line not excited. (An earlier version divided F by
// the edge energy too, which made L lines ten times and M lines a hundred
// times too strong against K lines: 6 times Fe K-alpha for Fe L-alpha at
// 15 kV where measured spectra show about half.)
double electronLineYield(const Line &line, double beam_eV);

} // namespace xray
