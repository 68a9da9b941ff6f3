// The energy of the silicon escape peak.
#pragma once

// The mean energy of silicon's K lines, weighted by their intensities, in eV:
// ratio is the K-beta to K-alpha intensity ratio, ka1, ka2 and kb the line
// energies. A negative or non-finite ratio has no meaning and is taken as 0
// (K-alpha lines only): -1 would divide by zero.
double ComputeSiEscapeEnergy(double ratio, double ka1, double ka2, double kb);
