// The text readers on arbitrary bytes, both of them on each input: energy
// and counts, and counts alone (with the .spe layout).
#include "spectrumfuzz.h"

#include "spectrum/text.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    spectrumfuzz::check(spectrum::readText(input), input, spectrum::Format::Text);
    spectrumfuzz::check(spectrum::readCounts(input), input, spectrum::Format::Counts);
    return 0;
}
