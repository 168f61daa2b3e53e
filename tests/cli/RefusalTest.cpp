// End-to-end runs of build/quorvant on what it must refuse or survive: bad
// reference directories end the run before it starts (exit 2, one line
// naming the file), hostile inputs and outputs end it cleanly.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>

#include "ProgramFiles.h"

namespace {

namespace fs = std::filesystem;
constexpr std::size_t npos = std::string::npos;

class Refusal : public TempDirTest {
 protected:
  // Runs the program on no input; args are given to the shell as they stand.
  RunResult run(const std::string& args, const std::string& out = "") {
    return RunCommand(dir_, std::string("'") + QV_PROGRAM + "' " + args + " </dev/null", out);
  }

  // A copy of the built reference data, to be damaged.
  fs::path copyOfReference() {
    fs::path ref = fs::path(dir_) / "ref";
    fs::copy(QV_REF_DIR, ref);
    return ref;
  }
};

// A region table of the given number of rows in stored form (shifted, trailer).
std::string RegionTable(int rows) {
  std::string plain = "Key\tde\tfr\n";
  for (int i = 0; i < rows; ++i) plain += "R" + std::to_string(100000 + i) + "\tde\tfr\n";
  plain += "\x1A\x1A\x1A";
  for (char& c : plain) c = static_cast<char>(static_cast<unsigned char>(c) + 13);
  return plain;
}

TEST_F(Refusal, BadReferenceDirectoryEndsTheRunNamingFileAndLimit) {
  // The file, part of the one-line reason and the damaged contents made from
  // the intact ones (none: a directory).
  struct Damage { const char *File, *Reason; std::function<std::string(const std::string&)> Contents; } damages[] = {
      {"message_dll_d.txt", "the file is empty", [](const std::string&) { return std::string(); }},
      {"message_dll_f.txt", "only 99 message rows; numbers 0 to 408 need a row each",
       [](const std::string& text) {
         std::size_t at = 0;
         for (int i = 0; i < 100; ++i) at = text.find('\n', at) + 1;
         return text.substr(0, at);
       }},
      {"message_dll_d.txt", "only 0 message rows", [](const std::string&) { return std::string(3000, '\0'); }},
      {"regio.ix5", "the library has 64000 record slots", [](const std::string&) { return RegionTable(67000); }},
      {"formatString.txt", "not a regular file", nullptr},
      {"icd.ix5", ": not read (a lookup table ends with three bytes",
       [](const std::string& text) { return text.substr(0, text.size() - 4); }},
  };
  for (const Damage& d : damages) {
    const fs::path ref = copyOfReference();
    if (d.Contents) WriteFile((ref / d.File).string(), d.Contents(Slurp((ref / d.File).string())));
    else fs::create_directory(ref / d.File);
    RunResult r = run("check --ref '" + ref.string() + "/' " + QV_SAMPLE);
    EXPECT_EQ(r.status, 2) << d.File << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << "no case may be checked";
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_NE(r.err.find("'" + (ref / d.File).string() + "'"), npos) << r.err;
    EXPECT_NE(r.err.find(d.Reason), npos) << r.err;
    fs::remove_all(ref);
  }
  EXPECT_EQ(run(std::string("check --no-summary --ref '") + QV_REF_DIR + "' " + QV_SAMPLE).status, 1);
}

TEST_F(Refusal, HostileInputsAndOutputsEndTheRunCleanly) {
  const fs::path garbage = fs::path(dir_) / "garbage.dat";
  std::string bytes = "MB|" + std::string(90, '|') + "\r\nMD|" + std::string(1, '\0') + "|\r\n";
  for (int i = 0; i < 2000; ++i) bytes += static_cast<char>((i * 7919) % 251 + 1);
  WriteFile(garbage.string(), bytes);
  const fs::path fifo = fs::path(dir_) / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string sample = QV_SAMPLE;
  // A command started in the background first, the arguments, the output file
  // (the test's own when empty), the status and a text in the output (on
  // standard error when the output file is given).
  struct Row { std::string Before, Args, Out; int Status; std::string Expected; } rows[] = {
      {"", "check --no-summary '" + sample + "'", "/dev/full", 2, "cannot write"},
      {"", "check --no-summary '" + dir_ + "'", "/dev/null", 2, "Is a directory"},
      {"", "check --no-summary '" + garbage.string() + "'", "", 1, ":2: S S004 "},
      {"cat '" + sample + "' >'" + fifo.string() + "' &", "check --no-summary '" + fifo.string() + "'", "", 1,
       "fifo:14: case F0000000005: E B1211 "},
  };
  for (const Row& row : rows) {
    if (!row.Before.empty()) {
      ASSERT_EQ(std::system(row.Before.c_str()), 0);
    }
    RunResult r = run(row.Args, row.Out);
    EXPECT_EQ(r.status, row.Status) << row.Args << ": " << r.err;
    EXPECT_NE((row.Out.empty() ? r.out : r.err).find(row.Expected), npos) << row.Args << ": " << r.err;
  }
  // Interrupted while waiting for input that never ends: the run stops at once.
  int input[2];
  ASSERT_EQ(::pipe(input), 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(input[0], STDIN_FILENO);
    ::close(input[1]);
    ::execl(QV_PROGRAM, QV_PROGRAM, "check", "--no-summary", "--no-progress", "-", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(input[0]);
  ::usleep(300000);
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == SIGINT : WEXITSTATUS(status) != 0) << status;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ::close(input[1]);
}

}  // namespace
