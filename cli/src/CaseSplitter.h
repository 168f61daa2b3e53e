// Cuts a stream of record lines into the calls the library gets: one case
// (an MB line with the add-on lines after it) per call, with the most recent
// MX header line in front, and turns lines that belong to no case into
// structural findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Finding.h"
#include "LineReader.h"
#include "WorkBlock.h"

namespace qv::cli {

// The texts of the findings made here, in the chosen language.
struct SplitTexts {
  std::string strayLine;     // line outside any case
  std::string tooLarge;      // "{bytes}" stands for the size of the case
  std::string nulByte;       // line with a NUL byte
};

class CaseSplitter {
 public:
  static constexpr std::size_t kMaxCallBytes = 10000;  // the library refuses calls of this size or more

  // Items go to out (its arrays grow).
  CaseSplitter(Block& out, SplitTexts texts);

  void addLine(const Line& line);
  // Adds a finding about the line added last: to its case, or as an item of
  // its own when it belongs to none.
  void addFinding(Finding finding);
  // Ends the current case (at the end of a file).
  void finish();
  // Moves what the open case holds so far to the end of next's arrays, so
  // that out can be handed on; after swapping out and next the case goes on.
  void moveOpenCase(Block& next);

  // The '|' count of the first MB line seen, 0 while none was seen.
  int firstMbFieldCount() const { return firstMbFields_; }

 private:
  void closeCase();
  void appendToCase(const Line& line);

  void addName(std::string_view field, int which);
  void dropText();

  Block& out_;
  SplitTexts texts_;
  std::string header_;
  std::uint64_t headerLine_ = 0;
  bool headerUsed_ = false;
  bool open_ = false;
  WorkItem current_;  // the open case; its text, lines, findings and names are at the end of out_'s arrays
  std::size_t currentBytes_ = 0;
  bool currentHasNul_ = false;
  // False once the open case is too large or holds a NUL byte. While its
  // text is kept, its case number is read from the text when it is needed.
  bool keepText_ = false;
  std::uint64_t nulLine_ = 0;
  int firstMbFields_ = 0;
};

// Field number (0 = record kind) of a record line, empty when the line has
// fewer fields.
std::string_view FieldOf(std::string_view line, int number);

// The case number in a call text: field 662 of its first MD line that has
// one, empty when none has.
std::string_view CaseNumberIn(std::string_view callText);

// Number of '|' in a text.
int CountBars(std::string_view text);

}  // namespace qv::cli
