// What synthetic spectra need beyond the line table: the attenuation of
// detector windows, dead layers and crystals, the photoionisation of the
// shells that give lines (for X-ray fluorescence), the attenuation of
// every element in a sample, and atomic weights. From xray/data/
// absorbers.tsv, photoionisation.tsv, sampleattenuation.tsv and
// atomicweights.tsv, compiled in; a program that never calls these does not
// link the tables.
#pragma once

#include "types.h"

#include <optional>
#include <span>

namespace xray {

// The elements with a mass attenuation here: H, Be, C, N, O, Al and Si
// from 0.1 keV, Ge, Cd and Te from 1 keV, all to 200 keV.
std::span<const int> absorberElements();

// Element Z's mass attenuation at E (eV), cm2/g, interpolated log-log;
// nothing for an element that is not an absorber. Outside the table's range
// the end segments are extrapolated.
std::optional<double> absorberAttenuation(int Z, double energy_eV);

// Element Z's mass attenuation at E (eV), cm2/g, for every element with
// lines (B to Cf) from 0.1 keV to 200 keV, every absorption edge xraylib
// has included (N, O and P shells too), interpolated log-log; nothing for
// other elements. Below 0.1 keV the first segment is extrapolated.
std::optional<double> sampleAttenuation(int Z, double energy_eV);

// The photoionisation cross section of element Z's shell at E (eV), cm2/g:
// 0 at or below the shell's edge, and for shells without lines or with an
// edge below 1 keV or from 100 keV (the table has none there). Between the
// edge and the table's first point (1 % above it), the first point's value.
double photoionisation(int Z, Shell shell, double energy_eV);

// True when the table has element Z's shell.
bool hasPhotoionisation(int Z, Shell shell);

// g/mol, for H (1) .. Cf (98); 0 otherwise.
double atomicWeight(int Z);

} // namespace xray
