#include <gtest/gtest.h>
#include <unistd.h>

#include "CheckOptions.h"
#include "ProgramFiles.h"

namespace qv::cli {
namespace {

TEST(CheckOptions, ReadsEveryOption) {
  CheckOptions o;
  ASSERT_EQ(ParseCheckOptions({"--format", "host", "--format-string={{SYS.ErrorNr}}", "--lang=fr", "--ref", "/data",
                               "-j4", "--html", "r.html", "--no-progress", "--exit-zero", "--write-baseline", "w.txt",
                               "--summary-json", "s.json", "a.dat", "-", "--", "--odd-name"},
                              o),
            "");
  EXPECT_TRUE(o.format == OutputFormat::Host && o.formatStringGiven && o.language == 1 && o.jobs == 4);
  EXPECT_TRUE(!o.progress && o.summary && o.exitZero);
  EXPECT_EQ(o.formatString + " " + o.refDir + " " + o.htmlFile + " " + o.writeBaselineFile + " " + o.summaryJson,
            "{{SYS.ErrorNr}} /data r.html w.txt s.json");
  EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.dat", "-", "--odd-name"}));
  // The three spellings of a value; the last one given wins.
  for (std::vector<std::string> args :
       {std::vector<std::string>{"-j2"}, {"--jobs=2"}, {"--jobs", "2"}, {"-j", "9", "-j2"}}) {
    ASSERT_EQ(ParseCheckOptions(args, o), "") << args[0];
    EXPECT_EQ(o.jobs, 2) << args[0];
  }
  ASSERT_EQ(ParseCheckOptions({"--select", "B01", "--ignore=C", "--types", "E,S", "--baseline", "b.txt"}, o), "");
  EXPECT_EQ(o.select + "|" + o.ignore + "|" + o.types + "|" + o.baselineFile, "B01|C|E,S|b.txt");
}

TEST(CheckOptions, RejectsBadUsageAndConflicts) {
  const std::vector<std::vector<std::string>> bad = {
      {"--format", "xml"}, {"--format"}, {"--lang", "it"}, {"--jobs", "0"}, {"--jobs", "x"}, {"-j2x"}, {"--ref"},
      {"--bogus"}, {"--html-max-cases", "-1"},
      // Only with --format host; host lines cannot be selected.
      {"--format-string", "{{SYS.ErrorNr}}"}, {"--format", "host", "--select", "B"},
      {"--format", "host", "--baseline", "b.txt"}};
  for (const auto& args : bad) {
    CheckOptions o;
    EXPECT_NE(ParseCheckOptions(args, o), "") << args[0] << " " << (args.size() > 1 ? args[1] : "");
  }
}

// quorvant.ini in the current directory, then --config FILE, then the command
// line: each later one wins for the options it gives.
class ConfigFiles : public TempDirTest {
 protected:
  std::string file(const std::string& name, const std::string& text) {
    WriteFile(dir_ + "/" + name, text);
    return dir_ + "/" + name;
  }
};

TEST_F(ConfigFiles, CommandLineWinsOverConfigWhichWinsOverTheLocalFile) {
  std::string local =
      file("quorvant.ini", "# defaults\n[check]\nformat = json\njobs = 3\nlang = fr\nno-summary = true\n");
  std::string other = file("other.ini", "; team settings\njobs = 2\nselect = \"B01,C\"\nno-summary = false\n");
  // The arguments and the options then: format jobs lang select summary.
  struct Row { std::vector<std::string> args; const char* expected; } rows[] = {
      {{}, "2 3 1  0"},
      {{"--config", other}, "2 2 1 B01,C 1"},
      {{"--config", other, "-j1", "--format", "csv", "--no-summary"}, "1 1 1 B01,C 0"},
      {{"--config=" + other, "--select", "A"}, "2 2 1 A 1"},
  };
  for (const Row& r : rows) {
    CheckOptions o;
    ASSERT_EQ(ParseCheckCommandLine(r.args, local, o), "") << r.expected;
    std::string got = std::to_string(static_cast<int>(o.format)) + " " + std::to_string(o.jobs) + " " +
                      std::to_string(o.language) + " " + o.select + " " + std::to_string(o.summary);
    EXPECT_EQ(got, r.expected);
  }
  CheckOptions o;
  ASSERT_EQ(ParseCheckCommandLine({}, dir_ + "/absent.ini", o), "");  // no local file: defaults
  EXPECT_EQ(o.jobs, 0);
}

TEST_F(ConfigFiles, BadConfigNamesFileAndLine) {
  const std::pair<const char*, const char*> bad[] = {
      {"jobs = 2\njobs = many\n", ":2: "},   {"format = json\n\nnonsense\n", ":3: "},
      {"[report]\nformat = json\n", ":1: "}, {"bogus = 1\n", ":1: "},
      {"config = other.ini\n", ":1: "},      {"--jobs = 2\n", ":1: "},
  };
  for (const auto& [text, where] : bad) {
    std::string path = file("bad.ini", text);
    CheckOptions o;
    std::string problem = ParseCheckCommandLine({"--config", path}, "", o);
    EXPECT_EQ(problem.rfind(path + where, 0), 0u) << text << " -> " << problem;
  }
  CheckOptions o;
  EXPECT_NE(ParseCheckCommandLine({"--config", dir_ + "/none.ini"}, "", o).find("none.ini"), std::string::npos);
  // A bad local file is named as well.
  EXPECT_EQ(ParseCheckCommandLine({}, file("quorvant.ini", "jobs=0\n"), o).rfind(dir_ + "/quorvant.ini:1: ", 0), 0u);
}

}  // namespace
}  // namespace qv::cli
