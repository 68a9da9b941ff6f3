// The only constant of nature the synthetic spectra need that the X-ray
// tables do not give: the one identification shares.
#pragma once

#include "xray/constants.h"

namespace synth {

using xray::ElectronRestEnergy_eV;

} // namespace synth
