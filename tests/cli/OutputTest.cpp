#include <gtest/gtest.h>

#include "CaseSplitter.h"
#include "FindingWriter.h"
#include "ProgramFiles.h"
#include "ResultWire.h"
#include "Summary.h"
#include "TextCoding.h"

namespace qv::cli {
namespace {

// A case on line 12 with an error and a warning on its third diagnosis.
ItemResult SampleCase() {
  return {{true, 12, {{12, 'E', "B0131", -1, "Wohnort: Ungültige Angabe", "Wohnort: Ungültige Angabe", "99,\"9"},
                      {14, 'W', "A0400", 2, "ND:Kode falsch", "Kode falsch", "N3\n90"}},
           "", ""},
          {"73456789", "01", "2695CC2A", "F,1"}};
}

// Findings the command makes itself: only a line, type, code and text.
Finding Own(std::uint64_t line, char type, const char* code, const char* text, const char* value = "") {
  return {line, type, code, -1, text, text, value};
}

std::string Written(OutputFormat format, const std::vector<ItemResult>& results) {
  return Captured([&](std::FILE* out) {
    FindingWriter writer(format, out);
    writer.begin();
    for (const ItemResult& r : results) writer.write("a.dat", r);
  });
}

TEST(FindingWriter, WritesEveryFormat) {
  ItemResult stray{{false, 3, {Own(3, 'S', "S001", "Zeile gehört zu keinem Fall", "MN|")}, "", ""}};
  ItemResult library = SampleCase();
  library.hostText = "E: B0131 Wohnort\r\nW: A04002 ND:Diagnosekode\r\n";
  EXPECT_EQ(Written(OutputFormat::Text, {library}),
            "a.dat:12: case F,1: E B0131 Wohnort: Ungültige Angabe [99,\"9]\n"
            "a.dat:14: case F,1: W A0400 ND:Kode falsch [N3\\x0A90]\n");
  EXPECT_EQ(Written(OutputFormat::Csv, {library}),
            "file,line,case,bur,site,linkage_code,case_number,type,code,item,text,value\r\n"
            "a.dat,12,12,73456789,01,2695CC2A,\"F,1\",E,B0131,,Wohnort: Ungültige Angabe,\"99,\"\"9\"\r\n"
            "a.dat,14,12,73456789,01,2695CC2A,\"F,1\",W,A0400,2,ND:Kode falsch,\"N3\n90\"\r\n");
  EXPECT_EQ(Written(OutputFormat::Json, {library}),
            "{\"file\":\"a.dat\",\"line\":12,\"case\":12,\"bur\":\"73456789\",\"site\":\"01\",\"linkage_code\":"
            "\"2695CC2A\",\"case_number\":\"F,1\",\"type\":\"E\",\"code\":\"B0131\",\"item\":null,"
            "\"text\":\"Wohnort: Ungültige Angabe\",\"value\":\"99,\\\"9\"}\n"
            "{\"file\":\"a.dat\",\"line\":14,\"case\":12,\"bur\":\"73456789\",\"site\":\"01\",\"linkage_code\":"
            "\"2695CC2A\",\"case_number\":\"F,1\",\"type\":\"W\",\"code\":\"A0400\",\"item\":2,"
            "\"text\":\"ND:Kode falsch\",\"value\":\"N3\\n90\"}\n");
  // Without a case number the text format names the linkage code, without either nothing.
  library.identity.caseNumber.clear();
  EXPECT_EQ(FindingWriter::Render(OutputFormat::Text, "a.dat", library, library.findings[0]).substr(0, 26),
            "a.dat:12: case 2695CC2A: E");
  library.identity.linkageCode.clear();
  EXPECT_EQ(FindingWriter::Render(OutputFormat::Text, "a.dat", library, library.findings[0]).substr(0, 17),
            "a.dat:12: E B0131");
  // The command's own finding in the code page, then the library's lines
  // unchanged (its structural findings among them).
  library.findings.push_back(Own(14, 'S', "S000", "bad order"));
  EXPECT_EQ(Written(OutputFormat::Host, {stray, library}),
            "S S001 Zeile geh\xF6rt zu keinem Fall [MN|]\r\n" + library.hostText);
}

TEST(TextCoding, ConvertsTheCodePage) {
  EXPECT_EQ(CodePageToUtf8("Gr\xF6sse \x80 \xE9"), "Grösse € é");
  EXPECT_EQ(Utf8ToCodePage("Grösse € é"), "Gr\xF6sse \x80 \xE9");
  EXPECT_EQ(Utf8ToCodePage("Ω"), "?");
  EXPECT_EQ(CsvField("a\rb"), "\"a\rb\"");
  EXPECT_EQ(JsonString(std::string("a\x01\\", 3)), "\"a\\u0001\\\\\"");
  EXPECT_EQ(HtmlEscape("<a & \"b\">"), "&lt;a &amp; &quot;b&quot;&gt;");
}

TEST(Summary, CountsCasesTypesAndCodes) {
  Summary s;
  ItemResult clean{{true, 20, {}, "", ""}}, second = SampleCase();
  ItemResult stray{{false, 3, {Own(3, 'S', "S001", "stray"), Own(3, 'S', "S001", "stray")}, "", ""}};  // no case
  second.findings.resize(1);
  for (const ItemResult& r : {SampleCase(), clean, stray, second}) s.add(r);
  const std::uint64_t* t = s.typeCounts();  // cases, those with findings, then findings of type E, W, H, C, S
  EXPECT_EQ((std::vector<std::uint64_t>{s.cases(), s.casesWithFindings(), t[0], t[1], t[2], t[3], t[4]}),
            (std::vector<std::uint64_t>{3, 2, 2, 1, 0, 0, 2}));
  auto top = s.topCodes(2);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0].code + " " + std::to_string(top[0].count) + " " + top[0].text, "B0131 2 Wohnort: Ungültige Angabe");
  EXPECT_EQ(top[1].code, "S001");  // as many as B0131, after it by code
  // Only findings of type E or S make a run fail.
  for (char type : {'E', 'W', 'H', 'C', 'S'}) {
    Summary one;
    one.add(ItemResult{{true, 1, {Own(1, type, "X0000", "t")}, "", ""}});
    EXPECT_EQ(one.hasErrors(), type == 'E' || type == 'S') << type;
  }
}

TEST(ResultWire, RoundTripsResults) {
  // The identity is not sent: the main process takes it from the case's lines.
  ItemResult a{SampleCase()}, x;
  a.identity = {};
  ItemOutcome b{false, 99, {}, "", ""}, y;
  a.hostText = "host\r\n";
  a.htmlTable = "<table></table>";
  std::string bytes;
  EncodeResult(a, bytes);
  EncodeResult(b, bytes);
  std::size_t pos = 0;
  ASSERT_TRUE(DecodeResult(bytes, pos, x) && DecodeResult(bytes, pos, y));
  EXPECT_EQ(pos, bytes.size());
  ASSERT_EQ(Written(OutputFormat::Json, {x}), Written(OutputFormat::Json, {a}));  // every field the formats show
  EXPECT_TRUE(x.isCase && x.hostText == a.hostText && x.htmlTable == a.htmlTable);
  EXPECT_EQ(x.findings[1].baseText, a.findings[1].baseText);
  EXPECT_EQ(y.caseLine, 99u);
  // Records of both, the empty one written in one piece, read back alike.
  std::string records;
  AppendResultRecord(b, records);
  AppendResultRecord(a, records);
  pos = 0;
  ASSERT_EQ(TakeResultRecord(records.data(), records.size(), pos, y), 1);
  EXPECT_TRUE(y.caseLine == 99u && !y.isCase && y.findings.empty() && y.hostText.empty());
  ASSERT_EQ(TakeResultRecord(records.data(), records.size(), pos, x), 1);
  EXPECT_TRUE(pos == records.size() && x.caseLine == a.caseLine && x.findings.size() == a.findings.size());
  // A cut-off result is not decoded and leaves the position alone.
  pos = 0;
  std::string cut = bytes.substr(0, bytes.size() - 3);
  ASSERT_TRUE(DecodeResult(cut, pos, x));
  std::size_t before = pos;
  EXPECT_FALSE(DecodeResult(cut, pos, y));
  EXPECT_EQ(pos, before);
}

// A block job goes to a started block process as a file: the block comes
// back whole, and a job whose items point outside the block's arrays (or
// that is cut short) is refused before any item is read.
TEST(ResultWire, RoundTripsBlockJobsAndRefusesItemsOutsideTheirBlock) {
  Block block;
  CaseSplitter splitter(block, {"stray", "too large: {bytes}", "nul"});
  std::uint64_t number = 0;
  for (std::string text : {"zz", "MX|h|", "MB|1|2|3|4|", "MD|d|", "MB|5|"})
    splitter.addLine(Line{text, ++number, text.size(), false, {}});
  splitter.finish();
  BlockJob job;
  job.refDir = "ref/";
  job.layout = 50;
  job.skip = {1};
  auto describe = [](const Block& b) {
    std::string s;
    for (const WorkItem& item : b.items) {
      CallView call = b.call(item);
      s += std::to_string(item.caseLine) + ":" + call.text + ":" + std::to_string(call.lineCount) + ":" +
           b.identity(item).bur + b.identity(item).linkageCode;
      for (const Finding& f : b.findingsOf(item)) s += ":" + f.code;
      s += "|";
    }
    return s;
  };
  std::string bytes;
  EncodeBlockJob(job, block, bytes);
  BlockJob gotJob;
  Block got;
  ASSERT_TRUE(DecodeBlockJob(bytes, gotJob, got));
  EXPECT_EQ(describe(got), describe(block));
  EXPECT_EQ(gotJob.refDir + std::to_string(gotJob.layout) + std::to_string(gotJob.skip.at(0)), "ref/501");
  EXPECT_FALSE(DecodeBlockJob(bytes.substr(0, bytes.size() - 1), gotJob, got));

  const std::pair<const char*, void (*)(WorkItem&)> bad[] = {
      {"text", [](WorkItem& i) { i.text += 1000; }},
      {"text size", [](WorkItem& i) { i.textSize += 1; }},  // no NUL after it
      {"lines", [](WorkItem& i) { i.lineCount += 10; }},
      {"findings", [](WorkItem& i) { i.findingCount += 1; }},
      {"names", [](WorkItem& i) { i.nameSizes[2] += 100; }},
  };
  for (const auto& [what, spoil] : bad) {
    Block spoilt = block;
    spoil(spoilt.items[1]);  // the first case
    std::string spoiltBytes;
    EncodeBlockJob(job, spoilt, spoiltBytes);
    EXPECT_FALSE(DecodeBlockJob(spoiltBytes, gotJob, got)) << what;
  }
}

}  // namespace
}  // namespace qv::cli
