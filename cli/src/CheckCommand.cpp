#include "CheckCommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "BlockRunner.h"
#include "CaseSplitter.h"
#include "HtmlReport.h"
#include "LibraryChecker.h"
#include "LineReader.h"
#include "MessageLines.h"
#include "Paths.h"
#include "Progress.h"
#include "ReferenceCheck.h"
#include "Summary.h"
#include "UiTexts.h"

namespace qv::cli {

namespace {
// Items per worker process: large enough that starting a process costs little,
// small enough that the workers share the input evenly. Fixed, so that the
// blocks and thereby the results are the same for any number of workers.
constexpr std::size_t kBlockItems = 4096;

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

int CoreCount() {
  long n = ::sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<int>(n) : 1;
}

// The MB layout a file's first MB line asks for; 0 while it has none.
int LayoutOf(int mbFieldCount) { return mbFieldCount == 0 ? 0 : mbFieldCount == 50 ? 50 : 90; }

WorkItem UnreadableItem(std::uint64_t line, const UiTexts& texts, const std::string& reason) {
  WorkItem item;
  item.caseLine = line;
  Finding f;
  f.line = line;
  f.type = 'S';
  f.code = "S003";
  f.text = f.baseText = Fill(texts.unreadable, "reason", reason);
  item.findings.push_back(std::move(f));
  return item;
}
}  // namespace

int RunCheck(const CheckOptions& o) {
  const UiTexts& texts = TextsFor(o.language);
  std::string ref = o.refDir.empty() ? DefaultRefDir() : WithTrailingSlash(o.refDir);
  std::vector<std::string> missing = MissingFiles(ref, RequiredReferenceFiles());
  if (!missing.empty()) {
    std::string list;
    for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
    return Fail("reference data directory '" + ref + "' lacks " + list + " (use --ref DIR)");
  }
  const std::string refProblem = CheckReferenceDirectory(ref);
  if (!refProblem.empty()) return Fail(refProblem);

  MessageFormat format;
  if (o.format == OutputFormat::Host) {
    std::string host = kDefaultHostFormat;
    bool found = false;
    std::string fromFile = ReadFile(ref + "formatString.txt", found);
    if (o.formatStringGiven) host = o.formatString;
    else if (found) host = fromFile;
    std::string problem = CheckFormatString(host);
    if (!problem.empty()) return Fail("invalid format string: " + problem);
    format = MessageFormat(host);
  }

  LibraryChecker checker(ref, o.language, format);
  if (!checker.open()) return Fail("the library could not load the reference data in '" + ref + "'");

  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 20);
  FindingWriter writer(o.format, stdout);
  writer.begin();
  Summary summary;
  HtmlReport html(o.htmlMaxCases);
  Progress progress(o.progress);
  std::vector<std::string> fileNames;
  std::vector<int> fileLayouts;
  std::string inputError;

  auto deliver = [&](const Block& block, std::vector<ItemResult>& results) {
    const std::string& name = fileNames[block.fileIndex];
    for (std::size_t i = 0; i < results.size(); ++i) {
      const ItemResult& r = results[i];
      writer.write(name, r);
      summary.add(r);
      if (!o.htmlFile.empty() && r.isCase && !r.findings.empty())
        html.add(name, fileLayouts[block.fileIndex], block.items[i], r);
    }
  };
  // The workers start from the handle as prepared here; a block of a file with
  // another MB layout gets a handle of its own in its block process.
  bool primed = false;
  bool setupFailed = false;
  auto prepare = [&](int layout) {
    if (layout != 0 && !checker.prepareLayout(layout)) std::_Exit(8);
  };
  BlockRunner runner(o.jobs > 0 ? o.jobs : CoreCount(), prepare,
                     [&](const WorkItem& item) { return checker.check(item); }, deliver, texts.workerFailed);
  runner.keepItemData(!o.htmlFile.empty());

  std::vector<std::string> inputs = o.inputs;
  if (inputs.empty()) inputs.push_back("-");
  for (const std::string& input : inputs) {
    std::size_t fileIndex = fileNames.size();
    fileNames.push_back(input == "-" ? "<stdin>" : input);
    fileLayouts.push_back(0);
    std::vector<WorkItem> items;
    auto flush = [&](bool force) {
      if (items.empty() || (!force && items.size() < kBlockItems)) return true;
      Block block;
      block.fileIndex = fileIndex;
      block.layout = fileLayouts[fileIndex];
      if (!primed) {
        if (!checker.prepareLayout(block.layout == 0 ? 90 : block.layout)) {
          setupFailed = true;
          return false;
        }
        primed = true;
      }
      block.items = std::move(items);
      items.clear();
      runner.submit(std::move(block));
      return writer.ok();
    };

    int fd = input == "-" ? STDIN_FILENO : ::open(input.c_str(), O_RDONLY);
    if (fd < 0) {
      std::string reason = std::strerror(errno);
      if (inputError.empty()) inputError = "cannot read '" + input + "': " + reason;
      items.push_back(UnreadableItem(0, texts, reason));
      flush(true);
      continue;
    }
    struct stat st;
    std::uint64_t size = (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) ? static_cast<std::uint64_t>(st.st_size) : 0;
    LineReader reader(fd);
    CaseSplitter splitter(items, texts.split);
    Line line;
    std::uint64_t lastLine = 0;
    bool ok = true;
    while (ok && reader.next(line)) {
      lastLine = line.number;
      splitter.addLine(line);
      if ((lastLine & 63) == 0) runner.poll();
      if (items.size() >= kBlockItems) {
        if (fileLayouts[fileIndex] == 0) fileLayouts[fileIndex] = LayoutOf(splitter.firstMbFieldCount());
        ok = flush(false);
        progress.update(reader.bytesRead(), size, summary.cases());
      }
    }
    splitter.finish();
    if (reader.error() != 0) {
      std::string reason = std::strerror(reader.error());
      if (inputError.empty()) inputError = "cannot read '" + input + "': " + reason;
      items.push_back(UnreadableItem(lastLine + 1, texts, reason));
    }
    if (fileLayouts[fileIndex] == 0) fileLayouts[fileIndex] = LayoutOf(splitter.firstMbFieldCount());
    if (ok) ok = flush(true);
    if (fd != STDIN_FILENO) ::close(fd);
    if (!ok) break;
  }
  runner.finish();
  progress.clear();
  if (setupFailed) return Fail("the library could not be set up on '" + ref + "'");
  if (std::fflush(stdout) != 0 || !writer.ok()) {
    runner.abort();
    return Fail(std::string("cannot write the output: ") + std::strerror(errno));
  }

  if (!o.htmlFile.empty()) {
    RenderTables(html.entries(), checker, o.language);
    if (!html.write(o.htmlFile, summary, texts, fileNames))
      return Fail("cannot write the HTML report '" + o.htmlFile + "'");
  }
  if (o.summary) summary.print(stderr, texts);
  if (!inputError.empty()) return Fail(inputError);
  return summary.hasErrors() ? 1 : 0;
}

}  // namespace qv::cli
