// Checks work items through the library's exported functions, as a host does.
// The library keeps one handle per process.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "WorkBlock.h"
#include "Finding.h"
#include "MessageLines.h"
#include "UiTexts.h"

namespace qv::cli {

class LibraryChecker {
 public:
  LibraryChecker(std::string baseDir, int language, MessageFormat format);
  ~LibraryChecker();
  LibraryChecker(const LibraryChecker&) = delete;
  LibraryChecker& operator=(const LibraryChecker&) = delete;

  // Creates the handle. Returns false when the library refuses the base directory.
  bool open();
  void close();
  bool isOpen() const { return handle_ != kNoHandle; }

  // The first call of a handle fixes the MB layout from its first line, and a
  // first line that is an MX line would fail: so each handle's first call is an
  // empty MB line of the layout the input uses (50 or 90 fields; others get 90).
  // A handle already fixed to another layout is created anew.
  bool prepareLayout(int mbFieldCount);
  int layout() const { return layout_; }

  // Checks one call and adds the library's findings (and host lines, and
  // with html the result table) to result.
  void check(const CallView& call, ItemOutcome& result, bool html = false);
  // The result of one item of a block: its own findings, then the library's.
  ItemOutcome check(const Block& block, const WorkItem& item);

  const std::string& baseDir() const { return baseDir_; }
  int language() const { return language_; }
  const MessageFormat& format() const { return format_; }
  void setBaseDir(std::string baseDir) { baseDir_ = std::move(baseDir); }

 private:
  static constexpr unsigned kNoHandle = 0xFFFFFFFFu;

  std::string baseDir_;
  int language_;
  MessageFormat format_;
  unsigned handle_ = kNoHandle;
  int layout_ = 0;
  // Message list buffer. Left uninitialised: only the pages the library
  // writes are touched, which matters in processes forked for each block.
  std::unique_ptr<char[]> list_;
  std::size_t listCapacity_ = 0;
};

// Every file the library needs in its base directory.
const std::vector<std::string>& RequiredReferenceFiles();

}  // namespace qv::cli
