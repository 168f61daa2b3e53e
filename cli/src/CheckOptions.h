// Command line of "quorvant check", read with CLI11, and its config files.
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
  std::string select;               // codes or prefixes, comma-separated; empty: all
  std::string ignore;               // codes or prefixes left out
  std::string types;                // type letters shown; empty: all
  bool exitZero = false;            // exit 0 after a run that completed, whatever it found
  std::string baselineFile;         // accepted findings to leave out
  std::string writeBaselineFile;    // where to record the findings of this run
  std::string summaryJson;          // where to write the summary as JSON
  std::string configFile;           // --config FILE
  std::vector<std::string> inputs;  // "-" is standard input; none means standard input
};

// The config file read from the current directory when it exists.
constexpr const char* kLocalConfig = "quorvant.ini";

// Parses the arguments after "check" alone (no config file is read). Returns
// an empty text on success, else the reason for a usage error.
std::string ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options);

// Parses the arguments after "check" together with the config files: the
// command line wins over --config FILE, which wins over localConfig (read
// when it exists; empty: none).
std::string ParseCheckCommandLine(const std::vector<std::string>& args, const std::string& localConfig,
                                  CheckOptions& options);

std::string CheckUsage();

}  // namespace qv::cli
