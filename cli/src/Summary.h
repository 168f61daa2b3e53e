// Counts what a run found and prints the closing summary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Finding.h"
#include "UiTexts.h"

namespace qv::cli {

class Summary {
 public:
  void add(const ItemResult& result);

  std::uint64_t cases() const { return cases_; }
  std::uint64_t casesWithFindings() const { return casesWithFindings_; }
  // Findings of type E, W, H, C, S in this order.
  const std::uint64_t* typeCounts() const { return typeCounts_; }
  // True when a finding of type E or S was seen.
  bool hasErrors() const { return typeCounts_[0] + typeCounts_[4] > 0; }

  struct CodeCount {
    std::string code;
    std::string text;
    std::uint64_t count;
  };
  // The most frequent codes, most frequent first, equal counts by code.
  std::vector<CodeCount> topCodes(std::size_t n) const;

  // Findings not shown: left out by --select/--ignore/--types, or accepted by
  // the baseline. active: the option is in use, so the line is printed.
  void leftOut(std::uint64_t n, bool active) {
    leftOut_ += n;
    selecting_ = selecting_ || active;
  }
  void accepted(std::uint64_t n, bool active) {
    accepted_ += n;
    baselining_ = baselining_ || active;
  }
  std::uint64_t leftOut() const { return leftOut_; }
  std::uint64_t accepted() const { return accepted_; }
  // The reference data of the run, one line.
  void setReference(std::string line) { reference_ = std::move(line); }
  const std::string& reference() const { return reference_; }

  void print(std::FILE* out, const UiTexts& texts) const;

 private:
  std::uint64_t cases_ = 0;
  std::uint64_t casesWithFindings_ = 0;
  std::uint64_t typeCounts_[5] = {0, 0, 0, 0, 0};
  struct CodeEntry {
    std::uint64_t count = 0;
    std::string text;       // text of the first finding, "%i" where it names a field
    std::set<int> fields;   // the fields the findings of the code named
  };
  std::map<std::string, CodeEntry> codes_;
  std::uint64_t leftOut_ = 0;
  std::uint64_t accepted_ = 0;
  bool selecting_ = false;
  bool baselining_ = false;
  std::string reference_;
};

// Index of a type letter in the counts (E, W, H, C, S), -1 for others.
int TypeIndex(char type);

}  // namespace qv::cli
