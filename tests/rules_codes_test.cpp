// The diagnosis and treatment code rules as an MB-only case runs them:
// single code changes make exactly the expected findings with their entry
// positions and values, in catalogue order; year, age and day limits are
// probed on both sides. A case with a detail record does not run them from
// the MB.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "rules/RuleInfo.h"
#include "support/Fixture.h"

namespace {

using Fields = std::map<int, std::string>;

// Findings as "T CODE [value]"; entry findings carry the position in the
// code, e.g. "E A02002 [XXXX]". Only findings of the first line (the MB)
// are kept, so that add-on lines may follow.
std::vector<std::string> MbFindings(const qvtest::Result& r) {
  std::vector<std::string> out;
  for (const qvtest::Finding& f : r.Findings)
    if (f.Line == 1) out.push_back(std::string(1, f.Type) + " " + f.Code + " [" + f.Value + "]");
  return out;
}

std::vector<std::string> Mb(const Fields& set, size_t size = 90) {
  std::vector<std::string> f = qvtest::CleanMb();
  f.resize(size);
  for (const auto& [n, v] : set) f[static_cast<size_t>(n)] = v;
  return f;
}

Fields Plus(Fields a, const Fields& b) {
  for (const auto& [n, v] : b) a[n] = v;
  return a;
}

// The clean case moved to another year, with codes valid in every year.
Fields InYear(int y) {
  const std::string year = std::to_string(y);
  return {{12, std::to_string(y - 1981)}, {15, year + "030110"}, {25, year + "031012"},
          {60, year + "030112"},          {29, "K358"},            {59, "4701"}};
}

// Born on the given date; the age field agrees with it for an admission on
// 1 March 2023.
Fields Born(const std::string& date, int age) { return {{11, date}, {12, std::to_string(age)}}; }

// Field numbers of the 90-field layout: diagnosis j, treatment j.
int Dia(int j) { return 29 + j; }
int Beh(int j) { return j == 0 ? 59 : 60 + j; }

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

class CodeRules : public ::testing::Test {
 protected:
  qvtest::Handle h;

  void ExpectRows(const std::vector<Row>& rows, const std::string& addOns = "") {
    for (const Row& row : rows) {
      qvtest::Result r = h.Check(qvtest::Line(Mb(row.Set)) + addOns);
      EXPECT_EQ(MbFindings(r), row.Want) << row.Name;
    }
  }
};

TEST_F(CodeRules, MainDiagnosisAndSupplement) {
  ExpectRows({
      {"main diagnosis missing in an inpatient C case", {{5, "C"}, {19, "3"}, {Dia(0), ""}}, {"E A0000 []"}},
      {"main diagnosis missing in an inpatient B case", {{5, "B"}, {19, "3"}, {Dia(0), ""}}, {}},
      {"main diagnosis missing in an outpatient case", {{Dia(0), ""}}, {}},
      // Needs the billing status of a detail record.
      {"code not allowed as billed main diagnosis", {{Dia(0), "Z039"}}, {}},
      {"star code as main diagnosis", {{Dia(0), "H220"}}, {"E A0011 [H220]"}},
      {"secondary code as main diagnosis", {{Dia(0), "B962"}}, {"E A0012 [B962]"}},
      {"secondary code as main diagnosis in 2009", Plus(InYear(2009), {{Dia(0), "B962"}}), {}},
      {"external cause as main diagnosis", {{Dia(0), "W010"}}, {"E A0013 [W010]"}},
      {"unknown external cause as main diagnosis", {{Dia(0), "X999"}}, {"E A0013 [X999]", "E A02000 [X999]"}},
      {"waiting patient not transferred internally", {{Dia(0), "Z758"}}, {"E A0021 [Z758]"}},
      {"waiting patient transferred internally", {{Dia(0), "Z758"}, {17, "4"}}, {}},
      {"waiting patient in 2011", Plus(InYear(2011), {{Dia(0), "Z758"}}), {}},
      {"ordinary code as supplement", {{Dia(1), "J189"}}, {"E A0120 [J189]"}},
      {"star code as supplement", {{Dia(1), "H220"}}, {}},
      {"external cause as supplement", {{Dia(1), "W010"}}, {}},
      {"unknown supplement", {{Dia(1), "XXXX"}}, {"E A02001 [XXXX]"}},
      {"ordinary supplement in 2009", Plus(InYear(2009), {{Dia(1), "I10"}}), {}},
      {"ordinary supplement in 2010", Plus(InYear(2010), {{Dia(1), "I10"}}), {"E A0120 [I10]"}},
      {"ordinary supplement in 2024", Plus(InYear(2024), {{Dia(1), "I10"}}), {}},
      {"late effect with external cause", {{Dia(0), "T910"}, {Dia(1), "W010"}}, {"W A0130 [W010]"}},
      {"late effect with external cause in 2011", Plus(InYear(2011), {{Dia(0), "T910"}, {Dia(1), "W010"}}), {}},
      {"late effect with external cause in 2024", Plus(InYear(2024), {{Dia(0), "T910"}, {Dia(1), "W010"}}), {}},
  });
}

TEST_F(CodeRules, EveryDiagnosisPosition) {
  ExpectRows({
      {"two unknown codes", {{Dia(2), "XXXX"}, {Dia(3), "YYYY"}}, {"E A02002 [XXXX]", "E A02003 [YYYY]"}},
      {"code valid until 2013", {{Dia(2), "J111"}}, {"E A02012 [J111]"}},
      {"code valid until 2013 in 2013", Plus(InYear(2013), {{Dia(2), "J111"}}), {}},
      {"code valid from 2024", {{Dia(2), "J121"}}, {"E A02022 [J121]"}},
      {"code valid from 2024 in 2024", Plus(InYear(2024), {{Dia(2), "J121"}}), {}},
      {"non-terminal code", {{Dia(2), "J18"}}, {"E A02102 [J18]"}},
      {"non-terminal code in 2009", Plus(InYear(2009), {{Dia(2), "J18"}}), {}},
      {"non-terminal code in 2010", Plus(InYear(2010), {{Dia(2), "J18"}}), {"E A02102 [J18]"}},
      {"lethal code without death", {{Dia(2), "R99"}}, {"W A03102 [R99]"}},
      {"lethal code with death", {{Dia(2), "R99"}, {26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"HIV group with laboratory evidence", {{Dia(0), "B220"}, {Dia(2), "R75"}}, {"E A03302 [R75]"}},
      {"HIV group with asymptomatic infection", {{Dia(0), "B220"}, {Dia(2), "Z21"}}, {"E A03302 [Z21]"}},
      {"laboratory evidence alone", {{Dia(2), "R75"}}, {}},
      {"HIV group with laboratory evidence in 2009", Plus(InYear(2009), {{Dia(0), "B220"}, {Dia(2), "R75"}}), {}},
      {"birth code in the newborn's record", Plus(Born("20230220", 0), {{Dia(2), "Z370"}}),
       {"E A03412 [Z370]", "W A03432 [Z370]"}},
      {"birth code in the newborn's record with O09",
       Plus(Born("20230220", 0), {{Dia(2), "Z370"}, {Dia(3), "O094"}}), {"E A03412 [Z370]"}},
      {"birth code in the mother's record", {{Dia(2), "Z370"}}, {"W A03432 [Z370]"}},
      {"newborn code in the mother's record", {{Dia(2), "Z380"}}, {"E A03422 [Z380]"}},
      {"newborn code in the newborn's record", Plus(Born("20230220", 0), {{Dia(2), "Z380"}}), {}},
      // Z37 counts only from position 2 on.
      {"delivery with birth code as supplement", {{Dia(0), "O800"}, {Dia(1), "Z370"}},
       {"E A0120 [Z370]", "W A03430 [O800]", "W A03431 [Z370]", "E A03440 [O800]"}},
      {"delivery with birth code as secondary diagnosis", {{Dia(0), "O800"}, {Dia(2), "Z370"}},
       {"W A03430 [O800]", "W A03432 [Z370]"}},
      {"delivery with birth code and O09", {{Dia(0), "O800"}, {Dia(2), "Z370"}, {Dia(3), "O094"}}, {}},
      {"delivery as secondary diagnosis", {{Dia(2), "O800"}, {Dia(3), "Z370"}, {Dia(4), "O094"}},
       {"E A03452 [O800]"}},
      {"delivery as secondary diagnosis in 2011",
       Plus(InYear(2011), {{Dia(2), "O800"}, {Dia(3), "Z370"}, {Dia(4), "O094"}}), {}},
      {"chemotherapy session", {{Dia(2), "Z511"}}, {"W A03502 [Z511]"}},
      {"combined therapy session", {{Dia(2), "Z5182"}}, {"W A03502 [Z5182]"}},
      {"chemotherapy session in 2011", Plus(InYear(2011), {{Dia(2), "Z511"}}), {}},
      {"female code for a man", {{Dia(2), "N800"}}, {"W A04002 [N800]"}},
      {"female code for a woman", {{10, "2"}, {Dia(2), "N800"}}, {}},
      {"notifiable disease", {{Dia(2), "A000"}}, {"W A09202 [A000]"}},
      {"notifiable disease in 2011", Plus(InYear(2011), {{Dia(2), "A000"}}), {}},
      {"perinatal code at 29 days", Plus(Born("20230131", 0), {{Dia(2), "P100"}}), {"W A14102 [20230131]"}},
      {"perinatal code at 28 days", Plus(Born("20230201", 0), {{Dia(2), "P100"}}), {}},
      {"perinatal code of the two-character list", Plus(Born("20230131", 0), {{Dia(2), "P200"}}),
       {"W A14102 [20230131]"}},
      {"perinatal code of the three-character list", Plus(Born("20230131", 0), {{Dia(2), "P293"}}),
       {"W A14102 [20230131]"}},
      {"P code outside both lists", Plus(Born("20230131", 0), {{Dia(2), "P290"}}), {}},
  });
}

// Each age class probed just inside and just outside its limits (admission
// on 1 March 2023).
TEST_F(CodeRules, AgeClasses) {
  struct AgeRow {
    const char* Code;
    const char* Birth;
    int Age;
    bool Fails;
    const char* Test;
  };
  const AgeRow rows[] = {
      {"Q250", "20220301", 1, false, "A0410"},  // 365 days
      {"Q250", "20220228", 1, true, "A0410"},   // 366 days
      {"Q251", "20220115", 1, false, "A0411"},
      {"Q251", "20210115", 2, true, "A0411"},
      {"Q252", "20140115", 9, false, "A0412"},
      {"Q252", "20130115", 10, true, "A0412"},
      {"Q253", "20050115", 18, false, "A0413"},
      {"Q253", "20040115", 19, true, "A0413"},
      {"Q254", "20230201", 0, false, "A0414"},  // 28 days
      {"Q254", "20230202", 0, true, "A0414"},   // 27 days
      {"Q255", "20220115", 1, false, "A0415"},
      {"Q255", "20221121", 0, true, "A0415"},   // 100 days
      {"E301", "20160115", 7, true, "A0416"},
      {"E301", "20150115", 8, false, "A0416"},
      {"E301", "20040115", 19, false, "A0416"},
      {"E301", "20030115", 20, true, "A0416"},
      {"N970", "20120115", 11, true, "A0417"},
      {"N970", "20110115", 12, false, "A0417"},
      {"N970", "19680115", 55, false, "A0417"},
      {"N970", "19670115", 56, true, "A0417"},
      {"F100", "20090115", 14, true, "A0418"},
      {"F100", "20080115", 15, false, "A0418"},
      {"G300", "19940115", 29, true, "A0419"},
      {"G300", "19930115", 30, false, "A0419"},
  };
  for (const AgeRow& row : rows) {
    qvtest::Result r = h.Check(qvtest::Line(Mb(Plus(Born(row.Birth, row.Age), {{Dia(2), row.Code}}))));
    std::vector<std::string> want;
    if (row.Fails) want.push_back(std::string("W ") + row.Test + "2 [" + row.Code + "]");
    EXPECT_EQ(MbFindings(r), want) << row.Code << " born " << row.Birth;
  }
  ExpectRows({
      // A day-old patient is too young for class b (and was admitted at birth).
      {"class b on the day of birth", Plus(Born("20230301", 0), {{Dia(2), "Q251"}}),
       {"W A04112 [Q251]", "W B1023 []"}},
      {"several classes for an adult", {{Dia(2), "Q250"}, {Dia(3), "Q251"}, {Dia(4), "E301"}},
       {"W A04102 [Q250]", "W A04113 [Q251]", "W A04164 [E301]"}},
      {"infant class for an adult in 2011", Plus(InYear(2011), {{Dia(2), "Q250"}}), {}},
  });
}

TEST_F(CodeRules, CaseLevel) {
  ExpectRows({
      {"born here, admission type not birth", Born("20230301", 0), {"W B1023 []"}},
      {"born here with a live-birth code", Plus(Born("20230301", 0), {{Dia(2), "Z381"}}), {}},
      // B1310 and A0020 need the billing status of a detail record.
      {"waiting patient from the MB", {{Dia(0), "Z758"}, {17, "4"}}, {}},
      {"born here without newborn record", Plus(Born("20230301", 0), {{17, "3"}}), {"E B3101 []"}},
      {"born here without newborn record in 2015", Plus(InYear(2015), {{11, "20150301"}, {12, "0"}, {17, "3"}}),
       {}},
  });
}

TEST_F(CodeRules, Treatments) {
  ExpectRows({
      {"main treatment missing", {{Beh(0), ""}, {23, "M200"}}, {"W A1000 []"}},
      {"main treatment missing on a cost centre without treatments", {{Beh(0), ""}}, {"H A1001 []"}},
      {"newborn without treatment", Plus(Born("20230220", 0), {{Beh(0), ""}, {23, "M200"}, {Dia(0), "Z380"}}), {}},
      {"waiting patient without treatment", {{Beh(0), ""}, {23, "M200"}, {Dia(0), "Z758"}, {17, "4"}}, {}},
      {"B case without treatment", {{Beh(0), ""}, {23, "M200"}, {5, "B"}}, {}},
      {"supplementary code as main treatment", {{Beh(0), "0040"}}, {"E A1005 [0040]"}},
      {"supplementary code as further treatment", {{Beh(1), "0040"}}, {}},
      {"supplementary code as main treatment in 2015", Plus(InYear(2015), {{Beh(0), "0040"}}), {}},
      {"supplementary code as main treatment in 2024", Plus(InYear(2024), {{Beh(0), "0040"}}), {}},
      {"two unknown treatments", {{Beh(1), "XXXX"}, {Beh(2), "YYYY"}}, {"E A12001 [XXXX]", "E A12002 [YYYY]"}},
      {"treatment valid until 2013", {{Beh(1), "3961"}}, {"E A12011 [3961]"}},
      {"treatment valid from 2024", {{Beh(1), "3962"}}, {"E A12021 [3962]"}},
      {"non-terminal treatment", {{Beh(1), "895"}}, {"E A12101 [895]"}},
      {"unspecific two-digit treatment in 2019", Plus(InYear(2019), {{Beh(1), "89"}}), {"E A12221 [89]"}},
      {"unspecific two-digit treatment in 2020", Plus(InYear(2020), {{Beh(1), "89"}}), {}},
      {"FIM code in 2018", Plus(InYear(2018), {{Beh(1), "AA1211"}}), {"H A12901 [AA1211]"}},
      {"FIM code in 2017", Plus(InYear(2017), {{Beh(1), "AA1211"}}), {}},
      {"autopsy without death", {{Beh(1), "8981"}}, {"W A13101 [8981]"}},
      {"autopsy with death", {{Beh(1), "8981"}, {26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"female treatment for a man", {{Beh(1), "6549"}}, {"W A14001 [6549]"}},
      {"female treatment for a woman", {{10, "2"}, {Beh(1), "6549"}}, {}},
      {"female treatment with gender identity diagnosis", {{Beh(1), "6549"}, {Dia(2), "F640"}}, {}},
      {"childbearing-age treatment at 42", {{Beh(1), "7359"}}, {}},
      {"childbearing-age treatment at 56", Plus(Born("19670115", 56), {{Beh(1), "7359"}}), {"W A14171 [7359]"}},
      {"childbearing-age treatment at 55", Plus(Born("19680115", 55), {{Beh(1), "7359"}}), {}},
      {"childbearing-age treatment at 12", Plus(Born("20110115", 12), {{Beh(1), "7359"}}), {}},
      {"childbearing-age treatment at 11", Plus(Born("20120115", 11), {{Beh(1), "7359"}}), {"W A14171 [7359]"}},
      {"childbearing-age treatment at 56 in 2011",
       Plus(InYear(2011), {{11, "19550115"}, {12, "56"}, {Beh(1), "7359"}}), {}},
  });
}

TEST_F(CodeRules, GapsInTheLists) {
  ExpectRows({
      {"secondary diagnosis after an empty supplement", {{Dia(2), "I10"}}, {}},
      {"secondary diagnosis after an empty one", {{Dia(3), "I10"}}, {"E C71003 [I10]"}},
      {"secondary diagnosis after an empty one in 2013", Plus(InYear(2013), {{Dia(3), "I10"}}), {}},
      {"supplement without main diagnosis", {{Dia(0), ""}, {Dia(1), "H220"}}, {"E C71001 [H220]"}},
      {"treatment after an empty one, inpatient", {{5, "C"}, {19, "3"}, {Beh(2), "9904"}}, {"E C72002 [9904]"}},
      {"treatment after an empty one, outpatient", {{Beh(2), "9904"}}, {}},
  });
}

// Entry rows and plain rows interleave; each test finishes all positions
// before the next begins.
TEST_F(CodeRules, FindingsComeInCatalogueOrder) {
  const Fields set = Plus(Born("20230131", 0), {{5, "C"},
                                                 {19, "3"},
                                                 {Dia(2), "P100"},
                                                 {Dia(3), "Q255"},
                                                 {Dia(5), "XXXX"},
                                                 {Beh(1), "6549"},
                                                 {Beh(2), "7359"},
                                                 {Beh(4), "YYYY"}});
  EXPECT_EQ(MbFindings(h.Check(qvtest::Line(Mb(set)))),
            (std::vector<std::string>{"E A02005 [XXXX]", "W A04153 [Q255]", "E A12004 [YYYY]", "W A14001 [6549]",
                                      "W A14102 [20230131]", "W A14172 [7359]", "E C71005 [XXXX]",
                                      "E C72004 [YYYY]"}));
}

TEST_F(CodeRules, NewbornRecordOfTheCase) {
  std::vector<std::string> mn = qvtest::CleanMn();
  const Fields bornHere = Plus(Born("20230301", 0), {{6, "1"}, {17, "3"}});
  mn[3] = "1";
  ExpectRows({{"live birth without Z38", bornHere, {"E A0320 []"}},
              {"live birth with Z38", Plus(bornHere, {{Dia(2), "Z380"}}), {}},
              {"live birth without Z38 in a C case", Plus(bornHere, {{5, "C"}}), {}}},
             qvtest::Line(mn));
  mn[3] = "0";
  ExpectRows({{"stillbirth with Z38", Plus(bornHere, {{Dia(2), "Z380"}}), {"E A03212 [Z380]"}},
              {"stillbirth without main diagnosis", {{5, "C"}, {19, "3"}, {6, "1"}, {Dia(0), ""}}, {}}},
             qvtest::Line(mn));
}

TEST_F(CodeRules, NotRunFromTheMbWhenTheCaseHasADetailRecord) {
  const Fields faulty = {{Dia(0), "QQQQ"}, {Beh(0), ""}, {23, "M200"}};
  EXPECT_EQ(MbFindings(h.Check(qvtest::Line(Mb(faulty)))),
            (std::vector<std::string>{"E A02000 [QQQQ]", "W A1000 []"}));
  const std::string withMd = qvtest::Line(Mb(Plus(faulty, {{8, "1"}}))) + qvtest::Line(qvtest::CleanMd());
  EXPECT_EQ(MbFindings(h.Check(withMd)), std::vector<std::string>{});
}

// From the detail record the same rules run on the MD's entries: field
// numbers of the MD's main diagnosis (3), supplement (6), secondary
// diagnosis e (7 + 3 (e - 2)) and treatment k (154 + 5 k); field 676 is the
// billing status.
int MdDia(int e) { return e == 0 ? 3 : e == 1 ? 6 : 7 + 3 * (e - 2); }
int MdBeh(int k) { return 154 + 5 * k; }

// The code rules' findings on the MD line (line 2); the MD's own tests are
// left out.
std::vector<std::string> CodeFindingsOnMd(const qvtest::Result& r) {
  std::set<std::string> codes;
  std::vector<qv::RuleInfo> all = qv::AllRules();
  for (size_t i = 0; i < all.size(); ++i) {
    if (std::string(all[i].Code) != "A0000") continue;
    for (size_t n = i; n < i + 55 && n < all.size(); ++n) codes.insert(all[n].Code);
    break;
  }
  std::vector<std::string> out;
  for (const qvtest::Finding& f : r.Findings)
    if (f.Line == 2 && codes.count(f.Code.substr(0, 5)))
      out.push_back(std::string(1, f.Type) + " " + f.Code + " [" + f.Value + "]");
  return out;
}

TEST_F(CodeRules, RunFromTheDetailRecordOnItsEntries) {
  struct MdRow {
    const char* Name;
    Fields MbSet;
    Fields MdSet;
    std::vector<std::string> Want;
  };
  const std::vector<MdRow> rows = {
      {"clean case", {}, {}, {}},
      {"main diagnosis not allowed when billed", {{Dia(0), "Z039"}}, {{MdDia(0), "Z039"}, {676, "1"}},
       {"E A0010 [Z039]"}},
      {"main diagnosis not allowed, not billed", {{Dia(0), "Z039"}}, {{MdDia(0), "Z039"}, {676, "2"}}, {}},
      {"waiting patient billed", {{Dia(0), "Z758"}, {17, "4"}}, {{MdDia(0), "Z758"}, {676, "1"}},
       {"E A0020 [Z758]", "W B1310 [1]"}},
      // A0020 wants the status "1" itself, B1310 only its first character.
      {"waiting patient with billing status \"1 \"", {{Dia(0), "Z758"}, {17, "4"}},
       {{MdDia(0), "Z758"}, {676, "1 "}}, {"W B1310 [1 ]"}},
      {"waiting patient billed in 2015", Plus(InYear(2015), {{Dia(0), "Z758"}, {17, "4"}}),
       {{MdDia(0), "Z758"}, {MdBeh(0), "4701"}, {676, "1"}}, {"E A0020 [Z758]"}},
      {"secondary diagnosis missing in the MD", {{Dia(2), "I10"}}, {}, {"W C22102 [I10]"}},
      {"secondary diagnosis only in the MD", {}, {{MdDia(2), "I10"}}, {"W C22102 []"}},
      {"differing diagnosis in a B case", {{5, "B"}, {Dia(2), "I10"}}, {}, {}},
      // The MB has 30 positions; beyond them only the MD's own gaps count.
      {"secondary diagnosis beyond the MB's positions", {}, {{MdDia(40), "I10"}}, {"E C710040 [I10]"}},
      {"treatment missing in the MD", {{Beh(1), "9904"}}, {}, {"W C22201 [9904]"}},
      {"MD treatment refines the MB's", {{Beh(1), "895"}}, {{MdBeh(1), "8951"}}, {}},
      {"MD treatment extends an unknown MB code", {{Beh(1), "XXXX"}}, {{MdBeh(1), "XXXXY"}},
       {"E A12001 [XXXXY]", "W C22201 [XXXX]"}},
  };
  for (const MdRow& row : rows) {
    std::vector<std::string> md = qvtest::CleanMd();
    for (const auto& [n, v] : row.MdSet) md[static_cast<size_t>(n)] = v;
    qvtest::Result r = h.Check(qvtest::Line(Mb(Plus({{8, "1"}}, row.MbSet))) + qvtest::Line(md));
    EXPECT_EQ(CodeFindingsOnMd(r), row.Want) << row.Name;
  }
}

// In the 50-field layout the lists have 10 positions: diagnoses in fields
// 29-38, treatments in 39 and 41-49.
TEST(CodeRulesShortLayout, PositionsOfTheShortLists) {
  qvtest::Handle h;
  std::vector<std::string> f = Mb({}, 50);
  f[39] = "8952";
  f[40] = "2023030112";
  EXPECT_EQ(h.Check(qvtest::Line(f)).List, "");
  f[38] = "XXXX";
  f[41] = "YYYY";
  EXPECT_EQ(MbFindings(h.Check(qvtest::Line(f))),
            (std::vector<std::string>{"E A02009 [XXXX]", "E A12001 [YYYY]", "E C71009 [XXXX]"}));
}

// The message numbers cannot be seen through the exports (the fixture
// message files are made from the catalogue), so the catalogue itself is
// checked: the tests in order of execution, each with its type, adding the
// messages 342 to 396 in that order.
TEST(CodeCatalogue, TestsInOrderWithTheirMessageNumbers) {
  const std::string expected =
      "A0000E A0010E A0011E A0012E A0013E A0020E A0021E A0120E A0130W A0200E A0201E A0202E A0210E A0310W "
      "A0320E A0321E A0330E A0341E A0342E A0343W A0344E A0345E A0350W A0400W A0410W A0411W A0412W A0413W "
      "A0414W A0415W A0416W A0417W A0418W A0419W A0920W A1000W A1001H A1005E A1200E A1201E A1202E A1210E "
      "A1222E A1290H A1310W A1400W A1410W A1417W B1023W B1310W B3101E C2210W C2220W C7100E C7200E";
  EXPECT_EQ(CatalogueFrom("A0000", 55, 342), expected);
}

}  // namespace
