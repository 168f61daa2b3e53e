#include "Selection.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace qv::cli {

namespace {
bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWithAny(const std::string& code, const std::vector<std::string>& prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) { return StartsWith(code, p); });
}

// Splits a comma-separated list into upper-case entries, without blanks.
std::vector<std::string> Entries(const std::string& list) {
  std::vector<std::string> out;
  std::string entry;
  for (char c : list + ",") {
    if (c == ',') {
      if (!entry.empty()) out.push_back(entry);
      entry.clear();
    } else if (!std::isspace(static_cast<unsigned char>(c))) {
      entry += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return out;
}
}  // namespace

std::string Selection::set(const std::string& select, const std::string& ignore, const std::string& types,
                           const std::vector<std::string>& catalogue) {
  select_ = Entries(select);
  ignore_ = Entries(ignore);
  std::string unknown;
  for (const auto* list : {&select_, &ignore_})
    for (const std::string& prefix : *list)
      if (std::none_of(catalogue.begin(), catalogue.end(), [&](const std::string& c) { return StartsWith(c, prefix); }))
        unknown += (unknown.empty() ? "" : ", ") + prefix;
  if (!unknown.empty()) return "unknown code(s) in --select/--ignore: " + unknown + " (codes of the message catalogue)";
  types_.clear();
  for (const std::string& entry : Entries(types)) {
    for (char t : entry) {
      if (std::string("EWHCS").find(t) == std::string::npos)
        return "unknown type '" + std::string(1, t) + "' in --types (E, W, H, C or S)";
      if (types_.find(t) == std::string::npos) types_ += t;
    }
  }
  return "";
}

bool Selection::shows(const Finding& f) const {
  if (!types_.empty() && types_.find(f.type) == std::string::npos) return false;
  if (!select_.empty() && !StartsWithAny(f.code, select_)) return false;
  return !StartsWithAny(f.code, ignore_);
}

MessageCatalogue ReadCatalogue(const std::string& messageFile) {
  MessageCatalogue catalogue;
  catalogue.codes = {"S000", "S001", "S002", "S003", "S004", "S005", "S006", "S007", "S008"};
  std::ifstream in(messageFile, std::ios::binary);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::size_t tab = line.find('\t');
    std::string code = line.substr(0, tab);
    if (!code.empty() && code != "RESRV") catalogue.codes.push_back(code.substr(0, 5));
    std::size_t text = tab == std::string::npos ? std::string::npos : line.find('\t', tab + 1);
    if (text != std::string::npos && line.size() - text - 1 > catalogue.longestText)
      catalogue.longestText = line.size() - text - 1;
  }
  return catalogue;
}

}  // namespace qv::cli
