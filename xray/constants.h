// Constants of nature that the X-ray tables do not give.
#pragma once

namespace xray {

// The electron's rest energy, m_e c^2, in eV: the Compton shift of
// scattered photons. CODATA 2018 (E. Tiesinga et al., Rev. Mod. Phys. 93
// (2021) 025010): 0.51099895000 MeV.
inline constexpr double ElectronRestEnergy_eV = 510998.95;

} // namespace xray
