// A one-line progress bar on standard error, shown only on a terminal.
#pragma once

#include <chrono>
#include <cstdint>

namespace qv::cli {

class Progress {
 public:
  explicit Progress(bool enabled);
  ~Progress();

  // totalBytes 0: size unknown (a pipe), only the count is shown.
  void update(std::uint64_t bytesDone, std::uint64_t totalBytes, std::uint64_t cases);
  void clear();

 private:
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace qv::cli
