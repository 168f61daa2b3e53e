#include "RunBlocks.h"

#include <cstdlib>
#include <utility>

#include "BlockProcess.h"
#include "BlockRunner.h"

namespace qv::cli {

RunEnd RunBlocks(int jobs, LibraryChecker& checker, InputFeeder& feeder, ResultSink& sink,
                 Progress& progress, const std::string& workerFailedText, const Summary& summary) {
  const std::vector<std::string> names = feeder.fileNames();
  auto deliver = [&](const Block& block, std::size_t first, ItemResults& results) {
    for (std::size_t i = 0; i < results.size(); ++i) {
      const WorkItem& item = block.items[first + i];
      ItemResult result{std::move(results[i])};
      // Only findings name the case.
      if (!result.findings.empty()) result.identity = block.identity(item);
      sink.take(names[block.fileIndex], result, block.call(item));
    }
  };
  // The block processes start from the handle as prepared here; a block of a file with
  // another MB layout gets a handle of its own in its block process.
  auto prepare = [&](int layout) {
    if (layout != 0 && !checker.prepareLayout(layout)) std::_Exit(8);
  };
  BlockRunner runner(
      jobs, prepare, [&](const Block& block, const WorkItem& item) { return checker.check(block, item); }, deliver,
      workerFailedText);
  if (StartsBlockProcesses())
    runner.startWith(BlockProcessStarter(checker.baseDir(), checker.language(), checker.format()));

  bool primed = false, setupFailed = false;
  auto batch = [&](Block&& block) {
    if (!primed) {
      if (!checker.prepareLayout(block.layout == 0 ? 90 : block.layout)) {
        setupFailed = true;
        return false;
      }
      primed = true;
    }
    runner.submit(std::move(block));
    return sink.ok();
  };
  // The feeder ticks every 64 lines; the block processes' pipes are looked at
  // every 16th tick only: a look costs two system calls, and a pipe holds the
  // results of far more lines.
  std::uint64_t ticks = 0;
  auto tick = [&](std::uint64_t done, std::uint64_t total) {
    if (++ticks % 16 == 0) runner.poll();
    progress.update(done, total, summary.cases());
  };
  bool read = feeder.run(batch, tick);
  if (read) runner.finish();
  if (!sink.ok() || !read) {
    runner.abort();
    return setupFailed ? RunEnd::SetupFailed : RunEnd::OutputClosed;
  }
  return RunEnd::Complete;
}

}  // namespace qv::cli
