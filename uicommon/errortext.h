// Why a file could not be read or written, in the window's language: the
// reasons of the spectrum and image readers, the writers and the
// calibration fit, worded from their kind and values. The command line
// prints the cores' English sentences; the windows show these.
#pragma once

#include "spectrum/error.h"

#include <QString>

namespace errortext {

// The reason: "o arquivo está vazio". An error that names no kind keeps
// its English sentence; so do the texts that libraries give inside one
// (zlib's), and the C library's for a system error it has no wording for.
QString reason(const spectrum::Error &error);
// The reason with its line, where one applies: "... (linha 12)".
QString message(const spectrum::Error &error);

// The wording of a kind, with places %1... for its values (and, for a kind
// that wraps another error, one more for that one's reason). In English
// it is the core's own (spectrum::errorWording).
QString wording(spectrum::ErrorKind kind);

} // namespace errortext
