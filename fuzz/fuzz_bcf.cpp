// The .bcf reader on arbitrary bytes: a refusal has a reason; an accepted
// map keeps the header's promises and reads whole.
#include "imagechecks.h"

#include "image/bcf.h"
#include "image/bytesource.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const auto opened = image::openBcf(image::viewedBytes(input));
    if (!opened) {
        imagechecks::failIf(opened.error().reason.empty() ? "a refusal without a reason" : "");
        return 0;
    }
    imagechecks::failIf(opened.value()->header().format != image::Format::Bcf ? "a bcf that names another format" : "");
    imagechecks::failIf(imagechecks::checkHeader(opened.value()->header()));
    imagechecks::failIf(imagechecks::checkReads(*opened.value()));
    return 0;
}
