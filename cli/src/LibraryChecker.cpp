#include "LibraryChecker.h"

#include <quorvant.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TextCoding.h"

namespace qv::cli {

namespace {
// A message line is shorter than 16384 bytes.
constexpr std::size_t kLineCapacity = 16384;
constexpr std::size_t kFirstListCapacity = 16 * kLineCapacity;
}  // namespace

const std::vector<std::string>& RequiredReferenceFiles() {
  static const std::vector<std::string> files = {
      "fields.ix5", "domainkey.ix5", "chop.ix5", "icd.ix5",  "lregio.ix5", "natio.ix5",           "plz.ix5",
      "regio.ix5",  "wregio.ix5",    "bur.ix5",  "vsnr.ix5", "message_dll_d.txt", "message_dll_f.txt"};
  return files;
}

LibraryChecker::LibraryChecker(std::string baseDir, int language, MessageFormat format)
    : baseDir_(std::move(baseDir)), language_(language), format_(std::move(format)) {}

LibraryChecker::~LibraryChecker() { close(); }

bool LibraryChecker::open() {
  close();
  unsigned h = QV_Create(baseDir_.c_str(), language_);
  if (h == kNoHandle) return false;
  handle_ = h;
  layout_ = 0;
  QV_setFormatString(format_.text().c_str());
  return true;
}

void LibraryChecker::close() {
  if (handle_ != kNoHandle) QV_Destroy(handle_);
  handle_ = kNoHandle;
  layout_ = 0;
}

bool LibraryChecker::prepareLayout(int mbFieldCount) {
  int wanted = mbFieldCount == 50 ? 50 : 90;
  if (layout_ == wanted) return true;
  if (layout_ != 0 && !open()) return false;
  if (!isOpen() && !open()) return false;
  std::string first = "MB|" + std::string(static_cast<std::size_t>(wanted - 1), '|') + "\r\n";
  QV_TestRec(handle_, first.c_str(), 0, 0);
  layout_ = wanted;
  return true;
}

ItemOutcome LibraryChecker::check(const Block& block, const WorkItem& item) {
  ItemOutcome result;
  result.isCase = item.isCase;
  result.caseLine = item.caseLine;
  if (item.findingCount > 0) result.findings = block.findingsOf(item);
  if (item.check) check(block.call(item), result);
  return result;
}

void LibraryChecker::check(const CallView& call, ItemOutcome& result, bool html) {
  if (!call.check || !isOpen()) return;

  int count = QV_TestRec(handle_, call.text, html ? 1 : 0, 0);
  if (count < 0) count = 0;
  std::size_t need = (static_cast<std::size_t>(count) + 1) * kLineCapacity + 1;
  if (listCapacity_ < need) {
    // Grown in large steps: each allocation in a block process may write
    // into heap pages it shares with the main process, and every such page
    // costs a copy.
    std::size_t capacity = std::max({need, 2 * listCapacity_, kFirstListCapacity});
    list_.reset(new char[capacity]);
    listCapacity_ = capacity;
  }
  list_[0] = '\0';
  int e = 0, w = 0, h = 0, c = 0, s = 0;
  QV_GetMessageList(handle_, &e, &w, &h, &c, &s, list_.get());

  LineMapping mapping;
  mapping.lines = call.lines;
  mapping.lineCount = call.lineCount;
  mapping.caseLine = call.caseLine;
  mapping.dropHeaderFindings = call.hasHeader && call.headerReported;
  std::size_t first = result.findings.size();
  bool listRead = ParseMessageList(list_.get(), format_, mapping, result.findings, result.hostText);
  // The library's texts are in the code page; the command's own are UTF-8 already.
  for (std::size_t i = first; i < result.findings.size(); ++i) {
    Finding& f = result.findings[i];
    f.text = CodePageToUtf8(f.text);
    f.baseText = CodePageToUtf8(f.baseText);
    f.value = CodePageToUtf8(f.value);
    if (f.code == "S000") {
      // The checker's own text in the run's language; the library's reason
      // (English) stays as the value.
      f.value = f.text;
      f.text = f.baseText = TextsFor(language_).libraryRejected;
    }
  }
  if (!listRead) {
    Finding f;
    f.line = call.caseLine;
    f.type = 'S';
    f.code = "S006";
    f.text = f.baseText = TextsFor(language_).unreadableList;
    result.findings.push_back(std::move(f));
  }
}

}  // namespace qv::cli
