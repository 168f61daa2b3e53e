// POSIX implementation of the platform layer.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/Platform.h"

extern char** environ;

namespace qv::platform {

namespace {
constexpr const char* kLogDirectory = "/tmp/quorvant";
constexpr const char* kLogPath = "/tmp/quorvant/quorvant6DLL_debug.txt";

// Splits a command line of double-quoted or blank-separated words.
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> words;
  const char* p = line;
  while (*p) {
    while (*p == ' ') ++p;
    if (!*p) break;
    std::string word;
    if (*p == '"') {
      ++p;
      while (*p && *p != '"') word.push_back(*p++);
      if (*p == '"') ++p;
    } else {
      while (*p && *p != ' ') word.push_back(*p++);
    }
    words.push_back(word);
  }
  return words;
}
}  // namespace

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

bool CreateTempFile(const char* prefix, char* name, int capacity) {
  if (capacity <= 0) return false;
  name[0] = '\0';
  const char* dir = std::getenv("TMPDIR");
  if (!dir || !*dir || std::strlen(dir) + 20 >= static_cast<size_t>(capacity)) dir = "/tmp";
  std::string pattern = std::string(dir) + "/" + prefix + "XXXXXX";
  if (pattern.size() + 1 > static_cast<size_t>(capacity)) return false;
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) {
    pattern = std::string("./") + prefix + "XXXXXX";
    buf.assign(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd = mkstemp(buf.data());
    if (fd < 0) return false;
  }
  close(fd);
  std::snprintf(name, static_cast<size_t>(capacity), "%s", buf.data());
  return true;
}

void DeleteFile(const char* name) {
  if (name && *name) unlink(name);
}

ExecResult ExecAndWait(const char* commandLine, int timeoutMs) {
  std::vector<std::string> words = SplitCommandLine(commandLine ? commandLine : "");
  if (words.empty()) return ExecResult::StartFailed;
  // posix_spawn reports a missing program only through the child's exit
  // status, so look for the program first.
  if (access(words[0].c_str(), X_OK) != 0) return ExecResult::StartFailed;
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return ExecResult::StartFailed;
  if (timeoutMs <= 0) return ExecResult::Finished;
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || r < 0) return ExecResult::Finished;
    struct timespec ts = {0, 10 * 1000 * 1000};
    nanosleep(&ts, nullptr);
  }
  return ExecResult::TimedOut;
}

const char* DebugLogPath() { return kLogPath; }

bool DebugLogDirectoryExists() {
  struct stat st;
  return stat(kLogDirectory, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qv::platform
