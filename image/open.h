// Opening a file that holds a single spectrum or a spectrum image, the
// kind told by the content: the one entry point of the command line and the
// window.
#pragma once

#include "pixelsource.h"

#include "spectrum/spectrum.h"

#include <memory>
#include <optional>
#include <string>

namespace image {

// What a file held: a spectrum, or a spectrum image to read through its
// source. Exactly one of the two is set.
struct Opened {
    std::optional<spectrum::Spectrum> spectrum;
    std::shared_ptr<const PixelSource> image;

    bool isImage() const { return image != nullptr; }
};

// Opens a spectrum image: a .bcf (told by its signature), a ripple header
// (told by its keys) with its raw file beside it (the same name ending in
// .raw or .RAW), or a raw file with its .rpl (or .RPL) beside it. Refused,
// with a reason that does not name the file: not a spectrum image, a .raw
// without its header or a header without its .raw, and the readers'
// refusals. `progress` follows the first walk through a bcf's data.
Result<std::shared_ptr<const PixelSource>> openImageFile(const std::string &path, const Progress &progress = {});

// Opens whatever the file holds: a spectrum image as openImageFile, any
// other file as spectrum::readFile reads it.
Result<Opened> openFile(const std::string &path, const Progress &progress = {});

} // namespace image
