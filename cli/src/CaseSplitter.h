// Cuts a stream of record lines into the calls the library gets: one case
// (an MB line with the add-on lines after it) per call, with the most recent
// MX header line in front, and turns lines that belong to no case into
// structural findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Finding.h"
#include "LineReader.h"

namespace qv::cli {

// One unit of work: either a call for the library or a finding made here.
struct WorkItem {
  bool isCase = false;
  std::uint64_t caseLine = 0;              // file line of the MB line (or of the stray line)
  std::string data;                        // the call text, lines ended by CR LF; empty when not checked
  std::vector<std::uint64_t> lineMap;      // file line of call line k at index k - 1
  bool hasHeader = false;                  // the call starts with the MX line
  bool headerReported = false;             // that MX line's own findings came with an earlier case
  bool check = false;                      // pass data to the library
  std::vector<Finding> findings;           // findings made without the library
  CaseIdentity identity{};                 // from the MB line and the case's MD line
};

// The texts of the findings made here, in the chosen language.
struct SplitTexts {
  std::string strayLine;     // line outside any case
  std::string tooLarge;      // "{bytes}" stands for the size of the case
  std::string nulByte;       // line with a NUL byte
};

class CaseSplitter {
 public:
  static constexpr std::size_t kMaxCallBytes = 10000;  // the library refuses calls of this size or more

  CaseSplitter(std::vector<WorkItem>& out, SplitTexts texts);

  void addLine(const Line& line);
  // Adds a finding about the line added last: to its case, or as an item of
  // its own when it belongs to none.
  void addFinding(Finding finding);
  // Ends the current case (at the end of a file).
  void finish();

  // The '|' count of the first MB line seen, 0 while none was seen.
  int firstMbFieldCount() const { return firstMbFields_; }

 private:
  void closeCase();
  void appendToCase(const Line& line);

  std::vector<WorkItem>& out_;
  SplitTexts texts_;
  std::string header_;
  std::uint64_t headerLine_ = 0;
  bool headerUsed_ = false;
  bool open_ = false;
  WorkItem current_;
  std::size_t currentBytes_ = 0;
  bool currentHasNul_ = false;
  std::uint64_t nulLine_ = 0;
  int firstMbFields_ = 0;
};

// Field number (0 = record kind) of a record line, empty when the line has
// fewer fields.
std::string FieldOf(const std::string& line, int number);

// Number of '|' in a text.
int CountBars(const std::string& text);

}  // namespace qv::cli
