#include "Summary.h"

#include <algorithm>

#include "MessageLines.h"

namespace qv::cli {

namespace {
constexpr std::size_t kFieldsShown = 5;  // field numbers listed per code
}  // namespace

int TypeIndex(char type) {
  switch (type) {
    case 'E': return 0;
    case 'W': return 1;
    case 'H': return 2;
    case 'C': return 3;
    case 'S': return 4;
    default: return -1;
  }
}

void Summary::add(const ItemResult& result) {
  if (result.isCase) {
    ++cases_;
    if (!result.findings.empty()) ++casesWithFindings_;
  }
  for (const Finding& f : result.findings) {
    int index = TypeIndex(f.type);
    if (index >= 0) ++typeCounts_[index];
    CodeEntry& entry = codes_[f.code];
    if (entry.count++ == 0) entry.text = f.baseText;
    if (f.field > 0 && entry.fields.size() <= kFieldsShown) entry.fields.insert(f.field);
  }
}

std::vector<Summary::CodeCount> Summary::topCodes(std::size_t n) const {
  std::vector<CodeCount> all;
  all.reserve(codes_.size());
  for (const auto& [code, entry] : codes_) {
    // A text that names a field shows the fields its findings named.
    std::string fields;
    std::size_t shown = 0;
    for (int field : entry.fields) {
      if (shown++ == kFieldsShown) {
        fields += ", …";
        break;
      }
      fields += (fields.empty() ? "" : ", ") + std::to_string(field);
    }
    all.push_back({code, fields.empty() ? entry.text : WithFieldNumber(entry.text, fields), entry.count});
  }
  std::stable_sort(all.begin(), all.end(), [](const CodeCount& a, const CodeCount& b) { return a.count > b.count; });
  if (all.size() > n) all.resize(n);
  return all;
}

namespace {
// Pads a UTF-8 text to a width in characters.
std::string Padded(const std::string& text, std::size_t width) {
  std::size_t chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
  return chars >= width ? text : text + std::string(width - chars, ' ');
}
}  // namespace

void Summary::print(std::FILE* out, const UiTexts& texts) const {
  std::fprintf(out, "%s\n", texts.summaryTitle.c_str());
  std::fprintf(out, "  %s %llu\n", Padded(texts.casesRead + ":", 22).c_str(), static_cast<unsigned long long>(cases_));
  std::fprintf(out, "  %s %llu", Padded(texts.casesWithFindings + ":", 22).c_str(),
               static_cast<unsigned long long>(casesWithFindings_));
  if (cases_ > 0) std::fprintf(out, " (%.1f %%)", 100.0 * static_cast<double>(casesWithFindings_) / static_cast<double>(cases_));
  std::fprintf(out, "\n");
  if (selecting_)
    std::fprintf(out, "  %s %llu\n", Padded(texts.findingsLeftOut + ":", 22).c_str(),
                 static_cast<unsigned long long>(leftOut_));
  if (baselining_)
    std::fprintf(out, "  %s %llu\n", Padded(texts.findingsAccepted + ":", 22).c_str(),
                 static_cast<unsigned long long>(accepted_));
  if (!reference_.empty())
    std::fprintf(out, "  %s %s\n", Padded(texts.referenceData + ":", 22).c_str(), reference_.c_str());
  std::fprintf(out, "  %s:\n", texts.findingsByType.c_str());
  const char letters[] = "EWHCS";
  for (int i = 0; i < 5; ++i)
    std::fprintf(out, "    %c %s %llu\n", letters[i], Padded(texts.typeNames[i], 22).c_str(),
                 static_cast<unsigned long long>(typeCounts_[i]));
  std::fprintf(out, "  %s:", texts.topCodes.c_str());
  std::vector<CodeCount> top = topCodes(10);
  if (top.empty()) std::fprintf(out, " %s", texts.none.c_str());
  std::fprintf(out, "\n");
  for (const CodeCount& c : top)
    std::fprintf(out, "    %8llu  %-6s %s\n", static_cast<unsigned long long>(c.count), c.code.c_str(), c.text.c_str());
}

}  // namespace qv::cli
