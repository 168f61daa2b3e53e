// Streams the lines of a file descriptor with bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "UnsharedVector.h"

namespace qv::cli {

// A line read. Its text points into the reader's buffer or into storage: it
// is valid until the next read into the same Line, and a copy of a Line
// shares it (copy the text to keep it).
struct Line {
  std::string_view text;       // content without the line end (LF or CR LF); cut at kMaxKept bytes
  std::uint64_t number = 0;    // 1-based line number in the file
  std::size_t length = 0;      // full length of the content, also when it was cut
  bool hasNul = false;         // the content holds a NUL byte
  std::string storage;         // the text when it is not one piece of the buffer (a line across two reads,
                               // a converted line)
};

class LineReader {
 public:
  // Longer lines are cut: a case must stay below 10000 bytes anyway, so the
  // rest of such a line is counted but not kept.
  static constexpr std::size_t kMaxKept = 16384;

  // 128 KiB a read: larger reads are no faster, and each page of the buffer
  // is memory the main process touches for the whole run.
  explicit LineReader(int fd, std::size_t bufferSize = 1 << 17);

  // Reads the next line; false at the end of the input or after a read error.
  bool next(Line& line);

  // errno of a failed read, 0 when the input ended normally.
  int error() const { return error_; }
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  bool fill();
  std::size_t nulFrom(std::size_t from) const;

  int fd_;
  UnsharedVector<char> buffer_;  // written while block processes run: not shared with them
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  // The first NUL byte at or after begin_ (end_ when none): one search per
  // read instead of one per line.
  std::size_t nul_ = 0;
  bool eof_ = false;
  int error_ = 0;
  std::uint64_t lineNumber_ = 0;
  std::uint64_t bytesRead_ = 0;
};

}  // namespace qv::cli
