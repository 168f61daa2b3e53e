#include "support/CleanAddons.h"

#include <gtest/gtest.h>

namespace qvtest {

// A live-born single child of a mother born 1 January 1990, 40 weeks,
// 3400 g, 50 cm, born at 10:30, first pregnancy after one earlier birth.
std::vector<std::string> CleanMn() {
  return {"MN", "1", "1030", "1", "1", "1", "3400", "50", "0", "0", "19900101", "400", "400", "1", "1", "0", "0", "0"};
}

// A psychiatric stay whose group codes agree with the clean MB (stay before
// admission, referring instance and the discharge fields all in group 1).
std::vector<std::string> CleanMp() {
  std::vector<std::string> f(34, "0");
  f[0] = "MP";
  f[1] = "1";    // civil status
  f[2] = "11";   // stay before admission
  f[4] = "1";    // full-time employed
  f[12] = "3";   // education
  f[13] = "11";  // referring instance
  f[14] = "";    // voluntariness: no longer asked for
  f[15] = "2";   // welfare placement
  f[16] = "";    // days or consultations: no longer asked for
  f[17] = "1";   // treatment
  f[20] = "1";   // antidepressants
  f[30] = "11";  // decision for discharge
  f[31] = "11";  // stay after discharge
  f[32] = "10";  // treatment after discharge
  f[33] = "1";   // treatment area
  return f;
}

std::vector<std::string> CleanMk() { return {"MK", "1", "2", "3"}; }

std::vector<std::string> CleanMbWith(Addons addons) {
  std::vector<std::string> f = CleanMb();
  if (addons.Mn) {
    f[6] = "1";
    f[11] = f[15].substr(0, 8);
    f[12] = "0";
    f[17] = "3";
    f[23] = "M300";
    f[29] = "Z380";
  }
  if (addons.Mp) {
    f[7] = "1";
    if (!addons.Mn) f[23] = "M500";
  }
  if (addons.Mk) f[9] = "1";
  return f;
}

std::vector<std::string> AtYear(std::vector<std::string> mb, int year) {
  const std::string y = std::to_string(year);
  const bool newborn = mb[12] == "0" && mb[11] == mb[15].substr(0, 8);
  for (int n : {15, 25, 60})
    if (mb[n].size() >= 4) mb[n].replace(0, 4, y);
  if (newborn) {
    mb[11] = mb[15].substr(0, 8);
  } else {
    // Born in May, admitted in March: the birthday of the year is still ahead.
    mb[12] = std::to_string(year - std::stoi(mb[11].substr(0, 4)) - 1);
  }
  return mb;
}

void PrintTo(const Finding& f, std::ostream* os) {
  *os << f.Type << ' ' << f.Code << " [" << f.Value << "] line " << f.Line;
}

std::vector<Finding> FindingsOf(const Result& r, std::initializer_list<AppendRulesFn> catalogues) {
  std::vector<qv::RuleInfo*> rules;
  for (AppendRulesFn append : catalogues) append(rules);
  std::vector<Finding> own;
  for (const Finding& f : r.Findings)
    for (const qv::RuleInfo* rule : rules)
      if (f.Code == rule->Code) {
        own.push_back(f);
        break;
      }
  return own;
}

std::string AddonCase(Addons addons, const std::vector<std::string>& addon, const Fields& mb, int year) {
  return Case({Line(With(AtYear(CleanMbWith(addons), year), mb)), Line(addon)});
}

Finding Own(char type, const char* code, const std::string& value) { return {type, code, 2, value}; }

void AddonRules::ExpectClean() {
  const Result r = h.Check(AddonCase(kind_.Announce, kind_.Clean()));
  EXPECT_EQ(r.Count, 0) << r.List;
  EXPECT_EQ(r.Status, 0);
}

void AddonRules::ExpectAll(const std::vector<Variation>& rows) {
  for (const Variation& row : rows) {
    const Result r = h.Check(AddonCase(kind_.Announce, With(kind_.Clean(), row.Addon), row.Mb, row.Year));
    EXPECT_EQ(r.Status, 0) << row.Name << ": " << r.List;
    EXPECT_EQ(FindingsOf(r, {kind_.Append}), row.Expected) << row.Name << "\n  list: " << r.List;
  }
}

}  // namespace qvtest
