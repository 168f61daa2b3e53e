#include "RefChecks.h"

#include <algorithm>
#include <map>

#include "RefFiles.h"

namespace qv::ref {
namespace {

std::string At(size_t line, const std::string& text) { return "line " + std::to_string(line) + ": " + text; }

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

// Findings every line-based file shares: LF endings, no CR, a header line.
bool CheckTextShape(std::string_view text, Problems& out) {
  if (text.empty()) {
    out.push_back(At(1, "the file is empty (a header line is required)"));
    return false;
  }
  if (text.back() != '\n') out.push_back(At(SplitLines(text).size(), "the last line must end with a line feed"));
  size_t cr = text.find('\r');
  if (cr != std::string_view::npos) {
    size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(cr), '\n')) + 1;
    out.push_back(At(line, "carriage return found; lines end with a bare line feed"));
  }
  return true;
}

bool ByteLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

// "code label" as a value list entry holds it.
bool SplitEntry(std::string_view entry, std::string_view& code, std::string_view& label) {
  size_t space = entry.find(' ');
  if (space == std::string_view::npos || space == 0 || space + 1 >= entry.size()) return false;
  code = entry.substr(0, space);
  label = entry.substr(space + 1);
  return true;
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, lf - start));
    start = lf + 1;
  }
  return lines;
}

std::vector<std::string_view> SplitColumns(std::string_view line) {
  std::vector<std::string_view> cols;
  // One allocation per line: the checker splits every line of the tables at start.
  cols.reserve(static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1);
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      cols.push_back(line.substr(start));
      return cols;
    }
    cols.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

Problems CheckLookup(std::string_view text, int germanTextColumn) {
  Problems out;
  if (!CheckTextShape(text, out)) return out;
  if (text.find('\x1A') != std::string_view::npos)
    out.push_back(At(1, "the source must not contain the trailer bytes"));
  std::vector<std::string_view> lines = SplitLines(text);
  std::string_view previous;
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t n = i + 1;
    std::vector<std::string_view> cols = SplitColumns(lines[i]);
    const int dataColumns = static_cast<int>(cols.size()) - 1;
    if (cols[0].empty()) {
      out.push_back(At(n, "empty key"));
      continue;
    }
    if (dataColumns > kMaxLookupColumns)
      out.push_back(At(n, "more than " + std::to_string(kMaxLookupColumns) + " data columns"));
    if (dataColumns < germanTextColumn + 1) {
      out.push_back(At(n, "key " + Quoted(cols[0]) + " has " + std::to_string(dataColumns) +
                              " data columns; the texts need " + std::to_string(germanTextColumn + 1)));
    } else if (cols[germanTextColumn].empty() || cols[germanTextColumn + 1].empty()) {
      out.push_back(At(n, "key " + Quoted(cols[0]) + " has an empty German or French text"));
    }
    if (i > 1 && !ByteLess(previous, cols[0]))
      out.push_back(At(n, "key " + Quoted(cols[0]) +
                              (previous == cols[0] ? " repeats the key before it"
                                                   : " is not above the key before it " + Quoted(previous))));
    previous = cols[0];
  }
  if (lines.size() >= static_cast<size_t>(kMaxLookupRecords))
    out.push_back(At(static_cast<size_t>(kMaxLookupRecords), std::to_string(lines.size()) +
                                                                  " lines; the library has " +
                                                                  std::to_string(kMaxLookupRecords) +
                                                                  " record slots for all lookup tables together"));
  return out;
}

Problems CheckDomainKey(std::string_view text, std::set<std::string>* listNames) {
  Problems out;
  if (!CheckTextShape(text, out)) return out;
  std::vector<std::string_view> lines = SplitLines(text);
  std::set<std::string> finished;
  std::set<std::string> codes;
  std::string current;
  const auto& lookups = LookupDomainNames();
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t n = i + 1;
    std::vector<std::string_view> cols = SplitColumns(lines[i]);
    if (cols.size() != 3) {
      out.push_back(At(n, "expected LIST<TAB>code label<TAB>code label"));
      continue;
    }
    std::string name(cols[0]);
    if (name.empty() || name.find(' ') != std::string::npos) {
      out.push_back(At(n, "bad list name " + Quoted(name)));
      continue;
    }
    if (name != current) {
      if (finished.count(name)) out.push_back(At(n, "list " + Quoted(name) + " continues after another list"));
      if (std::find(lookups.begin(), lookups.end(), name) != lookups.end())
        out.push_back(At(n, "list " + Quoted(name) + " has the name of a lookup table"));
      if (!current.empty()) finished.insert(current);
      current = name;
      codes.clear();
      if (listNames) listNames->insert(name);
    }
    std::string_view codeDe, labelDe, codeFr, labelFr;
    if (!SplitEntry(cols[1], codeDe, labelDe) || !SplitEntry(cols[2], codeFr, labelFr)) {
      out.push_back(At(n, "each entry is a code, one space and a label"));
      continue;
    }
    if (codeDe != codeFr)
      out.push_back(At(n, "German code " + Quoted(codeDe) + " differs from French " + Quoted(codeFr)));
    if (!codes.insert(std::string(codeDe)).second)
      out.push_back(At(n, "code " + Quoted(codeDe) + " repeats in list " + Quoted(name)));
  }
  return out;
}

int ExpectedFieldCount(std::string_view recordKind) {
  static const std::map<std::string, int, std::less<>> counts = {{"MX", 9},  {"MB", 90},  {"MN", 18},
                                                                 {"MP", 34}, {"MD", 696}, {"MK", 30}};
  auto it = counts.find(recordKind);
  return it == counts.end() ? -1 : it->second;
}

Problems CheckFields(std::string_view text, const std::set<std::string>& listNames) {
  Problems out;
  if (!CheckTextShape(text, out)) return out;
  std::vector<std::string_view> lines = SplitLines(text);
  const auto& lookups = LookupDomainNames();
  std::map<std::string, int> described;  // record kind -> field lines
  std::string record;
  size_t recordLine = 0;
  auto finishRecord = [&]() {
    if (record.empty()) return;
    int expected = ExpectedFieldCount(record);
    if (described[record] != expected)
      out.push_back(At(recordLine, "record " + record + " describes " + std::to_string(described[record]) +
                                       " fields, expected " + std::to_string(expected)));
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const size_t n = i + 1;
    std::vector<std::string_view> cols = SplitColumns(lines[i]);
    std::string_view c0 = cols[0];
    const bool marked = c0.find('R') != std::string_view::npos || c0.find('F') != std::string_view::npos;
    if (!marked) continue;  // header, comment or empty line: never read
    if (c0 == "R") {
      if (cols.size() < 3) {
        out.push_back(At(n, "a record line is R<TAB>kind<TAB>"));
        continue;
      }
      finishRecord();
      record = std::string(cols[1]);
      recordLine = n;
      if (ExpectedFieldCount(record) < 0) out.push_back(At(n, "unknown record kind " + Quoted(record)));
      if (described.count(record)) out.push_back(At(n, "record " + record + " is described twice"));
      described[record] = 0;
      continue;
    }
    if (c0 != "F") {
      out.push_back(At(n, "column 0 " + Quoted(c0) + " would be read as a record or field line"));
      continue;
    }
    if (record.empty()) {
      out.push_back(At(n, "field line before the first record line"));
      continue;
    }
    ++described[record];
    if (cols.size() < 7) {
      out.push_back(At(n, "a field line needs name, kind, domain, German and French label, each followed by a TAB"));
      continue;
    }
    std::string_view name = cols[1], kind = cols[2], domain = cols[3];
    if (name.empty()) out.push_back(At(n, "empty variable name"));
    if (cols[4].empty() || cols[5].empty()) out.push_back(At(n, "field " + Quoted(name) + " needs both labels"));
    if (kind == "COMBO") {
      if (!listNames.count(std::string(domain)))
        out.push_back(At(n, "field " + Quoted(name) + ": value list " + Quoted(domain) + " not in the value lists"));
    } else if (kind == "LOOKUP") {
      if (std::find(lookups.begin(), lookups.end(), domain) == lookups.end())
        out.push_back(At(n, "field " + Quoted(name) + ": " + Quoted(domain) + " is not a lookup table"));
    } else if (kind == "DATE" || kind == "TEXT") {
      if (!domain.empty())
        out.push_back(At(n, "field " + Quoted(name) + ": a " + std::string(kind) + " field has no domain"));
    } else {
      out.push_back(
          At(n, "field " + Quoted(name) + ": kind " + Quoted(kind) + " is none of DATE, COMBO, LOOKUP, TEXT"));
    }
  }
  finishRecord();
  for (const char* kind : {"MX", "MB", "MN", "MP", "MD", "MK"})
    if (!described.count(kind)) out.push_back(At(1, std::string("record ") + kind + " is not described"));
  return out;
}

Problems CheckMessages(std::string_view text) {
  Problems out;
  if (!CheckTextShape(text, out)) return out;
  std::vector<std::string_view> lines = SplitLines(text);
  const size_t rows = lines.size() - 1;
  if (rows < static_cast<size_t>(kLastMessageNumber) + 1)
    out.push_back(At(lines.size(), "only " + std::to_string(rows) + " message rows; numbers 0 to " +
                                       std::to_string(kLastMessageNumber) + " need a row each"));
  if (rows + 1 > static_cast<size_t>(kMaxMessageRows))
    out.push_back(At(static_cast<size_t>(kMaxMessageRows) + 1,
                     std::to_string(rows) + " message rows; the library has room for " +
                         std::to_string(kMaxMessageRows - 1)));
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t n = i + 1;
    const std::string number = "message " + std::to_string(i - 1);
    std::vector<std::string_view> cols = SplitColumns(lines[i]);
    if (cols.size() < 3 || cols.size() > 4) {
      out.push_back(At(n, number + ": expected CODE<TAB>TYPE<TAB>TEXT and an optional older code"));
      continue;
    }
    if (cols[0].empty()) out.push_back(At(n, number + ": empty code"));
    if (cols[1].size() != 1 || std::string_view("EWHCS").find(cols[1][0]) == std::string_view::npos)
      out.push_back(At(n, number + ": type " + Quoted(cols[1]) + " is none of E, W, H, C, S"));
    if (cols[2].empty()) out.push_back(At(n, number + ": empty text"));
    size_t percent = cols[2].find('%');
    if (percent != std::string_view::npos &&
        (cols[2].compare(percent, 2, "%i") != 0 || cols[2].find('%', percent + 1) != std::string_view::npos))
      out.push_back(At(n, number + ": \"%\" may only stand once, as \"%i\" for the field number"));
  }
  return out;
}

Problems CheckMessagePair(std::string_view german, std::string_view french) {
  Problems out;
  std::vector<std::string_view> de = SplitLines(german), fr = SplitLines(french);
  if (de.size() != fr.size()) out.push_back(At(1, "the German and the French file have different numbers of rows"));
  for (size_t i = 1; i < std::min(de.size(), fr.size()); ++i) {
    std::vector<std::string_view> a = SplitColumns(de[i]), b = SplitColumns(fr[i]);
    if (a.size() < 2 || b.size() < 2) continue;
    if (a[0] != b[0] || a[1] != b[1])
      out.push_back(At(i + 1, "message " + std::to_string(i - 1) + ": German " + Quoted(a[0]) + "/" + Quoted(a[1]) +
                                  " but French " + Quoted(b[0]) + "/" + Quoted(b[1])));
  }
  return out;
}

}  // namespace qv::ref
