#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BlockRunner.h"

namespace qv::cli {
namespace {

// The layout the block process was prepared for.
int preparedLayout = 0;

// A stand-in for the library: one finding per item, named after its data.
ItemResult FakeCheck(const WorkItem& item) {
  if (item.data == "crash") std::abort();
  ItemResult r;
  r.isCase = item.isCase;
  r.caseLine = item.caseLine;
  r.findings = item.findings;
  if (item.check) {
    Finding f;
    f.line = item.caseLine;
    f.type = 'E';
    f.code = item.data;
    f.text = std::to_string(preparedLayout);
    r.findings.push_back(f);
  }
  return r;
}

std::vector<Block> MakeBlocks(int blocks, int perBlock) {
  std::vector<Block> out;
  std::uint64_t line = 0;
  for (int b = 0; b < blocks; ++b) {
    Block block;
    block.fileIndex = static_cast<std::size_t>(b % 2);
    block.layout = b % 2 ? 50 : 90;
    for (int i = 0; i < perBlock; ++i) {
      WorkItem item;
      item.isCase = true;
      item.check = true;
      item.caseLine = ++line;
      item.data = "C" + std::to_string(line);
      block.items.push_back(item);
    }
    out.push_back(block);
  }
  return out;
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
            if (f.code != "S005" && f.code != "S001") {
              EXPECT_EQ(f.text, std::to_string(block.layout));
            }
          }
      },
      "failed: {reason}");
  for (Block& b : blocks) runner.submit(std::move(b));
  runner.finish();
  return seen;
}

TEST(BlockRunner, DeliversInInputOrderForAnyNumberOfWorkers) {
  std::vector<std::string> one = RunBlocks(1, MakeBlocks(9, 50));
  ASSERT_EQ(one.size(), 450u);
  EXPECT_EQ(one.front(), "1:C1");
  EXPECT_EQ(one.back(), "450:C450");
  EXPECT_EQ(RunBlocks(4, MakeBlocks(9, 50)), one);
  EXPECT_EQ(RunBlocks(3, MakeBlocks(9, 50)), one);
}

TEST(BlockRunner, ReportsItemsOfAFailedBlockProcess) {
  // With one worker the blocks after the failed one come through the same
  // pipe: the worker must skip the unread rest of the failed block.
  for (int jobs : {1, 2}) {
    std::vector<Block> blocks = MakeBlocks(4, 4);
    blocks[1].items[1].data = "crash";
    std::vector<std::string> seen = RunBlocks(jobs, blocks);
    // Block 1 lost its output; every item of it is reported, the others are intact.
    ASSERT_EQ(seen.size(), 16u);
    EXPECT_EQ(seen[3], "4:C4");
    for (int i = 4; i < 8; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], std::to_string(i + 1) + ":S005");
    for (int i = 8; i < 16; ++i)
      EXPECT_EQ(seen[static_cast<std::size_t>(i)], std::to_string(i + 1) + ":C" + std::to_string(i + 1)) << jobs;
  }
}

TEST(BlockRunner, KeepsMemoryBoundedOnLongInputs) {
  // Many small blocks through two workers: all arrive, in order.
  std::vector<std::string> seen = RunBlocks(2, MakeBlocks(200, 3));
  ASSERT_EQ(seen.size(), 600u);
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], std::to_string(i + 1) + ":C" + std::to_string(i + 1));
}

TEST(BlockRunner, PassesFindingsMadeBeforeTheCheck) {
  Block block;
  WorkItem stray;
  stray.caseLine = 3;
  Finding f;
  f.line = 3;
  f.code = "S001";
  stray.findings.push_back(f);
  block.items.push_back(stray);
  std::vector<Block> blocks;
  blocks.push_back(block);
  EXPECT_EQ(RunBlocks(1, blocks), (std::vector<std::string>{"3:S001"}));
}

}  // namespace
}  // namespace qv::cli
