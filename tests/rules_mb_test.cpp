// The MB rules through the exported functions: the clean case stays silent,
// single changes make exactly the expected findings (code, type, value) in
// the expected order, and values just inside a limit stay silent.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "rules/RuleInfo.h"
#include "support/Fixture.h"

namespace {

using Fields = std::map<int, std::string>;

// A case's findings as "T CODE [value]", e.g. "E B0101 [3]"; findings on a
// line other than the first carry "@line".
std::vector<std::string> Describe(const qvtest::Result& r) {
  std::vector<std::string> out;
  for (const qvtest::Finding& f : r.Findings) {
    std::string s = std::string(1, f.Type) + " " + f.Code + " [" + f.Value + "]";
    if (f.Line != 1) s += " @" + std::to_string(f.Line);
    out.push_back(s);
  }
  return out;
}

std::vector<std::string> Mb(const Fields& set) {
  std::vector<std::string> f = qvtest::CleanMb();
  for (const auto& [n, v] : set) f[static_cast<size_t>(n)] = v;
  return f;
}

Fields Plus(Fields a, const Fields& b) {
  for (const auto& [n, v] : b) a[n] = v;
  return a;
}

// The clean case moved to another year (the statistics year comes from the
// discharge), with codes valid in every year.
Fields InYear(int y) {
  const std::string year = std::to_string(y);
  return {{12, std::to_string(y - 1981)}, {15, year + "030110"}, {25, year + "031012"},
          {60, year + "030112"},          {29, "K358"},            {59, "4701"}};
}

// The `count` catalogue rows from the one with code `first` as
// "CODEtype ...", checking that they add consecutive messages from `msg`.
std::string CatalogueFrom(const std::string& first, size_t count, int msg) {
  std::vector<qv::RuleInfo> all = qv::AllRules();
  size_t i = 0;
  while (i < all.size() && first != all[i].Code) ++i;
  std::string out;
  for (size_t n = 0; n < count && i + n < all.size(); ++n, ++msg) {
    const qv::RuleInfo& r = all[i + n];
    EXPECT_EQ(r.Msg, msg) << r.Code;
    out += (n ? " " : "") + std::string(r.Code) + qv::TypeLetter(r.Kind);
  }
  return out;
}

struct Row {
  const char* Name;
  Fields Set;
  std::vector<std::string> Want;
};

class MbRules : public ::testing::Test {
 protected:
  qvtest::Handle h;

  void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      qvtest::Result r = h.Check(qvtest::Line(Mb(row.Set)));
      EXPECT_EQ(Describe(r), row.Want) << row.Name;
    }
  }
};

TEST_F(MbRules, CleanCaseAloneAndWithItsDetailRecordHaveNoFinding) {
  qvtest::Result alone = h.Check(qvtest::Line(qvtest::CleanMb()));
  EXPECT_EQ(alone.Count, 0) << alone.List;
  EXPECT_EQ(alone.List, "");

  qvtest::Result withMd = h.Check(qvtest::Line(Mb({{8, "1"}})) + qvtest::Line(qvtest::CleanMd()));
  EXPECT_EQ(withMd.Count, 0) << withMd.List;
  EXPECT_EQ(withMd.List, "");
}

TEST_F(MbRules, PersonalData) {
  ExpectRows({
      {"birth after treatment begin and admission", {{11, "20230302"}, {12, "0"}},
       {"E A1825 [20230302]", "E B0115 [20230302]"}},
      // Born on the day of admission: no date finding, but the admission type
      // is not birth (B1023, a code rule).
      {"birth on the day of admission", {{11, "20230301"}, {12, "0"}}, {"W B1023 []"}},
      {"sex missing", {{10, ""}}, {"E B0100 []"}},
      {"sex invalid", {{10, "3"}}, {"E B0101 [3]"}},
      {"sex with a trailing space is not a sex", {{10, "1 "}}, {"E B0101 [1 ]", "E C0901 [1 ]"}},
      {"birth date missing", {{11, ""}}, {"E B0110 []"}},
      {"birth date with an impossible day", {{11, "19800532"}}, {"E B0111 [19800532]"}},
      {"birth year only is a valid form", {{11, "19800000"}}, {}},
      {"birth year without anything after it", {{11, "1980"}}, {"E B0111 [1980]", "H C2111 [1980]"}},
      {"birth date with a one-digit hour", {{11, "198005151"}}, {"E B0111 [198005151]", "H C2111 [198005151]"}},
      {"age missing", {{12, ""}}, {"E B0120 []"}},
      {"age 124 is inside the range", {{11, "18990115"}, {12, "124"}}, {}},
      {"age 125 is outside", {{11, "18980115"}, {12, "125"}}, {"E B0121 [125]"}},
      // A minus sign is a forbidden character as well.
      {"negative age", {{12, "-1"}}, {"E B0121 [-1]", "E B0201 []", "E C0901 [-1]"}},
      {"newborn admission with age 1", {{11, "20220115"}, {12, "1"}, {17, "3"}}, {"E B0122 [1]", "E B1022 [3]"}},
      // Age 0 passes B0122; born here without newborn record fails B3101.
      {"newborn admission with age 0", {{11, "20230301"}, {12, "0"}, {17, "3"}}, {"E B3101 []"}},
      {"residence missing", {{13, ""}}, {"E B0130 []", "E B0131 []"}},
      {"residence unknown", {{13, "9999"}}, {"E B0131 [9999]"}},
      {"residence Switzerland as nationality code", {{13, "CHE"}}, {"W B0132 [CHE]"}},
      {"residence as region", {{13, "ZH01"}}, {}},
      {"residence as foreign region", {{13, "DE01"}}, {}},
      {"residence as world region", {{13, "EU"}}, {}},
      {"residence as another country", {{13, "DEU"}}, {}},
      {"nationality missing for an inpatient", {{19, "3"}, {5, "C"}, {14, ""}}, {"E B0140 []"}},
      {"nationality missing for an outpatient", {{14, ""}}, {}},
      {"nationality unknown", {{14, "XXX"}}, {"E B0141 [XXX]"}},
      {"nationality as world region", {{14, "EU"}}, {}},
      {"nationality with a trailing space", {{14, "CHE "}}, {"E B0141 [CHE ]", "E C0901 [CHE ]"}},
      {"age two below the year difference", {{12, "41"}}, {"E B0201 []"}},
      {"age equal to the year difference", {{12, "43"}}, {}},
      {"infant with birth year only", {{11, "20220000"}, {12, "1"}}, {"E B0202 [20220000]"}},
      {"two-year-old with birth year only", {{11, "20210000"}, {12, "2"}}, {}},
      {"death with birth year only", {{11, "19800000"}, {26, "5"}, {27, "0"}, {28, "0"}}, {"E B0203 [19800000]"}},
  });
}

TEST_F(MbRules, Admission) {
  ExpectRows({
      {"admission missing", {{15, ""}}, {"E B1000 []"}},
      {"admission without day", {{15, "202303"}}, {"E B1001 [202303]"}},
      {"admission with a cut day", {{15, "2023030"}}, {"E B1001 [2023030]"}},
      {"admission with a one-digit hour", {{15, "202303011"}}, {"E B1002 [202303011]"}},
      {"admission of 8 characters needs no hour", {{15, "20230301"}}, {}},
      {"emergency admission without hour", {{15, "20230301"}, {17, "1"}}, {"E B1005 [20230301]"}},
      {"emergency admission with hour", {{17, "1"}}, {}},
      {"stay before admission missing", {{16, ""}}, {"E B1010 []"}},
      {"stay before admission invalid", {{16, "10"}}, {"E B1011 [10]"}},
      {"stay before admission 83", {{16, "83"}}, {}},
      {"admission type missing", {{17, ""}}, {"E B1020 []"}},
      {"admission type invalid", {{17, "6"}}, {"E B1021 [6]"}},
      {"mother with admission type birth", {{17, "3"}}, {"E B0122 [42]", "E B1022 [3]"}},
      {"referring instance missing", {{18, ""}}, {"E B1030 []"}},
      {"referring instance invalid", {{18, "7"}}, {"E B1031 [7]"}},
      {"admission hours after treatment begin", {{15, "2023030112"}, {60, "2023030108"}},
       {"E B1060 [2023030108]", "E B1061 [2023030112]"}},
      {"same for a B case", {{5, "B"}, {15, "2023030112"}, {60, "2023030108"}},
       {"E B1060 [2023030108]", "E B1061 [2023030112]"}},
      {"admission a day after treatment begin", {{15, "2023030210"}}, {"E B1060 [2023030112]"}},
      {"same for a B case", {{5, "B"}, {15, "2023030210"}}, {}},
      {"admission and treatment begin in the same hour", {{15, "2023030112"}}, {}},
      {"admission after discharge day", {{15, "2023031110"}, {60, "2023031111"}}, {"E B1065 [2023031110]"}},
      {"admission after discharge hour", {{15, "2023031013"}, {60, "2023031014"}}, {"E B1066 [2023031013]"}},
  });
}

TEST_F(MbRules, Stay) {
  ExpectRows({
      {"treatment type missing", {{19, ""}}, {"E B1110 []"}},
      {"treatment type invalid", {{19, "4"}}, {"E B1111 [4]"}},
      {"treatment type unknown", {{19, "9"}}, {"W B1112 [9]"}},
      {"partial inpatient", {{19, "2"}}, {"E B1113 [2]"}},
      {"partial inpatient with a trailing space", {{19, "2 "}}, {"E B1111 [2 ]", "E C0901 [2 ]"}},
      {"partial inpatient psychiatry in Bern", {{19, "2"}, {23, "M500"}, {3, "BE"}}, {}},
      {"partial inpatient psychiatry in Zurich", {{19, "2"}, {23, "M500"}, {3, "ZH"}}, {"E B1113 [2]"}},
      {"partial inpatient in 2008", Plus(InYear(2008), {{19, "2"}}), {}},
      {"partial inpatient in 2009", Plus(InYear(2009), {{19, "2"}}), {"E B1113 [2]"}},
      {"class missing for an inpatient", {{5, "C"}, {19, "3"}, {20, ""}}, {"E B1120 []"}},
      {"class missing for an outpatient", {{20, ""}}, {}},
      {"class invalid", {{20, "4"}}, {"E B1121 [4]"}},
      {"class unknown for an inpatient", {{5, "C"}, {19, "3"}, {20, "9"}}, {"H B1122 [9]"}},
      {"class unknown for an outpatient", {{20, "9"}}, {}},
      {"cost centre missing", {{23, ""}}, {"E B1130 []"}},
      {"cost centre invalid", {{23, "M999"}}, {"E B1131 [M999]"}},
      {"cost centre M960 in 2016", Plus(InYear(2016), {{23, "M960"}}), {}},
      {"cost centre M960 in 2015", Plus(InYear(2015), {{23, "M960"}}), {"E B1131 [M960]"}},
      {"paediatrics at 19", {{23, "M400"}, {11, "20040115"}, {12, "19"}}, {"W B1135 [19]"}},
      {"paediatrics at 18", {{23, "M400"}, {11, "20050115"}, {12, "18"}}, {}},
      {"geriatrics at 29", {{23, "M900"}, {11, "19940115"}, {12, "29"}}, {"W B1136 [29]"}},
      {"geriatrics at 30", {{23, "M900"}, {11, "19930115"}, {12, "30"}}, {}},
      {"payer missing", {{24, ""}}, {"E B1140 []"}},
      {"payer invalid", {{24, "6"}}, {"E B1141 [6]"}},
      {"leave missing for an inpatient", {{5, "C"}, {19, "3"}, {22, ""}}, {"W B1150 []"}},
      {"leave negative", {{22, "-1"}}, {"E B1151 [-1]", "E C0901 [-1]"}},
      {"leave beyond 9999 and the stay", {{22, "10000"}}, {"E B1151 [10000]", "E B1152 [10000]"}},
      {"leave of 48 hours in two days", {{25, "2023030212"}, {22, "48"}}, {}},
      {"leave of 49 hours in two days", {{25, "2023030212"}, {22, "49"}}, {"E B1152 [49]"}},
      {"leave on a one-day stay is not compared", {{25, "2023030112"}, {22, "100"}}, {}},
      {"intensive care missing for an inpatient A case", {{19, "3"}, {21, ""}}, {"W B2000 []", "E C0710 []"}},
      {"intensive care missing for an inpatient C case", {{5, "C"}, {19, "3"}, {21, ""}}, {}},
      {"intensive care negative", {{21, "-5"}}, {"E B2001 [-5]", "E C0901 [-5]"}},
      {"intensive care beyond 9999 and the stay", {{21, "10000"}}, {"E B2001 [10000]", "E B2400 [10000]"}},
      {"intensive care of 48 hours in two days", {{25, "2023030212"}, {21, "48"}}, {}},
      {"intensive care of 49 hours in two days", {{25, "2023030212"}, {21, "49"}}, {"E B2400 [49]"}},
  });
}

TEST_F(MbRules, Discharge) {
  ExpectRows({
      // The statistics year then comes from the clock; no rule here depends
      // on it beyond 2016.
      {"discharge missing", {{25, ""}}, {"E B1200 []"}},
      {"discharge fields missing in an A case", {{25, ""}, {26, ""}, {27, ""}, {28, ""}},
       {"E B1200 []", "E B1210 []", "E B1220 []", "E B1230 []"}},
      // "A " begins with A but is not A.
      {"discharge fields missing in an \"A \" case", {{5, "A "}, {25, ""}, {26, ""}, {27, ""}, {28, ""}},
       {"E B1200 []", "E B1220 []", "E C0901 [A ]", "E C2051 [A ]"}},
      {"discharge fields missing in a B case", {{5, "B"}, {25, ""}, {26, ""}, {27, ""}, {28, ""}}, {}},
      {"discharge without day", {{25, "202303"}}, {"E B1201 [202303]"}},
      {"discharge with a one-digit hour", {{25, "202303101"}}, {"E B1202 [202303101]"}},
      {"discharge of 8 characters needs no hour", {{25, "20230310"}}, {}},
      {"discharge decision invalid", {{26, "6"}}, {"E B1211 [6]"}},
      {"stay after discharge invalid", {{27, "45"}}, {"E B1221 [45]"}},
      {"stay after discharge 44", {{27, "44"}}, {}},
      {"treatment after discharge invalid", {{28, "6"}}, {"E B1231 [6]"}},
      {"death with treatment after discharge", {{26, "5"}, {27, "0"}, {28, "1"}}, {"W B1250 []"}},
      {"death with both after-discharge fields 0", {{26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"death discharge without hour", {{26, "5"}, {27, "0"}, {28, "0"}, {25, "20230310"}}, {"E B1251 [20230310]"}},
      {"stay after discharge 0 without death", {{27, "0"}}, {"E B1252 []"}},
      {"treatment after discharge 0 without death", {{28, "0"}}, {"E B1252 []"}},
  });
}

TEST_F(MbRules, AddOnRecordsAndRecordFields) {
  ExpectRows({
      {"newborn record announced but absent", {{6, "1"}}, {"E B3100 []"}},
      {"newborn record announced in a B case", {{5, "B"}, {6, "1"}}, {}},
      {"inpatient psychiatry without psychiatry record", {{19, "3"}, {23, "M500"}}, {"H B4900 []", "E C0710 []"}},
      {"inpatient psychiatry without psychiatry record in 2015", Plus(InYear(2015), {{19, "3"}, {23, "M500"}}),
       {"E C0710 []"}},
      {"psychiatry record announced but absent", {{7, "1"}}, {"E C0400 [1]"}},
      {"cantonal record announced but absent", {{9, "1"}}, {"E C0600 []"}},
      {"detail record announced but absent", {{8, "1"}}, {"E C0700 [1]"}},
      {"inpatient A case without detail record", {{19, "3"}}, {"E C0710 []"}},
      {"inpatient A case without detail record in 2013", Plus(InYear(2013), {{19, "3"}}), {}},
      {"hyphen in the patient code", {{4, "ABC-EF0123456789"}}, {"E C0901 [ABC-EF0123456789]"}},
      {"the first field with a bad character is named", {{3, "Z H"}, {4, "ABC-EF0123456789"}}, {"E C0901 [Z H]"}},
      {"hyphen in the patient code in 2015", Plus(InYear(2015), {{4, "ABC-EF0123456789"}}), {}},
      {"site missing", {{2, ""}}, {"E C2020 []"}},
      {"site missing in 2010", Plus(InYear(2010), {{2, ""}}), {}},
      {"site invalid", {{2, "37"}}, {"E C2021 [37]"}},
      {"site of one digit", {{2, "1"}}, {"E C2021 [1]"}},
      {"site too long", {{2, "011"}}, {"E C2021 [011]", "E C2022 []"}},
      {"site too long in 2010", Plus(InYear(2010), {{2, "011"}}), {}},
      {"case kind missing", {{5, ""}}, {"E C2050 []"}},
      {"case kind invalid", {{5, "D"}}, {"E C2051 [D]"}},
      {"newborn flag missing", {{6, ""}}, {"E C2060 []"}},
      {"newborn flag invalid", {{6, "2"}}, {"E C2061 [2]"}},
      {"psychiatry flag missing", {{7, ""}}, {"E C2070 []"}},
      {"psychiatry flag invalid", {{7, "2"}}, {"E C2071 [2]"}},
      {"detail flag missing", {{8, ""}}, {"E C2080 []"}},
      {"detail flag invalid", {{8, "2"}}, {"E C2081 [2]"}},
      {"cantonal flag missing", {{9, ""}}, {"E C2090 []"}},
      {"cantonal flag invalid", {{9, "2"}}, {"E C2091 [2]"}},
  });
}

// Many tests failing at once report in the fixed order of the catalogue,
// whatever the field order.
TEST_F(MbRules, FindingsComeInCatalogueOrder) {
  std::vector<std::string> empty(90);
  empty[0] = "MB";
  EXPECT_EQ(Describe(h.Check(qvtest::Line(empty))),
            (std::vector<std::string>{"E B0100 []", "E B0110 []", "E B0120 []", "E B0130 []", "E B0131 []",
                                      "E B1000 []", "E B1010 []", "E B1020 []", "E B1030 []", "E B1110 []",
                                      "E B1130 []", "E B1140 []", "E C2020 []", "E C2050 []", "E C2060 []",
                                      "E C2070 []", "E C2080 []", "E C2090 []"}));

  const Fields invalid = {{2, "99"},    {5, "D"},          {6, "2"},     {7, "2"},      {8, "2"},    {9, "2"},
                          {10, "3"},    {11, "1980"},      {12, "200"},  {13, "XX"},    {14, "XXX"}, {15, "20230000"},
                          {16, "99"},   {17, "99"},        {18, "99"},   {19, "8"},     {20, "8"},   {21, "10000"},
                          {22, "10000"}, {23, "M123"},     {24, "99"},   {25, "20240000"}, {26, "99"}, {27, "99"},
                          {28, "99"},   {29, "QQ"},        {59, "YY"},   {60, ""}};
  EXPECT_EQ(Describe(h.Check(qvtest::Line(Mb(invalid)))),
            (std::vector<std::string>{
                "E B0101 [3]",     "E B0111 [1980]",     "E B0121 [200]",  "E B0131 [XX]",    "E B0141 [XXX]",
                "E B1001 [20230000]", "E B1011 [99]",    "E B1021 [99]",   "E B1031 [99]",    "E B1111 [8]",
                "E B1121 [8]",     "E B1131 [M123]",     "E B1141 [99]",   "E B1151 [10000]", "E B1201 [20240000]",
                "E B1211 [99]",    "E B1221 [99]",       "E B1231 [99]",   "E B2001 [10000]", "E C2021 [99]",
                "E C2051 [D]",     "E C2061 [2]",        "E C2071 [2]",    "E C2081 [2]",     "E C2091 [2]",
                "H C2111 [1980]",  "E A02000 [QQ]",      "E A12000 [YY]"}));
}

// The begin of the main treatment is field 40 in the 50-field layout.
TEST(MbRulesShortLayout, TreatmentBeginComesFromField40) {
  qvtest::Handle h;
  std::vector<std::string> f = qvtest::CleanMb();
  f.resize(50);
  f[39] = "8952";
  f[40] = "2023030112";
  qvtest::Result clean = h.Check(qvtest::Line(f));
  EXPECT_EQ(clean.List, "");

  f[15] = "2023030114";
  EXPECT_EQ(Describe(h.Check(qvtest::Line(f))),
            (std::vector<std::string>{"E B1060 [2023030112]", "E B1061 [2023030114]"}));
}

// The message numbers cannot be seen through the exports (the fixture
// message files are made from the catalogue), so the catalogue itself is
// checked: the tests in order of execution, each with its type, adding the
// messages 1 to 84 in that order.
TEST(MbCatalogue, TestsInOrderWithTheirMessageNumbers) {
  const std::string expected =
      "A1825E B0100E B0101E B0110E B0111E B0115E B0120E B0121E B0122E B0130E B0131E B0132W B0140E B0141E "
      "B0201E B0202E B0203E B1000E B1001E B1002E B1005E B1010E B1011E B1020E B1021E B1022E B1030E B1031E "
      "B1060E B1061E B1065E B1066E B1110E B1111E B1112W B1113E B1120E B1121E B1122H B1130E B1131E B1135W "
      "B1136W B1140E B1141E B1150W B1151E B1152E B1200E B1201E B1202E B1210E B1211E B1220E B1221E B1230E "
      "B1231E B1250W B1251E B1252E B2000W B2001E B2400E B3100E B4900H C0400E C0600E C0700E C0710E C0901E "
      "C2020E C2021E C2022E C2050E C2051E C2060E C2061E C2070E C2071E C2080E C2081E C2090E C2091E C2111H";
  EXPECT_EQ(CatalogueFrom("A1825", 84, 1), expected);
}

}  // namespace
