// Checks blocks of work items in block processes and hands the results back
// in input order.
//
// The main process starts one block process per block, at most `jobs` at a
// time. Each starts from the library state the main process prepared (forked
// from it, or started as the program's block-process mode where there is no
// fork) and checks the block's items from its first one, so that no state of
// one block reaches another and the output does not depend on the number of
// jobs. It writes one result record per item to its pipe (ResultWire.h).
//
// A block process that dies (signal, abort, exit) is replaced: a new process
// starts the block again, checks the items that came back before without
// sending them (so that the library reaches the same state) and sends the
// rest. The item a process was checking when it died is known from a shared
// progress word; an item whose process died twice is not tried again and gets
// an S005 finding with the cause ("signal 6", "exit status 3"). Every other
// item gets its findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "WorkBlock.h"
#include "Finding.h"
#include "foundation/Platform.h"

namespace qv::cli {

// The results of a block's items, filled in the main process while block
// processes run.
using ItemResults = std::vector<ItemOutcome, UnsharedAllocator<ItemOutcome>>;

// What a block process does: which items it skips, from which item on it
// sends results, and whether it sends each result at once.
struct BlockTask {
  std::size_t sendFrom = 0;
  bool flushEach = false;
  std::vector<std::uint64_t> skip;  // indexes of items that killed their process twice
};

// Checks the block's items as BlockTask says and writes the result records
// to out; progress (may be null) holds 1 + the index of the item being
// checked, 0 before the first and after the last. The code of a block
// process, forked or started.
bool RunBlockItems(const Block& block, const BlockTask& task,
                   const std::function<ItemOutcome(const Block&, const WorkItem&)>& check, platform::OutputHandle out,
                   volatile std::uint64_t* progress);

class BlockRunner {
 public:
  // Runs in a block process before its first item.
  using PrepareFn = std::function<void(int layout)>;
  using CheckFn = std::function<ItemOutcome(const Block&, const WorkItem&)>;
  // Hands on the results of a run of the block's items, starting at item
  // first; calls for a block come in item order.
  using DeliverFn = std::function<void(const Block&, std::size_t first, ItemResults&)>;
  // Starts a block process of the program itself (where there is no fork):
  // it gets the block, its task and its progress word (slot) and writes its
  // results to child's pipe. A file it names in scratchFile is deleted when
  // the process has ended.
  using StartFn = std::function<bool(const Block&, const BlockTask&, std::size_t slot, platform::ChildProcess& child,
                                     std::string& scratchFile)>;

  // failureText: the finding text for items whose block process failed;
  // "{reason}" stands for the cause.
  BlockRunner(int jobs, PrepareFn prepare, CheckFn check, DeliverFn deliver, std::string failureText);
  ~BlockRunner();
  BlockRunner(const BlockRunner&) = delete;
  BlockRunner& operator=(const BlockRunner&) = delete;

  // Starts block processes with start instead of forking (Windows, tests).
  void startWith(StartFn start) { start_ = std::move(start); }

  // Queues a block. Results are delivered meanwhile, those of the oldest
  // block as they come, and the call waits while too many blocks are under
  // way. The block keeps its items (with their call text) until all its
  // results are delivered: a replaced block process needs them again.
  void submit(Block block);
  // Collects results and starts block processes without waiting; call it now
  // and then while preparing the next block, so that no job runs dry.
  void poll() { pump(0); }
  // Waits for every block and delivers the rest.
  void finish();
  // Stops every block process (after an output error).
  void abort();

 private:
  struct Pending {
    Block block;
    std::size_t delivered = 0;            // items before this one are handed on
    ItemResults results;                  // of the items from delivered to next (and maybe one being decoded)
    std::size_t next = 0;                 // items before this one have their result
    std::vector<std::uint8_t> deaths;     // block processes that died on the item
    std::map<std::size_t, std::string> deathReasons;  // why, for items not tried again
    int earlyDeaths = 0;                  // block processes that died before any item
    bool running = false;
    bool retry = false;                   // a block process of this block died before
  };
  struct Running {
    platform::ChildProcess child;
    std::size_t sequence = 0;
    UnsharedVector<char> bytes;  // result bytes not yet decoded
    std::string scratchFile;     // deleted when the process has ended
  };

  void pump(int timeoutMs);
  bool startNext();
  void readFrom(Running& r);
  bool takeRecords(Running& r, Pending& p);
  void ended(Running& r, std::string reason);
  void advance(Pending& p);
  static ItemOutcome& resultSlot(Pending& p);
  void failItem(Pending& p, const std::string& reason);
  void deliverReady();
  Pending& pendingFor(std::size_t sequence) { return pending_[sequence - firstSequence_]; }

  std::size_t jobs_;
  std::size_t blocksInMemory_;  // at most, the one the main process fills included
  PrepareFn prepare_;
  CheckFn check_;
  DeliverFn deliver_;
  StartFn start_;
  std::string failureText_;
  volatile std::uint64_t* progress_ = nullptr;  // one word per job slot
  std::vector<Running> running_;                // one per job slot; child.process -1 when free
  std::deque<Pending> pending_;
  ItemResults spareResults_;  // result slots of a dropped block, taken by the next one
  std::size_t firstSequence_ = 0;
};

}  // namespace qv::cli
