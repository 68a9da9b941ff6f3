// Numbers written into spectrum files: the shortest text that reads back as
// the same double, always with '.', whatever the process locale.
#pragma once

#include <string>

namespace spectrum {

std::string numberText(double value);
void appendNumber(std::string &out, double value);

} // namespace spectrum
