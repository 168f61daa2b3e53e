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

#include <cstdio>
#include <cstring>
#include <vector>

#include <ctime>

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

}  // namespace qv::platform
