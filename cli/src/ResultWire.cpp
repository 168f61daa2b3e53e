#include "ResultWire.h"

#include <cstdint>
#include <cstring>

namespace qv::cli {

namespace {
void PutU64(std::string& out, std::uint64_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }
void PutI32(std::string& out, std::int32_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }
void PutText(std::string& out, const std::string& text) {
  PutU64(out, text.size());
  out += text;
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

void EncodeResult(const ItemResult& r, std::string& out) {
  out += r.isCase ? '\1' : '\0';
  PutU64(out, r.caseLine);
  PutFindings(out, r.findings);
  PutText(out, r.hostText);
  PutText(out, r.htmlTable);
}

void EncodeWorkItem(const WorkItem& item, std::string& out) {
  out += static_cast<char>((item.isCase ? 1 : 0) | (item.hasHeader ? 2 : 0) | (item.headerReported ? 4 : 0) |
                           (item.check ? 8 : 0));
  PutU64(out, item.caseLine);
  PutText(out, item.data);
  PutU64(out, item.lineMap.size());
  if (!item.lineMap.empty())
    out.append(reinterpret_cast<const char*>(item.lineMap.data()), item.lineMap.size() * sizeof(std::uint64_t));
  PutFindings(out, item.findings);
}

bool DecodeWorkItem(const char* data, std::size_t size, WorkItem& item) {
  Reader rd{data, size, 0};
  char flags = rd.get<char>();
  item.isCase = flags & 1;
  item.hasHeader = flags & 2;
  item.headerReported = flags & 4;
  item.check = flags & 8;
  item.caseLine = rd.get<std::uint64_t>();
  item.data = rd.text();
  std::uint64_t n = rd.get<std::uint64_t>();
  if (!rd.ok || (size - rd.pos) / sizeof(std::uint64_t) < n) return false;
  item.lineMap.resize(n);
  if (n > 0) std::memcpy(item.lineMap.data(), data + rd.pos, n * sizeof(std::uint64_t));
  rd.pos += n * sizeof(std::uint64_t);
  GetFindings(rd, item.findings);
  return rd.ok && rd.pos == size;
}

bool DecodeResult(const std::string& in, std::size_t& pos, ItemResult& r) {
  Reader rd{in.data(), in.size(), pos};
  ItemResult out;
  out.isCase = rd.get<char>() != 0;
  out.caseLine = rd.get<std::uint64_t>();
  GetFindings(rd, out.findings);
  out.hostText = rd.text();
  out.htmlTable = rd.text();
  if (!rd.ok) return false;
  pos = rd.pos;
  r = std::move(out);
  return true;
}

void EncodeBlockJob(const BlockJob& job, const std::vector<WorkItem>& items, std::string& out) {
  PutText(out, job.refDir);
  PutI32(out, job.language);
  out += job.hostLines ? '\1' : '\0';
  PutText(out, job.hostFormat);
  PutI32(out, job.layout);
  PutU64(out, job.sendFrom);
  out += job.flushEach ? '\1' : '\0';
  PutU64(out, job.skip.size());
  for (std::uint64_t i : job.skip) PutU64(out, i);
  PutU64(out, items.size());
  for (const WorkItem& item : items) {
    std::size_t at = out.size();
    PutU64(out, 0);
    EncodeWorkItem(item, out);
    std::uint64_t length = out.size() - at - sizeof length;
    std::memcpy(&out[at], &length, sizeof length);
  }
}

bool DecodeBlockJob(const std::string& in, BlockJob& job, std::vector<WorkItem>& items) {
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
  std::uint64_t count = rd.get<std::uint64_t>();
  items.clear();
  for (std::uint64_t i = 0; rd.ok && i < count; ++i) {
    std::uint64_t length = rd.get<std::uint64_t>();
    if (!rd.ok || rd.size - rd.pos < length) return false;
    items.emplace_back();
    if (!DecodeWorkItem(rd.data + rd.pos, static_cast<std::size_t>(length), items.back())) return false;
    rd.pos += static_cast<std::size_t>(length);
  }
  return rd.ok && rd.pos == rd.size;
}

void AppendResultRecord(const ItemResult& result, std::string& out) {
  std::size_t at = out.size();
  PutU64(out, 0);
  EncodeResult(result, out);
  std::uint64_t length = out.size() - at - sizeof length;
  std::memcpy(&out[at], &length, sizeof length);
}

int TakeResultRecord(const std::string& in, std::size_t& pos, ItemResult& result) {
  std::uint64_t length = 0;
  if (in.size() - pos < sizeof length) return 0;
  std::memcpy(&length, in.data() + pos, sizeof length);
  if (in.size() - pos - sizeof length < length) return 0;
  std::size_t at = pos + sizeof length;
  std::size_t end = at + static_cast<std::size_t>(length);
  if (!DecodeResult(in, at, result) || at != end) return -1;
  pos = end;
  return 1;
}

}  // namespace qv::cli
