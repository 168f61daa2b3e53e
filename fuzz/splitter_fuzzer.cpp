// libFuzzer target: arbitrary input files for the checker's line reader and
// case splitter. Every case handed to the library must be shorter than its
// call limit, end in CR LF, carry one file line per call line and hold no
// NUL byte; file lines only grow.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CaseSplitter.h"
#include "LineReader.h"

using namespace qv::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input goes through a pipe, as standard input would; a pipe holds 64 KiB.
  if (size > 65536) return 0;
  int fds[2];
  if (::pipe(fds) != 0) std::abort();
  if (size > 0 && ::write(fds[1], data, size) != static_cast<ssize_t>(size)) std::abort();
  ::close(fds[1]);

  Block block;
  CaseSplitter splitter(block, {"stray", "too large: {bytes}", "nul"});
  LineReader reader(fds[0], 64);  // a small buffer, so that lines cross refills
  Line line;
  std::uint64_t lines = 0;
  while (reader.next(line)) {
    if (line.number != ++lines || line.text.size() > line.length) std::abort();
    splitter.addLine(line);
  }
  splitter.finish();
  ::close(fds[0]);
  if (reader.error() != 0) std::abort();

  std::uint64_t previous = 0;
  for (const WorkItem& item : block.items) {
    if (item.caseLine < previous || item.caseLine > lines) std::abort();
    previous = item.caseLine;
    const std::string data(block.textOf(item));
    if (item.check == data.empty()) std::abort();
    if (!item.check) continue;
    if (data.size() >= CaseSplitter::kMaxCallBytes) std::abort();
    if (data.find('\0') != std::string::npos || block.text[item.text + item.textSize] != '\0') std::abort();
    if (data.compare(data.size() - 2, 2, "\r\n") != 0) std::abort();
    std::size_t callLines = 0;
    for (std::size_t at = data.find("\r\n"); at != std::string::npos; at = data.find("\r\n", at + 2)) ++callLines;
    if (callLines != item.lineCount) std::abort();
  }
  return 0;
}
