#include "progress.h"

namespace image {

Error cancelledError() { return Error::make(ErrorKind::Cancelled); }

bool isCancelled(const Error &error) { return error.kind == ErrorKind::Cancelled; }

} // namespace image
