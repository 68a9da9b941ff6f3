#include "finalfit.h"
#include "search.h"

namespace identify {

FinalFit Search::finalFit() const
{
    FinalFit f;
    f.grid = ws_.grid();
    f.detector = ws_.detector();
    f.response = ws_.response();
    f.beam_eV = ws_.beam();
    f.electrons = ws_.electrons();
    for (std::size_t i = 0; i < current_.ids.size(); ++i) {
        f.columns.push_back(ws_.model().column(current_.ids[i]));
        f.amplitudes.push_back(current_.amplitudes[i]);
    }
    f.ties = current_.ties;
    return f;
}

} // namespace identify
