// The model identification fitted last, as plain data: the work grid, the
// detector and response its columns were drawn with, the columns (filtered,
// as fitted) and their amplitudes. The element maps are made from it
// (mapmodel.h): each element's lines in the ratios the fit gave them.
#pragma once

#include "model.h"
#include "nnls.h"
#include "response.h"
#include "workgrid.h"

#include "xray/detector.h"

#include <optional>
#include <vector>

namespace identify {

struct FinalFit {
    WorkGrid grid;
    xray::Detector detector; // the resolution of the columns and of the filter
    Response response;
    std::optional<double> beam_eV;
    bool electrons = true;
    // Every column of the fit: the elements' (ModelColumn::sample()), the
    // sum peaks and the detector's and the excitation's own peaks; with the
    // amplitude the fit gave each.
    std::vector<ModelColumn> columns;
    std::vector<double> amplitudes;
    // The ties the fit kept, between positions in `columns` (nnls.h).
    std::vector<Tie> ties;

    bool empty() const { return grid.size() == 0; }
};

} // namespace identify
