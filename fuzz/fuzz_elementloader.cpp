// The element loader on arbitrary bytes given as elements.inf.
#include "harness.h"

#include <cstddef>
#include <cstdint>

namespace {
bool load() { return db::LoadElementTable("en"); }
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::enterScratchDirectory();
    fuzzing::preload<db::ElementGrid>(db::ElementFileEnglish, load);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    fuzzing::loadAndCheck(db::ElementFileEnglish, db::ElementTable, load, input);
    return 0;
}
