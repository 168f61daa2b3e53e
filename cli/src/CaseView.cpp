#include "CaseView.h"

#include <cstring>
#include <map>
#include <string_view>

#include "TextCoding.h"

namespace qv::cli {

namespace {
const char* const kRecords[] = {"MB", "MN", "MP", "MD", "MK", "MX"};

bool IsRecordName(const std::string& name) {
  for (const char* r : kRecords)
    if (name == r) return true;
  return false;
}

// The content of the one cell on a line of the table: the library writes
// "<td class=NAME>" (after "<tr>" on a row's first line), the content, then
// "</td>" (and "</td></tr>" on the row's last line).
bool CellOf(const char* line, std::size_t size, std::string& content) {
  std::string_view l(line, size);
  std::size_t td = l.find("<td");
  if (td == std::string_view::npos) return false;
  std::size_t start = l.find('>', td);
  std::size_t end = l.rfind("</td>");
  if (start == std::string_view::npos || end == std::string_view::npos || end <= start) return false;
  if (end >= 5 && l.substr(end - 5, 10) == "</td></td>") end -= 5;  // the row's last line
  content = CodePageToUtf8(std::string(l.substr(start + 1, end - start - 1)));
  return true;
}

std::string Trimmed(const std::string& text) {
  std::size_t a = text.find_first_not_of(' ');
  std::size_t b = text.find_last_not_of(' ');
  return a == std::string::npos ? "" : text.substr(a, b - a + 1);
}

// The labels a message text starts with: "A / B: ..." gives A and B.
std::vector<std::string> LeadingLabels(const std::string& text) {
  std::vector<std::string> labels;
  std::size_t colon = text.find(": ");
  if (colon == std::string::npos) return labels;
  std::string head = text.substr(0, colon);
  std::size_t from = 0;
  for (;;) {
    std::size_t slash = head.find('/', from);
    std::string part = Trimmed(head.substr(from, slash == std::string::npos ? std::string::npos : slash - from));
    if (!part.empty()) labels.push_back(part);
    if (slash == std::string::npos) break;
    from = slash + 1;
  }
  return labels;
}

// Record kind of each file line of the case.
std::map<std::uint64_t, std::string> LineKinds(const CallView& call) {
  std::map<std::uint64_t, std::string> kinds;
  const std::string_view text(call.text, call.size);
  std::size_t pos = 0;
  for (std::size_t k = 0; k < call.lineCount; ++k) {
    if (pos >= text.size()) break;
    kinds[call.lines[k]] = std::string(text.substr(pos, 2));
    std::size_t end = text.find("\r\n", pos);
    pos = end == std::string_view::npos ? text.size() : end + 2;
  }
  return kinds;
}
}  // namespace

std::vector<CaseField> ReadCaseTable(const std::string& table) {
  std::vector<CaseField> fields;
  std::string cells[4];
  std::size_t count = 0;
  std::string record;
  int position = 0;
  std::size_t pos = 0;
  while (pos < table.size()) {
    std::size_t end = table.find('\n', pos);
    if (end == std::string::npos) end = table.size();
    const char* line = table.data() + pos;
    std::size_t size = end - pos;
    pos = end + 1;
    if (size >= 4 && std::memcmp(line, "<tr>", 4) == 0) count = 0;
    if (size >= 20 && std::memcmp(line, "<tr><td class=tabtit", 20) == 0) continue;  // the header row
    if (!CellOf(line, size, cells[count])) continue;
    if (++count < 4) continue;
    count = 0;
    if (IsRecordName(cells[0])) {
      record = cells[0];
      position = 0;
    }
    ++position;
    if (record.empty()) continue;
    CaseField f;
    f.record = record;
    f.field = position;
    f.name = std::move(cells[0]);
    f.label = std::move(cells[1]);
    f.value = std::move(cells[2]);
    f.meaning = std::move(cells[3]);
    fields.push_back(std::move(f));
  }
  return fields;
}

void LinkFindings(std::vector<CaseField>& fields, const std::vector<Finding>& findings, const CallView& call) {
  std::map<std::uint64_t, std::string> kinds = LineKinds(call);
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    auto kind = kinds.find(f.line);
    if (kind == kinds.end()) continue;
    const std::string& record = kind->second;
    std::vector<std::size_t> named;
    if (f.field > 0) {
      for (std::size_t k = 0; k < fields.size(); ++k)
        if (fields[k].record == record && fields[k].field == f.field) named.push_back(k);
    }
    if (named.empty()) {
      // By label: in the finding's record first, then in the others.
      for (const std::string& label : LeadingLabels(f.baseText)) {
        std::size_t found = fields.size();
        for (std::size_t k = 0; k < fields.size(); ++k) {
          if (fields[k].label != label) continue;
          if (fields[k].record == record) {
            found = k;
            break;
          }
          if (found == fields.size()) found = k;
        }
        if (found < fields.size()) named.push_back(found);
      }
    }
    if (named.empty() && !f.value.empty()) {
      std::size_t match = fields.size();
      int count = 0;
      for (std::size_t k = 0; k < fields.size(); ++k)
        if (fields[k].record == record && fields[k].value == f.value && fields[k].field > 1) {
          match = k;
          ++count;
        }
      if (count == 1) named.push_back(match);
    }
    for (std::size_t k : named) fields[k].findings.push_back(static_cast<int>(i));
  }
  std::vector<CaseField> kept;
  for (CaseField& field : fields)
    if (!field.value.empty() || !field.findings.empty()) kept.push_back(std::move(field));
  fields = std::move(kept);
}

}  // namespace qv::cli
