#include "BlockRunner.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ResultWire.h"
#include "UiTexts.h"

namespace qv::cli {

namespace {
bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string DescribeStatus(int status) {
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
  return "status " + std::to_string(status);
}
}  // namespace

BlockRunner::BlockRunner(int jobs, CheckFn check, DeliverFn deliver, std::string failureText)
    : jobs_(jobs < 1 ? 1 : jobs),
      check_(std::move(check)),
      deliver_(std::move(deliver)),
      failureText_(std::move(failureText)) {}

BlockRunner::~BlockRunner() { abort(); }

void BlockRunner::submit(Block block) {
  while (static_cast<int>(running_.size()) >= jobs_) waitForProgress();
  int fds[2];
  if (::pipe(fds) != 0) {
    // Without a pipe the block cannot be checked; report every item.
    Running r;
    r.block = std::move(block);
    r.done = true;
    r.status = -1;
    running_.push_back(std::move(r));
    deliverReady();
    return;
  }
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    runWorker(block, fds[1]);
  }
  ::close(fds[1]);
  Running r;
  r.block = std::move(block);
  r.pid = pid;
  r.fd = fds[0];
  if (pid < 0) {
    ::close(fds[0]);
    r.fd = -1;
    r.done = true;
    r.status = -1;
  }
  running_.push_back(std::move(r));
  deliverReady();
}

void BlockRunner::runWorker(const Block& block, int fd) {
  std::string out;
  for (const WorkItem& item : block.items) {
    EncodeResult(check_(item), out);
    if (out.size() >= (1u << 18)) {
      if (!WriteAll(fd, out)) ::_exit(3);
      out.clear();
    }
  }
  if (!WriteAll(fd, out)) ::_exit(3);
  ::_exit(0);
}

void BlockRunner::waitForProgress() {
  std::vector<pollfd> fds;
  std::vector<Running*> owners;
  for (Running& r : running_) {
    if (r.done) continue;
    fds.push_back({r.fd, POLLIN, 0});
    owners.push_back(&r);
  }
  if (fds.empty()) {
    deliverReady();
    return;
  }
  int n = ::poll(fds.data(), fds.size(), -1);
  if (n < 0 && errno != EINTR) return;
  char buffer[1 << 16];
  for (std::size_t i = 0; i < fds.size(); ++i) {
    if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    Running& r = *owners[i];
    ssize_t got = ::read(r.fd, buffer, sizeof buffer);
    if (got > 0) {
      r.bytes.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      ::close(r.fd);
      r.fd = -1;
      while (::waitpid(r.pid, &r.status, 0) < 0 && errno == EINTR) {
      }
      r.pid = -1;
      r.done = true;
    }
  }
  deliverReady();
}

void BlockRunner::deliverReady() {
  while (!running_.empty() && running_.front().done) {
    Running r = std::move(running_.front());
    running_.pop_front();
    std::vector<ItemResult> results;
    results.reserve(r.block.items.size());
    std::size_t pos = 0;
    while (results.size() < r.block.items.size()) {
      ItemResult result;
      if (!DecodeResult(r.bytes, pos, result)) break;
      results.push_back(std::move(result));
    }
    if (results.size() < r.block.items.size()) {
      std::string reason = r.status == -1 ? std::string("no worker process: ") + std::strerror(errno)
                                          : DescribeStatus(r.status);
      std::string text = Fill(failureText_, "reason", reason);
      for (std::size_t i = results.size(); i < r.block.items.size(); ++i) {
        const WorkItem& item = r.block.items[i];
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
        results.push_back(std::move(result));
      }
    }
    deliver_(r.block, results);
  }
}

void BlockRunner::finish() {
  while (!running_.empty()) waitForProgress();
}

void BlockRunner::abort() {
  for (Running& r : running_) {
    if (r.pid > 0) {
      ::kill(r.pid, SIGTERM);
      while (::waitpid(r.pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    if (r.fd >= 0) ::close(r.fd);
  }
  running_.clear();
}

}  // namespace qv::cli
