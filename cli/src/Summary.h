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
};

// Index of a type letter in the counts (E, W, H, C, S), -1 for others.
int TypeIndex(char type);

}  // namespace qv::cli
