#include "ReferenceCheck.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "FileIO.h"
#include "Ix5Codec.h"
#include "RefChecks.h"
#include "RefFiles.h"

namespace qv::cli {

namespace {

using ref::FileKind;
using ref::Problems;

std::string InFile(const std::string& path, const std::string& problem) {
  return "reference file '" + path + "': " + problem;
}

// The first problems and how many follow them, on one line.
std::string First(const std::string& path, const Problems& problems) {
  constexpr std::size_t kShown = 3;
  std::string line;
  for (std::size_t i = 0; i < problems.size() && i < kShown; ++i) line += (i ? "; " : "") + problems[i];
  if (problems.size() > kShown) line += " (and " + std::to_string(problems.size() - kShown) + " more)";
  return InFile(path, line);
}

// The plain text of a stored file as the library reads it. A lookup table is
// read up to three bytes before its end: without its trailer, a line that
// ends there is not read and is reported.
std::string PlainText(const ref::RefFile& file, const std::string& stored, Problems& problems) {
  if (file.Kind == FileKind::Messages) return stored;
  std::string plain = ix5::Decode(stored);
  if (file.Kind != FileKind::Lookup || ix5::StripLookupTrailer(plain)) return plain;
  plain.resize(plain.size() < ix5::kTrailerLength ? 0 : plain.size() - ix5::kTrailerLength);
  const std::size_t kept = plain.rfind('\n') == std::string::npos ? 0 : plain.rfind('\n') + 1;
  if (kept < plain.size())
    problems.push_back("line " + std::to_string(ix5::LineOfOffset(plain, kept)) +
                       ": not read (a lookup table ends with three bytes after its last line feed)");
  plain.resize(kept);
  return plain;
}

// Record slots a file takes in the library's lookup table: one per line of
// a lookup table (its header included), one per value list line.
std::size_t Slots(const ref::RefFile& file, const std::string& plain) {
  const auto lines = static_cast<std::size_t>(std::count(plain.begin(), plain.end(), '\n'));
  if (file.Kind == FileKind::Lookup) return lines;
  return file.Kind == FileKind::DomainKey && lines > 0 ? lines - 1 : 0;
}

}  // namespace

std::string CheckReferenceDirectory(const std::string& dir) {
  std::set<std::string> listNames;
  std::string messagesDe, fields, fieldsPath;
  std::size_t slots = 0;
  // RefFiles() lists the lookup tables and the value lists in the order the
  // library loads them, before the field definitions, which name them.
  for (const ref::RefFile& file : ref::RefFiles()) {
    const std::string path = dir + file.Target;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return InFile(path, "missing or not a regular file");
    std::string stored;
    if (!ix5::ReadFile(path, stored)) return InFile(path, "cannot be read");
    Problems problems;
    const std::string plain = PlainText(file, stored, problems);
    if (!problems.empty()) return First(path, problems);

    switch (file.Kind) {
      case FileKind::Lookup: problems = ref::CheckLookup(plain, file.TextColumn); break;
      case FileKind::DomainKey: problems = ref::CheckDomainKey(plain, &listNames); break;
      case FileKind::Fields:
        fields = plain;  // checked once the value lists are known
        fieldsPath = path;
        break;
      case FileKind::Messages:
        problems = ref::CheckMessages(plain);
        if (problems.empty() && messagesDe.empty()) messagesDe = plain;
        else if (problems.empty()) problems = ref::CheckMessagePair(messagesDe, plain);
        break;
    }
    if (!problems.empty()) return First(path, problems);
    const std::size_t before = slots, limit = static_cast<std::size_t>(ref::kMaxLookupRecords);
    slots += Slots(file, plain);
    if (slots >= limit) {
      const std::size_t line = limit - before + (file.Kind == FileKind::DomainKey ? 1 : 0);
      return InFile(path, "line " + std::to_string(line) + ": the lookup tables and value lists need " +
                              std::to_string(slots) + " record slots; the library has " + std::to_string(limit));
    }
  }
  // The optional message line format is read whole as well.
  const std::string format = dir + "formatString.txt";
  std::error_code ec;
  if (std::filesystem::exists(format, ec) && !std::filesystem::is_regular_file(format, ec))
    return InFile(format, "not a regular file");
  Problems problems = ref::CheckFields(fields, listNames);
  return problems.empty() ? std::string() : First(fieldsPath, problems);
}

}  // namespace qv::cli
