// Shared by the loader fuzz targets: a private scratch working directory, the
// input written there as a data file, and the checks of checks.h after each
// load.
#pragma once

#include "checks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include <stdlib.h> // mkdtemp

namespace fuzzing {

inline void failIf(const std::string &failure)
{
    if (failure.empty())
        return;
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", failure.c_str());
    std::abort();
}

// The loaders open their files by bare name, so each fuzzing process works in
// a directory of its own under $TMPDIR (or /tmp), removed again at exit.
// Corpus, dictionary and artifact paths given to such a target must therefore
// be absolute.
inline void enterScratchDirectory()
{
    namespace fs = std::filesystem;
    static std::string directory;
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "zandor-fuzz-XXXXXX").string();
    if (error || !mkdtemp(pattern.data())) {
        std::perror("zandor fuzz: scratch directory");
        std::exit(1);
    }
    directory = pattern;
    fs::current_path(directory, error);
    if (error) {
        std::perror("zandor fuzz: scratch directory");
        std::exit(1);
    }
    std::atexit([] {
        std::error_code ignored;
        fs::current_path(fs::temp_directory_path(ignored), ignored);
        fs::remove_all(directory, ignored);
    });
}

// The previous file is removed first: rewriting a truncated file makes some
// file systems (ext4) flush it to disk at every close, at ~100 files a second.
inline void writeFile(const char *name, std::string_view bytes)
{
    std::remove(name);
    std::FILE *file = std::fopen(name, "wb");
    if (!file)
        failIf("cannot write the input file");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written)
        failIf("cannot write the input file");
}

// One fuzzing round for a loader: write the input as `fileName`, load, check.
template <class Grid, class Load>
void loadAndCheck(const char *fileName, Grid &live, Load load, std::string_view input)
{
    static const auto before = std::make_unique<Grid>(); // reused: a fresh copy each round is slow
    *before = live;
    writeFile(fileName, input);
    const bool loaded = load();
    failIf(checks::checkLoad(live, *before, loaded, input));
}

// Starts the run from a loaded grid, so that "a refused file changes nothing"
// is checked against real contents from the first input on.
template <class Grid, class Load>
void preload(const char *fileName, Load load)
{
    writeFile(fileName, checks::wellFormedFile<Grid>("initial "));
    if (!load())
        failIf("the initial well-formed file did not load");
}

} // namespace fuzzing
