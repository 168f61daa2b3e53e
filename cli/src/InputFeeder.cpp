#include "InputFeeder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "LineReader.h"

namespace qv::cli {

namespace {
int LayoutOf(int mbFieldCount) { return mbFieldCount == 0 ? 0 : mbFieldCount == 50 ? 50 : 90; }

// A file's first block grows step by step until it holds this many items;
// then, where the file holds a whole block more at the same rate, it takes
// room for a whole block at once, so that its large arrays are not copied
// and their memory touched afresh at each doubling.
constexpr std::size_t kSampleItems = InputFeeder::kBatchItems / 16;

Block::Sizes Scaled(const Block::Sizes& s, std::size_t factor) {
  return {s.items * factor, s.text * factor, s.lines * factor, s.names * factor, s.findings * factor};
}

Finding Unreadable(std::uint64_t line, const UiTexts& texts, const std::string& reason) {
  Finding f;
  f.line = line;
  f.type = 'S';
  f.code = "S003";
  f.text = f.baseText = Fill(texts.unreadable, "reason", reason);
  return f;
}
}  // namespace

std::string NoCaseReason(const InputFile& file) {
  std::string reason = "'" + file.name + "': no case read: no line starts with \"MB|\"";
  if (file.crInsideLine)
    reason += "; its lines end in CR alone, which is no line end here (convert them to CR LF or LF)";
  return reason;
}

InputFeeder::~InputFeeder() {
  for (InputFile& f : files_)
    if (f.fd > STDIN_FILENO) ::close(f.fd);
}

std::string InputFeeder::open(const std::vector<std::string>& inputs) {
  std::vector<std::string> names = inputs;
  if (names.empty()) names.push_back("-");
  for (const std::string& name : names) {
    InputFile file;
    file.name = name == "-" ? "<stdin>" : name;
    file.path = name;
    file.fd = name == "-" ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY);
    if (file.fd < 0) return "cannot read '" + name + "': " + std::strerror(errno);
    struct stat st;
    if (::fstat(file.fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(file.fd);
      return "cannot read '" + name + "': " + std::strerror(EISDIR);
    }
    files_.push_back(std::move(file));
  }
  return "";
}

std::vector<std::string> InputFeeder::fileNames() const {
  std::vector<std::string> names;
  for (const InputFile& f : files_) names.push_back(f.name);
  return names;
}

bool InputFeeder::run(const BatchFn& batch, const TickFn& tick) {
  for (std::size_t i = 0; i < files_.size(); ++i)
    if (!feed(i, batch, tick)) return false;
  return true;
}

bool InputFeeder::feed(std::size_t index, const BatchFn& batch, const TickFn& tick) {
  InputFile& file = files_[index];
  struct stat st;
  std::uint64_t size = (::fstat(file.fd, &st) == 0 && S_ISREG(st.st_mode)) ? static_cast<std::uint64_t>(st.st_size) : 0;
  Block block;
  auto hand = [&](Block& full) {
    for (const WorkItem& item : full.items) file.cases += item.isCase;
    full.fileIndex = index;
    full.layout = file.layout;
    return batch(std::move(full));
  };
  LineReader reader(file.fd);
  CaseSplitter splitter(block, texts_.split);
  // Auto-detection reads a regular file through once at its first line that
  // is not plain ASCII.
  std::ifstream content;
  if (size > 0 && decoder_.chosen() == InputEncoding::Auto) content.open(file.path, std::ios::binary);
  decoder_.startFile(content.is_open() ? &content : nullptr);
  Line line;
  std::vector<Finding> lineFindings;
  std::uint64_t lastLine = 0;
  bool sized = false;  // the block has taken room for a whole block
  while (reader.next(line)) {
    lastLine = line.number;
    // Only a file without cases says why (NoCaseReason).
    if (splitter.firstMbFieldCount() == 0 && !file.crInsideLine && line.text.find('\r') != std::string::npos)
      file.crInsideLine = true;
    decoder_.decode(line, lineFindings);
    splitter.addLine(line);
    for (Finding& f : lineFindings) splitter.addFinding(std::move(f));
    lineFindings.clear();
    if ((lastLine & 63) == 0) tick(reader.bytesRead(), size);
    if (!sized && block.items.size() >= kSampleItems) {
      const std::size_t factor = kBatchItems / kSampleItems;
      if (reader.bytesRead() * factor <= size) block.reserve(Scaled(block.sizes(), factor));
      sized = true;
    }
    if (block.items.size() >= kBatchItems) {
      if (file.layout == 0) file.layout = LayoutOf(splitter.firstMbFieldCount());
      // The open case goes on in the next block.
      Block next;
      splitter.moveOpenCase(next);
      std::swap(block, next);
      const Block::Sizes full = next.sizes();
      if (!hand(next)) return false;
      // Reserved only now: handing the full block over may have freed the
      // memory of the block before it, which this takes again.
      block.reserve(full);
    }
  }
  splitter.finish();
  file.bytes = reader.bytesRead();
  file.lines = lastLine;
  if (reader.error() != 0) {
    std::string reason = std::strerror(reader.error());
    if (problem_.empty()) problem_ = "cannot read '" + file.name + "': " + reason;
    splitter.addFinding(Unreadable(lastLine + 1, texts_, reason));
  }
  if (file.layout == 0) file.layout = LayoutOf(splitter.firstMbFieldCount());
  if (!block.items.empty() && !hand(block)) return false;
  if (file.cases == 0 && file.bytes > 0 && problem_.empty()) problem_ = NoCaseReason(file);
  return true;
}

}  // namespace qv::cli
