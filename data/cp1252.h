// Decoding of the data files' 8-bit Windows-1252 text to Unicode.
#pragma once

#include <string>
#include <string_view>

namespace db {

// The Unicode code point of one Windows-1252 byte. Every byte value maps:
// 0x00-0x7F and 0xA0-0xFF to the same code point, 0x80-0x9F to the
// typographic characters of the code page (the five unassigned bytes 0x81,
// 0x8D, 0x8F, 0x90 and 0x9D to the C1 control of the same value, as Windows
// itself decodes them).
char16_t Windows1252ToUnicode(unsigned char byte);

// The UTF-16 text of a Windows-1252 byte string, one code unit per byte.
std::u16string DecodeWindows1252(std::string_view bytes);

} // namespace db
