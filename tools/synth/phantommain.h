// zandor-synth --phantom ...: see phantommain.cpp.
#pragma once

#include <string>
#include <vector>

namespace synth {

int phantomMain(const std::vector<std::string> &args);

} // namespace synth
