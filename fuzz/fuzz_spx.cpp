// The Bruker spx reader on arbitrary bytes: the read's promises, and that an
// accepted spectrum written as EMSA reads back the same.
#include "spectrumfuzz.h"

#include "spectrum/spx.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    spectrumfuzz::check(spectrum::readSpx(input), input, spectrum::Format::Spx);
    return 0;
}
