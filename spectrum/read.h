// Reading a spectrum from a file or from bytes in memory, whatever its
// format: the format is told by the content, not by the file's name.
#pragma once

#include "result.h"
#include "spectrum.h"

#include <string>
#include <string_view>

namespace spectrum {

// The format of a file's bytes, from its content alone:
//   - XML (after blanks and a byte-order mark, '<') is spx;
//   - a '#FORMAT' or '#SPECTRUM' keyword line before the data is EMSA;
//   - a '$' section line (.spe) is counts;
//   - otherwise the first line of numbers decides: two numbers are text
//     (energy, counts); one, or three and more (rows of counts), are counts.
// Refused with a reason: an empty file, binary data (NUL bytes, control
// characters), UTF-16 or UTF-32 text, and text without any line of numbers.
Result<Format> detectFormat(std::string_view bytes);

// Reads a spectrum from its file's bytes with the reader of the format
// detectFormat tells.
Result<Spectrum> readBytes(std::string_view bytes);

// Reads a spectrum file. Refused before reading, with a reason: a file that
// does not exist or cannot be opened, a directory or anything else that is
// not a regular file, and a file larger than MaxFileBytes. The Error names
// neither the path nor the file: the caller does.
Result<Spectrum> readFile(const std::string &path);

} // namespace spectrum
