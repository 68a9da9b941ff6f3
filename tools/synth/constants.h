// The constants the synthetic spectra need that the X-ray tables do not
// give, each with its source.
#pragma once

namespace synth {

// The electron's rest energy, m_e c^2, in eV, for the Compton shift of
// scattered tube lines. CODATA 2018 (E. Tiesinga et al., Rev. Mod. Phys. 93
// (2021) 025010): 0.51099895000 MeV.
inline constexpr double ElectronRestEnergy_eV = 510998.95;

} // namespace synth

// Absorption in a bulk sample under an electron beam: Philibert's
// simplified absorption correction (J. Philibert, in X-Ray Optics and X-Ray
// Microanalysis, Academic Press 1963, p. 379) with Duncumb and Shields'
// h and Heinrich's Lenard coefficient (K. F. J. Heinrich, in The Electron
// Microprobe, Wiley 1966, and Electron Beam X-Ray Microanalysis, Van
// Nostrand Reinhold 1981; as in J. I. Goldstein et al., Scanning Electron
// Microscopy and X-Ray Microanalysis, 2nd ed., Plenum 1992, ch. 7):
//   sigma = LenardNumerator / (E0^LenardExponent - Ec^LenardExponent), E in keV, cm2/g;
//   h = PhilibertH * A / Z^2.
inline constexpr double LenardNumerator = 4.5e5;
inline constexpr double LenardExponent = 1.65;
inline constexpr double PhilibertH = 1.2;
