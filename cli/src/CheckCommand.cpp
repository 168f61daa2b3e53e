#include "CheckCommand.h"

#include <quorvant.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>

#include "Baseline.h"
#include "HtmlReport.h"
#include "InputFeeder.h"
#include "LibraryChecker.h"
#include "MessageLines.h"
#include "Paths.h"
#include "Progress.h"
#include "RefInfo.h"
#include "ResultSink.h"
#include "RunBlocks.h"
#include "Selection.h"
#include "ReferenceCheck.h"
#include "Summary.h"
#include "SummaryJson.h"
#include "UiTexts.h"
#include "foundation/Platform.h"

namespace qv::cli {

namespace {
constexpr const char* kDefaultHostFormat = "{{SYS.MsgType}}: {{SYS.ErrorNr}} {{SYS.Text2}}\r\n";

int Fail(const std::string& reason) {
  std::fprintf(stderr, "quorvant: %s\n", reason.c_str());
  return 2;
}

std::string ReadFile(const std::string& path, bool& found) {
  std::ifstream in(path, std::ios::binary);
  found = static_cast<bool>(in);
  std::stringstream s;
  if (found) s << in.rdbuf();
  return s.str();
}


// Whether a file can be written, tried before the run so that a bad path
// does not cost a whole run. A file that did not exist is not left behind.
std::string CheckWritable(const std::string& path, const char* what) {
  bool existed = static_cast<bool>(std::ifstream(path));
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return std::string("cannot write the ") + what + " '" + path + "': " + std::strerror(errno);
  std::fclose(f);
  if (!existed) std::remove(path.c_str());
  return "";
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// The output was closed by its reader: end as a program ended by SIGPIPE
// does, without a word on standard error.
[[noreturn]] void EndQuietly() {
  std::fflush(stderr);
#ifdef SIGPIPE
  ::signal(SIGPIPE, SIG_DFL);
  ::raise(SIGPIPE);
#endif
  std::_Exit(2);
}
}  // namespace

int CheckMain(const std::vector<std::string>& args, void (*printVersion)()) {
  CheckOptions options;
  std::string problem = ParseCheckCommandLine(args, kLocalConfig, options);
  if (!problem.empty()) return Fail(problem + " (see quorvant check --help)");
  if (options.help) {
    std::fputs(CheckUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    printVersion();
    return 0;
  }
  return RunCheck(options);
}

namespace {
// What a run needs, made and checked before any input is read.
struct Setup {
  std::string ref;  // reference data directory, ending in '/'
  ReferenceIdentity reference;
  Selection selection;
  std::unique_ptr<Baseline> baseline;  // null without --baseline
  MessageFormat format;
  std::FILE* baselineOut = nullptr;  // --write-baseline, open from the start
  ~Setup() {
    if (baselineOut) std::fclose(baselineOut);
  }
};

// Returns an empty text, else the reason the run cannot start.
std::string Prepare(const CheckOptions& o, Setup& s) {
  s.ref = o.refDir.empty() ? DefaultRefDir() : WithTrailingSlash(o.refDir);
  std::vector<std::string> missing = MissingFiles(s.ref, RequiredReferenceFiles());
  if (!missing.empty()) {
    std::string list;
    for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
    return "reference data directory '" + s.ref + "' lacks " + list + " (use --ref DIR)";
  }
  std::string refProblem = CheckReferenceDirectory(s.ref);
  if (!refProblem.empty()) return refProblem;
  s.reference = ReadReferenceIdentity(s.ref, RequiredReferenceFiles());
  const MessageCatalogue catalogue =
      ReadCatalogue(s.ref + (o.language == 1 ? "message_dll_f.txt" : "message_dll_d.txt"));
  std::string problem = s.selection.set(o.select, o.ignore, o.types, catalogue.codes);
  if (!problem.empty()) return problem;
  if (!o.baselineFile.empty()) {
    s.baseline = std::make_unique<Baseline>();
    problem = s.baseline->load(o.baselineFile);
    if (!problem.empty()) return problem;
  }
  if (o.format == OutputFormat::Host) {
    std::string host = kDefaultHostFormat;
    bool found = false;
    std::string fromFile = ReadFile(s.ref + "formatString.txt", found);
    if (o.formatStringGiven) host = o.formatString;
    else if (found) host = fromFile;
    problem = CheckFormatString(host);
    if (!problem.empty()) return "invalid format string: " + problem;
    s.format = MessageFormat(host);
    std::size_t longest = LongestLine(s.format.text(), catalogue.longestText, CaseSplitter::kMaxCallBytes);
    if (longest >= kMessageLineCapacity)
      return "format string too long: its message lines can take " + std::to_string(longest) +
             " bytes, the library builds lines of at most " + std::to_string(kMessageLineCapacity - 1) +
             " bytes (shorten the literal text or use fewer field keys)";
  }
  // Every output is tried before the run; the baseline is written as the run goes.
  for (const auto& [path, what] :
       {std::pair<std::string, const char*>{o.htmlFile, "HTML report"}, {o.summaryJson, "JSON summary"}}) {
    problem = path.empty() ? "" : CheckWritable(path, what);
    if (!problem.empty()) return problem;
  }
  if (!o.writeBaselineFile.empty()) {
    s.baselineOut = std::fopen(o.writeBaselineFile.c_str(), "wb");
    if (!s.baselineOut) return "cannot write the baseline '" + o.writeBaselineFile + "': " + std::strerror(errno);
    std::fputs(BaselineHeader(), s.baselineOut);
  }
  return "";
}
}  // namespace

int RunCheck(const CheckOptions& o) {
  const UiTexts& texts = TextsFor(o.language);
  Setup setup;
  std::string problem = Prepare(o, setup);
  if (!problem.empty()) return Fail(problem);
  const std::string& ref = setup.ref;
  const ReferenceIdentity& reference = setup.reference;
  // The sample warning comes first; when the findings go into a pipe it comes
  // at the end, before the summary, so that it does not mix with what the
  // reader of the pipe shows (a pager), and a reader that stops early (head)
  // ends the run without a word on standard error.
  std::string warning = SampleWarning(reference);
  const bool warnAtEnd = platform::IsPipe(1);
  if (!warning.empty() && !warnAtEnd) std::fprintf(stderr, "%s\n", warning.c_str());

  InputFeeder feeder(texts, o.encoding);
  problem = feeder.open(o.inputs);
  if (!problem.empty()) return Fail(problem);

  LibraryChecker checker(ref, o.language, setup.format);
  if (!checker.open()) return Fail("the library could not load the reference data in '" + ref + "'");

  ReportHeader report;
  {
    std::time_t now = std::time(nullptr);
    char date[64];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    report.runDate = date;
    report.program = std::string("quorvant ") + QV_CLI_VERSION + " (" + QV_VersionAppName() + " " + QV_VersionNumber() +
                     ", " + QV_VersionDate() + ")";
    report.referenceData = reference.oneLine();
    report.language = o.language;
  }

  {
    // The output buffer is written while block processes run: in memory they
    // do not share. It lives as long as the program (stdout is flushed at exit).
    // 64 KiB: a pipe takes no more at once, and a larger buffer only touches
    // more pages.
    constexpr std::size_t kOutputBuffer = 1 << 16;
    static char* buffer = static_cast<char*>(platform::AllocateUnshared(kOutputBuffer));
    std::setvbuf(stdout, buffer, _IOFBF, kOutputBuffer);
  }
  FindingWriter writer(o.format, stdout, o.excel);
  writer.begin();
  Summary summary;
  summary.setReference(reference.oneLine());
  HtmlReport html(o.htmlMaxCases);
  ResultSink sink(writer, summary, setup.selection, setup.baseline.get(), setup.baselineOut);
  const std::vector<std::string> fileNames = feeder.fileNames();
  if (!o.htmlFile.empty()) {
    sink.onShown = [&](const std::string& name, const CallView& call, const ItemResult& r) {
      if (!r.isCase) return;
      auto index = static_cast<std::size_t>(std::find(fileNames.begin(), fileNames.end(), name) - fileNames.begin());
      html.add(name, feeder.files()[index].layout, call, r);
    };
  }
  // Progress is drawn only while the findings go elsewhere than the terminal.
  Progress progress(o.progress && !platform::IsTerminal(1));

  RunEnd end = RunBlocks(o.jobs > 0 ? o.jobs : platform::CoreCount(), checker, feeder, sink, progress,
                         texts.workerFailed, summary);
  progress.clear();
  if (end == RunEnd::SetupFailed) return Fail("the library could not be set up on '" + ref + "'");
  if (end == RunEnd::Complete && std::fflush(stdout) != 0 && sink.error() == 0) end = RunEnd::OutputClosed;
  if (end == RunEnd::OutputClosed || !sink.ok()) {
    int error = sink.error() != 0 ? sink.error() : errno;
    if (error == EPIPE) EndQuietly();
    return Fail(std::string("cannot write the output: ") + std::strerror(error));
  }
  if (setup.baselineOut) {
    bool closed = std::fclose(setup.baselineOut) == 0;
    setup.baselineOut = nullptr;
    if (!sink.baselineOk() || !closed) return Fail("cannot write the baseline '" + o.writeBaselineFile + "'");
  }

  if (!o.htmlFile.empty()) {
    for (const InputFile& f : feeder.files()) report.inputs.push_back({f.name, f.bytes, f.lines});
    RenderTables(html.entries(), checker, o.language);
    if (!html.write(o.htmlFile, report, summary, texts))
      return Fail("cannot write the HTML report '" + o.htmlFile + "'");
  }
  const std::string& inputProblem = feeder.problem();
  int status = !inputProblem.empty() ? 2 : o.exitZero ? 0 : summary.hasErrors() ? 1 : 0;
  if (!o.summaryJson.empty() && !WriteText(o.summaryJson, SummaryJson(summary, reference, fileNames, status)))
    return Fail("cannot write the JSON summary '" + o.summaryJson + "'");
  if (!warning.empty() && warnAtEnd) std::fprintf(stderr, "%s\n", warning.c_str());
  if (o.summary) summary.print(stderr, texts);
  if (!inputProblem.empty()) return Fail(inputProblem);
  return status;
}

int RefInfoMain(const std::vector<std::string>& args) {
  CLI::App app(
      "Describes the reference data a run would use: the description the reference build wrote\n"
      "(name, statistics year or sample, checksum) and the lines of every file.",
      "quorvant ref-info");
  std::string dir;
  app.add_option("--ref", dir, "reference data directory (default: the bundled one)")->option_text("DIR");
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      std::fputs(app.help().c_str(), stdout);
      return 0;
    }
    return Fail(std::string(e.what()) + " (see quorvant ref-info --help)");
  }
  std::string ref = dir.empty() ? DefaultRefDir() : WithTrailingSlash(dir);
  ReferenceIdentity id = ReadReferenceIdentity(ref, RequiredReferenceFiles());
  std::fputs(RefInfoText(id).c_str(), stdout);
  std::vector<std::string> missing = MissingFiles(ref, RequiredReferenceFiles());
  if (missing.size() == RequiredReferenceFiles().size()) return Fail("'" + ref + "' holds no reference file");
  return 0;
}

}  // namespace qv::cli
