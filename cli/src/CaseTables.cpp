// The case views of the HTML report, rendered by the library.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "HtmlReport.h"
#include "LibraryChecker.h"
#include "TextCoding.h"
#include "foundation/Platform.h"

namespace qv::cli {

namespace {
constexpr const char* kViewerName = "qv6show.exe";
}  // namespace

void RenderTables(std::vector<HtmlReport::Entry>& entries, LibraryChecker& live, int language) {
  namespace fs = std::filesystem;
  if (entries.empty()) return;
  // With its result table switched on, the library writes the table to a
  // temporary file and then starts its viewer from the base directory. The
  // tables are rendered on a base directory that holds links to the
  // reference files but no viewer, with the temporary files in that
  // directory too: the library then writes each table there and, finding no
  // viewer, goes on at once.
  // The library rewrites both temporary files for each case; on a disk file
  // system each rewrite may wait for the disk, so memory is preferred.
  std::error_code ec;
  std::string made = platform::MakeTempDirectory("quorvant-view-", true);
  if (made.empty()) return;
  fs::path dir = fs::path(made).parent_path();
  fs::path base = fs::absolute(live.baseDir(), ec);
  for (const fs::directory_entry& ent : fs::directory_iterator(base, ec)) {
    if (ent.path().filename() == kViewerName) continue;
    if (!platform::LinkOrCopy(ent.path().string(), (dir / ent.path().filename()).string())) continue;
  }
  platform::RedirectTempFiles(made);

  live.close();  // one handle per process
  LibraryChecker checker(made, language, MessageFormat());
  fs::path tableFile;
  if (checker.open()) {
    for (HtmlReport::Entry& e : entries) {
      bool rejected = false;  // the library's records may then hold another case's values
      for (const Finding& f : e.result.findings) rejected = rejected || f.code == "S000";
      if (!e.call.check || rejected || !checker.prepareLayout(e.layout)) continue;
      ItemOutcome rendered;
      checker.check(e.call.view(), rendered, true);
      if (tableFile.empty()) {
        for (const fs::directory_entry& ent : fs::directory_iterator(dir, ec)) {
          if (ent.is_symlink(ec) || !ent.is_regular_file(ec)) continue;
          std::ifstream in(ent.path(), std::ios::binary);
          char head[7] = {};
          in.read(head, 6);
          if (std::string(head) == "<table") tableFile = ent.path();
        }
      }
      std::ifstream in(tableFile, std::ios::binary);
      if (tableFile.empty() || !in) continue;
      std::string table(static_cast<std::size_t>(fs::file_size(tableFile, ec)), '\0');
      in.read(&table[0], static_cast<std::streamsize>(table.size()));
      table.resize(static_cast<std::size_t>(in.gcount()));
      in.close();
      fs::remove(tableFile, ec);  // so that a table the library did not write is never read again
      e.fields = ReadCaseTable(table);
      LinkFindings(e.fields, e.result.findings, e.call.view());
    }
  }
  checker.close();  // also removes the library's temporary files
  platform::RedirectTempFiles("");
  fs::remove_all(dir, ec);
}

}  // namespace qv::cli
