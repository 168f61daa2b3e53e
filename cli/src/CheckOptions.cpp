#include "CheckOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <map>

#include "Config.h"

namespace qv::cli {

namespace {
const std::map<std::string, OutputFormat> kFormats = {{"text", OutputFormat::Text},
                                                      {"csv", OutputFormat::Csv},
                                                      {"json", OutputFormat::Json},
                                                      {"host", OutputFormat::Host}};
const std::map<std::string, int> kLanguages = {{"de", 0}, {"fr", 1}};

// Declares every option of "check" on app, bound to o. Options given more
// than once take their last value: config entries come first, so the command
// line wins.
void Declare(CLI::App& app, CheckOptions& o) {
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.set_help_flag();  // --help is an ordinary flag, so that it can be asked for with other options
  app.add_flag("-h,--help", o.help, "show this help");
  app.add_flag("-V,--version", o.version, "show the program and library version");
  app.add_option("--format", o.format,
                 "text (default), csv, json (one object per line) or host (the library's own message lines)")
      ->transform(CLI::CheckedTransformer(kFormats))
      ->option_text("FORMAT");
  app.add_option("--format-string", o.formatString,
                 "message line format for --format host, with keys such as {{SYS.MsgType}}, {{SYS.ErrorNr}}")
      ->option_text("FORMAT");
  app.add_option("--lang", o.language, "language of the messages and the summary: de (default) or fr")
      ->transform(CLI::CheckedTransformer(kLanguages))
      ->option_text("de|fr");
  app.add_option("--ref", o.refDir, "reference data directory (default: the bundled one)")->option_text("DIR");
  app.add_option("-j,--jobs", o.jobs, "block processes checking at the same time (default: number of cores)")
      ->check(CLI::Range(1, 1024))
      ->option_text("N");
  app.add_option("--html", o.htmlFile, "also write a self-contained HTML report")->option_text("FILE");
  app.add_option("--html-max-cases", o.htmlMaxCases, "cases with findings shown in the report (default 1000)")
      ->check(CLI::Range(0, 1000000))
      ->option_text("N");
  app.add_flag("--excel", o.excel, "with --format csv: UTF-8 byte-order mark and \";\" between fields, as spreadsheet programs expect");
  app.add_option_function<std::string>(
         "--encoding",
         [&o](const std::string& name) {
           if (!ParseInputEncoding(name, o.encoding))
             throw CLI::ValidationError("--encoding", "unknown encoding '" + name + "' (auto, utf-8, cp1252 or latin1)");
         },
         "input encoding: auto (default: UTF-8 when the file is valid UTF-8 or starts with its byte-order mark, else "
         "Windows-1252), utf-8, cp1252, latin1")
      ->option_text("ENC");
  app.add_option("--select", o.select, "show only findings whose code starts with one of these (B0131,C09)")
      ->option_text("CODES");
  app.add_option("--ignore", o.ignore, "leave out findings whose code starts with one of these")->option_text("CODES");
  app.add_option("--types", o.types, "show only findings of these types (E,W,H,C,S)")->option_text("LETTERS");
  app.add_flag("--exit-zero", o.exitZero, "exit 0 after a completed run, whatever it found");
  app.add_option("--baseline", o.baselineFile, "leave out the accepted findings recorded in FILE")->option_text("FILE");
  app.add_option("--write-baseline", o.writeBaselineFile, "record the findings shown by this run in FILE")
      ->option_text("FILE");
  app.add_option("--summary-json", o.summaryJson, "also write the summary as a JSON document")->option_text("FILE");
  app.add_option("--config", o.configFile,
                 std::string("read options from FILE (default: ") + kLocalConfig +
                     " in the current directory when present; the command line wins over FILE, FILE over " +
                     kLocalConfig + ")")
      ->option_text("FILE");
  // "--no-summary=false" counts -1; the last one given wins, as for every option.
  app.add_flag_function(
      "--no-progress", [&o](std::int64_t count) { o.progress = count <= 0; },
      "no progress bar (drawn only on a terminal, while the findings go elsewhere)")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_flag_function(
      "--no-summary", [&o](std::int64_t count) { o.summary = count <= 0; }, "no summary on standard error")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("FILE", o.inputs, "case files; none or \"-\": standard input");
  app.footer(
      "Exit status: 0 no finding of type E or S shown (or --exit-zero), 1 such findings, 2 usage,\n"
      "input or reference data error.");
}

std::string Parse(std::vector<std::string> args, CheckOptions& o, bool& formatStringGiven) {
  CLI::App app(
      "Checks every case of the case files and writes one line per finding to standard output,\n"
      "a summary to standard error.",
      "quorvant check");
  Declare(app, o);
  std::reverse(args.begin(), args.end());  // CLI11 takes them from the back
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    return e.what();
  }
  formatStringGiven = app.get_option("--format-string")->count() > 0;
  return "";
}

// Options that cannot go together.
std::string Conflicts(const CheckOptions& o) {
  if (o.formatStringGiven && o.format != OutputFormat::Host) return "--format-string needs --format host";
  if (o.excel && o.format != OutputFormat::Csv) return "--excel needs --format csv";
  if (o.format == OutputFormat::Host &&
      (!o.select.empty() || !o.ignore.empty() || !o.types.empty() || !o.baselineFile.empty()))
    return "--format host writes the library's lines as they come; --select, --ignore, --types and --baseline "
           "need --format text, csv or json";
  return "";
}
}  // namespace

std::string CheckUsage() {
  CheckOptions o;
  CLI::App app(
      "Checks every case of the case files (standard input when no file or \"-\" is given) and\n"
      "writes one line per finding to standard output, a summary to standard error.",
      "quorvant check");
  Declare(app, o);
  return app.help();
}

std::string ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& o) {
  o = CheckOptions{};
  std::string problem = Parse(args, o, o.formatStringGiven);
  return problem.empty() ? Conflicts(o) : problem;
}

std::string ParseCheckCommandLine(const std::vector<std::string>& args, const std::string& localConfig,
                                  CheckOptions& o) {
  // The command line alone first: its errors come first, and it names --config.
  CheckOptions commandLine;
  std::string problem = ParseCheckOptions(args, commandLine);
  if (!problem.empty() || commandLine.help || commandLine.version) {
    o = commandLine;
    return problem;
  }
  ArgumentCheck checkOne = [](const std::string& argument) {
    CheckOptions scratch;
    bool given = false;
    return Parse({argument}, scratch, given);
  };
  std::vector<std::string> all;
  if (!localConfig.empty() && std::ifstream(localConfig)) {
    problem = ReadConfigFile(localConfig, checkOne, all);
    if (!problem.empty()) return problem;
  }
  if (!commandLine.configFile.empty()) {
    problem = ReadConfigFile(commandLine.configFile, checkOne, all);
    if (!problem.empty()) return problem;
  }
  if (all.empty()) {
    o = commandLine;
    return "";
  }
  all.insert(all.end(), args.begin(), args.end());
  o = CheckOptions{};
  problem = Parse(all, o, o.formatStringGiven);
  if (problem.empty()) problem = Conflicts(o);
  o.configFile = commandLine.configFile;
  return problem;
}

}  // namespace qv::cli
