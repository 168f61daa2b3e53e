#include "BlockRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "ResultWire.h"
#include "UiTexts.h"

namespace qv::cli {

namespace {
// Records on the result pipe.
constexpr char kResult = 0;      // followed by the length and an encoded result
constexpr char kFailed = 1;      // followed by the wait status of the failed block process
constexpr char kBlockDone = 2;

// Exit status of a block process that found the input closed: no more blocks.
constexpr int kInputEnded = 10;

struct BlockHeader {
  std::uint64_t itemCount;
  std::uint64_t payloadBytes;  // the items that follow, each with its length in front
  std::int32_t layout;
  std::int32_t reserved;
};

// How far a block process read its input, shared with its worker, so that the
// worker can skip the rest of a block whose process failed.
struct InputProgress {
  std::uint64_t payloadBytes;
  std::uint64_t bytesRead;
  int headerRead;
};

// Reads the items of one block in chunks, never past the block's end: the
// next block belongs to the next block process.
class PayloadReader {
 public:
  PayloadReader(int fd, InputProgress* progress) : fd_(fd), progress_(progress), remaining_(progress->payloadBytes) {}

  // Makes n bytes available at data(); false when the block ends first.
  bool need(std::size_t n) {
    while (end_ - pos_ < n) {
      if (remaining_ == 0) return false;
      // Keep the unread bytes at the front and make room for the rest.
      if (pos_ > 0) {
        if (end_ > pos_) std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
      }
      if (buffer_.size() < n + kChunk) buffer_.resize(n + kChunk);
      std::size_t room = buffer_.size() - end_;
      std::size_t want = static_cast<std::size_t>(remaining_ < room ? remaining_ : room);
      ssize_t got;
      do {
        got = ::read(fd_, buffer_.data() + end_, want);
      } while (got < 0 && errno == EINTR);
      if (got <= 0) return false;
      end_ += static_cast<std::size_t>(got);
      remaining_ -= static_cast<std::uint64_t>(got);
      progress_->bytesRead += static_cast<std::uint64_t>(got);
    }
    return true;
  }
  const char* data() const { return buffer_.data() + pos_; }
  void consume(std::size_t n) { pos_ += n; }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  int fd_;
  InputProgress* progress_;
  std::uint64_t remaining_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads exactly size bytes; false at the end of the input or on an error.
bool ReadExact(int fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(fd, p + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool Skip(int fd, std::uint64_t size) {
  char buffer[4096];
  while (size > 0) {
    std::size_t chunk = size < sizeof buffer ? static_cast<std::size_t>(size) : sizeof buffer;
    if (!ReadExact(fd, buffer, chunk)) return false;
    size -= chunk;
  }
  return true;
}

std::string DescribeStatus(int status) {
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
  return "status " + std::to_string(status);
}

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

// A pipe that holds a whole block lets the worker go on while the main
// process reads the next one. The system may refuse the size; that only costs speed.
void EnlargePipe(int fd) {
#ifdef F_SETPIPE_SZ
  ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
  (void)fd;
#endif
}

void Reap(pid_t pid, int* status) {
  while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
  }
}
}  // namespace

BlockRunner::BlockRunner(int jobs, PrepareFn prepare, CheckFn check, DeliverFn deliver, std::string failureText)
    : jobs_(jobs < 1 ? 1 : jobs),
      prepare_(std::move(prepare)),
      check_(std::move(check)),
      deliver_(std::move(deliver)),
      failureText_(std::move(failureText)) {}

BlockRunner::~BlockRunner() { abort(); }

void BlockRunner::startWorkers() {
  std::fflush(nullptr);
  for (int i = 0; i < jobs_; ++i) {
    Worker w;
    int toPipe[2], fromPipe[2];
    if (::pipe(toPipe) != 0) {
      w.ended = true;
      workers_.push_back(std::move(w));
      continue;
    }
    if (::pipe(fromPipe) != 0) {
      ::close(toPipe[0]);
      ::close(toPipe[1]);
      w.ended = true;
      workers_.push_back(std::move(w));
      continue;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
      // Only this worker's own pipe ends stay open, so that every worker sees
      // the end of its input when the main process closes it.
      for (Worker& other : workers_) {
        if (other.toFd >= 0) ::close(other.toFd);
        if (other.fromFd >= 0) ::close(other.fromFd);
      }
      ::close(toPipe[1]);
      ::close(fromPipe[0]);
      serve(toPipe[0], fromPipe[1]);
    }
    ::close(toPipe[0]);
    ::close(fromPipe[1]);
    w.pid = pid;
    w.toFd = toPipe[1];
    w.fromFd = fromPipe[0];
    if (pid < 0) {
      ::close(w.toFd);
      ::close(w.fromFd);
      w.toFd = w.fromFd = -1;
      w.ended = true;
    } else {
      SetNonBlocking(w.toFd);
      SetNonBlocking(w.fromFd);
      EnlargePipe(w.toFd);
      EnlargePipe(w.fromFd);
    }
    workers_.push_back(std::move(w));
  }
}

void BlockRunner::serve(int inFd, int outFd) {
  void* shared = ::mmap(nullptr, sizeof(InputProgress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) ::_exit(4);
  auto* progress = static_cast<InputProgress*>(shared);
  for (;;) {
    *progress = InputProgress{0, 0, 0};
    pid_t pid = ::fork();
    if (pid == 0) runBlock(inFd, outFd, progress);
    if (pid < 0) ::_exit(4);
    int status = 0;
    Reap(pid, &status);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kInputEnded) ::_exit(0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) continue;
    // The block process failed: report it, then skip the rest of its block.
    char record[1 + sizeof(int)];
    record[0] = kFailed;
    std::memcpy(record + 1, &status, sizeof status);
    if (!WriteAll(outFd, record, sizeof record)) ::_exit(0);
    if (!progress->headerRead) {
      BlockHeader header;
      if (!ReadExact(inFd, &header, sizeof header)) ::_exit(0);
      progress->payloadBytes = header.payloadBytes;
    }
    if (!Skip(inFd, progress->payloadBytes - progress->bytesRead)) ::_exit(0);
  }
}

void BlockRunner::runBlock(int inFd, int outFd, void* shared) {
  auto* progress = static_cast<InputProgress*>(shared);
  BlockHeader header;
  if (!ReadExact(inFd, &header, sizeof header)) ::_exit(kInputEnded);
  progress->payloadBytes = header.payloadBytes;
  progress->headerRead = 1;
  if (prepare_) prepare_(header.layout);
  PayloadReader reader(inFd, progress);
  std::string out, encoded;
  WorkItem item;
  for (std::uint64_t i = 0; i < header.itemCount; ++i) {
    std::uint64_t size = 0;
    if (!reader.need(sizeof size)) ::_exit(5);
    std::memcpy(&size, reader.data(), sizeof size);
    reader.consume(sizeof size);
    if (!reader.need(static_cast<std::size_t>(size))) ::_exit(5);
    if (!DecodeWorkItem(reader.data(), static_cast<std::size_t>(size), item)) ::_exit(6);
    reader.consume(static_cast<std::size_t>(size));
    encoded.clear();
    EncodeResult(check_(item), encoded);
    std::uint64_t length = encoded.size();
    out += kResult;
    out.append(reinterpret_cast<const char*>(&length), sizeof length);
    out += encoded;
    // Results go out whole, so a failure later in the block leaves the pipe
    // at a record border.
    if (out.size() >= (1u << 16)) {
      if (!WriteAll(outFd, out.data(), out.size())) ::_exit(7);
      out.clear();
    }
  }
  out += kBlockDone;
  if (!WriteAll(outFd, out.data(), out.size())) ::_exit(7);
  ::_exit(0);
}

void BlockRunner::submit(Block block) {
  if (workers_.empty()) startWorkers();
  std::size_t sequence = nextSequence_++;
  Worker& w = workers_[sequence % workers_.size()];
  // Drop what the worker already has, so that the buffer keeps its size
  // instead of growing while the worker is busy.
  if (w.outPos > 0) {
    w.outBytes.erase(0, w.outPos);
    w.outPos = 0;
  }
  std::size_t headerAt = w.outBytes.size();
  BlockHeader header{block.items.size(), 0, block.layout, 0};
  w.outBytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  for (const WorkItem& item : block.items) {
    // The item goes behind a length field that is filled in afterwards.
    std::size_t sizeAt = w.outBytes.size();
    std::uint64_t size = 0;
    w.outBytes.append(reinterpret_cast<const char*>(&size), sizeof size);
    EncodeWorkItem(item, w.outBytes);
    size = w.outBytes.size() - sizeAt - sizeof size;
    std::memcpy(&w.outBytes[sizeAt], &size, sizeof size);
  }
  header.payloadBytes = w.outBytes.size() - headerAt - sizeof header;
  std::memcpy(&w.outBytes[headerAt], &header, sizeof header);
  if (!keepItemData_)
    for (WorkItem& item : block.items) std::string().swap(item.data);
  w.blocks.push_back(sequence);
  Pending p;
  p.block = std::move(block);
  pending_.push_back(std::move(p));
  if (w.ended) workerEnded(w);
  pump(false);
  while (pending_.size() >= workers_.size() + 2) pump(true);
}

void BlockRunner::pump(bool wait) {
  std::vector<pollfd> fds;
  std::vector<std::pair<Worker*, bool>> owners;  // worker, is its input pipe
  for (Worker& w : workers_) {
    if (w.ended) continue;
    if (w.toFd >= 0 && w.outPos < w.outBytes.size()) {
      fds.push_back({w.toFd, POLLOUT, 0});
      owners.push_back({&w, true});
    }
    if (w.fromFd >= 0) {
      fds.push_back({w.fromFd, POLLIN, 0});
      owners.push_back({&w, false});
    }
  }
  if (!fds.empty()) {
    int n = ::poll(fds.data(), fds.size(), wait ? -1 : 0);
    if (n < 0 && errno != EINTR) n = 0;
    for (std::size_t i = 0; n > 0 && i < fds.size(); ++i) {
      if (!fds[i].revents) continue;
      Worker& w = *owners[i].first;
      if (w.ended) continue;
      if (owners[i].second) {
        ssize_t put = ::write(w.toFd, w.outBytes.data() + w.outPos, w.outBytes.size() - w.outPos);
        if (put > 0) w.outPos += static_cast<std::size_t>(put);
        else if (put < 0 && errno != EAGAIN && errno != EINTR) workerEnded(w);
        if (w.outPos == w.outBytes.size()) {
          w.outBytes.clear();
          w.outPos = 0;
          if (finishing_ && w.toFd >= 0) {
            ::close(w.toFd);
            w.toFd = -1;
          }
        }
      } else {
        readResults(w);
      }
    }
  }
  deliverReady();
}

void BlockRunner::readResults(Worker& w) {
  char buffer[1 << 16];
  ssize_t got = ::read(w.fromFd, buffer, sizeof buffer);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (got <= 0) {
    workerEnded(w);
    return;
  }
  w.inBytes.append(buffer, static_cast<std::size_t>(got));
  for (;;) {
    if (w.blocks.empty() || w.inPos >= w.inBytes.size()) break;
    Pending& p = pendingFor(w.blocks.front());
    char kind = w.inBytes[w.inPos];
    std::size_t rest = w.inBytes.size() - w.inPos - 1;
    if (kind == kBlockDone) {
      ++w.inPos;
      p.complete = true;
      w.blocks.pop_front();
    } else if (kind == kFailed) {
      int status = 0;
      if (rest < sizeof status) break;
      std::memcpy(&status, w.inBytes.data() + w.inPos + 1, sizeof status);
      w.inPos += 1 + sizeof status;
      p.failure = DescribeStatus(status);
      p.complete = true;
      w.blocks.pop_front();
    } else {
      std::uint64_t length = 0;
      if (rest < sizeof length) break;
      std::memcpy(&length, w.inBytes.data() + w.inPos + 1, sizeof length);
      if (rest - sizeof length < length) break;
      std::size_t pos = w.inPos + 1 + sizeof length;
      std::size_t end = pos + static_cast<std::size_t>(length);
      ItemResult result;
      std::size_t at = pos;
      if (!DecodeResult(w.inBytes, at, result) || at != end || p.results.size() >= p.block.items.size()) {
        workerEnded(w);  // the pipe holds something else than results: give up on this worker
        return;
      }
      p.results.push_back(std::move(result));
      w.inPos = end;
    }
  }
  if (w.inPos > (1u << 20) || w.inPos == w.inBytes.size()) {
    w.inBytes.erase(0, w.inPos);
    w.inPos = 0;
  }
}

void BlockRunner::workerEnded(Worker& w) {
  if (w.toFd >= 0) ::close(w.toFd);
  if (w.fromFd >= 0) ::close(w.fromFd);
  w.toFd = w.fromFd = -1;
  if (w.pid > 0) {
    ::kill(w.pid, SIGTERM);
    Reap(w.pid, &w.status);
    w.pid = -1;
  }
  std::string reason = w.ended ? std::string("no worker process") : DescribeStatus(w.status);
  w.ended = true;
  for (std::size_t sequence : w.blocks) {
    Pending& p = pendingFor(sequence);
    p.failure = reason;
    p.complete = true;
  }
  w.blocks.clear();
}

void BlockRunner::deliverReady() {
  while (!pending_.empty() && pending_.front().complete) {
    Pending p = std::move(pending_.front());
    pending_.pop_front();
    ++firstSequence_;
    if (p.results.size() < p.block.items.size()) {
      std::string text = Fill(failureText_, "reason", p.failure.empty() ? "incomplete results" : p.failure);
      for (std::size_t i = p.results.size(); i < p.block.items.size(); ++i) {
        const WorkItem& item = p.block.items[i];
        ItemResult result;
        result.isCase = item.isCase;
        result.caseLine = item.caseLine;
        result.findings = item.findings;
        if (item.check) {
          Finding f;
          f.line = item.caseLine;
          f.type = 'S';
          f.code = "S005";
          f.text = f.baseText = text;
          result.findings.push_back(std::move(f));
        }
        p.results.push_back(std::move(result));
      }
    }
    deliver_(p.block, p.results);
  }
}

void BlockRunner::finish() {
  finishing_ = true;
  for (Worker& w : workers_) {
    if (w.toFd >= 0 && w.outPos == w.outBytes.size()) {
      ::close(w.toFd);
      w.toFd = -1;
    }
  }
  while (!pending_.empty()) pump(true);
  for (Worker& w : workers_) {
    if (w.toFd >= 0) ::close(w.toFd);
    if (w.fromFd >= 0) ::close(w.fromFd);
    w.toFd = w.fromFd = -1;
    if (w.pid > 0) Reap(w.pid, &w.status);
    w.pid = -1;
    w.ended = true;
  }
}

void BlockRunner::abort() {
  for (Worker& w : workers_) {
    if (w.toFd >= 0) ::close(w.toFd);
    if (w.fromFd >= 0) ::close(w.fromFd);
    w.toFd = w.fromFd = -1;
    if (w.pid > 0) {
      ::kill(w.pid, SIGTERM);
      Reap(w.pid, nullptr);
    }
    w.pid = -1;
    w.ended = true;
  }
  pending_.clear();
}

}  // namespace qv::cli
