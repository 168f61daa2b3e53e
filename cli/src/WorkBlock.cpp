#include "WorkBlock.h"

#include "CaseSplitter.h"
#include "TextCoding.h"

namespace qv::cli {

KeptCall::KeptCall(const CallView& call)
    : text(call.text, call.size),
      lines(call.lines, call.lines + call.lineCount),
      caseLine(call.caseLine),
      hasHeader(call.hasHeader),
      headerReported(call.headerReported),
      check(call.check) {}

CallView KeptCall::view() const {
  return {text.c_str(), text.size(), lines.data(), lines.size(), caseLine, hasHeader, headerReported, check};
}

CallView Block::call(const WorkItem& item) const {
  CallView v;
  if (item.check) {
    v.text = text.data() + item.text;
    v.size = item.textSize;
  }
  v.lines = lines.data() + item.lines;
  v.lineCount = item.lineCount;
  v.caseLine = item.caseLine;
  v.hasHeader = item.hasHeader;
  v.headerReported = item.headerReported;
  v.check = item.check;
  return v;
}

CaseIdentity Block::identity(const WorkItem& item) const {
  std::string* fields[4];
  CaseIdentity id;
  fields[0] = &id.bur;
  fields[1] = &id.site;
  fields[2] = &id.linkageCode;
  fields[3] = &id.caseNumber;
  std::size_t at = item.names;
  for (int i = 0; i < 4; ++i) {
    if (item.nameSizes[i] > 0) *fields[i] = CodePageToUtf8(std::string(names.data() + at, item.nameSizes[i]));
    at += item.nameSizes[i];
  }
  if (item.nameSizes[3] == 0 && item.check) id.caseNumber = CodePageToUtf8(std::string(CaseNumberIn(textOf(item))));
  return id;
}

std::vector<Finding> Block::findingsOf(const WorkItem& item) const {
  auto first = findings.begin() + static_cast<long>(item.findings);
  return std::vector<Finding>(first, first + static_cast<long>(item.findingCount));
}

std::vector<platform::MemoryRange> Block::memory() const {
  return {items.memory(), text.memory(), lines.memory(), names.memory()};
}

void Block::reserve(const Sizes& sizes) {
  items.reserve(sizes.items);
  text.reserve(sizes.text);
  lines.reserve(sizes.lines);
  names.reserve(sizes.names);
  // Taken at once rather than grown: growing the few findings made here step by
  // step costs more than they do (a large allocation makes the heap sort its
  // free blocks, writing pages it shares with the block processes).
  findings.reserve(sizes.findings);
}

}  // namespace qv::cli
