// The X-ray line loader on arbitrary bytes given as kl_lines.inf.
#include "harness.h"

#include <cstddef>
#include <cstdint>

namespace {
bool load() { return db::LoadLineTable(); }
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::enterScratchDirectory();
    fuzzing::preload<db::LineGrid>(db::LineFile, load);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    fuzzing::loadAndCheck(db::LineFile, db::LineTable, load, input);
    return 0;
}
