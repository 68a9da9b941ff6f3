// Elements by atomic number: symbols and English names (BODR, compiled in),
// and reading an element from what a user types.
#pragma once

#include <optional>
#include <string_view>

namespace xray {

// Elements known by symbol and name: H (1) .. Mt (109), as in the program's
// element table.
inline constexpr int LastElementZ = 109;

// Elements with lines in the table: B (5) .. Cf (98). Edges are listed for
// H (1) .. Cf (98).
inline constexpr int FirstLineZ = 5;
inline constexpr int LastLineZ = 98;

// "Fe", "iron"; empty outside 1..LastElementZ.
std::string_view elementSymbol(int Z);
std::string_view elementName(int Z);

// An element from a symbol in any letter case ("fe", "FE") or an atomic
// number ("26"), blanks around it ignored; nothing for anything else.
std::optional<int> parseElement(std::string_view text);

// True when the table holds lines of element Z.
constexpr bool hasLines(int Z) { return Z >= FirstLineZ && Z <= LastLineZ; }

} // namespace xray
