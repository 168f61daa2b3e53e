// End-to-end runs of the quorvant program on generated and hand-made case
// files. The rules of the library keep growing, so these tests assert the
// splitting, line numbers, formats, exit codes and determinism, and only the
// structural findings, never the list of rule findings.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

// The number after "Fälle gelesen:" in the German summary.
long CasesRead(const std::string& err) {
  std::size_t at = err.find("Fälle gelesen:");
  if (at == std::string::npos) return -1;
  return std::strtol(err.c_str() + at + std::string("Fälle gelesen:").size(), nullptr, 10);
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    // The build makes the reference data; the program finds it next to itself.
    struct stat st;
    ASSERT_EQ(::stat((std::string(QV_REF_DIR) + "fields.ix5").c_str(), &st), 0) << "no reference data in " << QV_REF_DIR;
    char dir[] = "/tmp/quorvant-test-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override {
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  // Runs the program with the bundled reference data; input is fed on stdin when given.
  RunResult run(const std::string& args, const std::string* input = nullptr) {
    std::string in = path("stdin");
    WriteFile(in, input ? *input : "");
    std::string cmd = std::string("'") + QV_PROGRAM + "' " + args + " <'" + in + "' >'" + path("out") + "' 2>'" +
                      path("err") + "'";
    int raw = std::system(cmd.c_str());
    RunResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(path("out"));
    r.err = Slurp(path("err"));
    // No run of these tests should lose a case to a failed block process.
    EXPECT_EQ(r.out.find("S005"), std::string::npos) << r.out.substr(0, 2000);
    return r;
  }

  std::string generate(const std::string& name, const std::string& args) {
    std::string file = path(name);
    std::string cmd = std::string("'") + QV_GEN_CASES + "' " + args + " --output '" + file + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return file;
  }

  std::string dir_;
};

TEST_F(Program, ChecksTheSampleFileAndFailsOnItsErrors) {
  RunResult r = run(std::string("check --no-progress '") + QV_SAMPLE + "'");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_FALSE(r.out.empty());
  EXPECT_NE(r.err.find("Zusammenfassung"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Häufigste Codes"), std::string::npos);
  for (const std::string& line : Lines(r.out)) EXPECT_NE(line.find("sample.dat:"), std::string::npos) << line;
}

TEST_F(Program, ExitStatusTellsErrorsFromCleanRunsAndUsage) {
  std::string empty = path("empty.dat");
  WriteFile(empty, "");
  EXPECT_EQ(run("check '" + empty + "'").status, 0);

  std::string stray = path("stray.dat");
  WriteFile(stray, "MN|1|\r\n");
  RunResult r = run("check '" + stray + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(":1: S S001 "), std::string::npos) << r.out;

  EXPECT_EQ(run("check --format xml").status, 2);
  EXPECT_EQ(run("frobnicate").status, 2);
  r = run("check --ref '" + dir_ + "' '" + empty + "'");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("fields.ix5"), std::string::npos);
  EXPECT_EQ(Lines(r.err).size(), 1u);

  r = run("check '" + path("missing.dat") + "' '" + stray + "'");
  EXPECT_EQ(r.status, 2);  // an input error wins, but the other file is still checked
  EXPECT_NE(r.out.find("missing.dat:0: S S003 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("stray.dat:1: S S001 "), std::string::npos);
  EXPECT_NE(r.err.find("cannot read"), std::string::npos);

  EXPECT_EQ(run("check --help").status, 0);
  EXPECT_EQ(run("--version").status, 0);
}

TEST_F(Program, StructuralFindingsCarryTheFileLine) {
  std::string good = Slurp(generate("good.dat", "--cases 3 --seed 11 --fault-rate 0"));
  std::vector<std::string> lines = Lines(good);
  ASSERT_GE(lines.size(), 4u);
  // Header, three generated cases, then a case whose MD line has too few
  // fields, then an add-on line after a second header (no MB), then a case
  // whose add-ons come in the wrong order.
  std::string text = good;
  std::size_t mbLine = lines.size() + 1;
  text += "MB" + std::string(90, '|') + "\r\nMD|x|y|\r\n";
  std::string header = lines[0].substr(0, lines[0].find('\r'));
  text += header + "\r\nMK|1|\r\n";
  std::size_t orderLine = lines.size() + 5;
  text += "MB" + std::string(90, '|') + "\r\nMD" + std::string(696, '|') + "\r\nMN" + std::string(18, '|') + "\r\n";
  std::string file = path("faults.dat");
  WriteFile(file, text);
  RunResult r = run("check --format csv '" + file + "'");
  EXPECT_EQ(r.status, 1);
  std::string mdTooShort = "," + std::to_string(mbLine + 1) + "," + std::to_string(mbLine) + ",S,S000,,";
  EXPECT_NE(r.out.find(mdTooShort), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("on line " + std::to_string(mbLine + 1)), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("," + std::to_string(mbLine + 3) + "," + std::to_string(mbLine + 3) + ",S,S001,"),
            std::string::npos);
  EXPECT_NE(r.out.find("," + std::to_string(orderLine + 2) + "," + std::to_string(orderLine) + ",S,S000,"),
            std::string::npos)
      << r.out;
}

TEST_F(Program, LfAndCrLfFilesGiveTheSameFindings) {
  generate("crlf.dat", "--cases 300 --seed 5 --fault-rate 0.3");
  generate("lf.dat", "--cases 300 --seed 5 --fault-rate 0.3 --lf");
  RunResult a = run("check --format json '" + path("crlf.dat") + "'");
  RunResult b = run("check --format json '" + path("lf.dat") + "'");
  EXPECT_EQ(a.status, b.status);
  std::string expected = a.out;
  for (std::size_t at; (at = expected.find("crlf.dat")) != std::string::npos;) expected.replace(at, 8, "lf.dat");
  EXPECT_EQ(b.out, expected);
  EXPECT_FALSE(a.out.empty());
}

TEST_F(Program, CasesOfTenThousandBytesAreReportedAndSkipped) {
  std::string header = "MX|71234567|ZH|1|2023|20230101|20231231|1|1|\r\n";
  std::string mb = "MB" + std::string(90, '|') + "\r\n";
  std::string bigMk = "MK|" + std::string(10000, '1') + "|\r\n";
  std::string file = path("big.dat");
  WriteFile(file, header + mb + bigMk + mb);
  RunResult r = run("check --format csv '" + file + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(",2,2,S,S002,"), std::string::npos) << r.out;
  // The run goes on: both cases are counted, only the first is refused.
  EXPECT_EQ(r.out.find(",4,S,S002"), std::string::npos);
  EXPECT_EQ(CasesRead(r.err), 2) << r.err;
}

TEST_F(Program, MachineFormatsAreWellFormed) {
  std::string file = generate("mixed.dat", "--cases 200 --seed 3 --fault-rate 0.5");
  RunResult json = run("check --format json '" + file + "'");
  ASSERT_EQ(json.status, 1);
  std::vector<std::string> objects = Lines(json.out);
  ASSERT_FALSE(objects.empty());
  for (const std::string& o : objects) {
    EXPECT_EQ(o.rfind("{\"file\":", 0), 0u) << o;
    EXPECT_EQ(o.back(), '}');
    for (const char* key : {"\"line\":", "\"case\":", "\"type\":", "\"code\":", "\"item\":", "\"text\":", "\"value\":"})
      EXPECT_NE(o.find(key), std::string::npos) << o;
  }

  RunResult csv = run("check --format csv '" + file + "'");
  ASSERT_EQ(csv.out.rfind("file,line,case,type,code,item,text,value\r\n", 0), 0u);
  // One CSV record per JSON object; count records by unquoted CR LF.
  std::size_t records = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < csv.out.size(); ++i) {
    if (csv.out[i] == '"') quoted = !quoted;
    if (!quoted && csv.out[i] == '\r' && i + 1 < csv.out.size() && csv.out[i + 1] == '\n') ++records;
  }
  EXPECT_EQ(records, objects.size() + 1);

  RunResult host = run("check --format host --format-string '{{SYS.LineNr}};{{SYS.ErrorNr}}' '" + file + "'");
  EXPECT_EQ(host.status, 1);
  std::vector<std::string> hostLines = Lines(host.out);
  EXPECT_EQ(hostLines.size(), objects.size());
  for (const std::string& line : hostLines) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r');
    bool libraryLine = line.find(';') != std::string::npos;
    bool structural = line.rfind("S S00", 0) == 0;
    EXPECT_TRUE(libraryLine || structural) << line;
  }
  EXPECT_EQ(run("check --format host --format-string '{{SYS.Bogus}}' '" + file + "'").status, 2);
}

TEST_F(Program, OutputDoesNotDependOnTheNumberOfWorkers) {
  // More than two blocks of cases (4096 each), so that the workers really share the file.
  std::string file = generate("many.dat", "--cases 9000 --seed 9 --fault-rate 0.2");
  for (const char* format : {"text", "csv", "json", "host"}) {
    std::string args = std::string("check --format ") + format + " '" + file + "'";
    RunResult one = run(args + " --jobs 1");
    RunResult four = run(args + " --jobs 4");
    EXPECT_EQ(one.status, four.status) << format;
    EXPECT_EQ(one.out, four.out) << format;
    EXPECT_EQ(one.err, four.err) << format;
    EXPECT_FALSE(one.out.empty());
  }
}

TEST_F(Program, ReadsStandardInputAndFrench) {
  std::string text = Slurp(generate("in.dat", "--cases 50 --seed 4 --fault-rate 0.5"));
  RunResult fromFile = run("check --lang fr '" + path("in.dat") + "'");
  RunResult fromStdin = run("check --lang fr", &text);
  EXPECT_EQ(fromFile.status, fromStdin.status);
  std::string expected = fromFile.out;
  std::string name = path("in.dat");
  for (std::size_t at; (at = expected.find(name)) != std::string::npos;) expected.replace(at, name.size(), "<stdin>");
  EXPECT_EQ(fromStdin.out, expected);
  EXPECT_NE(fromStdin.err.find("Résumé"), std::string::npos);
}

TEST_F(Program, GeneratorIsDeterministic) {
  std::string a = Slurp(generate("a.dat", "--cases 500 --seed 17"));
  std::string b = Slurp(generate("b.dat", "--cases 500 --seed 17"));
  std::string c = Slurp(generate("c.dat", "--cases 500 --seed 18"));
  std::string lf = Slurp(generate("lf.dat", "--cases 500 --seed 17 --lf"));
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  std::string stripped;
  for (char ch : a)
    if (ch != '\r') stripped += ch;
  EXPECT_EQ(lf, stripped);
  std::vector<std::string> lines = Lines(a);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("MX|", 0), 0u);
  std::size_t mb = 0, md = 0;
  for (const std::string& line : lines) {
    mb += line.rfind("MB|", 0) == 0;
    md += line.rfind("MD|", 0) == 0;
  }
  EXPECT_EQ(mb, 500u);
  EXPECT_GT(md, 450u);  // nearly every case has its detail record
}

TEST_F(Program, WritesAnHtmlReport) {
  std::string file = generate("report.dat", "--cases 40 --seed 8 --fault-rate 0.5");
  std::string report = path("report.html");
  RunResult r = run("check --html '" + report + "' '" + file + "'");
  EXPECT_EQ(r.status, 1);
  std::string html = Slurp(report);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.find("Zusammenfassung"), std::string::npos);
  EXPECT_NE(html.find("class=tabtit"), std::string::npos) << "no result table of the library in the report";
  EXPECT_NE(html.find("</html>"), std::string::npos);
}

}  // namespace
