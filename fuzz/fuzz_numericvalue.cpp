// NumericValue on arbitrary bytes: the result is always finite, and it agrees
// with a second reading of the same text built on the C library's strtod
// (checks.h). The process stays in the "C" locale that strtod needs here.
#include "checks.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::string failure = checks::checkNumericValue(text);
    if (!failure.empty()) {
        std::fprintf(stderr, "\n*** fuzz check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
