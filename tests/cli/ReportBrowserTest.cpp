// Opens the HTML report of the sample in headless Chromium: the index links
// reach their cases, the filter and the case search hide and show cases and
// finding rows, and the highlighted fields are the ones the findings name.
// The page's test hook ("#qvtest&c=CODE...") applies a filter as a user would
// and writes what the page then shows as JSON into the DOM.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "ProgramFiles.h"

namespace {

using nlohmann::json;
constexpr const char* kChromium = "/usr/bin/chromium";

std::string Unescaped(std::string text) {
  for (auto [from, to] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; ++at) text.replace(at, from.size(), to);
  return text;
}

class Browser : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char dir[] = "/tmp/quorvant-browser-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    dir_ = dir;
    std::string cmd = std::string("'") + QV_PROGRAM + "' check --no-progress --format json --html '" + dir_ +
                      "/report.html' '" + QV_SAMPLE + "' >'" + dir_ + "/findings.json' 2>/dev/null";
    int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << cmd;
    for (const std::string& line : Split(Slurp(dir_ + "/findings.json"), '\n')) findings_.push_back(json::parse(line));
  }
  static void TearDownTestSuite() { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  void SetUp() override {
    if (::access(kChromium, X_OK) != 0) GTEST_SKIP() << kChromium << " is missing (Debian package chromium)";
  }

  // What the page shows after the filter in fragment ("t=E&c=B01" ...).
  static json Page(const std::string& fragment) {
    static int run = 0;
    std::string profile = dir_ + "/profile" + std::to_string(++run);
    std::string cmd = std::string(kChromium) +
                      " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                      " --disable-background-networking --disable-component-update --disable-sync"
                      " --user-data-dir='" + profile + "' --dump-dom 'file://" + dir_ + "/report.html#qvtest&" +
                      fragment + "' >'" + profile + ".html' 2>/dev/null";
    std::system(cmd.c_str());
    const std::string dom = Slurp(profile + ".html");
    std::size_t start = dom.find("<pre id=\"qvtest\">");
    std::size_t end = dom.find("</pre>", start);
    if (start == std::string::npos || end == std::string::npos) return json();
    start += 17;
    return json::parse(Unescaped(dom.substr(start, end - start)));
  }

  // File lines of the cases that have a finding for which keep is true.
  template <typename Keep>
  static std::set<std::string> CasesWhere(Keep keep) {
    std::set<std::string> cases;
    for (const json& f : findings_)
      if (f["code"] != "S001" && keep(f)) cases.insert(std::to_string(f["case"].get<int>()));
    return cases;
  }

  static std::set<std::string> Shown(const json& page) { return page["shown"].get<std::set<std::string>>(); }

  static std::string dir_;
  static std::vector<json> findings_;
};

std::string Browser::dir_;
std::vector<json> Browser::findings_;

TEST_F(Browser, IndexLinksReachTheirCases) {
  json page = Page("");
  ASSERT_TRUE(page.is_object()) << "no test output in the page";
  std::set<std::string> all = CasesWhere([](const json&) { return true; });
  EXPECT_EQ(Shown(page), all);
  ASSERT_EQ(page["links"].size(), all.size());
  for (const json& link : page["links"]) {
    EXPECT_FALSE(link[1].is_null()) << link[0] << " leads nowhere";
    EXPECT_EQ(link[1], link[2]) << link[0] << " leads to another case";
  }
  std::size_t rows = 0;  // every finding of a case (lines outside cases have none)
  for (const json& f : findings_) rows += f["code"] != "S001";
  EXPECT_EQ(page["rows"].get<std::size_t>(), rows);
}

TEST_F(Browser, FilterAndSearchHideAndShowCases) {
  struct Row { std::string fragment; std::function<bool(const json&)> keep; } rows[] = {
      {"c=C0901", [](const json& f) { return f["code"] == "C0901"; }},
      {"c=b12", [](const json& f) { return f["code"].get<std::string>().rfind("B12", 0) == 0; }},
      {"t=H", [](const json& f) { return f["type"] == "H"; }},
      {"x=wohnort", [](const json& f) { return f["text"].get<std::string>().find("Wohnort") != std::string::npos; }},
      {"t=E&x=behandlung",
       [](const json& f) { return f["type"] == "E" && f["text"].get<std::string>().find("Behandlung") != std::string::npos; }},
  };
  for (const Row& r : rows) {
    json page = Page(r.fragment);
    ASSERT_TRUE(page.is_object()) << r.fragment;
    std::set<std::string> expected = CasesWhere(r.keep);
    EXPECT_FALSE(expected.empty()) << r.fragment;
    EXPECT_EQ(Shown(page), expected) << r.fragment;
    std::size_t rows = 0;
    for (const json& f : findings_) rows += f["code"] != "S001" && r.keep(f);
    EXPECT_EQ(page["rows"].get<std::size_t>(), rows) << r.fragment;
  }
  // The case number (field 662 of the MD line after it) of the case on line 449.
  std::vector<std::string> lines = Split(Slurp(QV_SAMPLE), '\n');
  std::string caseNumber = Split(lines.at(449), '|').at(662);
  ASSERT_FALSE(caseNumber.empty());
  EXPECT_EQ(Shown(Page("n=" + caseNumber)), std::set<std::string>{"449"});
}

TEST_F(Browser, HighlightedFieldsHoldTheValuesOfTheFindingsThatNameThem) {
  json page = Page("");
  ASSERT_TRUE(page.is_object());
  std::vector<std::string> lines = Split(Slurp(QV_SAMPLE), '\n');
  std::set<std::string> marked;
  for (const json& m : page["marked"]) {
    // [case line, "MB.14", value shown, codes, highlighted]
    std::string caseLine = m[0], where = m[1], shown = m[2], codes = m[3];
    EXPECT_TRUE(m[4].get<bool>()) << where << " is not highlighted";
    for (const std::string& code : Split(codes, ' ')) marked.insert(caseLine + " " + where + " " + code);
    if (where.rfind("MB.", 0) != 0) continue;
    // The MB line is the case line: the field there holds the value shown.
    std::string line = lines.at(std::stoul(caseLine) - 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EXPECT_EQ(Split(line + "|", '|').at(std::stoul(where.substr(3)) - 1), shown) << caseLine << " " << where;
  }
  for (const char* expected : {"449 MB.5 C0901", "203 MB.14 B0131", "14 MB.27 B1211", "24 MD.11 A0200"})
    EXPECT_EQ(marked.count(expected), 1u) << expected;
}

}  // namespace
