#include "progress.h"

namespace image {

Error cancelledError() { return Error{"cancelled"}; }

bool isCancelled(const Error &error) { return error.reason == "cancelled" && error.line == 0; }

} // namespace image
