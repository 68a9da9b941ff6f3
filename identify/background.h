// The continuum under the peaks, by SNIP (statistics-sensitive non-linear
// iterative peak clipping: C. G. Ryan et al., Nucl. Instrum. Meth. B 34
// (1988) 396; in the decreasing-window form of M. Morháč et al., Nucl.
// Instrum. Meth. A 401 (1997) 113): each bin is repeatedly replaced by the
// mean of its neighbours p bins away when that is lower, for p from the
// widest window down to 1, on counts compressed as log(log(sqrt(c+1)+1)+1)
// so that strong and weak peaks are clipped alike.
#pragma once

#include "workgrid.h"

#include "xray/detector.h"

#include <vector>

namespace identify {

// The window at each bin reaches 1.5 FWHM of the detector to either side:
// wide enough to clip a peak, and a group of lines closer than that.
std::vector<double> snipBackground(const WorkGrid &grid, const xray::Detector &detector);

} // namespace identify
