// Windows implementation of the platform layer: the system's temporary
// files, the viewer start and the fixed log path.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h maps DeleteFile to DeleteFileA; the layer's own function of that
// name must keep it.
#undef DeleteFile
#undef RemoveDirectory

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "foundation/Platform.h"

namespace qv::platform {

namespace {
constexpr const char* kLogDirectory = "c:\\temp";
constexpr const char* kLogPath = "c:\\temp\\quorvant6DLL_debug.txt";

// Room for the temporary directory's name; a longer name, or one that leaves
// less than 20 characters for the file name, is not used.
constexpr DWORD kTempPathRoom = 4096;
constexpr DWORD kFileNameReserve = 20;

// CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS: the viewer does not
// inherit the host's error mode and runs at normal priority.
constexpr DWORD kViewerCreationFlags = 0x04000020;
}  // namespace

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return local;
}

std::uint64_t CoarseMilliseconds() { return GetTickCount64(); }

bool CreateTempFile(const char* prefix, char* name, int capacity) {
  if (capacity <= 0) return false;
  name[0] = '\0';
  std::vector<char> dir(kTempPathRoom + 1, '\0');
  DWORD length = GetTempPathA(kTempPathRoom, dir.data());
  if (length == 0 || length + kFileNameReserve >= kTempPathRoom) std::snprintf(dir.data(), dir.size(), "%s", ".");
  // GetTempFileNameA writes up to MAX_PATH characters and creates the file.
  char created[MAX_PATH + 1] = {};
  if (GetTempFileNameA(dir.data(), prefix, 0, created) == 0) return false;
  if (std::strlen(created) + 1 > static_cast<size_t>(capacity)) {
    DeleteFileA(created);
    return false;
  }
  std::snprintf(name, static_cast<size_t>(capacity), "%s", created);
  return true;
}

void DeleteFile(const char* name) {
  if (name && *name) DeleteFileA(name);
}

ExecResult ExecAndWait(const char* commandLine, int timeoutMs) {
  // CreateProcess may write into the command line it is given, so it gets a
  // copy with the same text.
  const char* text = commandLine ? commandLine : "";
  std::vector<char> line(text, text + std::strlen(text) + 1);

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);

  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, kViewerCreationFlags, nullptr, nullptr,
                      &startup, &process))
    return ExecResult::StartFailed;

  ExecResult result = ExecResult::Finished;
  if (timeoutMs > 0 && WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
    result = ExecResult::TimedOut;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return result;
}

const char* DebugLogPath() { return kLogPath; }

bool DebugLogDirectoryExists() {
  DWORD attributes = GetFileAttributesA(kLogDirectory);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// ---- Child processes of the checker ----

bool CanFork() { return false; }

bool ForkChild(const std::function<int(OutputHandle out)>&, ChildProcess&, const std::vector<MemoryRange>&) {
  return false;
}

// Without fork nothing is inherited: plain heap memory.
void* AllocateUnshared(std::size_t bytes) { return std::malloc(bytes == 0 ? 1 : bytes); }
void FreeUnshared(void* memory, std::size_t) { std::free(memory); }
std::size_t UnsharedSize(std::size_t bytes, bool) { return bytes; }

namespace {
// One argument of a command line as the C runtime of the started program
// splits it again: in quotes, with the backslashes before a quote doubled.
void AppendQuoted(std::string& line, const std::string& arg) {
  line += '"';
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
    } else {
      if (c == '"') line.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    line += c;
  }
  line.append(backslashes, '\\');
  line += '"';
}

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

bool StartChild(const std::vector<std::string>& args, ChildProcess& child) {
  if (args.empty()) return false;
  std::string text;
  for (const std::string& arg : args) {
    if (!text.empty()) text += ' ';
    AppendQuoted(text, arg);
  }
  std::vector<char> line(text.begin(), text.end());
  line.push_back('\0');
  // Only the write end the child gets is inheritable, and only while it is
  // started: the main process starts children one at a time, so no child
  // holds another's pipe open.
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 20)) return false;
  SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = INVALID_HANDLE_VALUE;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return false;
  }
  CloseHandle(process.hThread);
  child.process = reinterpret_cast<std::intptr_t>(process.hProcess);
  child.output = reinterpret_cast<std::intptr_t>(readEnd);
  return true;
}

namespace {
// Whether the pipe holds data or has ended.
bool HasOutput(const ChildProcess& child) {
  if (child.output == -1) return false;
  DWORD available = 0;
  if (!PeekNamedPipe(AsHandle(child.output), nullptr, 0, nullptr, &available, nullptr)) return true;
  return available > 0;
}
}  // namespace

void WaitForOutput(const std::vector<ChildProcess*>& children, int timeoutMs) {
  // Anonymous pipes cannot be waited on: look at them, and wait on the
  // processes for a few milliseconds in between.
  DWORD start = GetTickCount();
  for (;;) {
    std::vector<HANDLE> processes;
    for (const ChildProcess* c : children) {
      if (HasOutput(*c)) return;
      if (c->process != -1) processes.push_back(AsHandle(c->process));
    }
    DWORD waited = GetTickCount() - start;
    if (processes.empty() || (timeoutMs >= 0 && waited >= static_cast<DWORD>(timeoutMs))) return;
    DWORD slice = 2;
    if (timeoutMs >= 0 && static_cast<DWORD>(timeoutMs) - waited < slice) slice = static_cast<DWORD>(timeoutMs) - waited;
    if (processes.size() > MAXIMUM_WAIT_OBJECTS) processes.resize(MAXIMUM_WAIT_OBJECTS);
    WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE, slice);
  }
}

long ReadOutput(ChildProcess& child, char* buffer, std::size_t capacity) {
  if (child.output == -1) return 0;
  DWORD available = 0;
  if (!PeekNamedPipe(AsHandle(child.output), nullptr, 0, nullptr, &available, nullptr)) return 0;
  if (available == 0) return -1;
  DWORD want = available < capacity ? available : static_cast<DWORD>(capacity);
  DWORD got = 0;
  if (!ReadFile(AsHandle(child.output), buffer, want, &got, nullptr)) return 0;
  return static_cast<long>(got);
}

std::string ReapChild(ChildProcess& child) {
  if (child.output != -1) CloseHandle(AsHandle(child.output));
  child.output = -1;
  if (child.process == -1) return "no process";
  HANDLE process = AsHandle(child.process);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  child.process = -1;
  if (code == 0) return "";
  char text[48];
  // Exception codes (a crash) are read in hexadecimal.
  if (code >= 0xC0000000u) std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
  else std::snprintf(text, sizeof text, "exit status %lu", static_cast<unsigned long>(code));
  return text;
}

void KillChild(ChildProcess& child) {
  if (child.process != -1) TerminateProcess(AsHandle(child.process), 9);
  ReapChild(child);
}

bool WriteOutput(OutputHandle out, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    DWORD chunk = size - done > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size - done);
    DWORD written = 0;
    if (!WriteFile(AsHandle(out), data + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

OutputHandle StandardOutput() { return reinterpret_cast<OutputHandle>(GetStdHandle(STD_OUTPUT_HANDLE)); }

namespace {
// The inheritable mapping behind the shared words.
HANDLE sharedWordsMapping = nullptr;

volatile std::uint64_t* MapWords(HANDLE mapping, std::size_t count) {
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, count * sizeof(std::uint64_t));
  return static_cast<volatile std::uint64_t*>(view);
}
}  // namespace

volatile std::uint64_t* SharedWords(std::size_t count) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(count * sizeof(std::uint64_t)), nullptr);
  if (!mapping) return nullptr;
  sharedWordsMapping = mapping;
  return MapWords(mapping, count);
}

std::string SharedWordsToken() {
  return std::to_string(reinterpret_cast<std::uintptr_t>(sharedWordsMapping));
}

volatile std::uint64_t* OpenSharedWords(const std::string& token, std::size_t count) {
  std::uintptr_t value = std::strtoull(token.c_str(), nullptr, 10);
  return value ? MapWords(reinterpret_cast<HANDLE>(value), count) : nullptr;
}

// ---- The checker program's surroundings ----

void PrepareProgram() {
  _fmode = _O_BINARY;
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
}

std::string ProgramPath() {
  std::vector<char> buffer(32768);
  DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return n > 0 && n < buffer.size() ? std::string(buffer.data(), n) : std::string();
}

int CoreCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

bool IsTerminal(int fd) { return _isatty(fd) != 0; }

bool IsPipe(int fd) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_PIPE;
}

std::string MakeTempDirectory(const char* prefix, bool /*inMemory*/) {
  char name[MAX_PATH + 1];
  if (!CreateTempFile(prefix, name, sizeof name)) return "";
  // The unique file name becomes the directory's name.
  DeleteFileA(name);
  if (!CreateDirectoryA(name, nullptr)) return "";
  return std::string(name) + "\\";
}

bool LinkOrCopy(const std::string& existing, const std::string& name) {
  return CopyFileA(existing.c_str(), name.c_str(), TRUE) != 0;
}

std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  std::string pattern = dir;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  HANDLE find = FindFirstFileA((pattern + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

void RemoveDirectory(const std::string& dir) { RemoveDirectoryA(dir.c_str()); }

void SetEnvironment(const char* name, const char* value) { SetEnvironmentVariableA(name, value); _putenv_s(name, value); }

void RedirectTempFiles(const std::string& dir) {
  // GetTempPath, behind CreateTempFile, reads TMP first.
  static std::string saved;
  static bool redirected = false;
  if (!dir.empty()) {
    if (!redirected) {
      char old[MAX_PATH + 1];
      DWORD n = GetEnvironmentVariableA("TMP", old, sizeof old);
      saved = n > 0 && n < sizeof old ? std::string(old, n) : std::string();
      redirected = true;
    }
    SetEnvironment("TMP", dir.c_str());
  } else if (redirected) {
    SetEnvironmentVariableA("TMP", saved.empty() ? nullptr : saved.c_str());
    _putenv_s("TMP", saved.c_str());
    redirected = false;
  }
}

}  // namespace qv::platform
