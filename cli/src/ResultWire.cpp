#include "ResultWire.h"

#include <cstdint>
#include <cstring>

namespace qv::cli {

namespace {
void PutU64(std::string& out, std::uint64_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }
void PutI32(std::string& out, std::int32_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }
void PutText(std::string& out, const std::string& text) {
  PutU64(out, text.size());
  if (!text.empty()) out += text;
}

struct Reader {
  const char* data;
  std::size_t size;
  std::size_t pos;
  bool ok = true;

  template <typename T>
  T get() {
    T v{};
    if (!ok || size - pos < sizeof v) {
      ok = false;
      return v;
    }
    std::memcpy(&v, data + pos, sizeof v);
    pos += sizeof v;
    return v;
  }
  std::string text() {
    std::uint64_t n = get<std::uint64_t>();
    if (!ok || size - pos < n) {
      ok = false;
      return {};
    }
    std::string s(data + pos, static_cast<std::size_t>(n));
    pos += static_cast<std::size_t>(n);
    return s;
  }
};

void PutFindings(std::string& out, const std::vector<Finding>& findings) {
  PutU64(out, findings.size());
  for (const Finding& f : findings) {
    PutU64(out, f.line);
    out += f.type;
    PutText(out, f.code);
    PutI32(out, f.item);
    PutText(out, f.text);
    PutText(out, f.baseText);
    PutText(out, f.value);
    PutI32(out, f.field);
  }
}

void GetFindings(Reader& rd, std::vector<Finding>& findings) {
  findings.clear();
  std::uint64_t n = rd.get<std::uint64_t>();
  for (std::uint64_t i = 0; rd.ok && i < n; ++i) {
    Finding f;
    f.line = rd.get<std::uint64_t>();
    f.type = rd.get<char>();
    f.code = rd.text();
    f.item = rd.get<std::int32_t>();
    f.text = rd.text();
    f.baseText = rd.text();
    f.value = rd.text();
    f.field = rd.get<std::int32_t>();
    findings.push_back(std::move(f));
  }
}

}  // namespace

void EncodeResult(const ItemOutcome& r, std::string& out) {
  // Flag and case line in one piece (a block process writes one per item).
  char head[1 + sizeof(std::uint64_t)];
  head[0] = r.isCase ? '\1' : '\0';
  std::memcpy(head + 1, &r.caseLine, sizeof r.caseLine);
  out.append(head, sizeof head);
  PutFindings(out, r.findings);
  PutText(out, r.hostText);
  PutText(out, r.htmlTable);
}

namespace {
// An array of the block as its count, then its values' bytes.
template <typename T>
void PutArray(std::string& out, const UnsharedVector<T>& values) {
  PutU64(out, values.size());
  out.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

template <typename T>
void GetArray(Reader& rd, UnsharedVector<T>& values) {
  std::uint64_t n = rd.get<std::uint64_t>();
  values.clear();
  if (!rd.ok || (rd.size - rd.pos) / sizeof(T) < n) {
    rd.ok = false;
    return;
  }
  values.append(reinterpret_cast<const T*>(rd.data + rd.pos), static_cast<std::size_t>(n));
  rd.pos += static_cast<std::size_t>(n) * sizeof(T);
}

bool Within(std::size_t offset, std::size_t count, std::size_t size) { return offset <= size && count <= size - offset; }

// Whether every item points inside the block's arrays, its call text followed by a NUL.
bool ItemsFit(const Block& block) {
  for (const WorkItem& item : block.items) {
    std::size_t names = 0;
    for (std::uint32_t size : item.nameSizes) names += size;
    if (!Within(item.lines, item.lineCount, block.lines.size()) ||
        !Within(item.findings, item.findingCount, block.findings.size()) ||
        !Within(item.names, names, block.names.size()))
      return false;
    if (item.check && (!Within(item.text, item.textSize + 1, block.text.size()) ||
                       block.text[item.text + item.textSize] != '\0'))
      return false;
  }
  return true;
}
}  // namespace

bool DecodeResult(const char* in, std::size_t size, std::size_t& pos, ItemOutcome& r) {
  Reader rd{in, size, pos};
  r.isCase = rd.get<char>() != 0;
  r.caseLine = rd.get<std::uint64_t>();
  GetFindings(rd, r.findings);
  r.hostText = rd.text();
  r.htmlTable = rd.text();
  if (!rd.ok) return false;
  pos = rd.pos;
  return true;
}

void EncodeBlockJob(const BlockJob& job, const Block& block, std::string& out) {
  PutText(out, job.refDir);
  PutI32(out, job.language);
  out += job.hostLines ? '\1' : '\0';
  PutText(out, job.hostFormat);
  PutI32(out, job.layout);
  PutU64(out, job.sendFrom);
  out += job.flushEach ? '\1' : '\0';
  PutU64(out, job.skip.size());
  for (std::uint64_t i : job.skip) PutU64(out, i);
  PutArray(out, block.items);
  PutArray(out, block.text);
  PutArray(out, block.lines);
  PutArray(out, block.names);
  PutFindings(out, block.findings);
}

bool DecodeBlockJob(const std::string& in, BlockJob& job, Block& block) {
  Reader rd{in.data(), in.size(), 0};
  job.refDir = rd.text();
  job.language = rd.get<std::int32_t>();
  job.hostLines = rd.get<char>() != 0;
  job.hostFormat = rd.text();
  job.layout = rd.get<std::int32_t>();
  job.sendFrom = rd.get<std::uint64_t>();
  job.flushEach = rd.get<char>() != 0;
  std::uint64_t skipped = rd.get<std::uint64_t>();
  job.skip.clear();
  for (std::uint64_t i = 0; rd.ok && i < skipped; ++i) job.skip.push_back(rd.get<std::uint64_t>());
  GetArray(rd, block.items);
  GetArray(rd, block.text);
  GetArray(rd, block.lines);
  GetArray(rd, block.names);
  GetFindings(rd, block.findings);
  return rd.ok && rd.pos == rd.size && ItemsFit(block);
}

void AppendResultRecord(const ItemOutcome& result, std::string& out) {
  std::size_t at = out.size();
  PutU64(out, 0);
  EncodeResult(result, out);
  std::uint64_t length = out.size() - at - sizeof length;
  std::memcpy(&out[at], &length, sizeof length);
}

int TakeResultRecord(const char* in, std::size_t size, std::size_t& pos, ItemOutcome& result) {
  std::uint64_t length = 0;
  if (size - pos < sizeof length) return 0;
  std::memcpy(&length, in + pos, sizeof length);
  if (size - pos - sizeof length < length) return 0;
  std::size_t at = pos + sizeof length;
  std::size_t end = at + static_cast<std::size_t>(length);
  // The record says where it ends: its bytes must hold exactly one result.
  if (!DecodeResult(in, end, at, result) || at != end) return -1;
  pos = end;
  return 1;
}

}  // namespace qv::cli
