// The description file mkref writes into each base directory it makes: what
// the tables are (a name, the statistics year or "sample"), the lines of every
// file and a checksum over them. The library does not read it; the checker
// shows it ("quorvant ref-info") and names it in every summary.
//
//   # quorvant reference data description ...
//   name: <text>
//   year: <statistics year or "sample">
//   lines <file>: <count>          one per stored file, in checksum order
//   checksum: <16 hex digits>      FNV-1a 64 over each file's name and bytes
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace qv::ref {

constexpr const char* kDescriptionFile = "description.txt";
constexpr const char* kSampleYear = "sample";

struct Description {
  std::string name;
  std::string year;
  std::vector<std::pair<std::string, std::uint64_t>> lines;  // file name, line count
  std::string checksum;
};

// Line ends in a stored file: the .ix5 files are shifted by 13, so their LF is 23.
inline std::uint64_t CountLines(const std::string& name, const std::string& stored) {
  const bool shifted = name.size() > 4 && name.compare(name.size() - 4, 4, ".ix5") == 0;
  const char lf = shifted ? static_cast<char>(10 + 13) : '\n';
  std::uint64_t n = 0;
  for (char c : stored) n += c == lf;
  return n;
}

// Running checksum; feed each file's name, then its bytes, in the listed order.
struct Checksum {
  std::uint64_t value = 1469598103934665603ull;
  void add(const std::string& bytes) {
    for (unsigned char c : bytes) value = (value ^ c) * 1099511628211ull;
  }
  std::string hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
  }
};

inline std::string FormatDescription(const Description& d) {
  std::string text = "# quorvant reference data description, written by mkref; the library does not read it\n";
  text += "name: " + d.name + "\nyear: " + d.year + "\n";
  for (const auto& [file, count] : d.lines) text += "lines " + file + ": " + std::to_string(count) + "\n";
  return text + "checksum: " + d.checksum + "\n";
}

// Returns an empty text, else "line N: reason".
inline std::string ParseDescription(const std::string& text, Description& d) {
  std::size_t pos = 0;
  for (int number = 1; pos < text.size(); ++number) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::size_t colon = line.find(": ");
    if (colon == std::string::npos) return "line " + std::to_string(number) + ": expected \"key: value\"";
    std::string key = line.substr(0, colon), value = line.substr(colon + 2);
    if (key == "name") {
      d.name = value;
    } else if (key == "year") {
      d.year = value;
    } else if (key == "checksum") {
      d.checksum = value;
    } else if (key.compare(0, 6, "lines ") == 0 && !value.empty() &&
               value.find_first_not_of("0123456789") == std::string::npos && value.size() < 19) {
      d.lines.emplace_back(key.substr(6), std::stoull(value));
    } else {
      return "line " + std::to_string(number) + ": unknown entry \"" + line + "\"";
    }
  }
  if (d.year.empty() || d.checksum.empty() || d.lines.empty()) return "year, lines or checksum missing";
  return "";
}

}  // namespace qv::ref
