// Checks blocks of work items in worker processes and hands the results back
// in input order.
//
// Each worker is forked once from the main process, holding the library
// handle as the main process prepared it, and then forks a new process for
// every block it is sent. So every block starts from the same library state:
// no state of one block reaches another, and the output does not depend on the
// number of workers. The block processes read their input from a pipe and
// write their results to one, which keeps the memory of every process small
// and steady whatever the size of the input.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "CaseSplitter.h"
#include "Finding.h"

namespace qv::cli {

struct Block {
  std::size_t fileIndex = 0;
  int layout = 0;  // MB layout of the block's file (50 or 90), 0 when it has no MB line
  std::vector<WorkItem> items;
};

class BlockRunner {
 public:
  // Runs in a block process before its first item.
  using PrepareFn = std::function<void(int layout)>;
  using CheckFn = std::function<ItemResult(const WorkItem&)>;
  using DeliverFn = std::function<void(const Block&, std::vector<ItemResult>&)>;

  // failureText: the finding text for items whose block process failed;
  // "{reason}" stands for the cause.
  BlockRunner(int jobs, PrepareFn prepare, CheckFn check, DeliverFn deliver, std::string failureText);
  ~BlockRunner();
  BlockRunner(const BlockRunner&) = delete;
  BlockRunner& operator=(const BlockRunner&) = delete;

  // Queues a block; the workers are started with the first one. Results of
  // finished blocks are delivered meanwhile, and the call waits while too many
  // blocks are under way.
  void submit(Block block);
  // Whether delivered blocks still hold the call text of their items (needed
  // for the HTML report); without it the text is dropped once it is sent.
  void keepItemData(bool keep) { keepItemData_ = keep; }
  // Moves data to and from the workers without waiting; call it now and then
  // while preparing the next block, so that the workers never run dry.
  void poll() {
    if (!workers_.empty()) pump(false);
  }
  // Waits for every block and delivers the rest.
  void finish();
  // Stops every worker (after an output error).
  void abort();

 private:
  struct Worker {
    pid_t pid = -1;
    int toFd = -1;
    int fromFd = -1;
    std::string outBytes;
    std::size_t outPos = 0;
    std::string inBytes;
    std::size_t inPos = 0;
    bool ended = false;
    int status = 0;
    std::deque<std::size_t> blocks;  // sequence numbers sent to this worker, not yet answered
  };
  struct Pending {
    Block block;
    std::vector<ItemResult> results;
    bool complete = false;
    std::string failure;  // why results are missing, empty when none are
  };

  void startWorkers();
  void pump(bool wait);
  void readResults(Worker& worker);
  void workerEnded(Worker& worker);
  void deliverReady();
  Pending& pendingFor(std::size_t sequence) { return pending_[sequence - firstSequence_]; }
  [[noreturn]] void serve(int inFd, int outFd);
  [[noreturn]] void runBlock(int inFd, int outFd, void* progress);

  int jobs_;
  PrepareFn prepare_;
  CheckFn check_;
  DeliverFn deliver_;
  std::string failureText_;
  std::vector<Worker> workers_;
  std::deque<Pending> pending_;
  std::size_t firstSequence_ = 0;
  std::size_t nextSequence_ = 0;
  bool finishing_ = false;
  bool keepItemData_ = false;
};

}  // namespace qv::cli
