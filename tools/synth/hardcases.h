// The hard cases of automatic identification, as synthetic spectra: the
// overlaps and artefacts that have misled identification software (Newbury,
// Microsc. Microanal. 11 (2005) 545 and later studies), traces beside major
// elements, and low-voltage spectra with only L and M lines. Shared by the
// accuracy benchmark, the tests and zandor-synth.
#pragma once

#include "synth.h"

#include <string>
#include <vector>

namespace synth {

struct HardCase {
    std::string name;     // a short key: "pbs-20kv"
    std::string question; // what it tests, for people
    Recipe recipe;
};

// Every case, each with its own fixed seed.
std::vector<HardCase> hardCases();

// The case of that name; null when there is none.
const HardCase *findHardCase(const std::vector<HardCase> &cases, const std::string &name);

} // namespace synth
