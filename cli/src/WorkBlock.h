// A block of work items: what the input side hands to a block process. The
// items are small records; the call texts, the file lines of the call lines
// and the identity fields of all items lie in a few arrays of the block,
// which a forked block process reads where they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Finding.h"
#include "UnsharedVector.h"
#include "foundation/Platform.h"

namespace qv::cli {

// One unit of work: either a call for the library or a finding made here.
// The offsets are into the arrays of the item's block.
struct WorkItem {
  std::uint64_t caseLine = 0;       // file line of the MB line (or of the stray line)
  std::size_t text = 0;             // call text in Block::text: lines ended by CR LF, then a NUL
  std::size_t textSize = 0;         // without the NUL; 0 when not checked
  std::size_t lines = 0;            // in Block::lines: file line of each call line
  std::size_t lineCount = 0;
  std::size_t findings = 0;         // in Block::findings: findings made without the library
  std::size_t findingCount = 0;
  std::size_t names = 0;            // in Block::names: the identity fields, in the code page, one after the other
  std::uint32_t nameSizes[4] = {};  // MB fields 1, 2, 4 and MD field 662 (this one only when the text was dropped)
  bool isCase = false;
  bool hasHeader = false;           // the call starts with the MX line
  bool headerReported = false;      // that MX line's own findings came with an earlier case
  bool check = false;               // pass the call text to the library
};

// What the library is given for one item, as views into its block.
struct CallView {
  const char* text = "";  // NUL-terminated
  std::size_t size = 0;
  const std::uint64_t* lines = nullptr;  // file line of call line k at index k - 1
  std::size_t lineCount = 0;
  std::uint64_t caseLine = 0;
  bool hasHeader = false;
  bool headerReported = false;
  bool check = false;
};

// A call kept beyond its block (the HTML report checks it again at the end).
struct KeptCall {
  std::string text;
  std::vector<std::uint64_t> lines;
  std::uint64_t caseLine = 0;
  bool hasHeader = false;
  bool headerReported = false;
  bool check = false;

  KeptCall() = default;
  explicit KeptCall(const CallView& call);
  CallView view() const;
};

struct Block {
  std::size_t fileIndex = 0;
  int layout = 0;  // MB layout of the block's file (50 or 90), 0 when it has no MB line
  UnsharedVector<WorkItem> items{ReadBy::Children};
  UnsharedVector<char> text{ReadBy::Children};
  // Read by block processes too, but only for calls with findings, and a
  // few hundred KB: a whole huge page would hold mostly nothing.
  UnsharedVector<std::uint64_t> lines;
  UnsharedVector<char> names;
  std::vector<Finding> findings;  // few: most items have none

  CallView call(const WorkItem& item) const;
  std::string_view textOf(const WorkItem& item) const { return {text.data() + item.text, item.textSize}; }
  // The identity in UTF-8 (the case number read from the call text when it
  // is not among the names).
  CaseIdentity identity(const WorkItem& item) const;
  std::vector<Finding> findingsOf(const WorkItem& item) const;
  // The arrays a forked block process reads.
  std::vector<platform::MemoryRange> memory() const;
  // How much the arrays hold, and room for as much, so that the next block
  // does not grow step by step.
  struct Sizes {
    std::size_t items = 0, text = 0, lines = 0, names = 0, findings = 0;
  };
  Sizes sizes() const { return {items.size(), text.size(), lines.size(), names.size(), findings.size()}; }
  void reserve(const Sizes& sizes);
};

}  // namespace qv::cli
