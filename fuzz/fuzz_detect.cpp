// Format detection and readBytes on arbitrary bytes: a detected format is
// the format of what readBytes accepts, and a refused detection refuses the
// read with the same reason.
#include "spectrumfuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const auto format = spectrum::detectFormat(input);
    const auto read = spectrum::readBytes(input);
    if (!format) {
        spectrumfuzz::failIf(format.error().reason.empty() ? "a refused detection without a reason" : "");
        spectrumfuzz::failIf(read ? "readBytes accepted what detectFormat refused" : "");
        spectrumfuzz::failIf(read.error().reason != format.error().reason ? "readBytes gave another reason" : "");
        return 0;
    }
    spectrumfuzz::failIf(spectrumchecks::checkRead(read, input, format.value()));
    return 0;
}
