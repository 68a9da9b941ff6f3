// Shared by the spectrum fuzz targets: run the checks and stop on a failure.
#pragma once

#include "spectrumchecks.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace spectrumfuzz {

inline void failIf(const std::string &failure)
{
    if (failure.empty())
        return;
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", failure.c_str());
    std::abort();
}

// The checks of a read, and of writing an accepted spectrum as EMSA.
inline void check(const spectrum::Result<spectrum::Spectrum> &result, std::string_view input, spectrum::Format format)
{
    failIf(spectrumchecks::checkRead(result, input, format));
    if (result)
        failIf(spectrumchecks::checkEmsaRoundTrip(result.value()));
}

} // namespace spectrumfuzz
