// Runs blocks of work items in worker processes and hands the results back in
// input order.
//
// Every block is checked by a new process forked from the main process, so
// each block starts from the same library state (the handle as prepared in the
// main process). The output therefore does not depend on the number of
// workers, and no state of one block reaches another.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "CaseSplitter.h"
#include "Finding.h"

namespace qv::cli {

struct Block {
  std::size_t fileIndex = 0;
  std::vector<WorkItem> items;
};

class BlockRunner {
 public:
  using CheckFn = std::function<ItemResult(const WorkItem&)>;
  using DeliverFn = std::function<void(const Block&, std::vector<ItemResult>&)>;

  // failureText: the finding text for items a worker did not finish; "{reason}"
  // stands for the cause.
  BlockRunner(int jobs, CheckFn check, DeliverFn deliver, std::string failureText);
  ~BlockRunner();

  // Starts a worker for the block, after waiting for a free one; results of
  // finished blocks are delivered meanwhile.
  void submit(Block block);
  // Waits for every worker and delivers the rest.
  void finish();
  // Stops every worker (after an output error).
  void abort();

 private:
  struct Running {
    Block block;
    pid_t pid = -1;
    int fd = -1;
    std::string bytes;
    bool done = false;
    int status = 0;
  };

  void waitForProgress();
  void deliverReady();
  [[noreturn]] void runWorker(const Block& block, int fd);

  int jobs_;
  CheckFn check_;
  DeliverFn deliver_;
  std::string failureText_;
  std::deque<Running> running_;
};

}  // namespace qv::cli
