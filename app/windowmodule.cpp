#include "windowmodule.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char *ModuleFile = "zandor-window.so";

// Where the module may be: the installed library directory relative to the
// executable (so an installed tree can move), beside the executable (a build
// tree), then the installed library directory of the configured prefix.
std::vector<fs::path> candidates()
{
    std::vector<fs::path> paths;
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path dir = exe.parent_path();
        paths.push_back(dir / ZANDOR_WINDOW_MODULE_DIR_FROM_BIN / ModuleFile);
        paths.push_back(dir / ModuleFile);
    }
    paths.push_back(fs::path(ZANDOR_WINDOW_MODULE_DIR) / ModuleFile);
    return paths;
}

} // namespace

int runWindowModule(int argc, char *argv[])
{
    std::string lastError = "not found";
    for (const fs::path &path : candidates()) {
        std::error_code error;
        if (!fs::is_regular_file(path, error))
            continue;
        void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char *why = dlerror();
            lastError = why ? why : path.string();
            continue;
        }
        using Entry = int (*)(int, char **);
        auto entry = reinterpret_cast<Entry>(dlsym(module, WindowEntryPoint));
        if (!entry) {
            lastError = path.string() + " has no window entry point";
            continue;
        }
        return entry(argc, argv);
    }
    std::fprintf(stderr, "zandor: cannot open the window: the window module %s (%s); "
                         "the sub-commands still work, see 'zandor --help'\n",
                 ModuleFile, lastError.c_str());
    return 1;
}
