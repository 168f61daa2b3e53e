#include "support/RuleTable.h"

#include <cstring>

#include "rules/RuleInfo.h"

namespace qvtest {

std::vector<std::string> MbFor(const std::string& addOns, int year) {
  std::vector<std::string> f = CleanMb();
  const auto has = [&](const char* kind) { return addOns.find(kind) != std::string::npos; };
  if (has("MN")) f = With(f, {{6, "1"}, {12, "0"}, {17, "3"}, {23, "M300"}, {29, "Z380"}});
  if (has("MP")) f = With(f, {{7, "1"}, {23, has("MN") ? "M300" : "M500"}});
  if (has("MD")) f[8] = "1";
  if (has("MK")) f[9] = "1";
  for (int n : {15, 25, 60}) f[n].replace(0, 4, std::to_string(year));
  // Born in May 1980 and admitted in March: the birthday of the year is still ahead.
  if (has("MN")) f[11] = f[15].substr(0, 8);
  else f[12] = std::to_string(year - 1981);
  return f;
}

std::vector<std::string> MbWith(const Fields& set, size_t size) {
  std::vector<std::string> f = CleanMb();
  f.resize(size);
  return With(f, set);
}

Fields Plus(Fields a, const Fields& b) {
  for (const auto& [n, v] : b) a[n] = v;
  return a;
}

std::string Shown(const Result& r, int line, Catalogue only) {
  std::vector<qv::RuleInfo*> rules;
  if (only) only(rules);
  std::string out;
  for (const Finding& f : r.Findings) {
    bool listed = false;
    for (const qv::RuleInfo* rule : rules) listed |= f.Code.compare(0, std::strlen(rule->Code), rule->Code) == 0;
    if (only ? !listed : f.Line != line) continue;
    out += (out.empty() ? "" : "; ") + std::string{f.Type, ' '} + f.Code + (f.Value.empty() ? "" : " " + f.Value) +
           (f.Line != line ? " @" + std::to_string(f.Line) : "");
  }
  return out;
}

std::vector<std::string> RuleTable::Lines(const Row& row) const {
  const std::vector<std::string> mb = With(With(MbFor(kind_, row.Year), row.Mb), kind_.empty() ? row.Set : Fields{});
  if (kind_.empty()) return {Line(mb)};
  std::vector<std::string> lines = {Line(mb)};
  if (kind_ == "MD" && mb[6] == "1") lines.push_back(Line(CleanMn()));
  std::vector<std::string> own =
      kind_ == "MN" ? CleanMn() : kind_ == "MP" ? CleanMp() : kind_ == "MK" ? CleanMk() : CleanMd();
  if (kind_ == "MD") own[156].replace(0, 4, std::to_string(row.Year));
  lines.push_back(Line(With(own, row.Set)));
  return lines;
}

void RuleTable::Expect(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    const std::vector<std::string> lines = Lines(row);
    const Result r = h.Check(Case(lines));
    EXPECT_TRUE(r.Status == 0 && r.Structs == 0) << row.Name << "\n" << r.List;
    EXPECT_EQ(Shown(r, static_cast<int>(lines.size()), only_), row.Want) << row.Name << "\n" << r.List;
  }
}

}  // namespace qvtest
