// Input encodings, the spreadsheet CSV, the case views and the HTML report's
// escaping and structure.
#include <gtest/gtest.h>

#include "CaseView.h"
#include "FindingWriter.h"
#include "HtmlReport.h"
#include "InputDecoder.h"
#include "ProgramFiles.h"
#include "TextCoding.h"

namespace qv::cli {
namespace {

TEST(InputEncoding, AutoTellsUtf8FromWindows1252) {
  struct Row { std::string content; InputEncoding expected; } rows[] = {
      {"MB|Z\xC3\xBCrich|\r\n", InputEncoding::Utf8},
      {"\xEF\xBB\xBFMB|\xFC|\r\n", InputEncoding::Utf8},  // the byte-order mark decides
      {"MB|Z\xFCrich|\r\n", InputEncoding::Cp1252},
      {"MB|plain|\r\n", InputEncoding::Utf8},
      {"MB|\xC3", InputEncoding::Cp1252},                 // cut at the end
      {"MB|\xC0\xAF|", InputEncoding::Cp1252},            // overlong form
      {"MB|\xED\xA0\x80|", InputEncoding::Cp1252},        // surrogate
      {std::string(70000, 'a') + "\xE2\x82\xAC", InputEncoding::Utf8},  // a character across two reads
      {std::string(65535, 'a') + "\xE2\x82\xAC", InputEncoding::Utf8},
  };
  for (const Row& r : rows) {
    std::istringstream in(r.content);
    EXPECT_EQ(DetectEncoding(in), r.expected) << r.content.substr(0, 20);
  }
}

TEST(InputEncoding, LinesReachTheLibraryInLatin1) {
  // Encoding, line number, text in and out, and the findings (code, field, value).
  struct Row {
    InputEncoding encoding;
    std::uint64_t number;
    std::string in, out;
    std::vector<std::string> findings;
  } rows[] = {
      {InputEncoding::Utf8, 1, "\xEF\xBB\xBFMX|1", "MX|1", {}},
      {InputEncoding::Cp1252, 1, "\xEF\xBB\xBFMX|1", "MX|1", {}},  // never part of line 1
      {InputEncoding::Utf8, 2, "\xEF\xBB\xBFMX|1", "?MX|1", {"S007 1 \xEF\xBB\xBF"}},
      {InputEncoding::Utf8, 2, "MB|Z\xC3\xBCrich|Gen\xC3\xA8ve", "MB|Z\xFCrich|Gen\xE8ve", {}},
      {InputEncoding::Cp1252, 2, "MB|Z\xFCrich", "MB|Z\xFCrich", {}},
      {InputEncoding::Latin1, 2, "MB|\x80\xFC", "MB|\x80\xFC", {}},
      {InputEncoding::Utf8, 2, "MB|a|\xE2\x82\xAC|\xE2\x82\xAC\xCE\xA9", "MB|a|?|??", {"S007 3 \xE2\x82\xAC\xCE\xA9"}},
      {InputEncoding::Cp1252, 2, "MB|\x80", "MB|?", {"S007 2 \xE2\x82\xAC"}},
      {InputEncoding::Cp1252, 2, "MB|\x81", "MB|?", {"S008 2 \\x81"}},  // undefined in Windows-1252
      {InputEncoding::Utf8, 2, "MB|x|Z\xFCrich|\xC3", "MB|x|Z?rich|?", {"S008 3 \\xFC\\xC3"}},
  };
  for (const Row& r : rows) {
    InputDecoder decoder(r.encoding, TextsFor(0));
    decoder.startFile(nullptr);
    Line line{r.in, r.number, r.in.size(), false, {}};
    std::vector<Finding> findings;
    decoder.decode(line, findings);
    EXPECT_EQ(line.text, r.out) << r.in;
    EXPECT_EQ(line.length, r.out.size()) << r.in;
    std::vector<std::string> got;
    for (const Finding& f : findings) {
      got.push_back(f.code + " " + std::to_string(f.field) + " " + f.value);
      EXPECT_EQ(f.line, r.number);
      EXPECT_NE(f.text.find(std::to_string(f.field)), std::string::npos) << f.text;
    }
    EXPECT_EQ(got, r.findings) << r.in;
  }
}

TEST(InputEncoding, AutoOnAPipeFollowsTheFirstLineWithMoreThanAscii) {
  for (const auto& [first, later, expected] :
       {std::tuple<std::string, std::string, std::string>{"MB|Z\xC3\xBC", "MB|\xC3\xA8", "MB|\xE8"},
        {"MB|Z\xFC", "MB|\xC3\xA8", "MB|\xC3\xA8"}}) {
    InputDecoder decoder(InputEncoding::Auto, TextsFor(0));
    decoder.startFile(nullptr);
    std::vector<Finding> findings;
    Line a{"MB|plain", 1, 8, false, {}}, b{first, 2, first.size(), false, {}}, c{later, 3, later.size(), false, {}};
    for (Line* l : {&a, &b, &c}) decoder.decode(*l, findings);
    EXPECT_EQ(c.text, expected);
    EXPECT_TRUE(findings.empty());
  }
}

// A file is read through only at its first line with more than ASCII, and
// the whole file decides: here a later byte that is no UTF-8.
TEST(InputEncoding, AutoOnAFileLetsTheWholeFileDecide) {
  std::istringstream in("MB|plain\nMB|Z\xC3\xBC\nMB|\xFC\n");
  InputDecoder decoder(InputEncoding::Auto, TextsFor(0));
  decoder.startFile(&in);
  std::vector<Finding> findings;
  Line a{"MB|plain", 1, 8, false, {}}, b{"MB|Z\xC3\xBC", 2, 6, false, {}};
  decoder.decode(a, findings);
  EXPECT_EQ(decoder.encoding(), InputEncoding::Auto);
  EXPECT_EQ(in.tellg(), 0);
  decoder.decode(b, findings);
  EXPECT_EQ(decoder.encoding(), InputEncoding::Cp1252);
  EXPECT_EQ(b.text, "MB|Z\xC3\xBC");
  EXPECT_TRUE(findings.empty());
}

TEST(TextCoding, FileNamesThatAreNotUtf8StayValidJson) {
  EXPECT_EQ(JsonString("d\xFC.dat"), "\"d\\\\xFC.dat\"");
  EXPECT_EQ(JsonString("d\xC3\xBC.dat"), "\"d\xC3\xBC.dat\"");
  EXPECT_EQ(ValidUtf8("a\xE2\x82"), "a\\xE2\\x82");
}

TEST(FindingWriter, ExcelCsvHasAByteOrderMarkAndSemicolons) {
  const std::string text = Captured([](std::FILE* out) {
    FindingWriter writer(OutputFormat::Csv, out, true);
    writer.begin();
    writer.write("a.dat", ItemResult{{true, 12, {{12, 'E', "B0131", 2, "Wohnort: a;b", "", "9,9", 0}}, "", ""}});
  });
  EXPECT_EQ(text,
            "\xEF\xBB\xBF"
            "file;line;case;bur;site;linkage_code;case_number;type;code;item;text;value\r\n"
            "a.dat;12;12;;;;;E;B0131;2;\"Wohnort: a;b\";9,9\r\n");
}

// Rows as the library writes its result table.
std::string TableRow(const std::string& name, const std::string& label, const std::string& value,
                     const std::string& meaning = "") {
  return "<tr><td class=tabtexteven>" + name + "</td>\n<td class=tabtexteven nowrap>" + label +
         "</td>\n<td class=tabboldeven>" + value + "</td>\n<td class=tabtexteven>" + meaning + "</td></td></tr>\n";
}

TEST(CaseView, KeepsFilledFieldsAndLinksFindingsToTheFieldsTheyName) {
  std::string table = "<table border='1'>\n<tr><td class=tabtit>Name</td><td class=tabtit>Text</td></tr>\n" +
                      TableRow("MB", "Satzart", "MB") + TableRow("0.1.V01", "Betriebsnummer", "12</td>3") +
                      TableRow("0.1.V02", "Geschlecht", "") + TableRow("0.1.V03", "Wohnort", "9999", "#ung\xFCltig") +
                      TableRow("0.1.V04", "Austritt", "7") + TableRow("0.1.V05", "Leer", "") +
                      TableRow("MD", "Satzart", "MD") + TableRow("4.1.V01", "Diagnose", "X999X") +
                      TableRow("4.1.V02", "Diagnose 2", "7") + "</table>\n";
  std::vector<CaseField> fields = ReadCaseTable(table);
  ASSERT_EQ(fields.size(), 9u);
  EXPECT_EQ(fields[1].value, "12</td>3");
  EXPECT_EQ(fields[3].meaning, "#ungültig");
  EXPECT_EQ(fields[8].record + "." + std::to_string(fields[8].field), "MD.3");

  KeptCall call;
  call.text = "MX|x\r\nMB|12|\r\nMD|X999X|7\r\n";
  call.lines = {1, 5, 6};
  std::vector<Finding> findings = {
      {5, 'E', "C0901", -1, "Feld 2", "Feld %i", "12", 2},                     // by number
      {5, 'E', "B0100", -1, "Geschlecht: fehlt", "Geschlecht: fehlt", "", 0},  // by label, empty field
      {5, 'E', "B0201", -1, "x", "Wohnort/Austritt: falsch", "9999", 0},       // two labels
      {6, 'E', "A0200", 2, "2. ND: falsch", "falsch", "X999X", 0},             // by value in its record
      {6, 'E', "A0300", 3, "falsch", "falsch", "7", 0},                        // the value in MD only
      {5, 'W', "B0999", -1, "ohne Feld", "ohne Feld", "nirgends", 0},
  };
  LinkFindings(fields, findings, call.view());
  std::vector<std::string> got;
  for (const CaseField& f : fields) {
    std::string codes;
    for (int i : f.findings) codes += " " + findings[static_cast<std::size_t>(i)].code;
    got.push_back(f.record + "." + std::to_string(f.field) + codes);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"MB.1", "MB.2 C0901", "MB.3 B0100", "MB.4 B0201", "MB.5 B0201", "MD.1",
                                           "MD.2 A0200", "MD.3 A0300"}));
}

TEST(HtmlReport, EscapesEveryValueAndLinksEachIndexEntryToItsCase) {
  HtmlReport report(2);
  for (int k = 0; k < 3; ++k) {
    ItemResult r{{true, 10u + k, {{10u + k, 'E', "B0131", -1, "<b>Wohnort</b>", "", "\"x\"", 0}}, "", ""}};
    r.identity.caseNumber = k == 0 ? "<F1&>" : "F" + std::to_string(k + 1);
    report.add("a<1>.dat", 90, CallView{}, r);
  }
  report.entries()[0].fields = {{"MB", 4, "1.1.V04", "Wohnort<", "<9999>", "", {0}}, {"MB", 5, "n", "l", "v", "", {}}};
  Summary summary;
  ReportHeader header;
  header.runDate = "2026-12-06 01:30 UTC";
  header.program = "quorvant 9";
  header.referenceData = "sample <2024>";
  header.inputs = {{"a<1>.dat", 1234, 56}};
  std::string path = ::testing::TempDir() + "report.html";
  ASSERT_TRUE(report.write(path, header, summary, TextsFor(0)));
  const std::string html = Slurp(path);
  for (const char* raw : {"<F1&>", "<b>", "a<1>", "<9999>", "\"x\"", "<2024>", "Wohnort<"})
    EXPECT_EQ(html.find(raw), std::string::npos) << raw;
  for (const char* shown : {"&lt;F1&amp;&gt;", "a&lt;1&gt;.dat (1234 Bytes, 56 Zeilen)", "sample &lt;2024&gt;",
                            "2026-12-06 01:30 UTC", "quorvant 9", "--html-max-cases", "data-f=\"MB.4\""})
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
  EXPECT_EQ(Count(html, "<section class=\"case\""), 2u) << "the third case is over the limit";
  for (const char* id : {"1", "2"}) {
    EXPECT_EQ(Count(html, std::string("href=\"#c") + id + "\""), 1u);
    EXPECT_EQ(Count(html, std::string("id=\"c") + id + "\""), 1u);
  }
  EXPECT_EQ(Count(html, "class=\"hit\""), 1u);
  EXPECT_NE(html.find("<div id=\"filter\" hidden"), std::string::npos) << "the filter shows only with scripts";
}

}  // namespace
}  // namespace qv::cli
