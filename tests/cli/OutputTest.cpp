#include <gtest/gtest.h>

#include <string>

#include "FindingWriter.h"
#include "ResultWire.h"
#include "Summary.h"
#include "TextCoding.h"

namespace qv::cli {
namespace {

ItemResult SampleCase() {
  ItemResult r;
  r.isCase = true;
  r.caseLine = 12;
  Finding a;
  a.line = 12;
  a.type = 'E';
  a.code = "B0131";
  a.text = a.baseText = "Wohnort: Ungültige Angabe";
  a.value = "99,\"9";
  Finding b;
  b.line = 14;
  b.type = 'W';
  b.code = "A0400";
  b.item = 2;
  b.text = "ND:Diagnosekode nicht vereinbar";
  b.baseText = "Diagnosekode nicht vereinbar";
  b.value = "N3\n90";
  r.findings = {a, b};
  return r;
}

TEST(FindingWriter, RendersEveryFormat) {
  ItemResult r = SampleCase();
  struct Case {
    OutputFormat format;
    const Finding& finding;
    std::string expected;
  } cases[] = {
      {OutputFormat::Text, r.findings[0], "a.dat:12: E B0131 Wohnort: Ungültige Angabe [99,\"9]\n"},
      {OutputFormat::Text, r.findings[1], "a.dat:14: W A0400 ND:Diagnosekode nicht vereinbar [N3\\x0A90]\n"},
      {OutputFormat::Csv, r.findings[0], "a.dat,12,12,E,B0131,,Wohnort: Ungültige Angabe,\"99,\"\"9\"\r\n"},
      {OutputFormat::Csv, r.findings[1], "a.dat,14,12,W,A0400,2,ND:Diagnosekode nicht vereinbar,\"N3\n90\"\r\n"},
      {OutputFormat::Json, r.findings[0],
       "{\"file\":\"a.dat\",\"line\":12,\"case\":12,\"type\":\"E\",\"code\":\"B0131\",\"item\":null,"
       "\"text\":\"Wohnort: Ungültige Angabe\",\"value\":\"99,\\\"9\"}\n"},
      {OutputFormat::Json, r.findings[1],
       "{\"file\":\"a.dat\",\"line\":14,\"case\":12,\"type\":\"W\",\"code\":\"A0400\",\"item\":2,"
       "\"text\":\"ND:Diagnosekode nicht vereinbar\",\"value\":\"N3\\n90\"}\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(FindingWriter::Render(c.format, "a.dat", r, c.finding), c.expected);
}

TEST(FindingWriter, HostFormatPassesTheLibraryLinesThrough) {
  ItemResult stray;
  stray.caseLine = 3;
  Finding f;
  f.line = 3;
  f.type = 'S';
  f.code = "S001";
  f.text = "Zeile ohne vorangehende MB-Zeile (gehört zu keinem Fall)";
  f.value = "MN|";
  stray.findings = {f};
  ItemResult library = SampleCase();
  library.hostText = "E: B0131 Wohnort\r\nW: A04002 ND:Diagnosekode\r\n";

  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  FindingWriter writer(OutputFormat::Host, out);
  writer.begin();
  writer.write("a.dat", stray);
  writer.write("a.dat", library);
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  // The command's own finding in the code page, then the library's lines unchanged.
  EXPECT_EQ(text, "S S001 Zeile ohne vorangehende MB-Zeile (geh\xF6rt zu keinem Fall) [MN|]\r\n" + library.hostText);
}

TEST(FindingWriter, CsvStartsWithAHeaderRow) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  FindingWriter writer(OutputFormat::Csv, out);
  writer.begin();
  std::fclose(out);
  EXPECT_EQ(std::string(buffer, size), "file,line,case,type,code,item,text,value\r\n");
  std::free(buffer);
}

TEST(TextCoding, ConvertsTheCodePage) {
  EXPECT_EQ(CodePageToUtf8("Gr\xF6sse \x80 \xE9"), "Grösse € é");
  EXPECT_EQ(Utf8ToCodePage("Grösse € é"), "Gr\xF6sse \x80 \xE9");
  EXPECT_EQ(Utf8ToCodePage("Ω"), "?");
  EXPECT_EQ(CsvField("plain"), "plain");
  EXPECT_EQ(CsvField("a\rb"), "\"a\rb\"");
  EXPECT_EQ(JsonString(std::string("a\x01\\", 3)), "\"a\\u0001\\\\\"");
  EXPECT_EQ(HtmlEscape("<a & \"b\">"), "&lt;a &amp; &quot;b&quot;&gt;");
}

TEST(Summary, CountsCasesTypesAndCodes) {
  Summary s;
  s.add(SampleCase());
  ItemResult clean;
  clean.isCase = true;
  s.add(clean);
  ItemResult stray;  // not a case
  Finding f;
  f.type = 'S';
  f.code = "S001";
  f.baseText = "stray";
  stray.findings = {f, f};
  s.add(stray);
  ItemResult second = SampleCase();
  second.findings.resize(1);
  s.add(second);

  EXPECT_EQ(s.cases(), 3u);
  EXPECT_EQ(s.casesWithFindings(), 2u);
  const std::uint64_t expected[5] = {2, 1, 0, 0, 2};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.typeCounts()[i], expected[i]);
  EXPECT_TRUE(s.hasErrors());
  auto top = s.topCodes(2);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0].code, "B0131");  // 2, before S001 (2) by code
  EXPECT_EQ(top[0].count, 2u);
  EXPECT_EQ(top[0].text, "Wohnort: Ungültige Angabe");
  EXPECT_EQ(top[1].code, "S001");
}

TEST(Summary, WarningsAloneAreNoErrors) {
  Summary s;
  ItemResult r = SampleCase();
  r.findings.erase(r.findings.begin());
  s.add(r);
  EXPECT_FALSE(s.hasErrors());
}

TEST(ResultWire, RoundTripsResults) {
  ItemResult a = SampleCase();
  a.hostText = "host\r\n";
  a.htmlTable = "<table></table>";
  ItemResult b;
  b.caseLine = 99;
  std::string bytes;
  EncodeResult(a, bytes);
  EncodeResult(b, bytes);
  std::size_t pos = 0;
  ItemResult x, y;
  ASSERT_TRUE(DecodeResult(bytes, pos, x));
  ASSERT_TRUE(DecodeResult(bytes, pos, y));
  EXPECT_EQ(pos, bytes.size());
  EXPECT_TRUE(x.isCase);
  ASSERT_EQ(x.findings.size(), 2u);
  EXPECT_EQ(x.findings[1].value, "N3\n90");
  EXPECT_EQ(x.findings[1].item, 2);
  EXPECT_EQ(x.hostText, "host\r\n");
  EXPECT_EQ(x.htmlTable, "<table></table>");
  EXPECT_EQ(y.caseLine, 99u);
  // A cut-off result is not decoded and leaves the position alone.
  std::string cut = bytes.substr(0, bytes.size() - 3);
  pos = 0;
  ASSERT_TRUE(DecodeResult(cut, pos, x));
  std::size_t before = pos;
  EXPECT_FALSE(DecodeResult(cut, pos, y));
  EXPECT_EQ(pos, before);
}

}  // namespace
}  // namespace qv::cli
