#include "fontwarmup.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace {

// What Qt's font database does first: load the configuration and list the
// installed fonts, which touches the font caches.
void readFontConfiguration()
{
    if (!FcInit())
        return;
    FcPattern *pattern = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, nullptr);
    if (pattern && objects) {
        if (FcFontSet *fonts = FcFontList(nullptr, pattern, objects))
            FcFontSetDestroy(fonts);
    }
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
}

} // namespace

FontWarmup::FontWarmup()
{
    // Without a thread (a process at its limit), Qt reads the configuration
    // itself when it first needs it, as it would anyway.
    try {
        thread_ = std::thread(readFontConfiguration);
    } catch (const std::system_error &) {
    }
}

void FontWarmup::wait()
{
    if (thread_.joinable())
        thread_.join();
}
