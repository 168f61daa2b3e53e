#include "Progress.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace qv::cli {

Progress::Progress(bool enabled) : enabled_(enabled && ::isatty(STDERR_FILENO)) {}

Progress::~Progress() { clear(); }

void Progress::update(std::uint64_t bytesDone, std::uint64_t totalBytes, std::uint64_t cases) {
  if (!enabled_) return;
  auto now = std::chrono::steady_clock::now();
  if (shown_ && now - last_ < std::chrono::milliseconds(200)) return;
  last_ = now;
  shown_ = true;
  if (totalBytes > 0) {
    int percent = static_cast<int>(bytesDone * 100 / totalBytes);
    if (percent > 100) percent = 100;
    std::string bar(static_cast<std::size_t>(percent / 4), '#');
    bar.resize(25, ' ');
    std::fprintf(stderr, "\r[%s] %3d%%  %llu", bar.c_str(), percent, static_cast<unsigned long long>(cases));
  } else {
    std::fprintf(stderr, "\r%llu", static_cast<unsigned long long>(cases));
  }
  std::fflush(stderr);
}

void Progress::clear() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%50s\r", "");
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace qv::cli
