// End-to-end runs of the quorvant program on generated and hand-made case
// files. The rules of the library keep growing, so these tests assert the
// splitting, line numbers, formats, exit codes and determinism, and only the
// structural findings, never the list of rule findings.
#include <gtest/gtest.h>

#include <tuple>

#include "ProgramFiles.h"

namespace {

constexpr std::size_t npos = std::string::npos;

class Program : public TempDirTest {
 protected:
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  // Runs the program with the bundled reference data (the build makes it;
  // the program finds it next to itself); input is fed on stdin when given.
  RunResult run(const std::string& args, const std::string& input = "") {
    WriteFile(path("stdin"), input);
    RunResult r = RunCommand(dir_, std::string("'") + QV_PROGRAM + "' " + args + " <'" + path("stdin") + "'");
    // No run of these tests should lose a case to a failed block process.
    EXPECT_EQ(r.out.find("S005"), npos) << r.out.substr(0, 2000);
    return r;
  }

  std::string generate(const std::string& name, const std::string& args) {
    std::string cmd = std::string("'") + QV_GEN_CASES + "' " + args + " --output '" + path(name) + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return path(name);
  }
};

TEST_F(Program, ExitStatusTellsCleanRunsFromUsageAndInputErrors) {
  const std::pair<std::string, int> runs[] = {
      {"check", 0}, {"check --help", 0}, {"--version", 0}, {"check --format xml", 2}, {"frobnicate", 2},
      {"check --format host --format-string '{{SYS.Bogus}}'", 2}, {"check --exit-zero", 0}, {"ref-info", 0}};
  for (const auto& [args, status] : runs) EXPECT_EQ(run(args).status, status) << args;  // empty standard input
  RunResult r = run("check --ref '" + dir_ + "'");
  EXPECT_TRUE(r.status == 2 && r.err.find("fields.ix5") != npos && Split(r.err).size() == 1u) << r.err;
  EXPECT_NE(run("--version").out.find("(x86-64)"), npos);
}

// Runs that cannot give a true answer end with status 2 and their reason as the
// last line of standard error; those that fail before the run print nothing else.
TEST_F(Program, ExitsHonestlyOnInputsAndOutputsThatCannotServe) {
  std::string sample = Slurp(QV_SAMPLE);
  WriteFile(path("cr.dat"), ReplaceAll(sample, "\r\n", "\r"));
  WriteFile(path("nocase.dat"), "MX|1|\r\nMD|x|\r\n");
  WriteFile(path("bad-baseline.txt"), "7345\t01\n");
  const std::string sampleArg = std::string(" '") + QV_SAMPLE + "'";
  // Arguments, reason, and whether the run ends before it starts (nothing on
  // standard output, no summary).
  struct Row { std::string args; const char* reason; bool beforeRun; } rows[] = {
      {"check '" + path("missing.dat") + "'" + sampleArg, "cannot read '", true},
      {"check '" + path("cr.dat") + "'", "lines end in CR alone", false},
      {"check '" + path("nocase.dat") + "'", "no line starts with \"MB|\"", false},
      {"check --html '" + dir_ + "/no/r.html'" + sampleArg, "HTML report", true},
      {"check --summary-json '" + dir_ + "/no/s.json'" + sampleArg, "JSON summary", true},
      {"check --write-baseline '" + dir_ + "/no/b.txt'" + sampleArg, "baseline", true},
      {"check --baseline '" + path("bad-baseline.txt") + "'" + sampleArg, "bad-baseline.txt:1: ", true},
      {"check --select B0131,Z9999" + sampleArg, "Z9999", true},
      {"check --format host --format-string '" + std::string(17000, 'x') + "'" + sampleArg, "16383", true},
  };
  for (const Row& row : rows) {
    RunResult r = run(row.args + " --exit-zero");  // --exit-zero does not hide these
    std::vector<std::string> err = Split(r.err);
    ASSERT_FALSE(err.empty()) << row.args;
    EXPECT_EQ(r.status, 2) << row.args;
    EXPECT_NE(err.back().find(row.reason), npos) << row.args << ": " << r.err;
    EXPECT_TRUE(!row.beforeRun || (r.out.empty() && r.err.find("Zusammenfassung") == npos)) << row.args << r.err;
  }
  EXPECT_FALSE(std::ifstream(dir_ + "/no").good());  // the output checks leave nothing behind
}

// A reader that closes the output early (head) ends the run without a word.
TEST_F(Program, ClosedOutputPipeEndsTheRunQuietly) {
  std::string file = generate("big.dat", "--cases 20000 --seed 3 --fault-rate 0.6");
  std::string cmd = std::string("'") + QV_PROGRAM + "' check --no-progress '" + file + "' 2>'" + path("err") +
                    "' | head -1 >'" + path("out") + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(Split(Slurp(path("out"))).size(), 1u);
  EXPECT_EQ(Slurp(path("err")), "");
}

TEST_F(Program, SelectsFindingsAndNamesTheSampleTables) {
  const std::string sample = std::string(" --no-progress '") + QV_SAMPLE + "'";
  RunResult all = run("check --format json" + sample);
  // A run on the sample tables says so first.
  EXPECT_EQ(all.err.rfind("quorvant: warning: the reference tables in ", 0), 0u) << all.err;
  EXPECT_NE(Split(all.err)[0].find("--ref"), npos);
  EXPECT_NE(run("ref-info").out.find("year:      sample"), npos);
  // A copy whose table was edited, and one without the description.
  std::string copy = path("ref/");
  std::filesystem::copy(QV_REF_DIR, copy);
  std::ofstream(copy + "plz.ix5", std::ios::app | std::ios::binary) << "x\027";
  RunResult edited = run("ref-info --ref '" + copy + "'");
  EXPECT_TRUE(edited.status == 0 && edited.out.find("have changed") != npos &&
              edited.out.find("plz.ix5" + std::string(13, ' ') + "44\n") != npos)
      << edited.out;
  std::remove((copy + "description.txt").c_str());
  EXPECT_NE(run("ref-info --ref '" + copy + "'").out.find("no description"), npos);
  // The selected lines of the full run, by their type letter and code ("E B0131").
  struct Row { std::string args; bool (*keeps)(const std::string& typeCode); } rows[] = {
      {"--select B0131", [](const std::string& t) { return t.substr(2) == "B0131"; }},
      {"--ignore A,B --types E", [](const std::string& t) { return t[0] == 'E' && t[2] == 'C'; }},
  };
  for (const Row& row : rows) {
    RunResult r = run("check --format json " + row.args + sample);
    std::vector<std::string> expected, shown = Split(r.out);
    for (const std::string& line : Split(all.out))
      if (row.keeps(line.substr(line.find("\"type\":") + 8, 1) + " " + line.substr(line.find("\"code\":") + 8, 5)))
        expected.push_back(line);
    ASSERT_GT(shown.size(), 0u) << row.args;
    EXPECT_EQ(shown, expected) << row.args;
    // The summary counts what was left out.
    std::size_t at = r.err.find("ausgelassen:");
    ASSERT_NE(at, npos) << r.err;
    EXPECT_EQ(std::stoul(r.err.substr(at + 12)), Split(all.out).size() - shown.size());
  }
  EXPECT_EQ(run("check --exit-zero" + sample).status, 0);
  EXPECT_EQ(all.status, 1);
}

// Accepted findings are matched by case identity, code, item and value: the
// same delivery with cases added in front or in another order shows nothing
// new; a changed value shows exactly that finding.
TEST_F(Program, BaselineMatchesMovedAndReorderedCasesButNotChangedValues) {
  std::string original = Slurp(generate("a.dat", "--cases 60 --seed 21 --fault-rate 0.5"));
  std::string extra = Slurp(generate("extra.dat", "--cases 2 --seed 99 --fault-rate 0"));
  std::size_t firstMb = original.find("\nMB|") + 1, lastMb = original.rfind("\nMB|") + 1;
  std::string header = original.substr(0, firstMb), extraCases = extra.substr(extra.find("\nMB|") + 1);
  WriteFile(path("shifted.dat"), header + extraCases + original.substr(firstMb));
  WriteFile(path("reordered.dat"), header + original.substr(lastMb) + original.substr(firstMb, lastMb - firstMb));
  RunResult first =
      run("check --format json --no-progress --write-baseline '" + path("b.txt") + "' '" + path("a.dat") + "'");
  ASSERT_EQ(first.status, 1);
  std::vector<std::string> findings = Split(first.out);
  ASSERT_GT(findings.size(), 10u);
  for (const char* field : {"\"bur\":\"7", "\"site\":\"", "\"linkage_code\":\"", "\"case_number\":\""})
    EXPECT_NE(findings[0].find(field), npos) << findings[0];
  EXPECT_EQ(Split(Slurp(path("b.txt"))).size(), findings.size() + 3);  // three header lines
  for (const char* name : {"a.dat", "shifted.dat", "reordered.dat"}) {
    RunResult again = run("check --format json --no-progress --baseline '" + path("b.txt") + "' '" + path(name) + "'");
    EXPECT_EQ(again.out, "") << name;
    EXPECT_EQ(again.status, 0) << name;
    EXPECT_NE(again.err.find("akzeptiert:    " + std::to_string(findings.size())), npos) << again.err;
  }
  // In the sample, the residence 9999 of the case on line 203 is invalid; 9998 is too.
  std::string sample = Slurp(QV_SAMPLE);
  RunResult base = run("check --no-progress --write-baseline '" + path("s.txt") + "' '" + QV_SAMPLE + "'");
  std::size_t at = sample.find("|70|9999|");
  ASSERT_TRUE(base.status == 1 && at != npos && Count(sample.substr(0, at), "\n") == 202);
  WriteFile(path("changed.dat"), sample.substr(0, at) + "|70|9998|" + sample.substr(at + 9));
  RunResult r = run("check --no-progress --baseline '" + path("s.txt") + "' '" + path("changed.dat") + "'");
  EXPECT_EQ(r.out, path("changed.dat") + ":203: case F0000000083: E B0131 Wohnort: Ungültige Angabe [9998]\n");
  EXPECT_EQ(r.status, 1);
}

// Three files: 4000 lines outside any case in front of 300 generated cases
// (more than one block of 4096 items, so that the workers share the file
// while few cases are checked), hand-made structural faults, and the sample.
TEST_F(Program, FormatsAndFileLinesDoNotDependOnTheNumberOfWorkers) {
  std::string strays, good = Slurp(generate("good.dat", "--cases 3 --seed 11 --fault-rate 0"));
  for (int i = 0; i < 4000; ++i) strays += "MN|1|\r\n";
  WriteFile(path("many.dat"), strays + Slurp(generate("many.dat", "--cases 300 --seed 9 --fault-rate 0.2")));
  // After three good cases: a case whose MD line has too few fields; an add-on
  // line after a second header (no MB); a case whose add-ons come in the wrong
  // order; a case of 10000 bytes or more, and one more case after it.
  const std::size_t mb = Count(good, "\n") + 1;
  const std::string header = good.substr(0, good.find("\r\n") + 2), mbLine = "MB" + std::string(90, '|') + "\r\n";
  WriteFile(path("faults.dat"), good + mbLine + "MD|x|y|\r\n" + header + "MK|1|\r\n" + mbLine + "MD" +
                                    std::string(696, '|') + "\r\nMN" + std::string(18, '|') + "\r\n" + mbLine + "MK|" +
                                    std::string(10000, '1') + "|\r\n" + mbLine);
  std::string files = " '" + path("many.dat") + "' '" + path("faults.dat") + "' '" + QV_SAMPLE + "'";
  std::vector<RunResult> one;
  for (std::string args :
       {"check --format json", "check --format host --format-string '{{SYS.LineNr}};{{SYS.ErrorNr}}'"}) {
    one.push_back(run(args + files + " --jobs 1"));
    RunResult four = run(args + files + " --jobs 4");
    EXPECT_EQ(four.out, one.back().out) << args;
    EXPECT_TRUE(one.back().status == 1 && four.status == 1 && four.err == one.back().err) << four.err;
  }
  const std::string& json = one[0].out;
  // The cases read ("Fälle gelesen:"): none lost where a block ends.
  EXPECT_EQ(std::stol(one[0].err.substr(one[0].err.find("gelesen:") + 8)), 507) << one[0].err;
  EXPECT_NE(one[0].err.find("Häufigste Codes"), npos);
  // Structural findings name the file line, the line of their case and the code.
  auto structural = [](std::size_t line, std::size_t caseLine, const std::string& code) {
    std::string lines = ",\"line\":" + std::to_string(line) + ",\"case\":" + std::to_string(caseLine);
    return lines + ",\"bur\":\"\",\"site\":\"\",\"linkage_code\":\"\",\"case_number\":\"\",\"type\":\"S\",\"code\":\"" +
           code;
  };
  const std::tuple<int, int, const char*> faults[] = {{1, 0, "S000"}, {3, 3, "S001"}, {6, 4, "S000"}, {7, 7, "S002"}};
  for (auto [line, caseLine, code] : faults)
    EXPECT_NE(json.find("faults.dat\"" + structural(mb + line, mb + caseLine, code)), npos) << "line " << mb + line;
  EXPECT_NE(json.find("on line " + std::to_string(mb + 1)), npos);
  EXPECT_EQ(Count(json, "\"S002\""), 1u);  // only the large case is refused, and the run goes on
  // One object per line, the lines outside any case first, in file order.
  std::vector<std::string> objects = Split(json);
  ASSERT_GT(objects.size(), 4000u);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    EXPECT_TRUE(objects[i].rfind("{\"file\":", 0) == 0 && objects[i].back() == '}') << objects[i];
    EXPECT_TRUE(i >= 4000 || objects[i].find(structural(i + 1, i + 1, "S001")) != npos) << objects[i];
  }
  // Host lines: the library's in the given format, the command's own as "S S00n ...".
  std::vector<std::string> hostLines = Split(one[1].out);
  EXPECT_EQ(hostLines.size(), objects.size());
  for (const std::string& line : hostLines)
    EXPECT_TRUE(!line.empty() && line.back() == '\r' && (line.find(';') != npos || line.rfind("S S00", 0) == 0))
        << line;
  // One CSV record per JSON object after the header row; a record ends at a CR LF outside quotes.
  std::string csv = run("check --format csv --jobs 4" + files).out;
  ASSERT_EQ(csv.rfind("file,line,case,bur,site,linkage_code,case_number,type,code,item,text,value\r\n", 0), 0u);
  std::size_t records = 0, quotes = 0;
  for (std::size_t i = 0; i + 1 < csv.size(); ++i)
    records += (quotes += csv[i] == '"') % 2 == 0 && csv[i] == '\r' && csv[i + 1] == '\n';
  EXPECT_EQ(records, objects.size() + 1);
}

// The same cases with LF line ends on standard input give the findings of the
// CR LF file, also when that run writes an HTML report (of two cases, to save time).
TEST_F(Program, LfLinesOnStandardInputGiveTheFindingsOfTheCrLfFile) {
  std::string file = generate("crlf.dat", "--cases 30 --seed 5 --fault-rate 0.5");
  std::string lf = Slurp(generate("lf.dat", "--cases 30 --seed 5 --fault-rate 0.5 --lf"));
  RunResult fromFile =
      run("check --format json --lang fr --html-max-cases 2 --html '" + path("report.html") + "' '" + file + "'");
  RunResult fromStdin = run("check --format json --lang fr", lf);
  EXPECT_EQ(fromStdin.status, fromFile.status);
  EXPECT_NE(fromFile.out.find("\"line\":"), npos);
  EXPECT_EQ(fromStdin.out, ReplaceAll(fromFile.out, file, "<stdin>"));
  EXPECT_NE(fromStdin.err.find("Résumé"), npos);
  std::string html = Slurp(path("report.html"));
  EXPECT_TRUE(html.rfind("<!DOCTYPE html>", 0) == 0 && html.find("</html>") != npos);
  EXPECT_NE(html.find("Résumé"), npos);
  EXPECT_NE(html.find("<table class=\"v\">"), npos) << "no case view in the report";
}

TEST_F(Program, GeneratorIsDeterministic) {
  std::string a = Slurp(generate("a.dat", "--cases 100 --seed 17"));
  EXPECT_EQ(Slurp(generate("lf.dat", "--cases 100 --seed 17 --lf")), ReplaceAll(a, "\r", ""));
  EXPECT_NE(Slurp(generate("c.dat", "--cases 100 --seed 18")), a);
  EXPECT_TRUE(a.rfind("MX|", 0) == 0 && Count(a, "\nMB|") == 100 && Count(a, "\nMD|") > 90) << a.substr(0, 200);
}

}  // namespace
