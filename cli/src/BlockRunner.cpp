#include "BlockRunner.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ResultWire.h"
#include "UiTexts.h"

namespace qv::cli {

namespace {
// Results are written in chunks of about this size, so that the main process
// wakes up a few times per block instead of once per item.
constexpr std::size_t kWriteChunk = 1 << 16;

// Blocks whose processes die before their first item this often get S005 for
// every remaining item (the library cannot be set up in a block process).
constexpr int kMaxEarlyDeaths = 2;
// An item on which this many block processes died is not tried again.
constexpr std::uint8_t kMaxDeaths = 2;

// Test hook: the case whose MB line is on this file line ends its block
// process with abort(), as a crash in the library would.
std::uint64_t CrashLine() {
  static const std::uint64_t line = [] {
    const char* text = std::getenv("QV_TEST_CRASH_CASE");
    return text ? std::strtoull(text, nullptr, 10) : 0;
  }();
  return line;
}
}  // namespace

bool RunBlockItems(const Block& block, const BlockTask& task,
                   const std::function<ItemOutcome(const Block&, const WorkItem&)>& check, platform::OutputHandle out,
                   volatile std::uint64_t* progress) {
  std::string bytes;
  // Room for a full chunk and the record that crosses its end, taken once.
  bytes.reserve(2 * kWriteChunk);
  std::size_t skipAt = 0;
  for (std::size_t i = 0; i < block.items.size(); ++i) {
    // Items that killed their process twice are left out, as if they were not there.
    if (skipAt < task.skip.size() && task.skip[skipAt] == i) {
      ++skipAt;
      continue;
    }
    const WorkItem& item = block.items[i];
    if (progress) *progress = i + 1;
    if (item.check && item.caseLine == CrashLine() && CrashLine() != 0) std::abort();
    // Items before sendFrom are checked only to bring the library to the
    // state it had when they were checked the first time.
    ItemOutcome result = check(block, item);
    if (i < task.sendFrom) continue;
    AppendResultRecord(result, bytes);
    if (task.flushEach || bytes.size() >= kWriteChunk) {
      if (!platform::WriteOutput(out, bytes.data(), bytes.size())) return false;
      bytes.clear();
    }
  }
  if (progress) *progress = 0;
  return platform::WriteOutput(out, bytes.data(), bytes.size());
}

BlockRunner::BlockRunner(int jobs, PrepareFn prepare, CheckFn check, DeliverFn deliver, std::string failureText)
    : jobs_(jobs < 1 ? 1 : static_cast<std::size_t>(jobs)),
      // The main process fills the next block while block processes run only
      // where a core is left for it; where there is none, filling it would
      // only take turns with them, for one block more in memory.
      blocksInMemory_(jobs_ + (jobs_ < static_cast<std::size_t>(platform::CoreCount()) ? 1 : 0)),
      prepare_(std::move(prepare)),
      check_(std::move(check)),
      deliver_(std::move(deliver)),
      failureText_(std::move(failureText)),
      running_(jobs_) {
  progress_ = platform::SharedWords(jobs_);
}

BlockRunner::~BlockRunner() { abort(); }

void BlockRunner::submit(Block block) {
  Pending p;
  p.deaths.assign(block.items.size(), 0);
  p.block = std::move(block);
  p.results.swap(spareResults_);
  pending_.push_back(std::move(p));
  pump(0);
  // Blocks wait in memory until they are delivered: this bounds the main
  // process's memory.
  while (pending_.size() >= blocksInMemory_) pump(-1);
}

bool BlockRunner::startNext() {
  std::size_t slot = 0;
  while (slot < running_.size() && running_[slot].child.process != -1) ++slot;
  if (slot == running_.size()) return false;
  for (std::size_t s = firstSequence_; s < firstSequence_ + pending_.size(); ++s) {
    Pending& p = pendingFor(s);
    if (p.running || p.next >= p.block.items.size()) continue;
    BlockTask task;
    task.sendFrom = p.next;
    // After a death the results come one by one, so that few are lost if it
    // happens again.
    task.flushEach = p.retry;
    for (std::size_t i = 0; i < p.deaths.size(); ++i)
      if (p.deaths[i] >= kMaxDeaths) task.skip.push_back(i);
    Running& r = running_[slot];
    // The slot's read buffer is kept from block to block.
    r.child = platform::ChildProcess{};
    r.bytes.clear();
    r.scratchFile.clear();
    r.sequence = s;
    if (progress_) progress_[slot] = 0;
    volatile std::uint64_t* word = progress_ ? progress_ + slot : nullptr;
    bool started;
    if (start_) {
      started = start_(p.block, task, slot, r.child, r.scratchFile);
    } else {
      started = platform::ForkChild(
          [&](platform::OutputHandle out) {
            if (prepare_) prepare_(p.block.layout);
            return RunBlockItems(p.block, task, check_, out, word) ? 0 : 7;
          },
          r.child, p.block.memory());
    }
    if (!started) {
      // No process to be had: the block's remaining items are reported unchecked.
      r.child = platform::ChildProcess{};
      platform::DeleteFile(r.scratchFile.c_str());
      while (p.next < p.block.items.size()) failItem(p, "no block process");
      return true;
    }
    p.running = true;
    return true;
  }
  return false;
}

void BlockRunner::pump(int timeoutMs) {
  while (startNext()) {
  }
  // Only the oldest block's results are read, and go on as they come; a
  // later block's wait in its pipe (its process waits while the pipe is
  // full) rather than decoded in memory, where a block with many findings
  // would take tens of megabytes. Where the oldest block has no process
  // running, every pipe is read.
  bool oldestRuns = false;
  for (Running& r : running_) oldestRuns = oldestRuns || (r.child.process != -1 && r.sequence == firstSequence_);
  auto isRead = [&](const Running& r) {
    return r.child.process != -1 && (!oldestRuns || r.sequence == firstSequence_);
  };
  std::vector<platform::ChildProcess*> children;
  for (Running& r : running_)
    if (isRead(r)) children.push_back(&r.child);
  if (!children.empty()) {
    platform::WaitForOutput(children, timeoutMs);
    for (Running& r : running_)
      if (isRead(r)) readFrom(r);
  }
  deliverReady();
  while (startNext()) {
  }
}

void BlockRunner::readFrom(Running& r) {
  constexpr std::size_t kRead = 1 << 16;
  Pending& p = pendingFor(r.sequence);
  for (;;) {
    // Read straight into the end of the undecoded bytes.
    std::size_t had = r.bytes.size();
    r.bytes.resize(had + kRead);
    long got = platform::ReadOutput(r.child, r.bytes.data() + had, kRead);
    r.bytes.truncate(had + static_cast<std::size_t>(got > 0 ? got : 0));
    if (!takeRecords(r, p)) return;
    // A chunk at a time, and the oldest block's results go on before the
    // next: a full pipe does not pile up in memory, undecoded or decoded.
    deliverReady();
    if (got == 0) ended(r, "");
    if (got <= 0 || static_cast<std::size_t>(got) < kRead) return;
  }
}

// Decodes the whole records among the bytes read; false when they are no
// results (the process is then killed and ended).
bool BlockRunner::takeRecords(Running& r, Pending& p) {
  std::size_t pos = 0;
  while (p.next < p.block.items.size()) {
    // Decoded where the result is kept; a record cut short is decoded again once whole.
    int taken = TakeResultRecord(r.bytes.data(), r.bytes.size(), pos, resultSlot(p));
    if (taken == 0) break;
    if (taken < 0) {
      // Not a result: the process is not doing its job.
      platform::KillChild(r.child);
      ended(r, "unreadable results");
      return false;
    }
    advance(p);
  }
  // Keep the rest of a record cut short at the front.
  std::size_t rest = r.bytes.size() - pos;
  if (rest > 0 && pos > 0) std::memmove(r.bytes.data(), r.bytes.data() + pos, rest);
  r.bytes.truncate(rest);
  return true;
}

void BlockRunner::ended(Running& r, std::string reason) {
  std::string status = platform::ReapChild(r.child);
  platform::DeleteFile(r.scratchFile.c_str());
  if (reason.empty()) reason = status;
  std::size_t slot = static_cast<std::size_t>(&r - running_.data());
  std::size_t current = progress_ ? static_cast<std::size_t>(progress_[slot]) : 0;
  r.child = platform::ChildProcess{};
  r.bytes.clear();
  Pending& p = pendingFor(r.sequence);
  p.running = false;
  // The whole records that came before the end are taken already.
  if (p.next >= p.block.items.size()) return;
  if (reason.empty()) reason = "incomplete results";
  p.retry = true;
  if (current == 0) {
    // Died before its first item (or there is no progress word).
    if (++p.earlyDeaths >= kMaxEarlyDeaths)
      while (p.next < p.block.items.size()) failItem(p, reason);
    return;
  }
  // Every death counts against the item being checked, also one checked
  // again only for the library state: so the retries of a block end.
  std::size_t item = current - 1;
  if (item >= p.deaths.size() || ++p.deaths[item] < kMaxDeaths) return;
  p.deathReasons[item] = reason;
  if (item == p.next) failItem(p, reason);
}

// The result of the next item: the results grow as they come, in order.
ItemOutcome& BlockRunner::resultSlot(Pending& p) {
  const std::size_t at = p.next - p.delivered;
  if (p.results.size() <= at) {
    // Doubling, but never past the items still to come: the results of a
    // block may all wait for the block before it (while that one's process
    // is replaced), and a block one item longer than the last must not take
    // twice the room for them then.
    if (at == p.results.capacity())
      p.results.reserve(std::max(at + 1, std::min(2 * at, p.block.items.size() - p.delivered)));
    p.results.emplace_back();
  }
  return p.results[at];
}

// Moves past the item just filled in and past the items that are not tried again.
void BlockRunner::advance(Pending& p) {
  ++p.next;
  while (p.next < p.block.items.size() && p.deaths[p.next] >= kMaxDeaths) failItem(p, p.deathReasons[p.next]);
}

void BlockRunner::failItem(Pending& p, const std::string& reason) {
  const WorkItem& item = p.block.items[p.next];
  ItemOutcome& result = resultSlot(p);
  result = ItemOutcome{};  // a record that could not be decoded may have filled parts
  result.isCase = item.isCase;
  result.caseLine = item.caseLine;
  result.findings = p.block.findingsOf(item);
  if (item.check) {
    Finding f;
    f.line = item.caseLine;
    f.type = 'S';
    f.code = "S005";
    f.text = f.baseText = Fill(failureText_, "reason", reason);
    result.findings.push_back(std::move(f));
  }
  p.deaths[p.next] = kMaxDeaths;
  advance(p);
}

// The oldest block's results go on as they come (the items before next are
// done for good, whatever happens to its block process later), so that
// results do not pile up; a block is dropped once all of them went.
void BlockRunner::deliverReady() {
  while (!pending_.empty()) {
    Pending& p = pending_.front();
    if (p.next > p.delivered) {
      p.results.resize(p.next - p.delivered);  // without a result being decoded
      deliver_(p.block, p.delivered, p.results);
      p.results.clear();
      p.delivered = p.next;
    }
    if (p.running || p.next < p.block.items.size()) return;
    spareResults_.swap(p.results);
    pending_.pop_front();
    ++firstSequence_;
  }
}

void BlockRunner::finish() {
  while (!pending_.empty()) pump(-1);
}

void BlockRunner::abort() {
  for (Running& r : running_) {
    if (r.child.process != -1) platform::KillChild(r.child);
    platform::DeleteFile(r.scratchFile.c_str());
  }
  pending_.clear();
}

}  // namespace qv::cli
