// The self-contained HTML report: summary, findings per case and the
// library's result table of each case with findings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CaseSplitter.h"
#include "Finding.h"
#include "Summary.h"
#include "UiTexts.h"

namespace qv::cli {

class LibraryChecker;

class HtmlReport {
 public:
  struct Entry {
    std::string fileName;
    int layout = 90;       // MB layout of the case's file
    WorkItem item;         // kept to render the library's table
    ItemResult result;
  };

  explicit HtmlReport(int maxCases) : maxCases_(maxCases) {}

  // Keeps a case with findings, up to the limit; later ones are only counted.
  void add(const std::string& fileName, int layout, const WorkItem& item, const ItemResult& result);
  std::vector<Entry>& entries() { return entries_; }

  bool write(const std::string& path, const Summary& summary, const UiTexts& texts,
             const std::vector<std::string>& inputs) const;

 private:
  int maxCases_;
  std::vector<Entry> entries_;
  std::uint64_t leftOut_ = 0;
};

// Renders the result tables of the entries in a worker process that runs the
// library with its viewer pointed at this program; see ViewerMain.
void RenderTables(std::vector<HtmlReport::Entry>& entries, LibraryChecker& live, int language);

// Entry point when the program runs as the library's viewer: copies the HTML
// file it is given to the file named by QUORVANT_VIEWER_CAPTURE.
int ViewerMain(int argc, char** argv);

// True when the program was started under the viewer's name.
bool IsViewerName(const char* argv0);

}  // namespace qv::cli
