// Checks a reference data directory before a run, with the checks that the
// reference build applies to its sources, so that a file the library would
// refuse, misread or cut is named before any case is checked.
#pragma once

#include <string>

namespace qv::cli {

// One line naming the first problem: the file, the line and what is wrong
// or which limit is reached. Empty when the directory is fit to use. dir
// ends in '/'.
std::string CheckReferenceDirectory(const std::string& dir);

}  // namespace qv::cli
