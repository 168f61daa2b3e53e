#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CaseSplitter.h"

namespace qv::cli {
namespace {

// Splits the lines into blocks of at most perBlock items, handed on as the
// input feeder does: a case open at the cut goes on in the next block.
std::vector<Block> SplitBlocks(const std::vector<std::string>& lines, std::size_t perBlock) {
  std::vector<Block> blocks(1);
  Block block;
  CaseSplitter splitter(block, {"stray", "too large: {bytes}", "nul"});
  std::uint64_t number = 0;
  for (const std::string& text : lines) {
    splitter.addLine(Line{text, ++number, text.size(), text.find('\0') != std::string::npos, {}});
    if (block.items.size() >= perBlock) {
      Block next;
      splitter.moveOpenCase(next);
      std::swap(block, next);
      blocks.back() = std::move(next);
      blocks.emplace_back();
    }
  }
  splitter.finish();
  blocks.back() = std::move(block);
  return blocks;
}

// One item in short: its line, flags, [file line of each call line] call text,
// then its findings as "type code@line:text=value".
std::string Describe(const Block& block, const WorkItem& item) {
  CallView call = block.call(item);
  std::string s = std::to_string(item.caseLine) + (item.isCase ? " case" : "") + (item.check ? " checked" : "") +
                  (item.hasHeader ? " header" : "") + (item.headerReported ? " reported" : "") + " [";
  for (std::size_t k = 0; k < call.lineCount; ++k) s += std::to_string(call.lines[k]) + ",";
  s += (call.size == 0 ? "]" : "] ") + std::string(call.text);
  for (const Finding& f : block.findingsOf(item))
    s += std::string(" ") + f.type + " " + f.code + "@" + std::to_string(f.line) + ":" + f.text + "=" + f.value;
  return s;
}

// Describe of every item, with a case's identity fields in braces.
std::vector<std::string> Split(const std::vector<std::string>& lines, std::size_t perBlock = 1000) {
  std::vector<std::string> items;
  for (const Block& block : SplitBlocks(lines, perBlock))
    for (const WorkItem& item : block.items) {
      CaseIdentity id = block.identity(item);
      items.push_back(Describe(block, item) + (item.isCase ? " {" + id.bur + "," + id.site + "," + id.linkageCode +
                                                                 "," + id.caseNumber + "}"
                                                           : ""));
    }
  return items;
}

TEST(CaseSplitter, CutsCasesAndPutsTheLatestHeaderInFront) {
  const std::string nul("MD|\0|", 5);
  struct Case { std::vector<std::string> lines, items; } cases[] = {
      // The header's own findings are reported once, with its first case.
      {{"MX|h1|", "MB|1|", "MN|n|", "MD|d|", "MB|2|", "MX|h2|", "MB|3|", "MK|k|"},
       {"2 case checked header [1,2,3,4,] MX|h1|\r\nMB|1|\r\nMN|n|\r\nMD|d|\r\n {1,,,}",
        "5 case checked header reported [1,5,] MX|h1|\r\nMB|2|\r\n {2,,,}",
        "7 case checked header [6,7,8,] MX|h2|\r\nMB|3|\r\nMK|k|\r\n {3,,,}"}},
      // Without header; unknown and empty lines stay with their case (the library judges them).
      {{"MB|1|", "", "XY|z|", "MB|2|"},
       {"1 case checked [1,2,3,] MB|1|\r\n\r\nXY|z|\r\n {1,,,}", "4 case checked [4,] MB|2|\r\n {2,,,}"}},
      // Lines before the first MB line and right after a header belong to no case.
      {{"MN|x|", "MX|h|", "MD|y|", "zz", "MB|1|", "MX|h|", "MK|k|"},
       {"1 [] S S001@1:stray=MN|", "3 [] S S001@3:stray=MD|", "4 [] S S001@4:stray=zz",
        "5 case checked header [2,5,] MX|h|\r\nMB|1|\r\n {1,,,}", "7 [] S S001@7:stray=MK|"}},
      // A case with a NUL byte is refused at its first such line; the next case is checked.
      {{"MB|1|", nul, nul, "MB|2|"},
       {"1 case [1,2,3,] S S004@2:nul= {1,,,}", "4 case checked [4,] MB|2|\r\n {2,,,}"}},
      // A header with a NUL byte refuses each case it would be passed with.
      {{"MX|" + nul, "MB|1|"}, {"2 case header [1,2,] S S004@1:nul= {1,,,}"}},
  };
  for (const Case& c : cases) {
    // Cut into blocks of one and two items too: a case open at a cut keeps its
    // text, lines, findings and identity.
    for (std::size_t perBlock : {1u, 2u, 1000u})
      EXPECT_EQ(Split(c.lines, perBlock), c.items) << c.lines[0] << " per block " << perBlock;
  }
}

TEST(CaseSplitter, RefusesCasesOfTenThousandBytesOrMore) {
  // The call text counts CR LF after every line, the header line included:
  // 7 bytes of header, then the MB line and its 2.
  for (std::size_t mbLength : {9990u, 9991u}) {
    std::vector<Block> blocks = SplitBlocks({"MX|h|", "MB|" + std::string(mbLength - 3, 'x'), "MX|h|", "MB|small|"}, 9);
    const Block& block = blocks[0];
    ASSERT_EQ(block.items.size(), 2u);
    const WorkItem& item = block.items[0];
    std::string size = std::to_string(mbLength + 9);
    if (mbLength + 9 < 10000)
      EXPECT_TRUE(item.check && block.call(item).size == 9999u && item.findingCount == 0);
    else
      EXPECT_EQ(Describe(block, item), "2 case header [1,2,] S S002@2:too large: " + size + "=" + size);
    EXPECT_TRUE(block.items[1].check);  // the run goes on with the next case
  }
}

TEST(CaseSplitter, RemembersTheFirstMbLayout) {
  Block block;
  CaseSplitter splitter(block, {});
  EXPECT_EQ(splitter.firstMbFieldCount(), 0);
  for (std::string text : {std::string("MX|a|b|"), "MB" + std::string(50, '|'), std::string("MB|x|")})
    splitter.addLine(Line{text, 1, text.size(), false, {}});
  EXPECT_EQ(splitter.firstMbFieldCount(), 50);
}


// The identity of a case: MB fields 1, 2 and 4 in either layout, the case
// number from field 662 of the case's first MD line, in UTF-8.
TEST(CaseSplitter, TakesTheCaseIdentityFromItsRecords) {
  auto mb = [](int fields, const std::string& linkage) {
    std::string line = "MB|7345\xE9|02|GE|" + linkage;
    for (int i = 5; i < fields; ++i) line += "|";
    return line;
  };
  auto md = [](const std::string& caseNumber) {
    std::string line = "MD";
    for (int i = 1; i < 696; ++i) line += i == 662 ? "|" + caseNumber : "|";
    return line;
  };
  // A case number after an MD line without one; one in a case cut between
  // blocks; in a case too large to be checked, before and after the line
  // that makes it so.
  const std::string large = "MN|" + std::string(10000, 'x');
  std::vector<std::string> lines = {"MX|h|", mb(90, "AB12"), md("F001"), md("F002"), mb(50, "CD34"), "MN|x|",
                                    md(""),  md("F003"),     mb(50, "EF56"), "MD|short|", mb(90, "GH78"), md(""),
                                    md("F004"), large, md("F0"), mb(90, "IJ90"), md(""), large, md("F005")};
  for (std::size_t perBlock : {1u, 1000u}) {
    std::vector<std::string> ids;
    for (const Block& block : SplitBlocks(lines, perBlock)) {
      for (const WorkItem& item : block.items) {
        CaseIdentity id = block.identity(item);
        ids.push_back(id.bur + "," + id.site + "," + id.linkageCode + "," + id.caseNumber);
      }
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"7345é,02,AB12,F001", "7345é,02,CD34,F003", "7345é,02,EF56,",
                                             "7345é,02,GH78,F004", "7345é,02,IJ90,F005"}))
        << perBlock;
  }
  // Fields found from the front and from the back of the line, empty ones and missing ones.
  const std::pair<int, const char*> fields[] = {{0, "MB"}, {1, "a"}, {2, ""}, {3, "c"}, {4, "dd"}, {5, ""}, {6, ""}};
  for (const auto& [number, text] : fields) EXPECT_EQ(FieldOf("MB|a||c|dd|", number), text) << number;
}

}  // namespace
}  // namespace qv::cli
