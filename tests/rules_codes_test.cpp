// The diagnosis and treatment code rules as an MB-only case runs them:
// single code changes make exactly the expected findings with their entry
// positions and values, in catalogue order; year, age and day limits are
// probed on both sides. A case with a detail record runs them from the
// detail record instead.
#include <gtest/gtest.h>

#include "rules/Catalogue.h"
#include "support/RuleTable.h"

namespace {

using namespace qvtest;

// Born on the given date; the age field agrees with it for an admission on
// 1 March 2023.
Fields Born(const std::string& date, int age, const Fields& more = {}) {
  return Plus({{11, date}, {12, std::to_string(age)}}, more);
}

// Field numbers of the 90-field layout: diagnosis j, treatment j.
int Dia(int j) { return 29 + j; }
int Beh(int j) { return j == 0 ? 59 : 60 + j; }

const Fields kDeath = {{26, "5"}, {27, "0"}, {28, "0"}};

using CodeRules = RuleTable;

TEST_F(CodeRules, Diagnoses) {
  const Fields deliveryLater = {{Dia(2), "O800"}, {Dia(3), "Z370"}, {Dia(4), "O094"}};
  Expect({
      {"main diagnosis missing in an inpatient C case", {{5, "C"}, {19, "3"}, {Dia(0), ""}}, "E A0000"},
      {"main diagnosis missing in an inpatient B case", {{5, "B"}, {19, "3"}, {Dia(0), ""}}, ""},
      {"main diagnosis missing in an outpatient case", {{Dia(0), ""}}, ""},
      {"star code as main diagnosis", {{Dia(0), "H220"}}, "E A0011 H220"},
      {"secondary code as main diagnosis", {{Dia(0), "B962"}}, "E A0012 B962"},
      {"secondary code as main diagnosis in 2009", {{Dia(0), "B962"}}, "", {}, 2009},
      // Chapter XX needs no lookup.
      {"unknown external cause as main diagnosis", {{Dia(0), "X999"}}, "E A0013 X999; E A02000 X999"},
      {"waiting patient not transferred internally", {{Dia(0), "Z758"}}, "E A0021 Z758"},
      {"waiting patient transferred internally", {{Dia(0), "Z758"}, {17, "4"}}, ""},
      {"waiting patient in 2011", {{Dia(0), "Z758"}}, "", {}, 2011},
      {"ordinary code as supplement", {{Dia(1), "J189"}}, "E A0120 J189"},
      {"star code as supplement", {{Dia(1), "H220"}}, ""},
      {"external cause as supplement", {{Dia(1), "W010"}}, ""},
      {"unknown supplement", {{Dia(1), "XXXX"}}, "E A02001 XXXX"},
      {"ordinary supplement in 2009", {{Dia(1), "I10"}}, "", {}, 2009},
      {"ordinary supplement in 2010", {{Dia(1), "I10"}}, "E A0120 I10", {}, 2010},
      {"ordinary supplement in 2024", {{Dia(1), "I10"}}, "", {}, 2024},
      {"late effect with external cause", {{Dia(0), "T910"}, {Dia(1), "W010"}}, "W A0130 W010"},
      {"late effect with external cause in 2011", {{Dia(0), "T910"}, {Dia(1), "W010"}}, "", {}, 2011},
      {"late effect with external cause in 2024", {{Dia(0), "T910"}, {Dia(1), "W010"}}, "", {}, 2024},
      // Rows over every position.
      {"two unknown codes", {{Dia(2), "XXXX"}, {Dia(3), "YYYY"}}, "E A02002 XXXX; E A02003 YYYY"},
      {"code valid until 2013", {{Dia(2), "J111"}}, "E A02012 J111"},
      {"code valid until 2013 in 2013", {{Dia(2), "J111"}}, "", {}, 2013},
      {"code valid from 2024", {{Dia(2), "J121"}}, "E A02022 J121"},
      {"code valid from 2024 in 2024", {{Dia(2), "J121"}}, "", {}, 2024},
      {"non-terminal code in 2009", {{Dia(2), "J18"}}, "", {}, 2009},
      {"non-terminal code in 2010", {{Dia(2), "J18"}}, "E A02102 J18", {}, 2010},
      {"lethal code without death", {{Dia(2), "R99"}}, "W A03102 R99"},
      {"lethal code with death", Plus(kDeath, {{Dia(2), "R99"}}), ""},
      {"HIV group with laboratory evidence", {{Dia(0), "B220"}, {Dia(2), "R75"}}, "E A03302 R75"},
      {"laboratory evidence alone", {{Dia(2), "R75"}}, ""},
      {"HIV group with laboratory evidence in 2009", {{Dia(0), "B220"}, {Dia(2), "R75"}}, "", {}, 2009},
      {"birth code for a newborn", Born("20230220", 0, {{Dia(2), "Z370"}}), "E A03412 Z370; W A03432 Z370"},
      {"newborn code for the mother", {{Dia(2), "Z380"}}, "E A03422 Z380"},
      {"newborn code for the newborn", Born("20230220", 0, {{Dia(2), "Z380"}}), ""},
      // Z37 counts only from position 2 on.
      {"delivery with birth code as supplement", {{Dia(0), "O800"}, {Dia(1), "Z370"}},
       "E A0120 Z370; W A03430 O800; W A03431 Z370; E A03440 O800"},
      {"delivery with birth code and O09", {{Dia(0), "O800"}, {Dia(2), "Z370"}, {Dia(3), "O094"}}, ""},
      {"delivery as secondary diagnosis", deliveryLater, "E A03452 O800"},
      {"delivery as secondary diagnosis in 2011", deliveryLater, "", {}, 2011},
      {"chemotherapy session", {{Dia(2), "Z511"}}, "W A03502 Z511"},
      {"chemotherapy session in 2011", {{Dia(2), "Z511"}}, "", {}, 2011},
      {"female code for a man", {{Dia(2), "N800"}}, "W A04002 N800"},
      {"female code for a woman", {{10, "2"}, {Dia(2), "N800"}}, ""},
      {"notifiable disease", {{Dia(2), "A000"}}, "W A09202 A000"},
      {"notifiable disease in 2011", {{Dia(2), "A000"}}, "", {}, 2011},
      {"perinatal code at 29 days", Born("20230131", 0, {{Dia(2), "P100"}}), "W A14102 20230131"},
      {"perinatal code at 28 days", Born("20230201", 0, {{Dia(2), "P100"}}), ""},
      {"code of the two-character list", Born("20230131", 0, {{Dia(2), "P200"}}), "W A14102 20230131"},
      {"code of the three-character list", Born("20230131", 0, {{Dia(2), "P293"}}), "W A14102 20230131"},
      {"P code outside both lists", Born("20230131", 0, {{Dia(2), "P290"}}), ""},
      {"infant class for an adult in 2011", {{Dia(2), "Q250"}}, "", {}, 2011},
      // Gaps in the list.
      {"secondary diagnosis after an empty supplement", {{Dia(2), "I10"}}, ""},
      {"secondary diagnosis after an empty one", {{Dia(3), "I10"}}, "E C71003 I10"},
      {"secondary diagnosis after an empty one in 2013", {{Dia(3), "I10"}}, "", {}, 2013},
      {"supplement without main diagnosis", {{Dia(0), ""}, {Dia(1), "H220"}}, "E C71001 H220"},
  });
}

// Each age limit of a diagnosis or treatment code probed just inside and
// just outside (admission on 1 March 2023); outside it gives `Finding`.
TEST_F(CodeRules, AgeLimits) {
  struct Side { const char* Birth; int Age; };
  struct Limit { int Field; const char *Code, *Finding; Side Inside, Outside; };
  const Limit limits[] = {
      {Dia(2), "Q250", "A04102", {"20220301", 1}, {"20220228", 1}},  // 365 and 366 days
      {Dia(2), "Q251", "A04112", {"20220115", 1}, {"20210115", 2}},
      {Dia(2), "Q252", "A04122", {"20140115", 9}, {"20130115", 10}},
      {Dia(2), "Q253", "A04132", {"20050115", 18}, {"20040115", 19}},
      {Dia(2), "Q254", "A04142", {"20230201", 0}, {"20230202", 0}},  // 28 and 27 days
      {Dia(2), "Q255", "A04152", {"20220115", 1}, {"20221121", 0}},
      {Dia(2), "E301", "A04162", {"20150115", 8}, {"20160115", 7}},
      {Dia(2), "E301", "A04162", {"20040115", 19}, {"20030115", 20}},
      // Whole years before the birthday of the year; the age field when only the year is given.
      {Dia(2), "E301", "A04162", {"20140515", 8}, {"20150515", 7}},
      {Dia(2), "E301", "A04162", {"20150000", 8}, {"20150000", 7}},
      {Dia(2), "N970", "A04172", {"20110115", 12}, {"20120115", 11}},
      {Dia(2), "N970", "A04172", {"19680115", 55}, {"19670115", 56}},
      {Dia(2), "F100", "A04182", {"20080115", 15}, {"20090115", 14}},
      {Dia(2), "G300", "A04192", {"19930115", 30}, {"19940115", 29}},
      {Beh(1), "7359", "A14171", {"20110115", 12}, {"20120115", 11}},
      {Beh(1), "7359", "A14171", {"19680115", 55}, {"19670115", 56}},
  };
  for (const Limit& l : limits) {
    auto at = [&](Side s) { return Shown(h.Check(Line(MbWith(Born(s.Birth, s.Age, {{l.Field, l.Code}})))), 1); };
    EXPECT_EQ(at(l.Inside), "") << l.Code << " born " << l.Inside.Birth;
    EXPECT_EQ(at(l.Outside), std::string("W ") + l.Finding + " " + l.Code) << l.Code << " born " << l.Outside.Birth;
  }
}

TEST_F(CodeRules, Treatments) {
  const Fields none = {{Beh(0), ""}, {23, "M200"}};
  Expect({
      {"main treatment missing", none, "W A1000"},
      {"main treatment missing on a cost centre without treatments", {{Beh(0), ""}}, "H A1001"},
      {"newborn without treatment", Born("20230220", 0, Plus(none, {{Dia(0), "Z380"}})), ""},
      {"waiting patient without treatment", Plus(none, {{Dia(0), "Z758"}, {17, "4"}}), ""},
      {"B case without treatment", Plus(none, {{5, "B"}}), ""},
      {"supplementary code as main treatment", {{Beh(0), "0040"}}, "E A1005 0040"},
      {"supplementary code as main treatment in 2015", {{Beh(0), "0040"}}, "", {}, 2015},
      {"supplementary code as main treatment in 2024", {{Beh(0), "0040"}}, "", {}, 2024},
      {"treatment valid until 2013", {{Beh(1), "3961"}}, "E A12011 3961"},
      {"treatment valid from 2024", {{Beh(1), "3962"}}, "E A12021 3962"},
      {"non-terminal treatment", {{Beh(1), "895"}}, "E A12101 895"},
      {"unspecific two-digit treatment in 2019", {{Beh(1), "89"}}, "E A12221 89", {}, 2019},
      {"unspecific two-digit treatment in 2020", {{Beh(1), "89"}}, "", {}, 2020},
      {"FIM code in 2018", {{Beh(1), "AA1211"}}, "H A12901 AA1211", {}, 2018},
      {"FIM code in 2017", {{Beh(1), "AA1211"}}, "", {}, 2017},
      {"autopsy without death", {{Beh(1), "8981"}}, "W A13101 8981"},
      {"autopsy with death", Plus(kDeath, {{Beh(1), "8981"}}), ""},
      {"female treatment for a man", {{Beh(1), "6549"}}, "W A14001 6549"},
      {"female treatment for a woman", {{10, "2"}, {Beh(1), "6549"}}, ""},
      {"female treatment with gender identity diagnosis", {{Beh(1), "6549"}, {Dia(2), "F640"}}, ""},
      {"childbearing-age treatment at 56 in 2011", Born("19550115", 56, {{Beh(1), "7359"}}), "", {}, 2011},
      {"treatment after an empty one, inpatient", {{5, "C"}, {19, "3"}, {Beh(2), "9904"}}, "E C72002 9904"},
      {"treatment after an empty one, outpatient", {{Beh(2), "9904"}}, ""},
  });
}

// Entry rows and plain rows interleave; each test finishes all positions
// before the next begins.
TEST_F(CodeRules, FindingsComeInCatalogueOrder) {
  const Fields set = Born("20230131", 0, {{5, "C"}, {19, "3"}, {Dia(2), "P100"}, {Dia(3), "Q255"}, {Dia(5), "XXXX"},
                                          {Beh(1), "6549"}, {Beh(2), "7359"}, {Beh(4), "YYYY"}});
  EXPECT_EQ(Shown(h.Check(Line(MbWith(set))), 1),
            "E A02005 XXXX; W A04153 Q255; E A12004 YYYY; W A14001 6549; W A14102 20230131; W A14172 7359; "
            "E C71005 XXXX; E C72004 YYYY");
}

// A patient born on the admission day: the admission type, the newborn
// record and its vital status (field 3).
TEST_F(CodeRules, BornHere) {
  Expect({
      {"admission type not birth", Born("20230301", 0), "W B1023"},
      {"admission type not birth, live-birth code", Born("20230301", 0, {{Dia(2), "Z381"}}), ""},
      // A day-old patient is too young for age class b.
      {"class b code", Born("20230301", 0, {{Dia(2), "Q251"}}), "W A04112 Q251; W B1023"},
      {"no newborn record", Born("20230301", 0, {{17, "3"}}), "E B3101"},
      {"no newborn record in 2015", {{11, "20150301"}, {12, "0"}, {17, "3"}}, "", {}, 2015},
  });
  // With a newborn record of the vital status given: 1 live, 0 stillborn.
  const Fields bornHere = Born("20230301", 0, {{6, "1"}, {17, "3"}});
  const struct { const char* Name; Fields Mb; const char* Vital; std::string Want; } withMn[] = {
      {"live birth without Z38", bornHere, "1", "E A0320"},
      {"live birth with Z38", Plus(bornHere, {{Dia(2), "Z380"}}), "1", ""},
      {"live birth without Z38 in a C case", Plus(bornHere, {{5, "C"}}), "1", ""},
      {"stillbirth with Z38", Plus(bornHere, {{Dia(2), "Z380"}}), "0", "E A03212 Z380"},
      {"stillbirth without main diagnosis", {{5, "C"}, {19, "3"}, {6, "1"}, {Dia(0), ""}}, "0", ""},
  };
  for (const auto& row : withMn)
    EXPECT_EQ(Shown(h.Check(Line(MbWith(row.Mb)) + Line(With(CleanMn(), {{3, row.Vital}}))), 1), row.Want) << row.Name;
}

// From the detail record the same rules run on the MD's entries: field
// numbers of the MD's main diagnosis (3), supplement (6), secondary
// diagnosis e (7 + 3 (e - 2)) and treatment k (154 + 5 k); field 676 is the
// billing status. Only the code rules' findings are compared (on the MB line
// they would end in " @1").
int MdDia(int e) { return e == 0 ? 3 : e == 1 ? 6 : 7 + 3 * (e - 2); }
int MdBeh(int k) { return 154 + 5 * k; }

struct CodeRulesFromMd : RuleTable {
  CodeRulesFromMd() : RuleTable("MD", qv::AppendCodeRules) {}
};

TEST_F(CodeRulesFromMd, RunOnTheMdEntries) {
  const Fields waiting = {{Dia(0), "Z758"}, {17, "4"}}, mdWaiting = {{MdDia(0), "Z758"}, {676, "1"}};
  Expect({
      // Without the detail record these fields give E A02000 QQQQ and W A1000 (on line 1).
      {"not run from the MB", {}, "W C22100 QQQQ; W C22200", {{Dia(0), "QQQQ"}, {Beh(0), ""}, {23, "M200"}}},
      {"main diagnosis not allowed, billed", {{MdDia(0), "Z039"}, {676, "1"}}, "E A0010 Z039", {{Dia(0), "Z039"}}},
      {"main diagnosis not allowed, not billed", {{MdDia(0), "Z039"}, {676, "2"}}, "", {{Dia(0), "Z039"}}},
      {"waiting patient billed", mdWaiting, "E A0020 Z758; W B1310 1", waiting},
      // A0020 wants the status "1" itself, B1310 only its first character.
      {"billing status \"1 \"", Plus(mdWaiting, {{676, "1 "}}), "W B1310 1 ", waiting},
      {"billed in 2015", Plus(mdWaiting, {{MdBeh(0), "4701"}}), "E A0020 Z758", Plus(waiting, {{Beh(0), "4701"}}),
       2015},
      {"secondary diagnosis missing in the MD", {}, "W C22102 I10", {{Dia(2), "I10"}}},
      {"secondary diagnosis only in the MD", {{MdDia(2), "I10"}}, "W C22102"},
      {"differing diagnosis in a B case", {}, "", {{5, "B"}, {Dia(2), "I10"}}},
      // The MB has 30 positions; beyond them only the MD's own gaps count.
      {"secondary diagnosis beyond the MB's positions", {{MdDia(40), "I10"}}, "E C710040 I10"},
      {"treatment missing in the MD", {}, "W C22201 9904", {{Beh(1), "9904"}}},
      {"MD treatment refines the MB's", {{MdBeh(1), "8951"}}, "", {{Beh(1), "895"}}},
      {"unknown MB code extended", {{MdBeh(1), "XXXXY"}}, "E A12001 XXXXY; W C22201 XXXX", {{Beh(1), "XXXX"}}},
  });
}

// In the 50-field layout the lists have 10 positions: diagnoses in fields
// 29-38, treatments in 39 and 41-49.
TEST_F(CodeRules, PositionsOfTheShortLists) {
  const Fields set = {{38, "XXXX"}, {39, "8952"}, {40, "2023030112"}, {41, "YYYY"}, {49, "ZZZZ"}};
  EXPECT_EQ(Shown(h.Check(Line(MbWith(set, 50))), 1), "E A02009 XXXX; E A12001 YYYY; E A12009 ZZZZ; E C71009 XXXX");
  // The first line fixed the layout: a 90-field line after a header is read with it.
  const Result r = h.Check(Line(CleanMx()) + Line(MbWith({{39, "8952"}, {40, "2023030112"}, {49, "ZZZZ"}})));
  EXPECT_EQ(Shown(r, 2), "E A12009 ZZZZ");
}

}  // namespace
