// One finding as the command reports it, and the result of one input item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::cli {

struct Finding {
  std::uint64_t line = 0;  // line in the input file; 0 when it concerns the whole file
  char type = 'S';         // E, W, H, C or S
  std::string code;        // five-character code such as "B0131", or "S000".."S005"
  int item = -1;           // 0-based diagnosis or treatment position, -1 when none
  std::string text;        // message text, with the position label when there is one
  std::string baseText;    // message text without position label (for the summary)
  std::string value;       // the value the finding concerns, may be empty
  int field = 0;           // field the finding names by number, counted on its line from 1 (the
                           // record kind); 0 when it names none
};

// Who a case is, taken from its records: what a data manager looks the case up
// by, and what stays the same when the file is exported again (unlike line
// numbers). UTF-8; empty where the case has no such field (or is no case).
struct CaseIdentity {
  std::string bur;          // enterprise number, MB field 1
  std::string site;         // location, MB field 2
  std::string linkageCode;  // anonymous linkage code, MB field 4
  std::string caseNumber;   // case number of the case-cost statistics, MD field 662
};

// What one input item (a case, or a line outside any case) produced, as its
// block process sends it back (ResultWire.h). Kept small: the results of a
// whole block may wait in the main process for the block before it.
struct ItemOutcome {
  bool isCase = false;           // counts as a case read
  std::uint64_t caseLine = 0;    // file line of the case's MB line (or of the stray line)
  std::vector<Finding> findings;
  std::string hostText;          // the library's host lines (host format only)
  std::string htmlTable;         // the library's result table (HTML report only)
};

// An item's outcome as the output side takes it, with the case's identity,
// which the main process takes from the case's lines.
struct ItemResult : ItemOutcome {
  CaseIdentity identity = {};
};

}  // namespace qv::cli
