// Support for the add-on record tests (MN, MP, MK): clean MB variants that
// announce the add-ons, a statistics-year shift, add-on cases built from
// changed fields and table rows checked against one catalogue's findings.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "rules/RuleInfo.h"
#include "support/Fixture.h"
#include "support/KernelCase.h"

namespace qvtest {

struct Addons { bool Mn = false, Mp = false, Mk = false; };

// CleanMb() announcing the given add-ons. With MN it is a newborn's case:
// born on the admission day, age 0, admission type birth, cost centre M300,
// main diagnosis Z380. With MP alone the cost centre is psychiatry (M500).
std::vector<std::string> CleanMbWith(Addons addons);

// Moves the MB's admission, treatment begin and discharge (and so the
// statistics year) into another year, keeping birth date and age consistent.
std::vector<std::string> AtYear(std::vector<std::string> mb, int year);

// Lets test failures show a finding as "E B3001 [value] line 2".
void PrintTo(const Finding& f, std::ostream* os);

// A catalogue, e.g. qv::AppendMnRules.
using AppendRulesFn = void (*)(std::vector<qv::RuleInfo*>&);
// The findings whose code belongs to one of the catalogues, in list order.
std::vector<Finding> FindingsOf(const Result& r, std::initializer_list<AppendRulesFn> catalogues);

// A case of two lines: the clean MB announcing `addons`, moved to `year` and
// with the fields `mb` changed, then the add-on line.
std::string AddonCase(Addons addons, const std::vector<std::string>& addon, const Fields& mb = {},
                      int year = 2023);
// A finding of the add-on line, line 2 of such a case.
Finding Own(char type, const char* code, const std::string& value = "");

// An add-on kind: what the MB announces, its clean line and its catalogue.
struct AddonKind { Addons Announce; std::vector<std::string> (*Clean)(); AppendRulesFn Append; };
// One table row: the add-on's and the MB's changed fields, the findings of
// the add-on's catalogue in list order, and the statistics year.
struct Variation { const char* Name; Fields Addon, Mb; std::vector<Finding> Expected; int Year = 2023; };
// A fixture for the tables of one add-on kind.
class AddonRules : public ::testing::Test {
 protected:
  explicit AddonRules(AddonKind kind) : kind_(kind) {}
  // The clean MB and add-on lines give no finding at all.
  void ExpectClean();
  // Checks each row as a case of the kind; the message list must succeed.
  void ExpectAll(const std::vector<Variation>& rows);

  Handle h;

 private:
  AddonKind kind_;
};

}  // namespace qvtest
