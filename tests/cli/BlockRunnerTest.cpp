#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <map>

#include "BlockRunner.h"
#include "ProgramFiles.h"

namespace qv::cli {
namespace {

// State a block process builds up, as the library does: the layout it was
// prepared for and the number of items it has checked since.
int preparedLayout = 0;
int checkedSincePrepare = 0;

// A file that counts the tries of an item: one byte per try.
std::size_t Tries(const std::string& path) { return Slurp(path).size(); }
void CountTry(const std::string& path) { std::ofstream(path, std::ios::binary | std::ios::app) << 'x'; }

// A stand-in for the library: one finding per checked item, named after its
// data, with the process state in its text. "crash:FILE" aborts every time,
// "kill-once:FILE" is killed the first time only (as by kill -9 from outside),
// "big:N" adds a finding with a text of N bytes.
ItemOutcome FakeCheck(const Block& block, const WorkItem& item) {
  const std::string data(block.textOf(item));
  if (data.rfind("crash:", 0) == 0) {
    CountTry(data.substr(6));
    std::abort();
  }
  if (data.rfind("kill-once:", 0) == 0) {
    std::string path = data.substr(10);
    CountTry(path);
    if (Tries(path) == 1) ::raise(SIGKILL);
  }
  ItemOutcome r{item.isCase, item.caseLine, block.findingsOf(item), "", ""};
  if (item.check) {
    std::string state = std::to_string(preparedLayout) + "/" + std::to_string(checkedSincePrepare++);
    r.findings.push_back({item.caseLine, 'E', "C" + std::to_string(item.caseLine), -1, state, "", ""});
    if (data.rfind("big:", 0) == 0)
      r.findings.push_back({item.caseLine, 'H', "BIG", -1, std::string(std::stoul(data.substr(4)), 'x'), "", ""});
  }
  return r;
}

// Gives the item of a block a call text.
void SetText(Block& block, std::size_t index, const std::string& text) {
  WorkItem& item = block.items[index];
  item.text = block.text.size();
  item.textSize = text.size();
  block.text.append(text.c_str(), text.size() + 1);
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
      if (!item.check) {
        item.findings = block.findings.size();
        item.findingCount = 1;
        block.findings.push_back({line, 'S', "S001", -1, "stray", "stray", ""});
      }
      block.items.push_back(item);
      if (item.check) SetText(block, block.items.size() - 1, "C" + std::to_string(line));
    }
  }
  return out;
}

// "line:code:text" of every finding, in delivery order.
std::vector<std::string> RunBlocks(int jobs, std::vector<Block> blocks) {
  std::vector<std::string> seen;
  std::map<const Block*, std::size_t> nextOf;
  BlockRunner runner(
      jobs,
      [](int layout) {
        if (layout == 77) ::_exit(3);  // a block process that cannot set up the library
        preparedLayout = layout;
        checkedSincePrepare = 0;
      },
      FakeCheck,
      [&](const Block& block, std::size_t first, ItemResults& results) {
        // Each block's results come in order, without a gap.
        std::size_t& expected = nextOf[&block];
        EXPECT_EQ(first, expected);
        expected = first + results.size();
        EXPECT_LE(expected, block.items.size());
        if (expected == block.items.size()) nextOf.erase(&block);
        for (const ItemOutcome& r : results)
          for (const Finding& f : r.findings)
            seen.push_back(std::to_string(f.line) + ":" + f.code + ":" +
                           (f.code == "BIG" ? std::to_string(f.text.size()) : f.text));
      },
      "failed: {reason}");
  for (Block& b : blocks) runner.submit(std::move(b));
  runner.finish();
  EXPECT_TRUE(nextOf.empty()) << "a block's results stopped short";
  return seen;
}

// What the undisturbed run gives, except for the lines in failed (with their
// S005 text) and the items left out of their block's state (crashed).
std::vector<std::string> Expected(const std::vector<Block>& blocks, const std::map<std::uint64_t, std::string>& failed) {
  std::vector<std::string> out;
  for (const Block& block : blocks) {
    int checked = 0;
    for (const WorkItem& item : block.items) {
      std::string line = std::to_string(item.caseLine);
      auto f = failed.find(item.caseLine);
      if (!item.check) out.push_back(line + ":S001:stray");
      else if (f != failed.end()) out.push_back(line + ":S005:failed: " + f->second);
      else out.push_back(line + ":C" + line + ":" + std::to_string(block.layout) + "/" + std::to_string(checked++));
    }
  }
  return out;
}

using BlockRunnerTest = TempDirTest;

TEST_F(BlockRunnerTest, DeadProcessesAreReplacedAndOnlyTheCrashingItemIsLost) {
  // Blocks of 50 items, more than may be under way at once. Block 1 holds a
  // case that crashes every time; block 3 a case whose process is killed
  // once; block 4 crashes on its first and its last but one item; block 5
  // cannot set up the library in its block process at all. The items after a
  // death must see the library state of an undisturbed run.
  for (int jobs : {1, 3}) {
    std::system(("rm -f '" + dir_ + "'/*").c_str());
    std::vector<Block> blocks = MakeBlocks(9, 50);
    std::map<std::uint64_t, std::string> failed;
    std::vector<std::string> crashFiles;
    auto crash = [&](std::size_t b, std::size_t i) {
      std::uint64_t line = blocks[b].items[i].caseLine;
      crashFiles.push_back(dir_ + "/crash" + std::to_string(line));
      SetText(blocks[b], i, "crash:" + crashFiles.back());
      failed[line] = "signal 6";
    };
    crash(1, 20);
    SetText(blocks[3], 12, "kill-once:" + dir_ + "/kill");
    crash(4, 0);
    crash(4, 48);
    blocks[5].layout = 77;
    for (const WorkItem& item : blocks[5].items) failed[item.caseLine] = "exit status 3";
    EXPECT_EQ(RunBlocks(jobs, blocks), Expected(blocks, failed)) << "jobs " << jobs;
    for (const std::string& file : crashFiles) EXPECT_EQ(Tries(file), 2u) << file;  // tried at most twice
    EXPECT_EQ(Tries(dir_ + "/kill"), 2u);  // the killed case was checked again, and only once more
  }
}

// More results than a pipe holds, and more blocks than jobs: a later
// block's process waits with a full pipe until its block is the oldest, and
// every result still comes whole and in order.
TEST_F(BlockRunnerTest, ResultsLargerThanAPipeComeWholeAndInOrder) {
  for (int jobs : {2, 3}) {
    std::vector<Block> blocks = MakeBlocks(5, 30);
    for (Block& block : blocks)
      for (std::size_t i = 0; i < block.items.size(); ++i)
        if (block.items[i].check) SetText(block, i, "big:65536");
    std::vector<std::string> expected;
    for (const std::string& line : Expected(blocks, {})) {
      expected.push_back(line);
      if (line.find(":C") != std::string::npos) expected.push_back(line.substr(0, line.find(':')) + ":BIG:65536");
    }
    EXPECT_EQ(RunBlocks(jobs, blocks), expected) << "jobs " << jobs;
  }
}

}  // namespace
}  // namespace qv::cli
