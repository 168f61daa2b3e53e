// Test support: temporary directories, base directories made from the
// plain-text fixtures, a handle that checks one case through the exported
// functions, a data source to look into, and record lines.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "interface/LibraryGlobals.h"

namespace qv {
class tBuffer;
class tDataSource;
}

namespace qvtest {

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// The text in an output buffer (its copy must end in one NUL).
std::string Text(const qv::tBuffer& b);

// A temporary directory of a test's own, removed with its contents at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The directory's path, ending in '/'.
  const std::string& Path() const { return path_; }
  // Writes a file into the directory and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// Sets the statistics year while it lives and then restores the year before,
// so that no test hands its year to the next.
class StatYearScope {
 public:
  explicit StatYearScope(int year) { qv::StatYear = year; }
  ~StatYearScope() { qv::StatYear = saved_; }
  StatYearScope(const StatYearScope&) = delete;
  StatYearScope& operator=(const StatYearScope&) = delete;

 private:
  int saved_ = qv::StatYear;
};

// One finding as the tests read it: type letter, code (with the entry
// position for diagnosis and treatment findings), line within the call and
// value text.
struct Finding { char Type; std::string Code; int Line; std::string Value; };

struct Result {
  int Count = 0;       // QV_TestRec's result
  int Status = 0;      // QV_GetMessageList's result
  int Errors = 0, Warnings = 0, Hints = 0, Controls = 0, Structs = 0;
  std::string List;    // the host list as returned
  std::vector<Finding> Findings;
};

// Writes a base directory into a new temporary directory and returns its
// path, ending in '/'. Message rows come from the rule catalogue (code, type
// letter by counter, description; French rows get the prefix "FR "); lookup
// tables are the merged, sorted rows of tests/fixtures/lookup/<table>/*.tsv;
// fields.ix5 and domainkey.ix5 come from tests/fixtures/fields.tsv and
// tests/fixtures/domainkey.tsv.
std::string MakeBaseDirectory();

// Removes a directory made by MakeBaseDirectory.
void RemoveDirectory(const std::string& path);

// A live handle on a fixture base directory, with a line format that the
// tests parse: "{{SYS.MsgType}}|{{SYS.ErrorNr}}|{{SYS.LineNr}}|{{SYS.InvalidData}}".
class Handle {
 public:
  Handle();
  ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  unsigned Value() const { return handle_; }
  // Checks one call's data (record lines joined with CR LF).
  Result Check(const std::string& data);

 private:
  std::string base_;
  unsigned handle_;
};

// One tDataSource on a fixture base directory, set up as QV_Create does, for
// tests that look at the kernel objects after a run. The statistics year
// its runs set is restored when it ends.
class KernelCase {
 public:
  KernelCase();
  ~KernelCase();
  KernelCase(const KernelCase&) = delete;
  KernelCase& operator=(const KernelCase&) = delete;

  // Loads and processes one call's data; returns qv_ProcessData's result,
  // or -1 when the data is refused.
  int Run(const std::string& data);
  qv::tDataSource& Source() { return *source_; }
  const std::string& Base() const { return base_; }

 private:
  StatYearScope year_{qv::StatYear};
  std::string base_;
  std::unique_ptr<qv::tDataSource> source_;
};

// Field number -> text, the changes a test makes to a record's fields.
using Fields = std::map<int, std::string>;

// The record's fields with the given ones set (the line grows as needed).
std::vector<std::string> With(std::vector<std::string> line, const Fields& set);

// A record line: the fields joined with '|', a '|' after the last, CR LF.
std::string Line(const std::vector<std::string>& fields);
// Joins lines built with Line() into one call's data.
std::string Case(const std::vector<std::string>& lines);

// Field vectors of clean records (field 0 is the prefix); tests change
// single fields and build the line with Line(). A case made of them yields
// no finding.
std::vector<std::string> CleanMx();
std::vector<std::string> CleanMb();
std::vector<std::string> CleanMn();
std::vector<std::string> CleanMp();
std::vector<std::string> CleanMd();
std::vector<std::string> CleanMk();

}  // namespace qvtest
