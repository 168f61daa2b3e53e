#include "support/Fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Ix5Codec.h"
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "foundation/tBuffer.h"
#include "quorvant.h"
#include "rules/RuleInfo.h"

namespace fs = std::filesystem;

namespace qvtest {

namespace {

constexpr const char* kTestFormat = "{{SYS.MsgType}}|{{SYS.ErrorNr}}|{{SYS.LineNr}}|{{SYS.InvalidData}}\r\n";

// A new temporary directory, removed by RemoveDirectory.
std::string NewDirectory() {
  char pattern[] = "/tmp/qvtest-XXXXXX";
  EXPECT_NE(mkdtemp(pattern), nullptr) << "cannot make a temporary directory";
  return std::string(pattern) + "/";
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
void WriteMessageFiles(const std::string& dir) {
  std::map<int, qv::RuleInfo> byNumber;
  for (const qv::RuleInfo& r : qv::AllRules()) byNumber.emplace(r.Msg, r);
  std::string de = "Code\tTyp\tText\n", fr = "Code\tType\tTexte\n";
  for (int n = 0; n <= 408; ++n) {
    const auto it = byNumber.find(n);
    if (it == byNumber.end()) {
      de += "R" + std::to_string(n) + "\tH\treserviert\n";
      fr += "R" + std::to_string(n) + "\tH\tr\xe9serv\xe9\n";
      continue;
    }
    // Descriptions (from AllRules) are in the library's code page already.
    const std::string row = it->second.Code + std::string("\t") + qv::TypeLetter(it->second.Kind) + "\t";
    de += row + it->second.Description + "\n";
    fr += row + "FR " + it->second.Description + "\n";
  }
  WriteFile(dir + "message_dll_d.txt", de);
  WriteFile(dir + "message_dll_f.txt", fr);
}

// A lookup table: header plus the merged data rows of every fixture file of
// that table, sorted by key (byte order), first row of a key wins.
void WriteLookupTable(const std::string& dir, const std::string& table) {
  std::map<std::string, std::string> rows;
  std::vector<fs::path> files;
  for (auto& e : fs::directory_iterator(fs::path(QV_FIXTURE_DIR) / "lookup" / table))
    if (e.path().extension() == ".tsv") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& f : files) {
    std::vector<std::string> lines = SplitLines(ReadFile(f.string()));
    for (size_t i = 1; i < lines.size(); ++i) {
      if (lines[i].empty() || lines[i][0] == '#') continue;
      std::string row = Latin1(lines[i]);
      rows.emplace(row.substr(0, row.find('\t')), row);
    }
  }
  std::string plain = "Key\n";
  for (auto& [key, row] : rows) plain += row + "\n";
  qv::ix5::AppendLookupTrailer(plain);
  WriteFile(dir + table + ".ix5", qv::ix5::Encode(plain));
}

}  // namespace

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Text(const qv::tBuffer& b) {
  std::vector<char> out(static_cast<size_t>(b.TotalUsedSize) + 1, '#');
  b.CopyBufferTo(out.data());
  EXPECT_EQ(out.back(), '\0');
  return out.data();
}

TempDir::TempDir() : path_(NewDirectory()) {}

TempDir::~TempDir() { RemoveDirectory(path_); }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  WriteFile(path_ + name, bytes);
  return path_ + name;
}

std::string MakeBaseDirectory() {
  const std::string dir = NewDirectory();
  WriteMessageFiles(dir);
  for (const char* table : {"chop", "icd", "lregio", "natio", "plz", "regio", "wregio", "bur", "vsnr"})
    WriteLookupTable(dir, table);
  for (const char* name : {"fields", "domainkey"})
    WriteFile(dir + name + ".ix5", qv::ix5::Encode(Latin1(ReadFile(QV_FIXTURE_DIR "/" + std::string(name) + ".tsv"))));
  return dir;
}

void RemoveDirectory(const std::string& path) {
  std::error_code ec;
  if (path.rfind("/tmp/qvtest-", 0) == 0) fs::remove_all(path, ec);
}

Handle::Handle() : base_(MakeBaseDirectory()) {
  handle_ = QV_Create(base_.c_str(), 0);
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
    if (line.rfind("S S000 ", 0) == 0) {
      r.Findings.push_back({'S', "S000", 0, line.substr(7)});
      continue;
    }
    // type|code|line|value, where the value may hold '|' itself (a line of
    // another format is kept whole as the code)
    const size_t a = line.find('|'), b = line.find('|', a + 1), c = line.find('|', b + 1);
    if (c == std::string::npos) r.Findings.push_back({'?', line, 0, ""});
    else r.Findings.push_back({line[0], line.substr(a + 1, b - a - 1), std::atoi(&line[b + 1]), line.substr(c + 1)});
  }
  return r;
}

KernelCase::KernelCase() : base_(MakeBaseDirectory()) {
  qv::ClearErrorState();
  source_ = std::make_unique<qv::tDataSource>(base_.c_str(), 'd', nullptr);
  if (qv::GetErrorState() == 0) source_->qv_Create_Lookups(0);
  if (qv::GetErrorState() == 0) source_->LoadFieldInfo(0, "fields.ix5", base_.c_str());
  if (qv::GetErrorState() == 0) source_->CreateRecBuffer(10000);
  EXPECT_EQ(qv::GetErrorState(), 0) << qv::GetLastErrorText();
}

KernelCase::~KernelCase() {
  source_.reset();
  RemoveDirectory(base_);
}

int KernelCase::Run(const std::string& data) {
  qv::ClearErrorState();
  if (source_->LoadRecBuffer(data.c_str()) != 1) return -1;
  return source_->qv_ProcessData();
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
