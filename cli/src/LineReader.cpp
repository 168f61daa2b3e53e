#include "LineReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qv::cli {

LineReader::LineReader(int fd, std::size_t bufferSize) : fd_(fd) { buffer_.resize(bufferSize); }

bool LineReader::fill() {
  if (eof_) return false;
  if (begin_ == end_) begin_ = end_ = 0;
  for (;;) {
    ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (n > 0) {
      end_ += static_cast<std::size_t>(n);
      bytesRead_ += static_cast<std::uint64_t>(n);
      nul_ = nulFrom(begin_);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = errno;
    eof_ = true;
    return false;
  }
}

std::size_t LineReader::nulFrom(std::size_t from) const {
  const void* nul = std::memchr(buffer_.data() + from, '\0', end_ - from);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data()) : end_;
}

bool LineReader::next(Line& line) {
  line.length = 0;
  line.hasNul = false;
  bool any = false;
  bool pieces = false;  // the line is gathered in storage
  char last = 0;
  for (;;) {
    if (begin_ == end_ && !fill()) break;
    any = true;
    const char* start = buffer_.data() + begin_;
    std::size_t avail = end_ - begin_;
    const void* lf = std::memchr(start, '\n', avail);
    std::size_t take = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : avail;
    if (nul_ < begin_ + take) line.hasNul = true;
    if (lf && !pieces) {
      // The whole line is in the buffer: no copy.
      line.text = std::string_view(start, std::min(take, kMaxKept));
    } else {
      if (!pieces) line.storage.clear();
      pieces = true;
      if (line.storage.size() < kMaxKept) line.storage.append(start, std::min(take, kMaxKept - line.storage.size()));
    }
    line.length += take;
    if (take > 0) last = start[take - 1];
    if (lf) {
      begin_ += take + 1;
      if (nul_ < begin_) nul_ = nulFrom(begin_);
      break;
    }
    begin_ = nul_ = end_;  // the line goes on in the next read
  }
  if (!any) return false;
  if (pieces) line.text = line.storage;
  // A CR in front of the LF belongs to the line end, not to the content.
  if (last == '\r') {
    --line.length;
    if (line.text.size() > line.length) line.text.remove_suffix(1);
  }
  line.number = ++lineNumber_;
  return true;
}

}  // namespace qv::cli
