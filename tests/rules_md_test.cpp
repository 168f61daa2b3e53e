// The detail record's tests through the exported functions: a clean case of
// MB and MD lines, varied per group. Each row lists every finding of the MD
// line (its own tests and the code rules it runs) in the order reported.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "quorvant.h"
#include "rules/Catalogue.h"
#include "support/Fixture.h"

namespace {

using qvtest::Finding;

struct Change {
  int Field;
  std::string Text;
};
using Changes = std::vector<Change>;

// The clean MB (announcing its MD) and the clean MD with some fields changed;
// with an MN line between them when asked.
struct MdCase {
  Changes Mb;
  Changes Md;
  bool WithMn = false;
};

Finding E(const std::string& code, const std::string& value = "") { return {'E', code, 0, value}; }
Finding W(const std::string& code, const std::string& value = "") { return {'W', code, 0, value}; }
Finding H(const std::string& code, const std::string& value = "") { return {'H', code, 0, value}; }

struct Row {
  const char* Name;
  MdCase Case;
  std::vector<Finding> Expected;
};

// A newborn admitted on the day of birth to the newborns' cost centre, with
// its MN line: live birth Z381, admission weight equal to the MN birth
// weight, head circumference given.
MdCase Newborn(Changes mb, Changes md) {
  Changes baseMb = {{6, "1"}, {11, "20230301"}, {12, "0"}, {17, "3"}, {23, "M300"}, {29, "Z381"}};
  Changes baseMd = {{3, "Z381"}, {660, "3400"}, {661, "35"}};
  baseMb.insert(baseMb.end(), mb.begin(), mb.end());
  baseMd.insert(baseMd.end(), md.begin(), md.end());
  return {baseMb, baseMd, true};
}

std::string Chars(size_t n, char c = 'A') { return std::string(n, c); }

class MdRules : public ::testing::Test {
 protected:
  qvtest::Handle h;

  std::string Data(const MdCase& c) const {
    std::vector<std::string> mb = qvtest::CleanMb();
    mb[8] = "1";
    for (const Change& ch : c.Mb) mb[static_cast<size_t>(ch.Field)] = ch.Text;
    std::vector<std::string> md = qvtest::CleanMd();
    for (const Change& ch : c.Md) md[static_cast<size_t>(ch.Field)] = ch.Text;
    std::vector<std::string> lines = {qvtest::Line(mb)};
    if (c.WithMn) lines.push_back(qvtest::Line(qvtest::CleanMn()));
    lines.push_back(qvtest::Line(md));
    return qvtest::Case(lines);
  }

  // The findings reported for the MD line, which is the last line.
  std::vector<Finding> MdFindings(const MdCase& c, std::string* list = nullptr) {
    const int mdLine = c.WithMn ? 3 : 2;
    qvtest::Result r = h.Check(Data(c));
    EXPECT_EQ(r.Structs, 0) << r.List;
    if (list) *list = r.List;
    std::vector<Finding> own;
    for (const Finding& f : r.Findings)
      if (f.Line == mdLine) own.push_back(f);
    return own;
  }

  void CheckRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      std::string list;
      EXPECT_EQ(Texts(MdFindings(row.Case, &list)), Texts(row.Expected)) << row.Name << "\n" << list;
    }
  }

  // Findings as "E B0301 '455'", so that a failure shows them readably.
  static std::vector<std::string> Texts(const std::vector<Finding>& findings) {
    std::vector<std::string> texts;
    for (const Finding& f : findings) texts.push_back(std::string(1, f.Type) + " " + f.Code + " '" + f.Value + "'");
    return texts;
  }
};

// The catalogue lists the tests in the order they run; their message
// numbers follow that order without gaps, and every code stands once.
TEST(MdCatalogue, MessageNumbersFollowTheTestOrder) {
  std::vector<qv::RuleInfo> rules;
  qv::AppendMdRules(rules);
  std::vector<int> expected;
  for (int n = 230; n <= 341; ++n) expected.push_back(n);
  for (int n = 397; n <= 408; ++n) expected.push_back(n);
  std::vector<int> numbers;
  std::set<std::string> codes;
  for (const qv::RuleInfo& r : rules) {
    numbers.push_back(r.Msg);
    codes.insert(r.Code);
  }
  EXPECT_EQ(numbers, expected);
  EXPECT_EQ(codes.size(), rules.size());
}

TEST_F(MdRules, CleanCaseWithMdHasNoFinding) {
  for (bool withMx : {false, true}) {
    std::string data = Data({});
    if (withMx) data = qvtest::Line(qvtest::CleanMx()) + data;
    qvtest::Result r = h.Check(data);
    EXPECT_EQ(r.Count, 0) << r.List;
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.List, "");
  }
  qvtest::Result newborn = h.Check(Data(Newborn({}, {})));
  EXPECT_EQ(newborn.Count, 0) << newborn.List;
}

TEST_F(MdRules, TestsRunInTheirGroupOrder) {
  // One finding from each stage: clinical, rehospitalisation, administrative,
  // shared code rules, entry tests.
  CheckRows({{"order",
              {{{31, "Q999"}}, {{7, "Q999"}, {4, "7"}, {691, "455"}, {675, "2"}, {2, "x"}}},
              {W("B0301", "455"), E("B6640", "2"), E("C7029", "x"), E("A02002", "Q999"), E("A05110", "7")}}});
}

TEST_F(MdRules, CodeRulesRunOnceFromTheMdEntries) {
  // The invalid code stands in both lines: it is reported once, for the MD.
  qvtest::Result both = h.Check(Data({{{31, "Q999"}}, {{7, "Q999"}}}));
  EXPECT_EQ(both.List, "E|A02002|2|Q999\r\n");

  // Only the MB has it: the MD's entries are checked and differ from the MB's.
  CheckRows({{"MB only", {{{31, "Q999"}}, {}}, {W("C22102", "Q999")}},
             {"MD only", {{}, {{7, "Q999"}}}, {E("A02002", "Q999"), W("C22102", "")}},
             {"treatment differs", {{}, {{154, "9904"}}}, {W("C22200", "8952")}}});

  // Without an MD line the MB runs the block on its own entries.
  std::vector<std::string> mb = qvtest::CleanMb();
  mb[31] = "Q999";
  qvtest::Result alone = h.Check(qvtest::Line(mb));
  EXPECT_EQ(alone.List, "E|A02002|1|Q999\r\n");
}

TEST_F(MdRules, GestationalAgeAndDrgStatus) {
  const std::string hex16 = "0123456789ABCDEF";
  CheckRows({
      {"38 weeks 5 days", {{}, {{691, "385"}}}, {}},
      {"45 weeks", {{}, {{691, "455"}}}, {W("B0301", "455")}},
      {"15 weeks", {{}, {{691, "155"}}}, {W("B0301", "155")}},
      {"7 days", {{}, {{691, "387"}}}, {E("B0302", "387")}},
      {"letters", {{}, {{691, "abc"}}}, {W("B0301", "abc"), E("B0302", "abc")}},
      {"two digits", {{}, {{691, "38"}}}, {E("B0305", "38")}},
      {"encrypted", {{}, {{691, hex16}}}, {E("B0304", hex16)}},
      {"16 non-hex", {{}, {{691, "0123456789ABCDEG"}}}, {E("B0305", "0123456789ABCDEG")}},
      {"infant without gestational age",
       {{{19, "3"}, {11, "20230101"}, {12, "0"}}, {{676, "1"}, {660, "3000"}}},
       {W("B0300")}},
      {"infant aged 365 days", {{{19, "3"}, {11, "20220301"}, {12, "1"}}, {{676, "1"}}}, {}},
      {"tariff missing", {{{19, "3"}}, {}}, {W("B1300")}},
      {"tariff missing, case kind B", {{{19, "3"}, {5, "B"}}, {}}, {}},
      {"tariff 7", {{}, {{676, "7"}}}, {}},
      {"tariff 8", {{}, {{676, "8"}}}, {E("B1301", "8")}},
      {"tariff 12", {{}, {{676, "12"}}}, {E("B1301", "12"), W("C7061", "12")}},
  });
}

TEST_F(MdRules, IntensiveAndIntermediateCare) {
  // The clean MB stay is 219 hours (1 March 10:00 to 10 March 12:00).
  const Changes icu = {{21, "10"}};
  const Changes score = {{655, "10"}, {656, "S"}};
  auto with = [](Changes a, const Changes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  CheckRows({
      {"ICU hours without details", {icu, {}}, {W("B2010")}},
      {"ICU hours, severity missing", {icu, {{654, "1"}}}, {W("B2010")}},
      {"ICU hours with details", {icu, with(score, {{654, "1"}})}, {}},
      {"NEMS missing", {{{21, "10"}, {19, "3"}}, with(score, {{654, "1"}, {676, "1"}})}, {E("B2011")}},
      {"NEMS zero", {{{21, "10"}, {19, "3"}}, with(score, {{654, "1"}, {676, "1"}, {657, "0"}})}, {E("B2011")}},
      {"NEMS given", {{{21, "10"}, {19, "3"}}, with(score, {{654, "1"}, {676, "1"}, {657, "12"}})}, {}},
      {"ventilation negative", {{}, {{654, "-1"}}}, {E("B2110", "-1"), E("C0904", "-1")}},
      {"ventilation 100000", {{}, {{654, "100000"}}}, {E("B2110", "100000"), E("B2130", "100000")}},
      {"ventilation beyond int", {{}, {{654, "99999999999"}}}, {E("B2110", "99999999999"), E("B2130", "99999999999")}},
      {"ventilation ICU + 18", {icu, with(score, {{654, "28"}})}, {}},
      {"ventilation ICU + 19", {icu, with(score, {{654, "29"}})}, {H("B2120", "29")}},
      {"ventilation without ICU hours", {{}, {{654, "0"}}}, {}},
      {"ventilation stay + 18", {{}, {{654, "237"}}}, {}},
      {"ventilation stay + 19", {{}, {{654, "238"}}}, {E("B2130", "238")}},
      {"ventilation stay + 19, case kind B", {{{5, "B"}}, {{654, "238"}}}, {}},
      {"severity 1000", {{}, with(score, {{655, "1000"}})}, {E("B2210", "1000")}},
      {"severity without score kind", {{}, {{655, "10"}}}, {E("B2220")}},
      {"score kind X", {{}, {{655, "10"}, {656, "X"}}}, {E("B2221", "X")}},
      {"score kind alone", {{}, {{656, "P"}}}, {E("B2225")}},
      {"score kind with IMC points", {{}, {{656, "C"}, {659, "5"}}}, {}},
      {"NEMS 999999", {{}, {{657, "999999"}}}, {}},
      {"NEMS 1000000", {{}, {{657, "1000000"}}}, {E("B2310", "1000000")}},
      {"IMC hours 999999", {{}, {{658, "999999"}}}, {}},
      {"IMC hours 1000000", {{}, {{658, "1000000"}}}, {E("B2350", "1000000")}},
      {"IMC hours signed", {{}, {{658, "-1"}}}, {E("B2350", "-1"), E("C0904", "-1")}},
      {"IMC hours with letter", {{}, {{658, "12a"}}}, {E("B2350", "12a")}},
      {"IMC points with letter", {{}, {{659, "x"}}}, {E("B2360", "x")}},
  });
}

TEST_F(MdRules, InfantMeasurements) {
  CheckRows({
      {"weight missing on birth admission", {{{17, "3"}}, {}}, {H("B3165")}},
      {"weight missing under one year", {{{11, "20230101"}, {12, "0"}}, {}}, {E("B3167")}},
      {"weight 16000", {{}, {{660, "16000"}}}, {}},
      {"weight 16001", {{}, {{660, "16001"}}}, {E("B3168", "16001")}},
      {"weight negative", {{}, {{660, "-5"}}}, {E("B3168", "-5"), E("C0904", "-5")}},
      {"newborn, weights agree", Newborn({}, {{660, "03400"}}), {}},
      {"newborn, weights differ", Newborn({}, {{660, "3500"}}), {E("B3169", "3500")}},
      {"newborn, head missing", Newborn({}, {{661, ""}}), {W("B3175")}},
      {"head 14, decision 6", {{{26, "6"}}, {{661, "14"}}}, {W("B3177", "14")}},
      {"head 15, decision 6", {{{26, "6"}}, {{661, "15"}}}, {}},
      {"head 50, decision 9", {{{26, "9"}}, {{661, "50"}}}, {}},
      {"head 51, decision 8", {{{26, "8"}}, {{661, "51"}}}, {W("B3177", "51")}},
      {"head 14, decision 5", {{{26, "5"}}, {{661, "14"}}}, {}},
  });
}

// Interruptions of the clean stay (1 to 10 March 2023).
Changes Interruption(int k, const std::string& out, const std::string& back, const std::string& reason = "1") {
  const int first = 663 + 3 * (k - 1);
  return {{first, out}, {first + 1, back}, {first + 2, reason}};
}

Changes Join(std::initializer_list<Changes> parts) {
  Changes all;
  for (const Changes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(MdRules, InterruptionDatesAndReasons) {
  CheckRows({
      {"one valid interruption", {{}, Interruption(1, "20230303", "20230305")}, {}},
      {"two valid interruptions",
       {{}, Join({Interruption(1, "20230303", "20230305"), Interruption(2, "20230306", "20230308", "9")})},
       {}},
      {"further re-admissions 2", {{}, {{675, "2"}}}, {E("B6640", "2")}},
      {"interim discharge with hour",
       {{}, Interruption(1, "2023030312", "20230305")},
       {E("B6900", "2023030312"), E("B6984", "2023030312")}},
      {"re-admission not a date",
       {{}, Interruption(1, "20230303", "2023033")},
       {E("B6901", "2023033"), E("B6911", "2023033"), E("B6984", "20230303")}},
      {"4th interruption with hours",
       {{{25, "2023033112"}},
        Join({Interruption(1, "20230303", "20230305"), Interruption(2, "20230306", "20230308"),
              Interruption(3, "20230309", "20230310"), Interruption(4, "2023031108", "2023031208")})},
       {E("B6906", "2023031108"), E("B6907", "2023031208"), E("B6987", "2023031108")}},
      {"interim discharge before admission",
       {{}, Interruption(1, "20230228", "20230305")},
       {E("B6910", "20230228"), E("B6984", "20230228")}},
      {"interruption after discharge",
       {{}, Interruption(1, "20230311", "20230312")},
       {E("B6920", "20230311"), E("B6921", "20230312"), E("B6984", "20230311")}},
      {"interim discharges out of order",
       {{}, Join({Interruption(1, "20230305", "20230306"), Interruption(2, "20230304", "20230307")})},
       {E("B6930", "20230305"), E("B6985", "20230304")}},
      {"re-admissions out of order",
       {{}, Join({Interruption(1, "20230303", "20230306"), Interruption(2, "20230307", "20230305")})},
       {E("B6940", "20230306"), E("B6985", "20230307")}},
      {"reason 4", {{}, Interruption(1, "20230303", "20230305", "4")}, {E("B6950", "4")}},
      {"reason 3", {{}, Interruption(1, "20230303", "20230305", "3")}, {}},
      {"2nd reason 0",
       {{}, Join({Interruption(1, "20230303", "20230305"), Interruption(2, "20230306", "20230308", "0")})},
       {E("B6951", "0")}},
      {"re-admission missing", {{}, Interruption(1, "20230303", "", "")}, {E("B6960"), E("B6984", "20230303")}},
      {"reason missing", {{}, Interruption(1, "20230303", "20230305", "")}, {E("B6970")}},
      {"3rd reason missing",
       {{},
        Join({Interruption(1, "20230302", "20230303"), Interruption(2, "20230304", "20230305"),
              Interruption(3, "20230306", "20230307", "")})},
       {E("B6972")}},
      // Measured from an empty 1st interim discharge, every re-admission is late.
      {"only the 2nd interruption", {{}, Interruption(2, "20230303", "20230305")}, {E("B6978")}},
      {"case kind B", {{{5, "B"}}, Interruption(1, "20230228", "20230312")}, {}},
  });
}

TEST_F(MdRules, YearChangeLeaveAndStay) {
  const Changes december = {{15, "2022122010"}, {25, "2023011012"}, {60, "2022122012"}};
  const Changes decemberMd = {{156, "2022122012"}};
  CheckRows({
      {"interim discharge in the year before",
       {december, Join({decemberMd, Interruption(1, "20221224", "20221228")})},
       {E("B6975", "20221224")}},
      {"interim discharge in the discharge year",
       {december, Join({decemberMd, Interruption(1, "20230102", "20230104")})},
       {}},
      // Leave of 5 days (120 hours) equal to an absence of 5 days.
      {"leave equals the absence",
       {{{25, "2023033112"}, {22, "120"}}, Interruption(1, "20230303", "20230308")},
       {E("B6976")}},
      {"leave of 4 days, absence of 5",
       {{{25, "2023033112"}, {22, "96"}}, Interruption(1, "20230303", "20230308")},
       {}},
      {"leave without interruption", {{{25, "2023033112"}, {22, "120"}}, {}}, {}},
      {"same-day stay with two days of leave",
       {{{25, "2023030118"}, {22, "48"}}, {}},
       {E("B6977")}},
      {"same-day stay with one day of leave", {{{25, "2023030118"}, {22, "24"}}, {}}, {}},
      {"stay of zero days, case kind B", {{{5, "B"}, {25, "2023030118"}, {22, "48"}}, {}}, {}},
  });
}

TEST_F(MdRules, EighteenDayWindow) {
  // Discharge on 10 April, so that late re-admissions stay inside the stay.
  const Changes april = {{25, "2023041012"}};
  CheckRows({
      {"re-admission on day 18", {april, Interruption(1, "20230301", "20230319")}, {}},
      {"re-admission on day 19",
       {april, Interruption(1, "20230301", "20230320")},
       {E("B6978"), E("B6980", "20230320")}},
      {"2nd re-admission on day 19 after the 1st interim discharge",
       {april, Join({Interruption(1, "20230305", "20230310"), Interruption(2, "20230315", "20230324")})},
       {E("B6978"), E("B6981", "20230324")}},
      {"1st interruption empty, 2nd re-admission late",
       {april, Interruption(2, "20230310", "20230325")},
       {E("B6978")}},
      {"4th re-admission on day 19",
       {april,
        Join({Interruption(1, "20230302", "20230303"), Interruption(2, "20230304", "20230305"),
              Interruption(3, "20230306", "20230307"), Interruption(4, "20230308", "20230321")})},
       {E("B6978"), E("B6983", "20230321")}},
  });
}

TEST_F(MdRules, StayAfterInterimDischarge) {
  CheckRows({
      {"hex digits pass", {{}, {{692, "AB"}, {693, "0"}, {694, "12"}}}, {}},
      {"listed codes pass", {{}, {{692, "44"}, {695, "9"}}}, {}},
      {"4x", {{}, {{692, "4x"}}}, {E("B6990", "4x")}},
      {"2nd G", {{}, {{693, "G"}}}, {E("B6992", "G")}},
      {"3rd and 4th", {{}, {{694, "x"}, {695, "Z"}}}, {E("B6994", "x"), E("B6996", "Z")}},
  });
}

TEST_F(MdRules, AdministrativeFields) {
  CheckRows({
      {"MB does not announce the MD", {{{8, "0"}}, {}}, {E("C0701", "0")}},
      {"main treatment begins at another hour", {{{60, "2023030111"}}, {}}, {E("C2222", "2023030112")}},
      {"main treatment begin differs, 2024",
       {{{15, "2024030110"}, {25, "2024031012"}, {60, "2024030111"}}, {{156, "2024030112"}}},
       {}},
      {"location missing", {{}, {{1, ""}}}, {E("C7010")}},
      {"location unknown", {{}, {{1, "9999"}}}, {W("C7011", "9999")}},
      {"location reserve", {{}, {{2, "x"}}}, {E("C7029", "x")}},
      {"case number of 16", {{}, {{662, Chars(16)}}}, {}},
      {"case number of 17", {{}, {{662, Chars(17)}}}, {E("C7051", Chars(17))}},
      {"case number in lower case", {{}, {{662, "abc"}}}, {E("C7052", "abc")}},
      {"case number with hyphen", {{}, {{662, "AB-1"}}}, {E("C0904", "AB-1"), E("C7052", "AB-1")}},
      {"medication 1 of 50", {{}, {{677, Chars(50, 'x')}}}, {}},
      {"medication 1 of 51", {{}, {{677, Chars(51, 'x')}}}, {W("C7301", Chars(51, 'x'))}},
      {"medication 14 of 51", {{}, {{690, Chars(51, 'x')}}}, {W("C7314", Chars(51, 'x'))}},
      {"reserve 16 of 51", {{}, {{691, Chars(51)}}}, {E("B0305", Chars(51)), E("C7911", Chars(51))}},
      {"reserve 20 of 51", {{}, {{695, Chars(51)}}}, {E("C7951", Chars(51))}},
  });
}

TEST_F(MdRules, SpecialCharacters) {
  CheckRows({
      {"drugs joined by ;", {{}, {{677, "Aspirin;Dafalgan"}}}, {}},
      {"abbreviation and umlauts", {{}, {{677, "Tabl.\xF6\xD6"}}}, {}},
      {"drugs separated by a blank", {{}, {{677, "Aspirin Dafalgan"}}}, {E("C0904", "Aspirin Dafalgan")}},
      {"medication with a", {{}, {{680, "B\xE4r"}}}, {E("C0904", "B\xE4r")}},
      // The check stops at the first field with a character outside the
      // letters and digits; an acceptable medication ends it.
      {"accepted medication hides a later field", {{}, {{677, "A;B"}, {681, "a b"}}}, {}},
      {"reserve field with a dot", {{}, {{2, "a.b"}}}, {E("C0904", "a.b"), E("C7029", "a.b")}},
      {"date with dots",
       {{}, {{156, "2023.03.01"}}},
       {E("C0904", "2023.03.01"), E("C2222", "2023.03.01"), E("A18100", "2023.03.01")}},
      {"2015 data are not checked",
       {{{15, "2015030110"}, {25, "2015031012"}, {60, "2015030112"}}, {{156, "2015030112"}, {677, "a b"}}},
       {}},
  });
}

// With the character check silent for a medication, the entry finding after
// it still names its entry in the message text.
TEST_F(MdRules, AcceptedMedicationLeavesNoFieldForTheNextMessage) {
  QV_setFormatString("{{SYS.ErrorNr}}|{{SYS.Text1}}\r\n");
  qvtest::Result plain = h.Check(Data({{}, {{4, "7"}}}));
  qvtest::Result withDrugs = h.Check(Data({{}, {{4, "7"}, {677, "A;B"}}}));
  EXPECT_NE(plain.List.find("A05110|"), std::string::npos) << plain.List;
  EXPECT_EQ(withDrugs.List, plain.List);
}

TEST_F(MdRules, CaseCostNumberInMessageLines) {
  QV_setFormatString("{{SYS.FID}}|{{SYS.ErrorNr}}\r\n");
  qvtest::Result r = h.Check(Data({{}, {{662, "FALL0001"}, {2, "x"}}}));
  EXPECT_EQ(r.List, "FALL0001|C7029\r\n");

  // A long number is cut to the 127 characters a message line can hold.
  const std::string longNumber = Chars(200, 'B');
  r = h.Check(Data({{}, {{662, longNumber}, {2, "x"}}}));
  EXPECT_EQ(r.List, longNumber.substr(0, 127) + "|C7029\r\n" + longNumber.substr(0, 127) + "|C7051\r\n");

  // The next case without an MD shows none.
  std::vector<std::string> mb = qvtest::CleanMb();
  mb[31] = "Q999";
  r = h.Check(qvtest::Line(mb));
  EXPECT_EQ(r.List, "|A02002\r\n");
}

TEST_F(MdRules, LateralityAndPresentOnAdmission) {
  CheckRows({
      {"main diagnosis laterality 4", {{}, {{4, "4"}}}, {E("A05110", "4")}},
      {"secondary laterality 9", {{{31, "I10"}}, {{7, "I10"}, {8, "9"}}}, {}},
      {"secondary laterality L", {{{31, "I10"}}, {{7, "I10"}, {8, "L"}}}, {E("A05112", "L")}},
      {"treatment laterality 5", {{}, {{155, "5"}}}, {E("A15110", "5")}},
      {"ZH, J189 without POA", {{}, {{5, ""}}}, {W("A05200", "J189")}},
      {"VD, J189 without POA", {{{3, "VD"}}, {{5, ""}}}, {W("A05200", "J189")}},
      {"BE, J189 without POA", {{{3, "BE"}}, {{5, ""}}}, {}},
      {"ZH, S-code without POA", {{{31, "S7200"}}, {{7, "S7200"}}}, {W("A05202", "S7200")}},
      {"ZH, S-code with POA", {{{31, "S7200"}}, {{7, "S7200"}, {9, "0"}}}, {}},
      {"ZH, Y84 at the end of the list", {{{31, "Y849"}}, {{7, "Y849"}}}, {W("A05202", "Y849")}},
      {"ZH, code outside the list", {{{31, "I10"}}, {{7, "I10"}}}, {}},
      {"ZH, unknown S-code", {{{31, "S999"}}, {{7, "S999"}}}, {E("A02002", "S999")}},
      // The supplementary code has no attributes and is skipped.
      {"ZH, Y84 as supplementary code", {{{30, "Y849"}}, {{6, "Y849"}}}, {}},
      {"ZH, 2022", {{{15, "2022030110"}, {25, "2022031012"}, {60, "2022030112"}}, {{5, ""}, {156, "2022030112"}}}, {}},
  });
}

TEST_F(MdRules, DuplicateDiagnoses) {
  CheckRows({
      {"three equal at 2, 3, 4",
       {{{31, "I10"}, {32, "I10"}, {33, "I10"}}, {{7, "I10"}, {10, "I10"}, {13, "I10"}}},
       {H("A09903", "I10"), H("A09904", "I10"), H("A09904", "I10")}},
      {"main diagnosis repeated at 5",
       {{{31, "I10"}, {32, "I10"}, {33, "I10"}, {34, "J189"}},
        {{7, "I10"}, {10, "I10"}, {13, "I10"}, {16, "J189"}, {18, "1"}}},
       {H("A09903", "I10"), H("A09904", "I10"), H("A09904", "I10"), H("A09905", "J189")}},
      // Entry 50 lies beyond the MB's positions and after a gap.
      {"repeated at the last entry",
       {{{31, "I10"}}, {{7, "I10"}, {151, "I10"}}},
       {E("C710050", "I10"), H("A099050", "I10")}},
  });
}

TEST_F(MdRules, TreatmentCodesAndDates) {
  // Treatment entry 1 (fields 159-163), listed in the MB at position 1.
  auto second = [](const std::string& code, const std::string& date) {
    return MdCase{{{61, code}}, {{159, code}, {161, date}}};
  };
  auto withMb = [](MdCase c, const Changes& mb) {
    c.Mb.insert(c.Mb.end(), mb.begin(), mb.end());
    return c;
  };
  CheckRows({
      {"secondary treatment without hour", second("9904", "20230305"), {}},
      {"secondary treatment with hour", second("9904", "2023030514"), {E("A18151", "2023030514")}},
      {"secondary treatment with hour, 2024",
       withMb(MdCase{{{61, "9904"}}, {{159, "9904"}, {161, "2024030514"}, {156, "2024030112"}}},
              {{15, "2024030110"}, {25, "2024031012"}, {60, "2024030112"}}),
       {}},
      {"secondary treatment hour 25", second("9904", "2023030525"),
       {E("A18111", "2023030525"), E("A18151", "2023030525")}},
      {"main treatment without hour", {{{60, "20230301"}}, {{156, "20230301"}}}, {E("A18110", "20230301")}},
      {"main treatment hour 25", {{{60, "2023030125"}}, {{156, "2023030125"}}}, {E("A18110", "2023030125")}},
      {"date missing", second("9904", ""), {E("A18001")}},
      {"neither code nor date", second("", ""), {}},
      {"date not a date", second("9904", "2023133"), {E("A18101", "2023133")}},
      {"date before admission", second("9904", "20230228"), {E("A18211", "20230228")}},
      {"date before admission, case kind B", withMb(second("9904", "20230228"), {{5, "B"}}), {}},
      {"earlier hour on the admission day, case kind B", withMb(second("9904", "2023030109"), {{5, "B"}}),
       {E("A18151", "2023030109"), E("A18211", "2023030109")}},
      {"date after discharge", second("9904", "20230311"), {E("A18221", "20230311")}},
      {"later hour on the discharge day", second("9904", "2023031013"),
       {E("A18151", "2023031013"), E("A18221", "2023031013")}},
      {"chapter 13 for a man: 7201", second("7201", "20230305"), {E("A14011", "7201")}},
      {"chapter 13 for a man: 7599", second("7599", "20230305"), {E("A14011", "7599")}},
      {"7199 and 7600 are outside",
       {{{61, "7199"}, {62, "7600"}}, {{159, "7199"}, {161, "20230305"}, {164, "7600"}, {166, "20230305"}}},
       {}},
      {"chapter 13 under 12 years", withMb(second("7201", "20230305"), {{10, "2"}, {12, "10"}}),
       {W("A14121", "7201")}},
      {"chapter 13, empty age field", withMb(second("7201", "20230305"), {{10, "2"}, {12, ""}}),
       {W("A14121", "7201")}},
      {"chapter 13, 2012", withMb(MdCase{{{61, "7201"}}, {{159, "7201"}, {161, "20120305"}, {156, "2012030112"}}},
                                  {{15, "2012030110"}, {25, "2012031012"}, {60, "2012030112"}}),
       {}},
  });
}

}  // namespace
