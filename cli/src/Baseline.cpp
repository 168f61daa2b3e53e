#include "Baseline.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

namespace qv::cli {

namespace {
constexpr std::size_t kKeyFields = 7;

std::string Escape(const std::string& text) {
  std::string out;
  if (!text.empty() && text[0] == '#') out += '\\';
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool Unescape(const std::string& text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case '#':
        out += '#';
        break;
      default:
        return false;
    }
  }
  return true;
}

std::string ItemText(int item) { return item >= 0 ? std::to_string(item) : "-"; }

// The seven key fields, escaped and joined by TAB: the same text for the
// writer and for the matching.
std::string Key(const std::vector<std::string>& fields) {
  std::string key;
  for (std::size_t i = 0; i < fields.size(); ++i) key += (i ? "\t" : "") + Escape(fields[i]);
  return key;
}

// The library's reason for a rejected case (S000) names the file line; line
// numbers move with every export, so they are left out of the key.
std::string WithoutLineNumbers(const std::string& value) {
  static const std::string kLine = "line ";
  std::string out;
  std::size_t at = 0;
  for (std::size_t found; (found = value.find(kLine, at)) != std::string::npos;) {
    std::size_t digits = found + kLine.size();
    std::size_t end = digits;
    while (end < value.size() && std::isdigit(static_cast<unsigned char>(value[end]))) ++end;
    out.append(value, at, digits - at);
    if (end > digits) out += 'N';
    at = end;
  }
  return out + value.substr(at);
}

std::vector<std::string> KeyFields(const CaseIdentity& id, const Finding& f) {
  const std::string value = f.type == 'S' ? WithoutLineNumbers(f.value) : f.value;
  return {id.bur, id.site, id.linkageCode, id.caseNumber, f.code, ItemText(f.item), value};
}

bool ValidCode(const std::string& code) {
  if (code.empty()) return false;
  for (unsigned char c : code)
    if (!std::isupper(c) && !std::isdigit(c)) return false;
  return true;
}

bool ValidItem(const std::string& item) {
  if (item == "-") return true;
  if (item.empty() || item.size() > 6) return false;
  for (unsigned char c : item)
    if (!std::isdigit(c)) return false;
  return true;
}
}  // namespace

const char* BaselineHeader() {
  return "# quorvant baseline: accepted findings, one per line, left out of later runs.\n"
         "# Fields (TAB-separated): bur, site, linkage code, case number, code, item, value;\n"
         "# after them a comment (type and text). Delete a line to see its finding again.\n";
}

std::string BaselineLine(const CaseIdentity& identity, const Finding& finding) {
  std::string comment = finding.text;
  for (char& c : comment)
    if (c == '\n' || c == '\r') c = ' ';
  return Key(KeyFields(identity, finding)) + "\t# " + finding.type + " " + comment + "\n";
}

std::string Baseline::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return path + ": cannot read the baseline file";
  std::stringstream s;
  s << in.rdbuf();
  return parse(s.str(), path);
}

std::string Baseline::parse(const std::string& text, const std::string& fileName) {
  std::istringstream in(text);
  std::string line;
  for (std::uint64_t number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    auto fail = [&](const std::string& why) { return fileName + ":" + std::to_string(number) + ": " + why; };
    std::vector<std::string> fields;
    std::size_t begin = 0;
    while (fields.size() < kKeyFields) {
      std::size_t tab = line.find('\t', begin);
      fields.push_back(line.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin));
      begin = tab == std::string::npos ? std::string::npos : tab + 1;
      if (begin == std::string::npos) break;
    }
    if (fields.size() < kKeyFields)
      return fail("expected 7 TAB-separated fields (bur, site, linkage code, case number, code, item, value), found " +
                  std::to_string(fields.size()));
    if (begin != std::string::npos && line.compare(begin, 1, "#") != 0)
      return fail("text after the seven fields must be a comment starting with '#'");
    for (std::string& field : fields) {
      std::string plain;
      if (!Unescape(field, plain)) return fail("bad escape in \"" + field + "\" (\\\\, \\t, \\r, \\n or \\# only)");
      field = plain;
    }
    if (!ValidCode(fields[4])) return fail("invalid code \"" + fields[4] + "\"");
    if (!ValidItem(fields[5])) return fail("invalid item \"" + fields[5] + "\" (a number or -)");
    if (fields[5] != "-") fields[5] = std::to_string(std::stoi(fields[5]));
    ++remaining_[Key(fields)];
    ++size_;
  }
  return "";
}

bool Baseline::accept(const CaseIdentity& identity, const Finding& finding) {
  auto it = remaining_.find(Key(KeyFields(identity, finding)));
  if (it == remaining_.end() || it->second == 0) return false;
  --it->second;
  return true;
}

}  // namespace qv::cli
