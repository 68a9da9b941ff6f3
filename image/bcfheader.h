// The XML header of a .bcf (EDSDatabase/HeaderData), as far as the cube
// needs it. Not part of the core's interface.
#pragma once

#include "header.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace image::bcf {

struct XmlHeader {
    // format, channels, calibration, metadata and warnings; the size and
    // count type come from the pixel data.
    Header header;
    // The map's size as the header's image gives it; 0 where it has none.
    std::size_t imageWidth = 0;
    std::size_t imageHeight = 0;
    // The whole map's real time is lineScans × lineTime_s, where the header
    // gives them.
    std::optional<double> lineScans;
    std::optional<double> lineTimePerPixel_s;
    int version = 0;
};

// Reads the header, taking the sum spectrum of `dataset` ("SpectrumData0").
// Refused when the XML is not well formed or has no such spectrum.
Result<XmlHeader> parseHeaderXml(std::string_view xml, std::string_view dataset);

} // namespace image::bcf
