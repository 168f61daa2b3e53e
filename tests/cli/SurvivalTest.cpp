// A run of the quorvant program whose block processes die: one case crashes
// its block process every time (injected with QV_TEST_CRASH_CASE), and one
// block process is killed with SIGKILL from outside while the run goes on.
// The run must end, and its output must be that of the undisturbed run except
// for the crashing case, which alone gets S005.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "ProgramFiles.h"

namespace {

// The children of pid (its block processes).
std::vector<pid_t> Children(pid_t pid) {
  std::vector<pid_t> out;
  std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
  for (long child; in >> child;) out.push_back(static_cast<pid_t>(child));
  return out;
}

struct Outcome {
  int status = -1;      // exit status, -1 when the run had to be stopped
  bool killed = false;  // a block process was killed from outside
};

// Runs the program with the environment entries env ("NAME=VALUE ...", may be empty),
// writing standard output to out; with killAfterMs > 0 a block process that
// lives at that time or later is killed with SIGKILL.
Outcome RunProgram(const std::string& args, const std::string& out, const std::string& env, int killAfterMs) {
  Outcome run;
  pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(out.c_str(), "wb", stdout)) ::_exit(120);
    std::string command = "exec env " + env + " '" + QV_PROGRAM + "' " + args;
    ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    ::_exit(121);
  }
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return run;
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed > std::chrono::seconds(120)) {  // a hang: stop it and fail
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      ADD_FAILURE() << "the run hangs: " << args;
      return run;
    }
    if (killAfterMs > 0 && !run.killed && elapsed > std::chrono::milliseconds(killAfterMs)) {
      std::vector<pid_t> children = Children(pid);
      if (!children.empty()) run.killed = ::kill(children.front(), SIGKILL) == 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

using Survival = TempDirTest;

TEST_F(Survival, DyingBlockProcessesLoseOnlyTheCrashingCase) {
  const std::string& dir = dir_;
  const std::string cases = dir + "/cases.dat";
  ASSERT_EQ(std::system((std::string("'") + QV_GEN_CASES + "' --cases 50000 --seed 3 --fault-rate 0.3 --output '" +
                         cases + "'").c_str()),
            0);
  const std::string args = "check --no-progress --no-summary --format json '" + cases + "'";
  ASSERT_EQ(RunProgram(args + " --jobs 2", dir + "/reference.json", "", 0).status, 1);
  std::vector<std::string> reference = Split(Slurp(dir + "/reference.json"));
  // The crashing case: the first with findings from the 10,000th case on (in the third block).
  std::uint64_t crashLine = 0;
  {
    std::vector<std::string> lines = Split(Slurp(cases));
    std::uint64_t from = 0;
    int seen = 0;
    for (std::size_t i = 0; i < lines.size() && from == 0; ++i)
      if (lines[i].rfind("MB|", 0) == 0 && ++seen == 10000) from = i + 1;
    for (const std::string& line : reference) {
      std::size_t at = line.find("\"case\":");
      if (at != std::string::npos && (crashLine = std::stoull(line.substr(at + 7))) >= from) break;
    }
    ASSERT_GE(crashLine, from);
  }
  const std::string crashCase = "\"case\":" + std::to_string(crashLine) + ",";

  // Forked block processes with one and two jobs, and block processes started
  // as the program's block-process mode (the way of Windows) with two.
  const std::string crashEnv = "QV_TEST_CRASH_CASE=" + std::to_string(crashLine);
  for (int variant : {1, 2, 3}) {
    int jobs = variant == 1 ? 1 : 2;
    std::string env = variant < 3 ? crashEnv : crashEnv + " QV_TEST_START_BLOCK_PROCESSES=1";
    std::string out = dir + "/disturbed" + std::to_string(variant) + ".json";
    Outcome run = RunProgram(args + " --jobs " + std::to_string(jobs), out, env, 150);
    EXPECT_EQ(run.status, 1) << env << " jobs " << jobs;
    EXPECT_TRUE(run.killed) << "no block process was running to be killed";
    // The crashing case's findings are replaced by one S005 naming the signal, in their place.
    std::vector<std::string> expected, seen = Split(Slurp(out));
    bool placed = false;
    for (const std::string& line : reference) {
      if (line.find(crashCase) == std::string::npos) {
        expected.push_back(line);
      } else if (!placed) {
        placed = true;
        expected.push_back("S005 of the crashing case");
      }
    }
    for (std::string& line : seen)
      if (line.find(crashCase) != std::string::npos && line.find("\"code\":\"S005\"") != std::string::npos &&
          line.find("(signal 6)") != std::string::npos)
        line = "S005 of the crashing case";
    EXPECT_EQ(seen, expected) << env << " jobs " << jobs;
  }
}

}  // namespace
