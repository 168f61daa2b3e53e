#include "support/Fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Ix5Codec.h"
#include "quorvant.h"
#include "rules/RuleInfo.h"

namespace fs = std::filesystem;

namespace qvtest {

namespace {

constexpr const char* kTestFormat = "{{SYS.MsgType}}|{{SYS.ErrorNr}}|{{SYS.LineNr}}|{{SYS.InvalidData}}\r\n";

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

std::string Latin1(const std::string& utf8) {
  std::string out, error;
  if (!qv::ix5::Utf8ToLatin1(utf8, out, error)) ADD_FAILURE() << "fixture text: " << error;
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The message files: one row per number 0..408, from the rule catalogue.
void WriteMessageFiles(const fs::path& dir) {
  std::map<int, qv::RuleInfo> byNumber;
  for (const qv::RuleInfo& r : qv::AllRules()) byNumber.emplace(r.Msg, r);
  std::string de = "Code\tTyp\tText\n", fr = "Code\tType\tTexte\n";
  for (int n = 0; n <= 408; ++n) {
    auto it = byNumber.find(n);
    if (it == byNumber.end()) {
      de += "R" + std::to_string(n) + "\tH\treserviert\n";
      fr += "R" + std::to_string(n) + "\tH\tr\xe9serv\xe9\n";
      continue;
    }
    const qv::RuleInfo& r = it->second;
    std::string type(1, qv::TypeLetter(r.Kind));
    // Descriptions (from AllRules) are in the library's code page already.
    de += std::string(r.Code) + "\t" + type + "\t" + r.Description + "\n";
    fr += std::string(r.Code) + "\t" + type + "\tFR " + r.Description + "\n";
  }
  WriteFile(dir / "message_dll_d.txt", de);
  WriteFile(dir / "message_dll_f.txt", fr);
}

// A lookup table: header plus the merged data rows of every fixture file of
// that table, sorted by key (byte order), first row of a key wins.
void WriteLookupTable(const fs::path& dir, const std::string& table) {
  std::map<std::string, std::string> rows;
  std::string header = "Key\n";
  fs::path src = fs::path(QV_FIXTURE_DIR) / "lookup" / table;
  std::vector<fs::path> files;
  if (fs::exists(src))
    for (auto& e : fs::directory_iterator(src))
      if (e.path().extension() == ".tsv") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& f : files) {
    std::vector<std::string> lines = SplitLines(ReadFile(f));
    for (size_t i = 1; i < lines.size(); ++i) {
      if (lines[i].empty() || lines[i][0] == '#') continue;
      std::string row = Latin1(lines[i]);
      rows.emplace(row.substr(0, row.find('\t')), row);
    }
  }
  std::string plain = header;
  for (auto& [key, row] : rows) plain += row + "\n";
  qv::ix5::AppendLookupTrailer(plain);
  WriteFile(dir / (table + ".ix5"), qv::ix5::Encode(plain));
}

}  // namespace

std::vector<std::string> Result::Codes() const {
  std::vector<std::string> codes;
  for (const Finding& f : Findings) codes.push_back(f.Code);
  return codes;
}

std::string MakeBaseDirectory() {
  char pattern[] = "/tmp/qvtest-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (!made) {
    ADD_FAILURE() << "cannot make a temporary directory";
    return "./";
  }
  fs::path dir(made);
  WriteMessageFiles(dir);
  for (const char* table : {"chop", "icd", "lregio", "natio", "plz", "regio", "wregio", "bur", "vsnr"})
    WriteLookupTable(dir, table);
  fs::path fixtures(QV_FIXTURE_DIR);
  WriteFile(dir / "fields.ix5", qv::ix5::Encode(Latin1(ReadFile(fixtures / "fields.tsv"))));
  WriteFile(dir / "domainkey.ix5", qv::ix5::Encode(Latin1(ReadFile(fixtures / "domainkey.tsv"))));
  return dir.string() + "/";
}

void RemoveDirectory(const std::string& path) {
  std::error_code ec;
  if (path.rfind("/tmp/qvtest-", 0) == 0) fs::remove_all(path, ec);
}

Handle::Handle(int language) : base_(MakeBaseDirectory()) {
  handle_ = QV_Create(base_.c_str(), language);
  EXPECT_NE(handle_, 0xFFFFFFFFu) << "QV_Create failed on " << base_;
  QV_setFormatString(kTestFormat);
}

Handle::~Handle() {
  if (handle_ != 0xFFFFFFFFu) QV_Destroy(handle_);
  RemoveDirectory(base_);
}

Result Handle::Check(const std::string& data) {
  Result r;
  r.Count = QV_TestRec(handle_, data.c_str(), 0, 0);
  std::vector<char> list(static_cast<size_t>(r.Count > 0 ? r.Count : 0) * 16384 + 1);
  r.Status = QV_GetMessageList(handle_, &r.Errors, &r.Warnings, &r.Hints, &r.Controls, &r.Structs, list.data());
  r.List = list.data();
  for (const std::string& line : SplitLines(r.List)) {
    if (line.empty()) continue;
    Finding f{};
    if (line.rfind("S S000 ", 0) == 0) {
      f.Type = 'S';
      f.Code = "S000";
      f.Value = line.substr(7);
    } else {
      std::vector<std::string> parts;
      std::stringstream s(line);
      std::string part;
      while (std::getline(s, part, '|')) parts.push_back(part);
      while (parts.size() < 4) parts.emplace_back();
      f.Type = parts[0].empty() ? '?' : parts[0][0];
      f.Code = parts[1];
      f.Line = std::atoi(parts[2].c_str());
      f.Value = parts[3];
      for (size_t i = 4; i < parts.size(); ++i) f.Value += "|" + parts[i];
    }
    r.Findings.push_back(f);
  }
  return r;
}

std::vector<std::string> With(std::vector<std::string> line, const Fields& set) {
  for (const auto& [n, v] : set) {
    if (static_cast<size_t>(n) >= line.size()) line.resize(static_cast<size_t>(n) + 1);
    line[static_cast<size_t>(n)] = v;
  }
  return line;
}

std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& f : fields) line += f + "|";
  return line + "\r\n";
}

std::string Case(const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& l : lines) data += l;
  return data;
}

}  // namespace qvtest
