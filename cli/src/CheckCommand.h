// "quorvant check": checks case files and reports every finding.
#pragma once

#include "CheckOptions.h"

namespace qv::cli {

// Runs the check and returns the exit status (0, 1 or 2).
int RunCheck(const CheckOptions& options);

}  // namespace qv::cli
