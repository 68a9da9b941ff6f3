// The ripple reader on arbitrary bytes: the input is a .rpl header and its
// .raw data, the first two bytes giving the header's length (little-endian).
// A refusal has a reason; an accepted image keeps the header's promises and
// reads whole; whatever parses as a header is told as one.
#include "imagechecks.h"

#include "image/bytesource.h"
#include "image/ripple.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t length = std::min<std::size_t>(size - 2, std::size_t(data[0]) | std::size_t(data[1]) << 8);
    const std::string_view rpl(reinterpret_cast<const char *>(data) + 2, length);
    const std::string_view raw(reinterpret_cast<const char *>(data) + 2 + length, size - 2 - length);
    const auto parsed = image::parseRipple(rpl);
    if (parsed)
        imagechecks::failIf(!image::looksLikeRipple(rpl) ? "a header that parses is not told as one" : "");
    const auto opened = image::openRipple(rpl, image::viewedBytes(raw));
    if (!opened) {
        imagechecks::failIf(opened.error().reason.empty() ? "a refusal without a reason" : "");
        return 0;
    }
    imagechecks::failIf(opened.value()->header().format != image::Format::Ripple ? "a ripple file that names another format" : "");
    imagechecks::failIf(imagechecks::checkHeader(opened.value()->header()));
    imagechecks::failIf(imagechecks::checkReads(*opened.value()));
    return 0;
}
