#include "CaseSplitter.h"

#include <algorithm>
#include <utility>

namespace qv::cli {

namespace {
bool HasPrefix(std::string_view text, const char* prefix) { return text.compare(0, 3, prefix) == 0; }

Finding Structural(std::uint64_t line, const char* code, std::string text, std::string value) {
  Finding f;
  f.line = line;
  f.type = 'S';
  f.code = code;
  f.baseText = text;
  f.text = std::move(text);
  f.value = std::move(value);
  return f;
}

constexpr char kLineEnd[] = "\r\n";
}  // namespace

std::string_view FieldOf(std::string_view line, int number) {
  // Field n starts after the nth '|'. Counting all bars is a fast vectorised
  // pass; the walk then starts from the nearer end (field 662 of an MD line
  // is some 35 bars before its end).
  std::size_t start = 0;
  if (number >= 1 && number <= 8) {
    // Near the start (the identity fields of an MB line): no need to count.
    for (int bars = 0; bars < number; ++bars, ++start)
      if ((start = line.find('|', start)) == std::string_view::npos) return {};
    std::size_t stop = line.find('|', start);
    return line.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start);
  }
  const int total = CountBars(line);
  if (number < 1 || number > total) return number == 0 ? line.substr(0, line.find('|')) : std::string_view();
  if (number <= total / 2) {
    for (int bars = 0; bars < number; ++start) bars += line[start] == '|';
  } else {
    start = line.size();
    for (int bars = 0; bars <= total - number;) bars += line[--start] == '|';
    ++start;
  }
  std::size_t stop = line.find('|', start);
  return line.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start);
}

std::string_view CaseNumberIn(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    // Lines end in CR LF.
    std::string_view line = text.substr(at, end - at - (end > at && text[end - 1] == '\r' ? 1 : 0));
    if (line.compare(0, 3, "MD|") == 0) {
      std::string_view number = FieldOf(line, 662);
      if (!number.empty()) return number;
    }
    at = end + 1;
  }
  return {};
}

int CountBars(std::string_view text) { return static_cast<int>(std::count(text.begin(), text.end(), '|')); }

CaseSplitter::CaseSplitter(Block& out, SplitTexts texts) : out_(out), texts_(std::move(texts)) {}

void CaseSplitter::addName(std::string_view field, int which) {
  out_.names.append(field.data(), field.size());
  current_.nameSizes[which] = static_cast<std::uint32_t>(field.size());
}

void CaseSplitter::addLine(const Line& line) {
  if (HasPrefix(line.text, "MX|")) {
    closeCase();
    header_.assign(line.text);
    headerLine_ = line.number;
    headerUsed_ = false;
    return;
  }
  if (HasPrefix(line.text, "MB|")) {
    closeCase();
    if (firstMbFields_ == 0) firstMbFields_ = CountBars(line.text);
    open_ = true;
    current_ = WorkItem{};
    current_.isCase = true;
    current_.caseLine = line.number;
    current_.text = out_.text.size();
    current_.lines = out_.lines.size();
    current_.findings = out_.findings.size();
    current_.names = out_.names.size();
    // Fields 1, 2 and 4 are the same in the 90- and the 50-field layout.
    addName(FieldOf(line.text, 1), 0);
    addName(FieldOf(line.text, 2), 1);
    addName(FieldOf(line.text, 4), 2);
    currentHasNul_ = false;
    currentBytes_ = 0;
    keepText_ = true;
    if (!header_.empty()) {
      current_.hasHeader = true;
      current_.headerReported = headerUsed_;
      headerUsed_ = true;
      out_.text.append(header_.data(), header_.size());
      out_.text.append(kLineEnd, 2);
      out_.lines.push_back(headerLine_);
      currentBytes_ = header_.size() + 2;
      // A NUL byte in the header would cut every call that carries it.
      if (header_.find('\0') != std::string::npos) {
        currentHasNul_ = true;
        nulLine_ = headerLine_;
      }
    }
    appendToCase(line);
    return;
  }
  if (open_) {
    // Add-on lines, and anything else, belong to the open case; the library
    // judges their kind and order.
    appendToCase(line);
    return;
  }
  addFinding(Structural(line.number, "S001", texts_.strayLine, std::string(line.text.substr(0, 3))));
}

void CaseSplitter::addFinding(Finding finding) {
  if (open_) {
    out_.findings.push_back(std::move(finding));
    return;
  }
  WorkItem item;
  item.caseLine = finding.line;
  item.findings = out_.findings.size();
  item.findingCount = 1;
  out_.findings.push_back(std::move(finding));
  out_.items.push_back(item);
}

void CaseSplitter::appendToCase(const Line& line) {
  currentBytes_ += line.length + 2;
  if (line.hasNul && !currentHasNul_) {
    currentHasNul_ = true;
    nulLine_ = line.number;
  }
  out_.lines.push_back(line.number);
  if (keepText_ && currentBytes_ < kMaxCallBytes && !currentHasNul_) {
    out_.text.append(line.text.data(), line.text.size());
    out_.text.append(kLineEnd, 2);
    return;
  }
  // Stop keeping the text once the case is too large: it will not be checked.
  if (keepText_) dropText();
  if (current_.nameSizes[3] == 0 && HasPrefix(line.text, "MD|")) addName(FieldOf(line.text, 662), 3);
}

// The case number goes to the names before the text goes.
void CaseSplitter::dropText() {
  addName(CaseNumberIn({out_.text.data() + current_.text, out_.text.size() - current_.text}), 3);
  out_.text.truncate(current_.text);
  keepText_ = false;
}

void CaseSplitter::closeCase() {
  if (!open_) return;
  open_ = false;
  if (keepText_ && (currentHasNul_ || currentBytes_ >= kMaxCallBytes)) dropText();
  if (currentHasNul_) {
    out_.findings.push_back(Structural(nulLine_, "S004", texts_.nulByte, ""));
  } else if (currentBytes_ >= kMaxCallBytes) {
    std::string text = texts_.tooLarge;
    std::size_t at = text.find("{bytes}");
    if (at != std::string::npos) text.replace(at, 7, std::to_string(currentBytes_));
    out_.findings.push_back(Structural(current_.caseLine, "S002", text, std::to_string(currentBytes_)));
  } else {
    current_.check = true;
    current_.textSize = out_.text.size() - current_.text;
    out_.text.push_back('\0');
  }
  current_.lineCount = out_.lines.size() - current_.lines;
  current_.findingCount = out_.findings.size() - current_.findings;
  out_.items.push_back(current_);
}

void CaseSplitter::finish() { closeCase(); }

void CaseSplitter::moveOpenCase(Block& next) {
  if (!open_) return;
  auto move = [](auto& from, auto& to, std::size_t& offset) {
    std::size_t at = to.size();
    to.append(from.data() + offset, from.size() - offset);
    from.truncate(offset);
    offset = at;
  };
  move(out_.text, next.text, current_.text);
  move(out_.lines, next.lines, current_.lines);
  move(out_.names, next.names, current_.names);
  std::size_t at = next.findings.size();
  for (std::size_t i = current_.findings; i < out_.findings.size(); ++i) next.findings.push_back(std::move(out_.findings[i]));
  out_.findings.resize(current_.findings);
  current_.findings = at;
}

}  // namespace qv::cli
