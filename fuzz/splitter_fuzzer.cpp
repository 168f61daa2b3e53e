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

  std::vector<WorkItem> items;
  CaseSplitter splitter(items, {"stray", "too large: {bytes}", "nul"});
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
  for (const WorkItem& item : items) {
    if (item.caseLine < previous || item.caseLine > lines) std::abort();
    previous = item.caseLine;
    if (item.check == item.data.empty()) std::abort();
    if (!item.check) continue;
    if (item.data.size() >= CaseSplitter::kMaxCallBytes) std::abort();
    if (item.data.find('\0') != std::string::npos) std::abort();
    if (item.data.compare(item.data.size() - 2, 2, "\r\n") != 0) std::abort();
    std::size_t callLines = 0;
    for (std::size_t at = item.data.find("\r\n"); at != std::string::npos; at = item.data.find("\r\n", at + 2))
      ++callLines;
    if (callLines != item.lineMap.size()) std::abort();
  }
  return 0;
}
