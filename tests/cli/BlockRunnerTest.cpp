#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BlockRunner.h"

namespace qv::cli {
namespace {

// The layout the block process was prepared for.
int preparedLayout = 0;

// A stand-in for the library: one finding per checked item, named after its
// data and carrying the layout its block process was prepared for.
ItemResult FakeCheck(const WorkItem& item) {
  if (item.data == "crash") std::abort();
  ItemResult r{item.isCase, item.caseLine, item.findings, "", ""};
  if (item.check) r.findings.push_back({item.caseLine, 'E', item.data, -1, std::to_string(preparedLayout), "", ""});
  return r;
}

// Blocks of cases on lines 1, 2, ...; every seventh line is a line outside
// any case, with the finding the splitter made for it.
std::vector<Block> MakeBlocks(int blocks, int perBlock) {
  std::vector<Block> out(static_cast<std::size_t>(blocks));
  std::uint64_t line = 0;
  for (std::size_t b = 0; b < out.size(); ++b) {
    Block& block = out[b];
    block.fileIndex = b % 2;
    block.layout = b % 2 ? 50 : 90;
    for (int i = 0; i < perBlock; ++i) {
      WorkItem item;
      item.caseLine = ++line;
      item.isCase = item.check = line % 7 != 0;
      if (item.check) item.data = "C" + std::to_string(line);
      else item.findings.push_back({line, 'S', "S001", -1, "stray", "stray", ""});
      block.items.push_back(item);
    }
  }
  return out;
}

// What line yields: its case's finding, the stray line's own, or S005 for
// the cases of a failed block process.
std::string Expected(std::uint64_t line, bool failed = false) {
  std::string code = line % 7 == 0 ? "S001" : failed ? "S005" : "C" + std::to_string(line);
  return std::to_string(line) + ":" + code;
}

std::vector<std::string> RunBlocks(int jobs, std::vector<Block> blocks) {
  std::vector<std::string> seen;
  BlockRunner runner(
      jobs, [](int layout) { preparedLayout = layout; }, FakeCheck,
      [&](const Block& block, std::vector<ItemResult>& results) {
        EXPECT_EQ(results.size(), block.items.size());
        for (const ItemResult& r : results)
          for (const Finding& f : r.findings) {
            seen.push_back(std::to_string(f.line) + ":" + f.code);
            EXPECT_TRUE(f.type != 'E' || f.text == std::to_string(block.layout)) << f.code << " " << f.text;
          }
      },
      "failed: {reason}");
  for (Block& b : blocks) runner.submit(std::move(b));
  runner.finish();
  return seen;
}

TEST(BlockRunner, DeliversInInputOrderAndReportsTheItemsOfAFailedBlock) {
  // More blocks than may be under way at once; the process of block 1 fails.
  // Later blocks of its worker come through the same pipe, so the worker must
  // skip the unread rest of the failed block.
  for (int jobs : {1, 4}) {
    std::vector<Block> blocks = MakeBlocks(11, 5);
    blocks[1].items[2].data = "crash";
    blocks[1].items[4].data = std::string(100000, 'x');  // more than one read
    std::vector<std::string> expected;
    for (std::uint64_t line = 1; line <= 55; ++line) expected.push_back(Expected(line, line >= 6 && line <= 10));
    EXPECT_EQ(RunBlocks(jobs, blocks), expected) << jobs;
  }
}

}  // namespace
}  // namespace qv::cli
