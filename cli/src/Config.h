// Config files of "quorvant check": INI text whose keys are the long option
// names without "--":
//
//   # comment (also ';')
//   [check]            optional section header
//   format = json
//   jobs = 2
//   no-progress = true
//
// Each entry becomes one "--key=value" argument, so a config file takes
// exactly what the command line takes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qv::cli {

// Checks one argument on its own; returns an empty text, else the reason.
using ArgumentCheck = std::function<std::string(const std::string& argument)>;

// Appends the entries of a config text to args. Returns an empty text, else
// "FILE:LINE: reason" for the first line that is not fit.
std::string ConfigArguments(const std::string& text, const std::string& fileName, const ArgumentCheck& check,
                            std::vector<std::string>& args);

// The same for a file; a file that cannot be read is named with its reason.
std::string ReadConfigFile(const std::string& path, const ArgumentCheck& check, std::vector<std::string>& args);

}  // namespace qv::cli
