#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CaseSplitter.h"

namespace qv::cli {
namespace {

SplitTexts Texts() { return {"stray", "too large: {bytes}", "nul"}; }

std::vector<WorkItem> Split(const std::vector<std::string>& lines) {
  std::vector<WorkItem> items;
  CaseSplitter splitter(items, Texts());
  std::uint64_t number = 0;
  for (const std::string& text : lines) {
    Line line;
    line.text = text;
    line.length = text.size();
    line.number = ++number;
    splitter.addLine(line);
  }
  splitter.finish();
  return items;
}

TEST(CaseSplitter, PutsTheLatestHeaderInFrontOfEveryCase) {
  std::vector<WorkItem> items = Split({"MX|h1|", "MB|1|", "MN|n|", "MD|d|", "MB|2|", "MX|h2|", "MB|3|", "MK|k|"});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].data, "MX|h1|\r\nMB|1|\r\nMN|n|\r\nMD|d|\r\n");
  EXPECT_EQ(items[0].lineMap, (std::vector<std::uint64_t>{1, 2, 3, 4}));
  EXPECT_EQ(items[1].data, "MX|h1|\r\nMB|2|\r\n");
  EXPECT_EQ(items[1].lineMap, (std::vector<std::uint64_t>{1, 5}));
  EXPECT_EQ(items[2].data, "MX|h2|\r\nMB|3|\r\nMK|k|\r\n");
  EXPECT_EQ(items[2].lineMap, (std::vector<std::uint64_t>{6, 7, 8}));
  // The header's own findings are reported once, with its first case.
  EXPECT_FALSE(items[0].headerReported);
  EXPECT_TRUE(items[1].headerReported);
  EXPECT_FALSE(items[2].headerReported);
  for (const WorkItem& item : items) {
    EXPECT_TRUE(item.isCase);
    EXPECT_TRUE(item.check);
    EXPECT_TRUE(item.hasHeader);
  }
  EXPECT_EQ(items[0].caseLine, 2u);
  EXPECT_EQ(items[2].caseLine, 7u);
}

TEST(CaseSplitter, CasesWithoutHeaderStartAtTheirMbLine) {
  std::vector<WorkItem> items = Split({"MB|1|", "MD|d|", "MB|2|"});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0].hasHeader);
  EXPECT_EQ(items[0].data, "MB|1|\r\nMD|d|\r\n");
  EXPECT_EQ(items[0].lineMap, (std::vector<std::uint64_t>{1, 2}));
  EXPECT_EQ(items[1].lineMap, (std::vector<std::uint64_t>{3}));
}

TEST(CaseSplitter, ReportsLinesThatBelongToNoCase) {
  // Add-on lines before the first MB line and right after a header have no case.
  std::vector<WorkItem> items = Split({"MN|x|", "MX|h|", "MD|y|", "zz", "MB|1|", "MX|h|", "MK|k|"});
  ASSERT_EQ(items.size(), 5u);
  const std::uint64_t strayLines[] = {1, 3, 4};
  for (int i = 0; i < 3; ++i) {
    const WorkItem& stray = items[static_cast<std::size_t>(i)];
    EXPECT_FALSE(stray.isCase);
    EXPECT_FALSE(stray.check);
    ASSERT_EQ(stray.findings.size(), 1u);
    EXPECT_EQ(stray.findings[0].code, "S001");
    EXPECT_EQ(stray.findings[0].type, 'S');
    EXPECT_EQ(stray.findings[0].line, strayLines[i]);
    EXPECT_EQ(stray.findings[0].text, "stray");
  }
  EXPECT_EQ(items[0].findings[0].value, "MN|");
  EXPECT_TRUE(items[3].isCase);
  EXPECT_EQ(items[4].findings[0].line, 7u);
}

TEST(CaseSplitter, UnknownAndEmptyLinesStayWithTheirCase) {
  // The library judges them (and reports the structural fault itself).
  std::vector<WorkItem> items = Split({"MB|1|", "", "XY|z|"});
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].data, "MB|1|\r\n\r\nXY|z|\r\n");
  EXPECT_EQ(items[0].lineMap.size(), 3u);
}

TEST(CaseSplitter, RefusesCasesOfTenThousandBytesOrMore) {
  // The call text counts CR LF after every line, the header line included.
  const std::string header = "MX|h|";  // 5 + 2 bytes
  struct Case {
    std::size_t mbLength;
    bool checked;
  } cases[] = {{9999 - 7 - 2, true}, {9999 - 7 - 2 + 1, false}, {20000, false}};
  for (const Case& c : cases) {
    std::string mb = "MB|" + std::string(c.mbLength - 3, 'x');
    std::vector<WorkItem> items = Split({header, mb, "MX|h|", "MB|small|"});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].check, c.checked) << c.mbLength;
    if (c.checked) {
      EXPECT_EQ(items[0].data.size(), 9999u);
      EXPECT_TRUE(items[0].findings.empty());
    } else {
      EXPECT_TRUE(items[0].data.empty());
      ASSERT_EQ(items[0].findings.size(), 1u);
      EXPECT_EQ(items[0].findings[0].code, "S002");
      EXPECT_EQ(items[0].findings[0].line, 2u);
      EXPECT_EQ(items[0].findings[0].text, "too large: " + std::to_string(c.mbLength + 2 + 7));
    }
    EXPECT_TRUE(items[1].check);  // the run goes on with the next case
  }
}

TEST(CaseSplitter, RefusesCasesWithNulBytes) {
  std::vector<WorkItem> items;
  CaseSplitter splitter(items, Texts());
  Line mb{"MB|1|", 1, 5, false};
  Line md{std::string("MD|\0|", 5), 2, 5, true};
  splitter.addLine(mb);
  splitter.addLine(md);
  splitter.finish();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_FALSE(items[0].check);
  ASSERT_EQ(items[0].findings.size(), 1u);
  EXPECT_EQ(items[0].findings[0].code, "S004");
  EXPECT_EQ(items[0].findings[0].line, 2u);
}

TEST(CaseSplitter, RemembersTheFirstMbLayout) {
  std::vector<WorkItem> items;
  CaseSplitter splitter(items, Texts());
  EXPECT_EQ(splitter.firstMbFieldCount(), 0);
  std::string mb50 = "MB" + std::string(50, '|');
  splitter.addLine(Line{"MX|a|b|", 1, 7, false});
  splitter.addLine(Line{mb50, 2, mb50.size(), false});
  splitter.addLine(Line{"MB|x|", 3, 5, false});
  EXPECT_EQ(splitter.firstMbFieldCount(), 50);
}

}  // namespace
}  // namespace qv::cli
