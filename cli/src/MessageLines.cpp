#include "MessageLines.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace qv::cli {

namespace {
constexpr char kSep = '\x1f';
constexpr const char* kFields =
    "{{SYS.LineNr}}\x1f{{SYS.MsgType}}\x1f{{SYS.ErrorNr}}\x1f{{SYS.ErrorNrS}}\x1f{{SYS.Text0}}\x1f{{SYS.Text1}}\r"
    "{{SYS.InvalidData}}\r";
constexpr const char* kStructuralMark = "S S000 ";

const char* const kSysNames[] = {"Version", "StatYear", "LineNr",  "ErrorNr",  "ErrorNrOld", "ErrorNrS", "MsgType",
                                 "LineNrMX", "LineNrMB", "BUR",    "FID",      "StatTyp",    "HKST",     "KT",
                                 "Text0",   "Text1",    "Text2",   "Text3",    "InvalidData"};

bool IsSysName(const std::string& name) {
  for (const char* n : kSysNames)
    if (name == n) return true;
  return false;
}
}  // namespace

MessageFormat::MessageFormat() : text_(kFields) {}

MessageFormat::MessageFormat(const std::string& hostFormat) : text_(kFields) {
  std::string host = hostFormat;
  if (host.find('\r') == std::string::npos && host.find('\n') == std::string::npos) host += "\r\n";
  int crs = 0;
  for (char c : host) crs += c == '\r';
  hostCrCount_ = crs;
  text_ += host;
  text_ += '\r';
}

std::uint64_t LineMapping::fileLine(long callLine) const {
  if (lines && callLine >= 1 && static_cast<std::size_t>(callLine) <= lineCount)
    return lines[static_cast<std::size_t>(callLine - 1)];
  return caseLine;
}

std::string WithoutLineNumbers(const std::string& text) {
  std::string out = text;
  for (std::size_t at = out.find("line "); at != std::string::npos; at = out.find("line ", at + 1)) {
    std::size_t end = at + 5;
    while (end < out.size() && std::isdigit(static_cast<unsigned char>(out[end]))) ++end;
    if (end > at + 5) out.replace(at + 5, end - at - 5, "...");
  }
  return out;
}

std::string StructuralText(const std::string& errorText, const LineMapping& mapping, std::uint64_t& line) {
  std::string text = errorText;
  if (text.compare(0, 4, "#E: ") == 0) text.erase(0, 4);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  line = mapping.caseLine;
  bool first = true;
  // "in line 3", "on line 3": the library counts lines within the call.
  for (std::size_t at = text.find("line "); at != std::string::npos; at = text.find("line ", at + 1)) {
    std::size_t digits = at + 5;
    std::size_t end = digits;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == digits || end - digits > 9) continue;
    std::uint64_t fileLine = mapping.fileLine(std::atol(text.substr(digits, end - digits).c_str()));
    if (first) line = fileLine;
    first = false;
    std::string replacement = std::to_string(fileLine);
    text.replace(digits, end - digits, replacement);
    at = digits + replacement.size() - 1;
  }
  return text;
}

int FieldNumberIn(const std::string& templateText, const std::string& text) {
  std::size_t at = templateText.find("%i");
  if (at == std::string::npos || text.compare(0, at, templateText, 0, at) != 0) return 0;
  std::size_t end = at;
  while (end < text.size() && end - at < 6 && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  return end > at ? std::atoi(text.c_str() + at) : 0;
}

std::string WithFieldNumber(const std::string& templateText, const std::string& number) {
  std::string out = templateText;
  std::size_t at = out.find("%i");
  if (at != std::string::npos) out.replace(at, 2, number);
  return out;
}

bool ParseMessageList(const char* list, const MessageFormat& format, const LineMapping& mapping,
                      std::vector<Finding>& findings, std::string& hostText) {
  const char* p = list;
  while (*p) {
    if (std::strncmp(p, kStructuralMark, std::strlen(kStructuralMark)) == 0) {
      const char* end = std::strstr(p, "\r\n");
      std::size_t len = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
      Finding f;
      f.type = 'S';
      f.code = "S000";
      f.text = StructuralText(std::string(p + std::strlen(kStructuralMark), len - std::strlen(kStructuralMark)),
                              mapping, f.line);
      f.baseText = WithoutLineNumbers(f.text);
      findings.push_back(std::move(f));
      if (format.withHostLines()) hostText.append(p, end ? len + 2 : len);
      p += end ? len + 2 : len;
      continue;
    }
    const char* cr = std::strchr(p, '\r');
    if (!cr) return false;
    std::string fields(p, cr);
    p = cr + 1;
    cr = std::strchr(p, '\r');
    if (!cr) return false;
    std::string value(p, cr);
    p = cr + 1;
    std::string host;
    if (format.withHostLines()) {
      const char* start = p;
      for (int i = 0; i <= format.hostCrCount(); ++i) {
        cr = std::strchr(p, '\r');
        if (!cr) return false;
        p = cr + 1;
      }
      host.assign(start, p - 1);
    }
    // LineNr, MsgType, ErrorNr, ErrorNrS, then Text0 and Text1.
    std::string part[6];
    std::size_t from = 0;
    for (int i = 0; i < 5; ++i) {
      std::size_t sep = fields.find(kSep, from);
      if (sep == std::string::npos) return false;
      part[i] = fields.substr(from, sep - from);
      from = sep + 1;
    }
    part[5] = fields.substr(from);
    long callLine = std::atol(part[0].c_str());
    if (mapping.dropHeaderFindings && callLine == 1) continue;
    Finding f;
    f.line = mapping.fileLine(callLine);
    f.type = part[1].empty() ? '?' : part[1][0];
    f.code = part[3];
    if (part[2].size() > part[3].size() && part[2].compare(0, part[3].size(), part[3]) == 0)
      f.item = std::atoi(part[2].c_str() + part[3].size());
    f.baseText = std::move(part[4]);
    f.text = std::move(part[5]);
    f.value = std::move(value);
    f.field = FieldNumberIn(f.baseText, f.text);
    findings.push_back(std::move(f));
    hostText += host;
  }
  return true;
}

std::size_t LongestLine(const std::string& format, std::size_t longestText, std::size_t caseBytes) {
  constexpr std::size_t kNumber = 11;      // a decimal int with its sign
  constexpr std::size_t kLabel = 40;       // the longest position label
  constexpr std::size_t kValueText = 127;  // the value text and the case number buffers hold 127 bytes
  std::size_t bytes = 0;
  std::vector<std::string> fieldKeys;
  std::size_t pos = 0;
  for (;;) {
    std::size_t open = format.find("{{", pos);
    std::size_t close = open == std::string::npos ? open : format.find("}}", open + 2);
    if (close == std::string::npos) {
      bytes += format.size() - pos;
      break;
    }
    bytes += open - pos;
    pos = close + 2;
    std::string key = format.substr(open + 2, close - open - 2);
    // The three keys that show an MB field count as that field (MB keys are 1-based).
    if (key == "SYS.KT")
      key = "MB.4";
    else if (key == "SYS.StatTyp")
      key = "MB.6";
    else if (key == "SYS.HKST")
      key = "MB.24";
    if (key.compare(0, 3, "MB.") == 0 || key.compare(0, 3, "MD.") == 0)
      fieldKeys.push_back(key.substr(0, 3) + std::to_string(std::atoi(key.c_str() + 3)));
    else if (key == "SYS.Text0")
      bytes += longestText;
    else if (key == "SYS.Text1" || key == "SYS.Text2")
      bytes += longestText + kLabel + kNumber;
    else if (key == "SYS.InvalidData" || key == "SYS.FID")
      bytes += kValueText;
    else if (key == "SYS.ErrorNr" || key == "SYS.ErrorNrOld")
      bytes += 5 + kNumber;
    else
      bytes += 16;  // version, numbers, type letter, enterprise number
  }
  std::size_t mostUses = 0;
  for (const std::string& key : fieldKeys)
    mostUses =
        std::max<std::size_t>(mostUses, static_cast<std::size_t>(std::count(fieldKeys.begin(), fieldKeys.end(), key)));
  return bytes + mostUses * caseBytes;
}

std::string CheckFormatString(const std::string& format) {
  std::size_t pos = 0;
  for (;;) {
    std::size_t open = format.find("{{", pos);
    if (open == std::string::npos) return "";
    std::size_t close = format.find("}}", open + 2);
    if (close == std::string::npos) return "unterminated key at \"" + format.substr(open) + "\"";
    std::string key = format.substr(open + 2, close - open - 2);
    pos = close + 2;
    std::size_t dot = key.find('.');
    if (dot == std::string::npos) return "key without a point: {{" + key + "}}";
    std::string domain = key.substr(0, dot);
    std::string name = key.substr(dot + 1);
    if (domain == "SYS") {
      if (!IsSysName(name)) return "unknown key {{" + key + "}}";
    } else if (domain == "MB" || domain == "MD") {
      int number = std::atoi(name.c_str());
      int highest = domain == "MB" ? 50 : 692;
      if (number < 1 || number > highest)
        return "field number out of range in {{" + key + "}} (1 to " + std::to_string(highest) + ")";
    } else {
      return "unknown domain in {{" + key + "}} (MB, MD or SYS)";
    }
  }
}

}  // namespace qv::cli
