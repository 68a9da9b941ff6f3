// The map model read from bytes (identify/mapmodel.h), as a process given a
// model to fit its share of a map would read it: a refusal has a reason; a
// model accepted is one the fit prepares or refuses with a reason, and its
// fit of a pixel gives each element a number of counts of 0 or more, and
// writes the same bytes back.
#include "imagechecks.h"

#include "identify/mapfit.h"
#include "identify/mapmodel.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto model = identify::mapModelFromBytes(bytes);
    if (!model) {
        imagechecks::failIf(model.error().reason.empty() ? "a refusal without a reason" : "");
        return 0;
    }
    imagechecks::failIf(identify::mapModelBytes(model.value()) != bytes ? "a model that does not write back as read" : "");
    const auto fit = identify::MapFit::prepare(model.value());
    if (!fit) {
        imagechecks::failIf(fit.error().reason.empty() ? "a refusal without a reason" : "");
        return 0;
    }
    if (fit->channels() > 65536)
        return 0;
    // Two pixels: a few counts in every channel, and none.
    std::vector<std::uint16_t> counts(2 * fit->channels(), 0);
    for (std::size_t c = 0; c < fit->channels(); ++c)
        counts[c] = std::uint16_t(c % 7);
    std::vector<float> maps(2 * fit->elements());
    fit->fitPixels(counts.data(), 2, maps.data(), 2);
    for (const float v : maps)
        imagechecks::failIf(!(v >= 0) && !std::isnan(v) ? "an element with fewer than 0 counts" : "");
    for (std::size_t e = 0; e < fit->elements(); ++e)
        imagechecks::failIf(maps[e * 2 + 1] != 0 ? "counts in a map of a pixel without counts" : "");
    return 0;
}
