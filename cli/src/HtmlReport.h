// The self-contained HTML report: a header saying what was checked when and
// with what, the summary, an index of the cases with findings, and per case
// its findings beside the fields they name. A small inline script filters the
// cases by type, code and text and searches case numbers; without scripts
// the report reads the same, all cases shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "WorkBlock.h"
#include "CaseView.h"
#include "Finding.h"
#include "Summary.h"
#include "UiTexts.h"

namespace qv::cli {

class LibraryChecker;

// What the report's header names.
struct ReportHeader {
  struct Input {
    std::string name;
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
  };
  std::string runDate;         // e.g. "2026-12-06 01:30 UTC"
  std::string program;         // program and library version
  std::string referenceData;   // the reference data's identity (name, year or "sample")
  std::vector<Input> inputs;
  int language = 0;            // 0 German, 1 French
};

class HtmlReport {
 public:
  struct Entry {
    std::string fileName;
    int layout = 90;       // MB layout of the case's file
    KeptCall call;         // kept to render the library's table
    ItemResult result;
    std::vector<CaseField> fields;  // the case view, filled by RenderTables
  };

  explicit HtmlReport(int maxCases) : maxCases_(maxCases) {}

  // Keeps a case with findings, up to the limit; later ones are only counted.
  void add(const std::string& fileName, int layout, const CallView& call, const ItemResult& result);
  std::vector<Entry>& entries() { return entries_; }

  // Writes the report; false when the file cannot be written.
  bool write(const std::string& path, const ReportHeader& header, const Summary& summary, const UiTexts& texts) const;

 private:
  int maxCases_;
  std::vector<Entry> entries_;
  std::uint64_t leftOut_ = 0;
};

// Fills the case views of the entries from the library's result tables. The
// live handle is closed: a handle on a copy of the reference directory
// renders the tables.
void RenderTables(std::vector<HtmlReport::Entry>& entries, LibraryChecker& live, int language);

}  // namespace qv::cli
