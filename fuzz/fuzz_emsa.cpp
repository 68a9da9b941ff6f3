// The EMSA/MSA reader on arbitrary bytes: the read's promises, and that an
// accepted file written as EMSA again reads back the same.
#include "spectrumfuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    spectrumfuzz::check(spectrum::readEmsa(input), input, spectrum::Format::Emsa);
    return 0;
}
