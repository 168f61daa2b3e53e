// Table-driven rule tests: a clean case of an MB and the record line a table
// varies, with single fields changed per row, and its findings as one text.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/Fixture.h"

namespace qv {
struct RuleInfo;
}

namespace qvtest {

// The clean MB announcing the add-on records named in `addOns` ("MN MP MK
// MD"), moved to `year` with birth date and age kept consistent. With MN it
// is a newborn's case: born on the admission day, age 0, admission type
// birth, cost centre M300, main diagnosis Z380; with MP alone the cost
// centre is psychiatry (M500).
std::vector<std::string> MbFor(const std::string& addOns, int year = 2023);

// The clean MB cut or padded to `size` fields, with the given fields set.
std::vector<std::string> MbWith(const Fields& set, size_t size = 90);

// `a` with the fields of `b` written over it.
Fields Plus(Fields a, const Fields& b);

// A catalogue, e.g. qv::AppendMnRules.
using Catalogue = void (*)(std::vector<qv::RuleInfo*>&);

// A call's findings as "T CODE value; ..." in the order reported (entry
// findings carry the position): those on line `line`, or with a catalogue
// those of its tests on any line, where one on another line ends in " @N".
std::string Shown(const Result& r, int line, Catalogue only = nullptr);

// One case: the changed fields of the table's line, the findings it must
// give, the changed MB fields (in a table of an add-on line) and the year.
struct Row { const char* Name; Fields Set; std::string Want; Fields Mb = {}; int Year = 2023; };

// The tables of one record line ("" for the MB alone, "MN", "MP", "MK" or
// "MD"), compared on that line, or with a catalogue on that catalogue's tests.
class RuleTable : public ::testing::Test {
 protected:
  explicit RuleTable(std::string kind = "", Catalogue only = nullptr) : kind_(std::move(kind)), only_(only) {}
  // The case of a row: its MB, with an MD table a newborn record when the MB
  // announces one, and the table's line, the last one.
  std::vector<std::string> Lines(const Row& row) const;
  // Checks each row; none may give a structural finding.
  void Expect(const std::vector<Row>& rows);

  Handle h;

 private:
  std::string kind_;
  Catalogue only_;
};

}  // namespace qvtest
