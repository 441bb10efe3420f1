// fvstream's work: decode a captured stream file, report its frames, write its pictures.
#pragma once

#include <ostream>

#include "options.h"

namespace fvstream {

// Returns the exit code: 0 when the whole stream decoded and every picture was written, 1
// otherwise (each problem reported on err with the stream offset).
int runReport(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace fvstream
