#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageLines.h"

namespace qv::cli {
namespace {

// A message list line as the library builds it from the command's format.
std::string Record(int callLine, char type, const std::string& errorNr, const std::string& code,
                   const std::string& text0, const std::string& text1, const std::string& value,
                   const std::string* host = nullptr) {
  std::string r = std::to_string(callLine) + "\x1f" + type + "\x1f" + errorNr + "\x1f" + code + "\x1f" + text0 +
                  "\x1f" + text1 + "\r" + value + "\r";
  if (host) r += *host + "\r";
  return r;
}

TEST(MessageFormat, HasEveryFieldAndTheHostFormat) {
  MessageFormat plain;
  EXPECT_FALSE(plain.withHostLines());
  for (const char* key : {"{{SYS.LineNr}}", "{{SYS.MsgType}}", "{{SYS.ErrorNr}}", "{{SYS.ErrorNrS}}",
                          "{{SYS.Text0}}", "{{SYS.Text1}}", "{{SYS.InvalidData}}"})
    EXPECT_NE(plain.text().find(key), std::string::npos) << key;

  // A host format without a line end gets CR LF, as the library gives its own.
  MessageFormat bare("{{SYS.ErrorNr}}");
  EXPECT_EQ(bare.hostCrCount(), 1);
  EXPECT_EQ(bare.text().substr(bare.text().size() - 18), "{{SYS.ErrorNr}}\r\n\r");
  MessageFormat lf("{{SYS.ErrorNr}}\n");
  EXPECT_EQ(lf.hostCrCount(), 0);
  MessageFormat two("a\r\nb\r\n");
  EXPECT_EQ(two.hostCrCount(), 2);
}

TEST(ParseMessageList, MapsCallLinesToFileLines) {
  std::vector<std::uint64_t> map = {100, 120, 121, 122};  // MX, MB, MN, MD
  LineMapping mapping{&map, 120, false};
  std::string list = Record(2, 'E', "B0100", "B0100", "Geschlecht: Angabe fehlt", "Geschlecht: Angabe fehlt", "") +
                     Record(4, 'W', "A04003", "A0400", "Diagnosekode", "ND:Diagnosekode", "N390") +
                     Record(1, 'E', "C0900", "C0900", "Sonderzeichen", "Sonderzeichen", "a.b") +
                     Record(9, 'H', "X1234", "X1234", "t", "t", "");  // outside the call: the case line
  std::vector<Finding> findings;
  std::string host;
  ASSERT_TRUE(ParseMessageList(list.c_str(), MessageFormat(), mapping, findings, host));
  ASSERT_EQ(findings.size(), 4u);
  EXPECT_EQ(findings[0].line, 120u);
  EXPECT_EQ(findings[0].type, 'E');
  EXPECT_EQ(findings[0].code, "B0100");
  EXPECT_EQ(findings[0].item, -1);
  EXPECT_EQ(findings[1].line, 122u);
  EXPECT_EQ(findings[1].code, "A0400");
  EXPECT_EQ(findings[1].item, 3);
  EXPECT_EQ(findings[1].text, "ND:Diagnosekode");
  EXPECT_EQ(findings[1].baseText, "Diagnosekode");
  EXPECT_EQ(findings[1].value, "N390");
  EXPECT_EQ(findings[2].line, 100u);
  EXPECT_EQ(findings[2].value, "a.b");
  EXPECT_EQ(findings[3].line, 120u);
  EXPECT_TRUE(host.empty());
}

TEST(ParseMessageList, LeavesOutHeaderFindingsAlreadyReported) {
  std::vector<std::uint64_t> map = {1, 7};
  LineMapping mapping{&map, 7, true};
  std::string list = Record(1, 'E', "C0900", "C0900", "t", "t", "x") + Record(2, 'E', "B0100", "B0100", "t", "t", "");
  std::vector<Finding> findings;
  std::string host;
  ASSERT_TRUE(ParseMessageList(list.c_str(), MessageFormat(), mapping, findings, host));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].code, "B0100");
}

TEST(ParseMessageList, ValuesMayHoldSeparatorsAndLineFeeds) {
  std::vector<std::uint64_t> map = {5};
  LineMapping mapping{&map, 5, false};
  std::string value = "a\x1f" "b\nc|d";
  std::string list = Record(1, 'E', "B0131", "B0131", "t", "t", value);
  std::vector<Finding> findings;
  std::string host;
  ASSERT_TRUE(ParseMessageList(list.c_str(), MessageFormat(), mapping, findings, host));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].value, value);
}

TEST(ParseMessageList, SplitsOffTheHostLines) {
  MessageFormat format("{{SYS.LineNr}}|{{SYS.ErrorNr}}\r\nsecond\r\n");  // two CRs per host line
  std::vector<std::uint64_t> map = {10, 11};
  LineMapping mapping{&map, 10, false};
  std::string h1 = "1|B0100\r\nsecond\r\n";
  std::string h2 = "2|B0131\r\nsecond\r\n";
  std::string list = Record(1, 'E', "B0100", "B0100", "t", "t", "", &h1) +
                     Record(2, 'E', "B0131", "B0131", "t", "t", "v\nw", &h2);
  std::vector<Finding> findings;
  std::string host;
  ASSERT_TRUE(ParseMessageList(list.c_str(), format, mapping, findings, host));
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(host, h1 + h2);
  EXPECT_EQ(findings[1].value, "v\nw");
}

TEST(ParseMessageList, ReadsTheStructuralLineOfAFailedRun) {
  std::vector<std::uint64_t> map = {40, 41, 42, 43};
  LineMapping mapping{&map, 41, false};
  std::string s000 = "S S000 #E: unsupported record order for record MN in line 4 \r\n";
  std::vector<Finding> findings;
  std::string host;
  ASSERT_TRUE(ParseMessageList(s000.c_str(), MessageFormat("{{SYS.ErrorNr}}"), mapping, findings, host));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].type, 'S');
  EXPECT_EQ(findings[0].code, "S000");
  EXPECT_EQ(findings[0].line, 43u);
  EXPECT_EQ(findings[0].text, "unsupported record order for record MN in line 43");
  EXPECT_EQ(findings[0].baseText, "unsupported record order for record MN in line ...");
  EXPECT_EQ(host, s000);  // the host gets the library's line as it is
}

TEST(ParseMessageList, RejectsAListOfAnotherShape) {
  LineMapping mapping{nullptr, 1, false};
  std::vector<Finding> findings;
  std::string host;
  EXPECT_FALSE(ParseMessageList("E: B0100 Geschlecht\r\n", MessageFormat(), mapping, findings, host));
  EXPECT_TRUE(ParseMessageList("", MessageFormat(), mapping, findings, host));
  EXPECT_TRUE(findings.empty());
}

TEST(StructuralText, RewritesCallLinesToFileLines) {
  std::vector<std::uint64_t> map = {7, 8, 9};
  LineMapping mapping{&map, 8, false};
  struct Case {
    const char* error;
    const char* text;
    std::uint64_t line;
  } cases[] = {
      {"#E: empty line in line 3 ", "empty line in line 9", 9},
      {"#E: qv: too few fields in record MD on line 2, (690/696)", "qv: too few fields in record MD on line 8, (690/696)", 8},
      {"#E: No MX/MB-record or unsupported charset!", "No MX/MB-record or unsupported charset!", 8},
      {"#E: unknown RecordType in line 12 ", "unknown RecordType in line 8", 8},  // outside the map: the case
  };
  for (const Case& c : cases) {
    std::uint64_t line = 0;
    EXPECT_EQ(StructuralText(c.error, mapping, line), c.text);
    EXPECT_EQ(line, c.line) << c.error;
  }
}

TEST(CheckFormatString, AcceptsWhatTheLibraryAcceptsOnly) {
  struct Case {
    const char* format;
    bool ok;
  } cases[] = {
      {"{{SYS.MsgType}}: {{SYS.ErrorNr}} {{SYS.Text2}}\r\n", true},
      {"plain text", true},
      {"{{MB.1}}{{MB.50}}{{MD.692}}{{SYS.InvalidData}}{{SYS.LineNrMX}}", true},
      {"{{MB.0}}", false},
      {"{{MB.51}}", false},
      {"{{MD.693}}", false},
      {"{{SYS.Nope}}", false},
      {"{{XX.1}}", false},
      {"{{SYSLineNr}}", false},
      {"{{SYS.LineNr", false},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckFormatString(c.format).empty(), c.ok) << c.format;
}

}  // namespace
}  // namespace qv::cli
