#include "CaseSplitter.h"

#include <algorithm>
#include <utility>

#include "TextCoding.h"

namespace qv::cli {

namespace {
bool HasPrefix(const std::string& text, const char* prefix) { return text.compare(0, 3, prefix) == 0; }

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
}  // namespace

std::string FieldOf(const std::string& line, int number) {
  // Field n starts after the nth '|'. Counting all bars is a fast vectorised
  // pass; the walk then starts from the nearer end (field 662 of an MD line
  // is some 35 bars before its end).
  std::size_t start = 0;
  if (number >= 1 && number <= 8) {
    // Near the start (the identity fields of an MB line): no need to count.
    for (int bars = 0; bars < number; ++bars, ++start)
      if ((start = line.find('|', start)) == std::string::npos) return "";
    std::size_t stop = line.find('|', start);
    return line.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
  }
  const int total = CountBars(line);
  if (number < 1 || number > total) return number == 0 ? line.substr(0, line.find('|')) : "";
  if (number <= total / 2) {
    for (int bars = 0; bars < number; ++start) bars += line[start] == '|';
  } else {
    start = line.size();
    for (int bars = 0; bars <= total - number;) bars += line[--start] == '|';
    ++start;
  }
  std::size_t stop = line.find('|', start);
  return line.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

int CountBars(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '|'));
}

CaseSplitter::CaseSplitter(std::vector<WorkItem>& out, SplitTexts texts) : out_(out), texts_(std::move(texts)) {}

void CaseSplitter::addLine(const Line& line) {
  if (HasPrefix(line.text, "MX|")) {
    closeCase();
    header_ = line.text;
    headerLine_ = line.number;
    headerUsed_ = false;
    return;
  }
  if (HasPrefix(line.text, "MB|")) {
    closeCase();
    if (firstMbFields_ == 0) firstMbFields_ = CountBars(line.text);
    open_ = true;
    current_ = WorkItem{};
    current_.data.reserve(header_.size() + 2048);
    current_.isCase = true;
    current_.caseLine = line.number;
    // Fields 1, 2 and 4 are the same in the 90- and the 50-field layout.
    current_.identity.bur = CodePageToUtf8(FieldOf(line.text, 1));
    current_.identity.site = CodePageToUtf8(FieldOf(line.text, 2));
    current_.identity.linkageCode = CodePageToUtf8(FieldOf(line.text, 4));
    currentHasNul_ = false;
    currentBytes_ = 0;
    if (!header_.empty()) {
      current_.hasHeader = true;
      current_.headerReported = headerUsed_;
      headerUsed_ = true;
      current_.data = header_;
      current_.data += "\r\n";
      current_.lineMap.push_back(headerLine_);
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
    if (HasPrefix(line.text, "MD|") && current_.identity.caseNumber.empty())
      current_.identity.caseNumber = CodePageToUtf8(FieldOf(line.text, 662));
    appendToCase(line);
    return;
  }
  WorkItem stray;
  stray.caseLine = line.number;
  stray.findings.push_back(Structural(line.number, "S001", texts_.strayLine, line.text.substr(0, 3)));
  out_.push_back(std::move(stray));
}

void CaseSplitter::addFinding(Finding finding) {
  if (open_) {
    current_.findings.push_back(std::move(finding));
    return;
  }
  WorkItem item;
  item.caseLine = finding.line;
  item.findings.push_back(std::move(finding));
  out_.push_back(std::move(item));
}

void CaseSplitter::appendToCase(const Line& line) {
  currentBytes_ += line.length + 2;
  if (line.hasNul && !currentHasNul_) {
    currentHasNul_ = true;
    nulLine_ = line.number;
  }
  current_.lineMap.push_back(line.number);
  // Stop keeping the text once the case is too large: it will not be checked.
  if (currentBytes_ < kMaxCallBytes && !currentHasNul_) {
    current_.data += line.text;
    current_.data += "\r\n";
  }
}

void CaseSplitter::closeCase() {
  if (!open_) return;
  open_ = false;
  if (currentHasNul_) {
    current_.data.clear();
    current_.findings.push_back(Structural(nulLine_, "S004", texts_.nulByte, ""));
  } else if (currentBytes_ >= kMaxCallBytes) {
    current_.data.clear();
    std::string text = texts_.tooLarge;
    std::size_t at = text.find("{bytes}");
    if (at != std::string::npos) text.replace(at, 7, std::to_string(currentBytes_));
    current_.findings.push_back(Structural(current_.caseLine, "S002", text, std::to_string(currentBytes_)));
  } else {
    current_.check = true;
  }
  out_.push_back(std::move(current_));
  current_ = WorkItem{};
}

void CaseSplitter::finish() { closeCase(); }

}  // namespace qv::cli
