// Where the program and its bundled reference data are.
#pragma once

#include <string>
#include <vector>

namespace qv::cli {

// Absolute path of the running program, empty when unknown.
std::string ProgramPath();

// The bundled reference data directory, ending in '/': next to the program in
// the build tree ("ref/") or in an installed tree ("../share/quorvant/ref/").
std::string DefaultRefDir();

// The directory with a separator at its end: '/', or '\' for a directory
// written with '\' only.
std::string WithTrailingSlash(std::string dir);

// The required files missing from a directory.
std::vector<std::string> MissingFiles(const std::string& dir, const std::vector<std::string>& files);

}  // namespace qv::cli
