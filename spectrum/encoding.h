// Text encodings met in spectrum files: UTF-8, and the Windows-1252 of
// vendor software (Bruker declares it; EMSA files from Windows carry it
// undeclared). The model keeps every text in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace spectrum::encoding {

bool isValidUtf8(std::string_view bytes);

// Every byte decoded as Windows-1252 (the five unassigned bytes as the C1
// control of the same value), encoded as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);

// The text as UTF-8: unchanged when it already is valid UTF-8, otherwise
// read as Windows-1252.
std::string toUtf8(std::string_view bytes);

} // namespace spectrum::encoding
