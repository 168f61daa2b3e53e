#include "CheckOptions.h"

#include <cstdlib>

namespace qv::cli {

namespace {
bool ParseCount(const std::string& text, int low, int high, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}
}  // namespace

const char* CheckUsage() {
  return "Usage: quorvant check [OPTIONS] [FILE...]\n"
         "\n"
         "Checks every case of the case files (standard input when no file or \"-\" is\n"
         "given) and writes one line per finding to standard output, a summary to\n"
         "standard error.\n"
         "\n"
         "Options:\n"
         "  --format FORMAT         text (default), csv, json (one object per line) or\n"
         "                          host (the library's own message lines)\n"
         "  --format-string FORMAT  message line format for --format host, with keys such\n"
         "                          as {{SYS.MsgType}}, {{SYS.ErrorNr}}, {{SYS.Text2}}\n"
         "  --lang de|fr            language of the messages (default de)\n"
         "  --ref DIR               reference data directory (default: the bundled one)\n"
         "  --jobs N                worker processes (default: number of cores)\n"
         "  --html FILE             also write a self-contained HTML report\n"
         "  --html-max-cases N      cases with findings shown in the report (default 1000)\n"
         "  --excel                 with --format csv: UTF-8 byte-order mark and \";\"\n"
         "                          between fields, as spreadsheet programs expect\n"
         "  --encoding ENC          input encoding: auto (default: UTF-8 when the file is\n"
         "                          valid UTF-8, else Windows-1252), utf-8, cp1252, latin1\n"
         "  --no-progress           no progress bar\n"
         "  --no-summary            no summary on standard error\n"
         "  --help                  show this help\n"
         "  --version               show the program and library version\n"
         "\n"
         "Exit status: 0 no finding of type E or S, 1 such findings, 2 usage, input or\n"
         "reference data error.\n";
}

std::string ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& o) {
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (onlyFiles || arg == "-" || arg.compare(0, 1, "-") != 0) {
      o.inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyFiles = true;
      continue;
    }
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    std::size_t eq = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    auto takeValue = [&]() -> bool {
      if (hasValue) return true;
      if (i + 1 >= args.size()) return false;
      value = args[++i];
      return true;
    };
    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--version" || name == "-V") {
      o.version = true;
    } else if (name == "--no-progress") {
      o.progress = false;
    } else if (name == "--no-summary") {
      o.summary = false;
    } else if (name == "--excel") {
      o.excel = true;
    } else if (name == "--encoding") {
      if (!takeValue() || !ParseInputEncoding(value, o.encoding))
        return "unknown encoding '" + value + "' (auto, utf-8, cp1252 or latin1)";
    } else if (name == "--format") {
      if (!takeValue()) return "--format needs a value";
      if (value == "text") o.format = OutputFormat::Text;
      else if (value == "csv") o.format = OutputFormat::Csv;
      else if (value == "json") o.format = OutputFormat::Json;
      else if (value == "host") o.format = OutputFormat::Host;
      else return "unknown format '" + value + "' (text, csv, json or host)";
    } else if (name == "--format-string") {
      if (!takeValue()) return "--format-string needs a value";
      o.formatString = value;
      o.formatStringGiven = true;
    } else if (name == "--lang") {
      if (!takeValue()) return "--lang needs a value";
      if (value == "de") o.language = 0;
      else if (value == "fr") o.language = 1;
      else return "unknown language '" + value + "' (de or fr)";
    } else if (name == "--ref") {
      if (!takeValue() || value.empty()) return "--ref needs a directory";
      o.refDir = value;
    } else if (name == "--jobs" || name == "-j") {
      if (!takeValue() || !ParseCount(value, 1, 1024, o.jobs)) return "--jobs needs a number from 1 to 1024";
    } else if (name == "--html") {
      if (!takeValue() || value.empty()) return "--html needs a file name";
      o.htmlFile = value;
    } else if (name == "--html-max-cases") {
      if (!takeValue() || !ParseCount(value, 0, 1000000, o.htmlMaxCases))
        return "--html-max-cases needs a number from 0 to 1000000";
    } else {
      return "unknown option '" + arg + "'";
    }
  }
  if (o.formatStringGiven && o.format != OutputFormat::Host) return "--format-string needs --format host";
  if (o.excel && o.format != OutputFormat::Csv) return "--excel needs --format csv";
  return "";
}

}  // namespace qv::cli
