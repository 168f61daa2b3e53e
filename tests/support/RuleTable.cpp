#include "support/RuleTable.h"

#include <gtest/gtest.h>

namespace qvtest {

std::vector<std::string> MbWith(const Fields& set, size_t size) {
  std::vector<std::string> f = CleanMb();
  f.resize(size);
  return With(f, set);
}

Fields Plus(Fields a, const Fields& b) {
  for (const auto& [n, v] : b) a[n] = v;
  return a;
}

Fields InYear(int y, const Fields& more) {
  const std::string year = std::to_string(y);
  return Plus({{12, std::to_string(y - 1981)}, {15, year + "030110"}, {25, year + "031012"},
               {60, year + "030112"}, {29, "K358"}, {59, "4701"}},
              more);
}

namespace {

std::string Text(const Finding& f) { return std::string(1, f.Type) + " " + f.Code + " [" + f.Value + "]"; }

}  // namespace

std::vector<std::string> Describe(const Result& r) {
  std::vector<std::string> out;
  for (const Finding& f : r.Findings) out.push_back(Text(f) + (f.Line != 1 ? " @" + std::to_string(f.Line) : ""));
  return out;
}

std::vector<std::string> Describe(const Result& r, int line, const std::vector<qv::RuleInfo>& rules) {
  std::vector<std::string> out;
  for (const Finding& f : r.Findings)
    for (const qv::RuleInfo& rule : rules)
      if (f.Line == line && f.Code.compare(0, 5, rule.Code) == 0) out.push_back(Text(f));
  return out;
}

void ExpectRows(Handle& h, const std::vector<Row>& rows, const std::string& addOns) {
  for (const Row& row : rows) {
    std::vector<std::string> mbLine;
    for (const Finding& f : h.Check(Line(MbWith(row.Set)) + addOns).Findings)
      if (f.Line == 1) mbLine.push_back(Text(f));
    EXPECT_EQ(mbLine, row.Want) << row.Name;
  }
}

std::vector<qv::RuleInfo> CatalogueRows(const std::string& first, size_t count) {
  std::vector<qv::RuleInfo> all = qv::AllRules();
  size_t i = 0;
  while (i < all.size() && first != all[i].Code) ++i;
  all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(i));
  if (all.size() > count) all.resize(count);
  return all;
}

}  // namespace qvtest
