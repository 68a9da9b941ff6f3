// Progress and cancellation of the long steps (opening a large file,
// reading or summing a cube): the step calls the Progress now and then with
// how far it has come, and stops when it returns false.
#pragma once

#include "header.h"

#include <cstdint>
#include <functional>

namespace image {

// done out of total, in the step's own units (pixels, or bytes of a file).
// Returns false to cancel. Called from the thread that runs the step, or,
// in steps that use several threads, from any of them but never from two at
// once. An empty Progress is never called.
using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// The Error of a cancelled step.
Error cancelledError();
bool isCancelled(const Error &error);

} // namespace image
