// Accepted findings: a plain text file a person can read and edit, one
// finding a line, and the matching of a run's findings against it.
//
// A line holds seven fields separated by TAB: bur, site, linkage code, case
// number, code, item ("-" when none) and value, then optionally a TAB and a
// comment starting with '#' (the writer puts the type and the text there).
// In a field, backslash, TAB, CR and LF are written \\, \t, \r and \n, and a
// field starting with '#' starts with \#. Empty lines and lines starting with
// '#' are comments. Line numbers are left out on purpose: the same delivery
// exported again matches although its lines moved; so in the value of a
// structural finding (type S), whose text may name a file line, "line 151"
// is written and matched as "line N".
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "Finding.h"

namespace qv::cli {

class Baseline {
 public:
  // Reads a baseline file. Returns an empty text, else "FILE:LINE: reason"
  // (or "FILE: reason" when the file cannot be read).
  std::string load(const std::string& path);
  std::string parse(const std::string& text, const std::string& fileName);

  // True when the finding is recorded; each recorded line accepts one finding.
  bool accept(const CaseIdentity& identity, const Finding& finding);
  std::uint64_t size() const { return size_; }

 private:
  std::unordered_map<std::string, std::uint64_t> remaining_;
  std::uint64_t size_ = 0;
};

// The file's first lines, explaining it.
const char* BaselineHeader();
// The line of one finding, comment and line end included.
std::string BaselineLine(const CaseIdentity& identity, const Finding& finding);

}  // namespace qv::cli
