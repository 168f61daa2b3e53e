// Which findings a run shows: selection, the baseline and the result sink
// that applies both.
#include <gtest/gtest.h>

#include "Baseline.h"
#include "MessageLines.h"
#include "ProgramFiles.h"
#include "ResultSink.h"
#include "Selection.h"

namespace qv::cli {
namespace {

const std::vector<std::string> kCatalogue = {"A0200", "B0131", "B0132", "B1211", "C0700", "S001"};

Finding Make(char type, const std::string& code, int item = -1, const std::string& value = "") {
  return {10, type, code, item, "text of " + code, "text of " + code, value};
}

TEST(Selection, ShowsWhatSelectIgnoreAndTypesLetThrough) {
  struct Row { const char *select, *ignore, *types; char type; const char* code; bool shown; } rows[] = {
      {"", "", "", 'E', "B0131", true},       {"B0131", "", "", 'E', "B0131", true},
      {"B0131", "", "", 'E', "B0132", false}, {"b01", "", "", 'W', "B0132", true},  // prefix, any case
      {"A,C", "", "", 'E', "B1211", false},   {"", "A, B", "", 'E', "B1211", false},
      {"", "A,B", "E", 'E', "C0700", true},   {"", "A,B", "E", 'W', "C0700", false},
      {"B", "B01", "", 'E', "B0131", false},  {"B", "B01", "", 'E', "B1211", true},  // ignore wins
      {"", "", "E,S", 'S', "S001", true},     {"", "", "ES", 'H', "B0131", false},
  };
  for (const Row& r : rows) {
    Selection s;
    ASSERT_EQ(s.set(r.select, r.ignore, r.types, kCatalogue), "") << r.select << "/" << r.ignore;
    EXPECT_EQ(s.shows(Make(r.type, r.code)), r.shown)
        << r.select << " / " << r.ignore << " / " << r.types << ": " << r.code;
  }
}

TEST(Selection, RefusesUnknownCodesAndTypesNamingThem) {
  Selection s;
  std::string problem = s.set("B0131,X12,B9", "Q", "", kCatalogue);
  EXPECT_NE(problem.find("X12, B9, Q"), std::string::npos) << problem;
  EXPECT_NE(s.set("", "", "E,X", kCatalogue).find("'X'"), std::string::npos);
}

// Two findings of case F1, one of F2 and one outside any case.
struct Seen { CaseIdentity id; Finding finding; };
std::vector<Seen> Findings() {
  return {{{"7345", "01", "AB", "F1"}, Make('E', "B0131", -1, "9999")},
          {{"7345", "01", "AB", "F1"}, Make('E', "A0200", 3, "X999X")},
          {{"7345", "02", "CD", "F2"}, Make('E', "B0131", -1, "9999")},
          {{}, Make('S', "S001", -1, "MN|")}};
}

std::string Recorded(const std::vector<Seen>& runs) {
  std::string text = BaselineHeader();
  for (const Seen& r : runs) text += BaselineLine(r.id, r.finding);
  return text;
}

TEST(Baseline, MatchesByIdentityCodeItemAndValueNotByLine) {
  const std::string recorded = Recorded(Findings());
  struct Change { const char* what; void (*apply)(Seen&); bool accepted; } changes[] = {
      {"same finding on another line", [](Seen& r) { r.finding.line += 100; }, true},
      {"another text", [](Seen& r) { r.finding.text = "reworded"; }, true},
      {"changed value", [](Seen& r) { r.finding.value = "9998"; }, false},
      {"another item", [](Seen& r) { ++r.finding.item; }, false},
      {"another case number", [](Seen& r) { r.id.caseNumber = "F9"; }, false},
      {"another site", [](Seen& r) { r.id.site = "09"; }, false},
  };
  for (const Change& c : changes) {
    Baseline b;
    ASSERT_EQ(b.parse(recorded, "b.txt"), "");
    EXPECT_EQ(b.size(), 4u);
    std::vector<Seen> runs = Findings();
    c.apply(runs[1]);
    // In reverse order: the order of cases does not matter.
    for (std::size_t i = runs.size(); i-- > 0;)
      EXPECT_EQ(b.accept(runs[i].id, runs[i].finding), i != 1 || c.accepted) << c.what << " #" << i;
  }
  // Each recorded line accepts one finding: a second alike finding is new.
  Baseline b;
  ASSERT_EQ(b.parse(recorded, "b.txt"), "");
  Seen first = Findings()[0];
  EXPECT_TRUE(b.accept(first.id, first.finding));
  EXPECT_FALSE(b.accept(first.id, first.finding));
}

TEST(Baseline, KeepsOddValuesAndReadsEditedFiles) {
  Seen odd{{"#1", "a\tb", "c\\d", ""}, Make('E', "B0131", -1, "line\nbreak\r")};
  Baseline b;
  // An edited file: CR LF line ends, comments, blank lines, an item with a leading zero.
  std::string edited = "# reviewed\r\n\r\n7345\t01\tAB\tF1\tA0200\t03\tX999X\r\n";
  ASSERT_EQ(b.parse(Recorded({odd}) + edited, "b.txt"), "");
  EXPECT_TRUE(b.accept(odd.id, odd.finding));
  EXPECT_TRUE(b.accept(Findings()[1].id, Findings()[1].finding));
}

TEST(Baseline, NamesFileAndLineOfAMalformedLine) {
  const std::pair<const char*, const char*> bad[] = {
      {"7345\t01\tAB\tF1\tB0131\t-", "found 6"},
      {"7345\t01\tAB\tF1\tB0131\t-\t9999\tno comment mark", "comment"},
      {"7345\t01\tAB\tF1\tb0131\t-\t9999", "invalid code"},
      {"7345\t01\tAB\tF1\tB0131\tx\t9999", "invalid item"},
      {"7345\t01\tAB\tF1\tB0131\t-\t99\\q", "bad escape"},
  };
  for (const auto& [line, why] : bad) {
    Baseline b;
    std::string problem = b.parse(std::string("# header\n") + Recorded({Findings()[0]}) + line + "\n", "b.txt");
    EXPECT_EQ(problem.rfind("b.txt:6: ", 0), 0u) << problem;
    EXPECT_NE(problem.find(why), std::string::npos) << problem;
  }
  Baseline b;
  EXPECT_NE(b.load("/nonexistent/b.txt").find("/nonexistent/b.txt"), std::string::npos);
}

// The sink gives results their identity, leaves out and counts, and records
// every selected finding, accepted or not.
TEST(ResultSink, SelectsAcceptsCountsAndRecords) {
  Selection selection;
  ASSERT_EQ(selection.set("", "A", "", kCatalogue), "");
  std::vector<Seen> runs = Findings();
  Baseline baseline;
  ASSERT_EQ(baseline.parse(Recorded({runs[0]}), "b.txt"), "");
  Summary summary;
  std::string lines;  // the recorded baseline lines
  const std::string shown = Captured([&](std::FILE* out) {
    lines = Captured([&](std::FILE* record) {
      FindingWriter writer(OutputFormat::Text, out);
      ResultSink sink(writer, summary, selection, &baseline, record);
      ItemResult result{{true, 10, {runs[0].finding, runs[1].finding, runs[0].finding}, "", ""}, runs[0].id};
      sink.take("a.dat", result);
    });
  });
  EXPECT_EQ(shown, "a.dat:10: case F1: E B0131 text of B0131 [9999]\n");  // the second alike finding
  EXPECT_EQ(lines, BaselineLine(runs[0].id, runs[0].finding) + BaselineLine(runs[0].id, runs[0].finding));
  EXPECT_EQ(summary.leftOut(), 1u);
  EXPECT_EQ(summary.accepted(), 1u);
  EXPECT_EQ(summary.typeCounts()[0], 1u);
  EXPECT_TRUE(summary.hasErrors());
}

// A message line must fit the library's line buffer whatever the case holds.
TEST(MessageFormat, LongestLineCountsLiteralsTextsAndFields) {
  struct Row { std::string format; std::size_t bytes; } rows[] = {
      {"abc", 3},
      {"{{SYS.LineNr}};{{SYS.MsgType}}", 16 + 1 + 16},
      {"{{SYS.Text0}}", 200},
      {"{{SYS.Text2}}", 200 + 40 + 11},
      {"{{MB.5}};{{MD.662}}", 1 + 10000},  // two fields share the case's bytes
      {"{{MB.5}};{{MB.05}}", 1 + 20000},   // one field twice
      {"{{SYS.KT}}{{MB.4}}", 20000},       // KT shows MB field 4
      {"{{SYS.InvalidData}}{{SYS.FID}}", 254},
  };
  for (const Row& r : rows) EXPECT_EQ(LongestLine(r.format, 200, 10000), r.bytes) << r.format;
}

}  // namespace
}  // namespace qv::cli
