// Command line of "quorvant check".
#pragma once

#include <string>
#include <vector>

#include "FindingWriter.h"
#include "TextCoding.h"

namespace qv::cli {

struct CheckOptions {
  OutputFormat format = OutputFormat::Text;
  bool formatStringGiven = false;
  std::string formatString;
  int language = 0;               // 0 German, 1 French
  std::string refDir;             // empty: the bundled reference data
  int jobs = 0;                   // 0: one per core
  std::string htmlFile;           // empty: no report
  int htmlMaxCases = 1000;
  bool excel = false;             // CSV for spreadsheets (needs --format csv)
  InputEncoding encoding = InputEncoding::Auto;
  bool progress = true;
  bool summary = true;
  bool help = false;
  bool version = false;
  std::vector<std::string> inputs;  // "-" is standard input; none means standard input
};

// Parses the arguments after "check". Returns an empty text on success, else
// the reason for a usage error.
std::string ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options);

const char* CheckUsage();

}  // namespace qv::cli
