// Files and texts of the program runs: a temporary directory, runs of a
// command, whole files, their lines, parts of a text and counts in it. It
// brings the standard headers for files, texts and commands along.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A test with a fresh temporary directory of its own (dir_), removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/quorvant-test-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

inline std::string Slurp(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// What `write` writes to a stream it is given, as text.
template <typename Write>
std::string Captured(Write write) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  write(out);
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

struct RunResult { int status; std::string out, err; };

// Runs a shell command line; its standard output goes to `out` (a file in
// `dir` when empty) and is read back unless given, standard error to a file.
inline RunResult RunCommand(const std::string& dir, const std::string& command, const std::string& out = "") {
  const std::string o = out.empty() ? dir + "/out" : out;
  int raw = std::system((command + " >'" + o + "' 2>'" + dir + "/err'").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out.empty() ? Slurp(o) : "", Slurp(dir + "/err")};
}

// The parts of text between the separators (lines without their '\n' by default).
inline std::vector<std::string> Split(const std::string& text, char sep = '\n') {
  std::vector<std::string> parts;
  std::stringstream s(text);
  for (std::string part; std::getline(s, part, sep);) parts.push_back(part);
  return parts;
}

inline std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace
