// POSIX implementation of the platform layer.
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
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

std::uint64_t CoarseMilliseconds() {
#ifdef CLOCK_MONOTONIC_COARSE
  // Read from memory the kernel updates, without asking the clock hardware.
  const clockid_t clock = CLOCK_MONOTONIC_COARSE;
#else
  const clockid_t clock = CLOCK_MONOTONIC;
#endif
  struct timespec ts;
  clock_gettime(clock, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

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

bool CanFork() { return true; }

namespace {
// A pipe as large as a block's results lets a child finish without waiting
// for the parent; the system may refuse the size, which only costs speed.
void EnlargePipe(int fd) {
#ifdef F_SETPIPE_SZ
  fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
  (void)fd;
#endif
}

// Makes the pipe whose read end the parent keeps; the write end goes to the child.
bool MakeResultPipe(int fds[2]) {
  if (pipe(fds) != 0) return false;
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  EnlargePipe(fds[0]);
  return true;
}
}  // namespace

namespace {
// Freed ranges of AllocateUnshared kept for reuse, at most kKeptRanges.
constexpr std::size_t kKeptRanges = 24;
struct KeptRange {
  void* begin;
  std::size_t size;
};
std::vector<KeptRange>& KeptRanges() {
  static std::vector<KeptRange> kept;
  return kept;
}

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Ranges come in sizes that are powers of two of at least 64 KiB, so that a
// freed range fits the next request of about the same size.
std::size_t RangeSize(std::size_t bytes) {
  std::size_t size = std::size_t{64} << 10;
  while (size < bytes) size *= 2;
  return size;
}

// Whether the kernel backs memory with huge pages when asked (transparent
// huge pages "always" or "madvise"). Without them a private range costs the
// parent a fault per page it writes after a fork: shared memory is cheaper.
bool HugePagesOnRequest() {
  static const bool on = [] {
    std::FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (!f) return false;
    char setting[128] = {};
    const bool read = std::fgets(setting, sizeof setting, f) != nullptr;
    std::fclose(f);
    return read && (std::strstr(setting, "[always]") || std::strstr(setting, "[madvise]"));
  }();
  return on;
}

// Maps a range of at least one huge page on a huge-page boundary, so that
// the whole range can be backed by huge pages.
void* MapHugeAligned(std::size_t bytes) {
  void* raw = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > begin) munmap(raw, aligned - begin);
  const std::size_t after = kHugePage - (aligned - begin);
  if (after > 0) munmap(reinterpret_cast<void*>(aligned + bytes), after);
  return reinterpret_cast<void*>(aligned);
}

void MarkInherited(const std::vector<MemoryRange>& ranges, bool inherited) {
  for (const MemoryRange& r : ranges)
    if (r.begin && r.size > 0) madvise(const_cast<void*>(r.begin), r.size, inherited ? MADV_DOFORK : MADV_DONTFORK);
}
}  // namespace

// Beyond this no power of two (nor a huge page more) is to be had.
constexpr std::size_t kLargestRequest = SIZE_MAX >> 2;

// Ranges from this size on that block processes read take a whole huge page.
constexpr std::size_t kHugeForChildrenFrom = std::size_t{512} << 10;

std::size_t UnsharedSize(std::size_t bytes, bool readByChildren) {
  if (bytes > kLargestRequest) return bytes;
  const std::size_t size = RangeSize(bytes);
  if (readByChildren && size >= kHugeForChildrenFrom && size < kHugePage && HugePagesOnRequest()) return kHugePage;
  return size;
}

void* AllocateUnshared(std::size_t bytes) {
  if (bytes > kLargestRequest) return nullptr;
  bytes = RangeSize(bytes);
  std::vector<KeptRange>& kept = KeptRanges();
  for (std::size_t i = kept.size(); i-- > 0;) {
    if (kept[i].size != bytes) continue;
    void* p = kept[i].begin;
    kept.erase(kept.begin() + static_cast<long>(i));
    return p;
  }
  // Every page the parent writes after a fork that shares it costs a fault,
  // and on some virtual machines each first touch of a small page in a new
  // process does too. Large ranges (a block's call texts) are private and
  // backed by huge pages where the kernel has them: a fault per 2 MiB at
  // most. Small ones are shared memory, which a fork leaves writable in the
  // parent.
  void* p;
  if (bytes >= kHugePage && HugePagesOnRequest()) {
    // Smaller huge ranges kept are mostly left from arrays that grew, and
    // are not asked for again; one that is (a block's item records) is
    // mapped anew then.
    for (std::size_t i = kept.size(); i-- > 0;) {
      if (kept[i].size < kHugePage || kept[i].size >= bytes) continue;
      munmap(kept[i].begin, kept[i].size);
      kept.erase(kept.begin() + static_cast<long>(i));
    }
    p = MapHugeAligned(bytes);
    if (!p) return nullptr;
    madvise(p, bytes, MADV_HUGEPAGE);
  } else {
    p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
  }
  madvise(p, bytes, MADV_DONTFORK);
  return p;
}

void FreeUnshared(void* memory, std::size_t bytes) {
  if (!memory) return;
  bytes = RangeSize(bytes);
  std::vector<KeptRange>& kept = KeptRanges();
  if (kept.size() == kKeptRanges) {
    munmap(kept.front().begin, kept.front().size);
    kept.erase(kept.begin());
  }
  kept.push_back({memory, bytes});
}

bool ForkChild(const std::function<int(OutputHandle out)>& body, ChildProcess& child,
               const std::vector<MemoryRange>& inherited) {
  int fds[2];
  if (!MakeResultPipe(fds)) return false;
  MarkInherited(inherited, true);
  pid_t pid = fork();
  if (pid == 0) {
    // The kept ranges are not mapped in the child: forget them.
    KeptRanges().clear();
    close(fds[0]);
    // No exit handlers and no flush of the parent's buffered output.
    _exit(body(fds[1]));
  }
  MarkInherited(inherited, false);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return false;
  }
  child.process = pid;
  child.output = fds[0];
  return true;
}

bool StartChild(const std::vector<std::string>& args, ChildProcess& child) {
  if (args.empty()) return false;
  int fds[2];
  if (!MakeResultPipe(fds)) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (failed != 0) {
    close(fds[0]);
    return false;
  }
  child.process = pid;
  child.output = fds[0];
  return true;
}

void WaitForOutput(const std::vector<ChildProcess*>& children, int timeoutMs) {
  std::vector<pollfd> fds;
  for (const ChildProcess* c : children)
    if (c->output >= 0) fds.push_back({static_cast<int>(c->output), POLLIN, 0});
  if (fds.empty()) return;
  poll(fds.data(), fds.size(), timeoutMs);
}

long ReadOutput(ChildProcess& child, char* buffer, std::size_t capacity) {
  if (child.output < 0) return 0;
  for (;;) {
    ssize_t n = read(static_cast<int>(child.output), buffer, capacity);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return -1;
    return 0;  // a broken pipe ends the child's output like its end
  }
}

std::string ReapChild(ChildProcess& child) {
  if (child.output >= 0) close(static_cast<int>(child.output));
  child.output = -1;
  if (child.process <= 0) return "no process";
  int status = 0;
  while (waitpid(static_cast<pid_t>(child.process), &status, 0) < 0 && errno == EINTR) {
  }
  child.process = -1;
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 0 ? "" : "exit status " + std::to_string(WEXITSTATUS(status));
  return "status " + std::to_string(status);
}

void KillChild(ChildProcess& child) {
  if (child.process > 0) kill(static_cast<pid_t>(child.process), SIGKILL);
  ReapChild(child);
}

bool WriteOutput(OutputHandle out, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = write(static_cast<int>(out), data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

OutputHandle StandardOutput() { return STDOUT_FILENO; }

namespace {
// The file behind the shared words, open in every child (fork and exec keep it).
int sharedWordsFd = -1;

volatile std::uint64_t* MapWords(int fd, std::size_t count) {
  void* p = mmap(nullptr, count * sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return p == MAP_FAILED ? nullptr : static_cast<volatile std::uint64_t*>(p);
}
}  // namespace

volatile std::uint64_t* SharedWords(std::size_t count) {
  char name[64];
  if (!CreateTempFile("qvwords", name, sizeof name)) return nullptr;
  int fd = open(name, O_RDWR);
  unlink(name);
  if (fd < 0) return nullptr;
  if (ftruncate(fd, static_cast<off_t>(count * sizeof(std::uint64_t))) != 0) {
    close(fd);
    return nullptr;
  }
  sharedWordsFd = fd;
  return MapWords(fd, count);
}

std::string SharedWordsToken() { return std::to_string(sharedWordsFd); }

volatile std::uint64_t* OpenSharedWords(const std::string& token, std::size_t count) {
  int fd = std::atoi(token.c_str());
  return fd > 2 ? MapWords(fd, count) : nullptr;
}

void PrepareProgram() {
  signal(SIGPIPE, SIG_IGN);
#ifdef M_MMAP_THRESHOLD
  // Block buffers of a few megabytes are made and freed all the time: keep
  // them in the heap instead of mapping fresh pages for each.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

std::string ProgramPath() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

int CoreCount() {
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<int>(n) : 1;
}

bool IsTerminal(int fd) { return isatty(fd) == 1; }

bool IsPipe(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

std::string MakeTempDirectory(const char* prefix, bool inMemory) {
  const char* dir = std::getenv("TMPDIR");
  if (inMemory && access("/dev/shm", W_OK) == 0) dir = "/dev/shm";
  std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/" + prefix + "XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return "";
  return std::string(buf.data()) + "/";
}

bool LinkOrCopy(const std::string& existing, const std::string& name) {
  return symlink(existing.c_str(), name.c_str()) == 0;
}

std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  return names;
}

std::string CurrentDirectory() {
  char* cwd = getcwd(nullptr, 0);
  std::string dir = cwd ? cwd : "";
  std::free(cwd);
  return dir;
}

void RemoveDirectory(const std::string& dir) { rmdir(dir.c_str()); }

void SetEnvironment(const char* name, const char* value) { setenv(name, value, 1); }

void RedirectTempFiles(const std::string& dir) {
  static std::string saved;
  static bool redirected = false;
  if (!dir.empty()) {
    if (!redirected) {
      const char* old = std::getenv("TMPDIR");
      saved = old ? old : "";
      redirected = true;
    }
    setenv("TMPDIR", dir.c_str(), 1);
  } else if (redirected) {
    if (saved.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", saved.c_str(), 1);
    redirected = false;
  }
}

}  // namespace qv::platform
