// Lispix ripple files: a text header (.rpl) of "key<TAB>value" lines that
// describes a raw file (.raw) of numbers, all of one type.
//
// Keys read (case does not matter; other keys are ignored):
//   width, height, depth   pixels a row, rows, channels (depth)
//   offset                 bytes before the numbers in the .raw (0 if absent)
//   data-type              signed, unsigned or float
//   data-length            1, 2, 4 or 8 bytes (4 or 8 for float)
//   byte-order             little-endian, big-endian, or dont-care (one byte)
//   record-by              vector (each pixel's channels together), image
//                          (each channel's image together), or dont-care
//                          (depth 1)
//   ev-per-chan            the gain in eV per channel
//   depth-scale, depth-origin, depth-units
//                          the gain and the first channel's energy, in
//                          depth-units (eV unless keV is given); depth-scale
//                          goes before ev-per-chan
//   beam-energy            kV
//   live-time              each pixel's live time, s
//   detector-peak-width-ev, energy-resolution
//                          FWHM at Mn Kα, eV
//   width-scale, height-scale, width-units, height-units
//                          the pixel size
//   title, date, time, signal
// ';' starts a comment. The first line usually names the columns ("key
// value") and is ignored like any other unknown key. The older form of
// Lisp lists, "((WIDTH 200) (HEIGHT 150) (DATA-TYPE :UNSIGNED) ...)", and
// the "(MLX::width 200)" lines some vendors write are read too.
#pragma once

#include "bytesource.h"
#include "pixelsource.h"

#include <memory>
#include <string>
#include <string_view>

namespace image {

enum class RecordOrder { Vector, Image, DontCare };

struct RippleHeader {
    Header header; // format, size, type, calibration, metadata, warnings
    std::uint64_t offset = 0;
    bool bigEndian = false;
    RecordOrder order = RecordOrder::Vector;
};

// Reads a .rpl header. Refused, naming the key: a required key missing
// (width, height, depth, data-type, data-length, and record-by and
// byte-order where they matter), a value that is not one of its kind, a
// float of 1 or 2 bytes, record-by dont-care with a depth above 1, sizes
// beyond the limits of header.h.
Result<RippleHeader> parseRipple(std::string_view text);

// Whether these first bytes of a file look like a .rpl header: text whose
// keys include width, height and depth.
bool looksLikeRipple(std::string_view head);

// The spectrum image of a .rpl header and its .raw bytes. Refused as
// parseRipple, and when the .raw holds fewer bytes than the header
// describes (more are ignored, with a warning).
Result<std::shared_ptr<const PixelSource>> openRipple(std::string_view rplText, std::shared_ptr<const ByteSource> raw);

} // namespace image
