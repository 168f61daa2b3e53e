// The commands: "quorvant check" (checks case files and reports every
// finding) and "quorvant ref-info" (describes the reference data).
#pragma once

#include <string>
#include <vector>

#include "CheckOptions.h"

namespace qv::cli {

// The arguments after "check"; printVersion answers --version. Returns the
// exit status (0, 1 or 2).
int CheckMain(const std::vector<std::string>& args, void (*printVersion)());

// Runs the check and returns the exit status (0, 1 or 2).
int RunCheck(const CheckOptions& options);

// The arguments after "ref-info".
int RefInfoMain(const std::vector<std::string>& args);

}  // namespace qv::cli
