// Support for the add-on record tests (MN, MP, MK): clean MB variants that
// announce the add-ons, a statistics-year shift, the findings of one record
// kind's codes, and a case run on the kernel classes so that record
// counters can be read after the tests ran.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "rules/RuleInfo.h"
#include "support/Fixture.h"
#include "support/KernelCase.h"

namespace qvtest {

struct Addons {
  bool Mn = false, Mp = false, Mk = false;
};

// CleanMb() announcing the given add-ons. With MN it is a newborn's case:
// born on the admission day, age 0, admission type birth, cost centre M300,
// main diagnosis Z380. With MP alone the cost centre is psychiatry (M500).
std::vector<std::string> CleanMbWith(Addons addons);

// Moves the MB's admission, treatment begin and discharge (and so the
// statistics year) into another year, keeping birth date and age consistent.
std::vector<std::string> AtYear(std::vector<std::string> mb, int year);

// Lets test failures show a finding as "E B3001 [value] line 2".
void PrintTo(const Finding& f, std::ostream* os);

// The rules of one catalogue, e.g. CodesOf(qv::AppendMnRules).
using AppendRulesFn = void (*)(std::vector<qv::RuleInfo>&);
std::vector<qv::RuleInfo> RulesOf(AppendRulesFn append);  // e.g. RulesOf(qv::AppendMnRules)
// The findings whose code belongs to that catalogue, in list order.
std::vector<Finding> FindingsOf(const Result& r, AppendRulesFn append);


}  // namespace qvtest
