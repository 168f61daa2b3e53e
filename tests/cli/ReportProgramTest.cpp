// End-to-end runs of the program on the sample: input encodings, the
// spreadsheet CSV and the message texts.
#include <gtest/gtest.h>

#include "ProgramFiles.h"

namespace {

RunResult Check(const std::string& args) {
  return RunCommand(::testing::TempDir(), std::string("'") + QV_PROGRAM + "' check --no-progress " + args);
}

// The sample with a linkage code of non-ASCII characters on the MB line 22,
// in Windows-1252 or UTF-8.
std::string Sample(bool utf8) {
  std::string text = Slurp(QV_SAMPLE);
  std::size_t line22 = 0;
  for (int i = 1; i < 22; ++i) line22 = text.find('\n', line22) + 1;
  std::size_t field4 = line22;
  for (int i = 0; i < 4; ++i) field4 = text.find('|', field4) + 1;
  text.replace(field4, text.find('|', field4) - field4, utf8 ? "Z\xC3\xBCrich-Gen\xC3\xA8ve" : "Z\xFCrich-Gen\xE8ve");
  return text;
}

TEST(ReportProgram, Utf8CopiesOfTheSampleGiveTheSameFindings) {
  std::string dir = ::testing::TempDir();
  std::ofstream(dir + "cp.dat", std::ios::binary) << Sample(false);
  std::ofstream(dir + "u8.dat", std::ios::binary) << Sample(true);
  std::ofstream(dir + "bom.dat", std::ios::binary) << "\xEF\xBB\xBF" << Sample(true);
  RunResult original = Check("'" + dir + "cp.dat'");
  ASSERT_EQ(original.status, 1);
  ASSERT_NE(original.out.find(":22: case F0000000009: E C0901 Nicht erlaubtes Sonderzeichen im MB (Feld 5) [Zürich-Genève]"),
            std::string::npos)
      << original.out;
  for (const char* args : {"u8.dat", "bom.dat", "u8.dat --encoding utf-8", "cp.dat --encoding cp1252"}) {
    std::string name = std::string(args).substr(0, std::string(args).find(' '));
    RunResult copy = Check(dir + args);
    EXPECT_EQ(copy.status, original.status) << args;
    EXPECT_EQ(ReplaceAll(copy.out, name, "cp.dat"), original.out) << args;
    EXPECT_EQ(copy.err, original.err) << args;
  }
  // Read in the wrong encoding, nothing passes silently.
  RunResult wrong = Check("--encoding utf-8 '" + dir + "cp.dat'");
  EXPECT_NE(wrong.out.find(": S S008 "), std::string::npos) << wrong.out;
  RunResult raw = Check("'" + dir + "u8.dat' --encoding latin1");
  EXPECT_NE(raw.out.find("[ZÃ¼rich-GenÃ¨ve]"), std::string::npos) << "latin1 takes every byte as it is";
}

TEST(ReportProgram, ExcelCsvOpensRightInASpreadsheet) {
  RunResult text = Check(std::string("'") + QV_SAMPLE + "'");
  RunResult csv = Check(std::string("--format csv --excel '") + QV_SAMPLE + "'");
  EXPECT_EQ(csv.status, text.status);
  ASSERT_EQ(csv.out.compare(0, 3, "\xEF\xBB\xBF"), 0);
  EXPECT_EQ(csv.out.compare(3, 76, "file;line;case;bur;site;linkage_code;case_number;type;code;item;text;value\r\n"), 0);
  // A record per finding after the header, each ending in CR LF.
  EXPECT_EQ(Count(csv.out, "\r\n"), Count(text.out, "\n") + 1);
  EXPECT_EQ(Count(csv.out, "\n"), Count(csv.out, "\r\n"));
  EXPECT_EQ(Check("--excel").status, 2) << "--excel without --format csv";
}

TEST(ReportProgram, TextsShowFieldNumbersAndTheLanguageOfTheRun) {
  for (const char* lang : {"de", "fr"}) {
    RunResult run = Check(std::string("--lang ") + lang + " '" + QV_SAMPLE + "'");
    EXPECT_EQ((run.out + run.err).find("%i"), std::string::npos) << lang;
    EXPECT_EQ(run.out.find("qv: too few fields"), run.out.find("[qv: too few fields") + 1)
        << lang << ": the library's reason is the value of S000";
  }
  std::string fr = Check(std::string("--lang fr '") + QV_SAMPLE + "'").out;
  EXPECT_NE(fr.find(": E A0200 2e diagnostic suppl\xC3\xA9mentaire: "), std::string::npos) << fr;
}

}  // namespace
