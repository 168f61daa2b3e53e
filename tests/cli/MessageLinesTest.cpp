#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageLines.h"

namespace qv::cli {
namespace {

// A message list line as the library builds it from the command's format.
std::string Record(int callLine, char type, const std::string& errorNr, const std::string& code,
                   const std::string& text0, const std::string& text1, const std::string& value,
                   const std::string& host = "") {
  return std::to_string(callLine) + "\x1f" + type + "\x1f" + errorNr + "\x1f" + code + "\x1f" + text0 + "\x1f" +
         text1 + "\r" + value + "\r" + host;
}

// The findings in short: "line type code item text|baseText=value".
std::vector<std::string> Parse(const std::string& list, const MessageFormat& format, const LineMapping& mapping,
                               std::string* host = nullptr) {
  std::vector<Finding> findings;
  std::string hostText;
  EXPECT_TRUE(ParseMessageList(list.c_str(), format, mapping, findings, hostText));
  if (host) *host = hostText;
  std::vector<std::string> out;
  for (const Finding& f : findings)
    out.push_back(std::to_string(f.line) + " " + f.type + " " + f.code + " " + std::to_string(f.item) + " " + f.text +
                  "|" + f.baseText + "=" + f.value);
  return out;
}

TEST(MessageFormat, EndsTheHostFormatWithALineEnd) {
  EXPECT_FALSE(MessageFormat().withHostLines());
  // A host format without a line end gets CR LF, as the library gives its own.
  MessageFormat bare("{{SYS.ErrorNr}}");
  EXPECT_EQ(bare.hostCrCount(), 1);
  EXPECT_EQ(bare.text().substr(bare.text().size() - 18), "{{SYS.ErrorNr}}\r\n\r");
  EXPECT_EQ(MessageFormat("{{SYS.ErrorNr}}\n").hostCrCount(), 0);
  EXPECT_EQ(MessageFormat("a\r\nb\r\n").hostCrCount(), 2);
}

TEST(ParseMessageList, MapsCallLinesToFileLines) {
  std::vector<std::uint64_t> map = {100, 120, 121, 122};  // MX, MB, MN, MD
  std::string list = Record(2, 'E', "B0100", "B0100", "Geschlecht", "Geschlecht", "") +
                     Record(4, 'W', "A04003", "A0400", "Diagnosekode", "ND:Diagnosekode", "a\x1f" "b\nc|d") +
                     Record(1, 'E', "C0900", "C0900", "Sonderzeichen", "Sonderzeichen", "a.b") +
                     Record(9, 'H', "X1234", "X1234", "t", "t", "");  // outside the call: the case line
  const std::vector<std::string> all = {
      "120 E B0100 -1 Geschlecht|Geschlecht=", "122 W A0400 3 ND:Diagnosekode|Diagnosekode=a\x1f" "b\nc|d",
      "100 E C0900 -1 Sonderzeichen|Sonderzeichen=a.b", "120 H X1234 -1 t|t="};
  EXPECT_EQ(Parse(list, MessageFormat(), LineMapping{map.data(), map.size(), 120, false}), all);
  // The header's findings came with an earlier case already.
  EXPECT_EQ(Parse(list, MessageFormat(), LineMapping{map.data(), map.size(), 120, true}),
            (std::vector<std::string>{all[0], all[1], all[3]}));
}

TEST(ParseMessageList, SplitsOffTheHostLinesAndReadsTheStructuralLine) {
  MessageFormat format("{{SYS.LineNr}}|{{SYS.ErrorNr}}\r\nsecond\r\n");  // two CRs per host line
  std::vector<std::uint64_t> map = {10, 11, 12, 13};
  std::string h1 = "1|B0100\r\nsecond\r\n", h2 = "2|B0131\r\nsecond\r\n", host;
  // The line of a failed run comes as it is, with the line numbers of the call.
  std::string s000 = "S S000 #E: unsupported record order for record MN in line 4 \r\n";
  std::string list = Record(1, 'E', "B0100", "B0100", "t", "t", "", h1 + "\r") + s000 +
                     Record(2, 'E', "B0131", "B0131", "t", "t", "v\nw", h2 + "\r");
  EXPECT_EQ(Parse(list, format, LineMapping{map.data(), map.size(), 11, false}, &host),
            (std::vector<std::string>{"10 E B0100 -1 t|t=",
                                      "13 S S000 -1 unsupported record order for record MN in line 13|"
                                      "unsupported record order for record MN in line ...=",
                                      "11 E B0131 -1 t|t=v\nw"}));
  EXPECT_EQ(host, h1 + s000 + h2);  // the host gets the library's lines as they are
}

TEST(ParseMessageList, RejectsAListOfAnotherShape) {
  std::vector<Finding> findings;
  std::string host;
  EXPECT_FALSE(ParseMessageList("E: B0100 Geschlecht\r\n", MessageFormat(), {}, findings, host));
  EXPECT_TRUE(ParseMessageList("", MessageFormat(), {}, findings, host));
  EXPECT_TRUE(findings.empty());
}

TEST(StructuralText, RewritesCallLinesToFileLines) {
  std::vector<std::uint64_t> map = {7, 8, 9};
  struct Case { const char* error; const char* text; std::uint64_t line; } cases[] = {
      {"#E: empty line in line 3 ", "empty line in line 9", 9},
      {"#E: qv: too few fields in record MD on line 2, (690/696)",
       "qv: too few fields in record MD on line 8, (690/696)", 8},
      {"#E: No MX/MB-record or unsupported charset!", "No MX/MB-record or unsupported charset!", 8},
      {"#E: unknown RecordType in line 12 ", "unknown RecordType in line 8", 8},  // outside the map: the case
  };
  for (const Case& c : cases) {
    std::uint64_t line = 0;
    EXPECT_EQ(StructuralText(c.error, LineMapping{map.data(), map.size(), 8, false}, line), c.text);
    EXPECT_EQ(line, c.line) << c.error;
  }
}

TEST(CheckFormatString, AcceptsWhatTheLibraryAcceptsOnly) {
  for (const char* ok : {"{{SYS.MsgType}}: {{SYS.ErrorNr}} {{SYS.Text2}}\r\n",
                         "{{MB.1}}{{MB.50}}{{MD.692}}{{SYS.InvalidData}}{{SYS.LineNrMX}}"})
    EXPECT_EQ(CheckFormatString(ok), "") << ok;
  for (const char* bad : {"{{MB.0}}", "{{MB.51}}", "{{MD.693}}", "{{SYS.Nope}}", "{{XX.1}}", "{{SYSLineNr}}",
                          "{{SYS.LineNr"})
    EXPECT_NE(CheckFormatString(bad), "") << bad;
}

}  // namespace
}  // namespace qv::cli
