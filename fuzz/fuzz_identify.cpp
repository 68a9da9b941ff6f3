// Automatic identification on random spectra (layout: identifyinput.h):
// every calibrated spectrum the readers could accept is identified without a
// crash, a hang or undefined behaviour, and the result keeps its promises.
#include "identifyinput.h"

#include <cstdio>
#include <cstdlib>

// Allocation stacks of five frames in AddressSanitizer's reports instead of
// thirty: recording them took a sixth of each run, identification
// allocating much. Replaying a finding's input gives the whole stack.
extern "C" const char *__asan_default_options()
{
    return "malloc_context_size=5";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<identifyinput::Input> in = identifyinput::decode(data, size);
    if (!in)
        return 0;
    const std::string failure = identifyinput::check(*in);
    if (!failure.empty()) {
        std::fprintf(stderr, "\n*** fuzz check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
