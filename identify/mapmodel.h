// Element maps: the model every pixel of a spectrum image is fitted with.
//
// The image's sum spectrum is identified (or fitted with the elements the
// user names), and its final fit gives a fixed design: for each element one
// column, its lines in the ratios that fit gave them, drawn with the
// detector's response measured on the sum's own peaks and filtered by the
// same top-hat filter as identification (so that the continuum drops out);
// beside them the peaks every fit carries (the noise peak, sum peaks, the
// continuum's steps at the detector window's edges, under X-rays the tube's
// scattered lines), and the detector's internal fluorescence, whose size
// follows each pixel's own counts. Each element's map is its amplitude in a
// pixel: its net counts there.
//
// The model is plain data (numbers, vectors of numbers and their labels),
// built once and shipped to wherever the pixels are fitted (mapfit.h): a
// thread, another process, another machine (mapModelBytes).
#pragma once

#include "identify.h"

#include "spectrum/result.h"
#include "spectrum/spectrum.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace identify {

// One column of the design, over the bins of the model's grid.
struct MapColumn {
    enum class Kind : std::uint8_t {
        Element, // an element's lines; its amplitude is at least 0, in net counts
        Peak,    // a peak of the detector or the excitation (noise peak, sum peaks, scattered lines): at least 0
        Signed,  // a step of the continuum at an absorption edge: either sign
    };
    Kind kind = Kind::Element;
    // The element; for the others, the element whose edge or lines they
    // are (0 for the noise and sum peaks).
    int Z = 0;
    std::string label; // "Fe"; "noise peak", "sum peaks", "step at C K", "Rh L scattered"...
    // An element's lines that explain peaks of the sum spectrum ("Ka1").
    std::vector<std::string> lines;
    // Filtered, over bins first .. first + values.size() - 1; an element's
    // per net count (its lines, escape peaks not counted).
    std::size_t first = 0;
    std::vector<double> values;
    // The same before the filter (the column as counts over the bins):
    // for drawing the fitted model over a pixel's spectrum.
    std::size_t rawFirst = 0;
    std::vector<double> raw;
};

// A peak whose size follows the counts a pixel has in a range of channels:
// the detector's internal fluorescence, made by the photons it counts above
// its own material's K edge. Not fitted, but taken away from each pixel as
// the sum spectrum's fit measured it: it has the shape of the element's own
// lines, which a free column could not be told from.
struct MapTied {
    std::string label;                            // "Si internal fluorescence"
    std::size_t fromChannel = 0, toChannel = 0;   // [from, to) of the cube's channels
    std::size_t first = 0;
    std::vector<double> values; // filtered, per count of the pixel in the range
    std::size_t rawFirst = 0;
    std::vector<double> raw;
};

struct MapModel {
    // The cube's channels, and the calibration the model was made for.
    std::size_t channels = 0;
    double offset_eV = 0, gain_eV = 1;
    // The work grid: channel c is in bin (c - firstChannel) / channelsPerBin
    // when that is below `bins`; other channels are not looked at.
    std::size_t firstChannel = 0, channelsPerBin = 1, bins = 0;
    // The top-hat filter at each bin (tophat.h): the central window's
    // half-width and each side window's width, in bins.
    std::vector<std::int32_t> half, side;
    // The weight of each filtered bin: those of the sum spectrum (one over
    // its filtered counts' variance, with the filter's correlation), the
    // same for every pixel. 0 where the filter does not fit.
    std::vector<double> weights;
    // The elements first, in the order of their maps; then the others.
    std::vector<MapColumn> columns;
    std::vector<MapTied> tied;

    std::size_t elementCount() const;
    // The energy of a bin's centre.
    double binEnergy(std::size_t bin) const
    {
        return offset_eV + gain_eV * (double(firstChannel) + double(bin * channelsPerBin) + (double(channelsPerBin) - 1) / 2);
    }
};

struct MapOptions {
    // How the sum spectrum is identified: the detector, its resolution, the
    // beam... (identify.h).
    IdentifyOptions identify;
    // The elements to map, in this order; none: those identification finds,
    // most significant first.
    std::vector<int> elements;
};

struct MapDesign {
    Identification identification; // of the sum spectrum (with the elements given: of them alone)
    MapModel model;
    std::vector<std::string> warnings; // one sentence each, no full stop
};

// The model of a calibrated sum spectrum. Refused when the spectrum is not
// calibrated; a sum without counts gives a model that maps nothing
// (every map 0), with a warning.
spectrum::Result<MapDesign> buildMapModel(const spectrum::Spectrum &sum, const MapOptions &options = {});

// The most columns a model may have (an element's one each, and the rest).
inline constexpr std::size_t MaxMapColumns = 256;

// A model that does not hold together (a size that disagrees with another,
// a bin or channel out of range, a number that is not finite), or nothing.
// Every model from outside (mapModelFromBytes) is checked before use.
std::optional<spectrum::Error> checkMapModel(const MapModel &model);

// The model as bytes and back, to ship it to other processes: the same
// model on any machine of either byte order. Refused: bytes that are not a
// model, or a model that does not pass checkMapModel.
std::string mapModelBytes(const MapModel &model);
spectrum::Result<MapModel> mapModelFromBytes(std::string_view bytes);

} // namespace identify
