// The few operating-system services the kernel needs, behind one small
// interface: temporary files for the viewer and starting the viewer program.
// PlatformPosix.cpp implements it for Linux, PlatformWin32.cpp for Windows.
#pragma once

#include <ctime>

namespace qv::platform {

// The current local time.
std::tm LocalNow();

// Result of starting a program and waiting for it.
enum class ExecResult { Finished, TimedOut, StartFailed };

// Creates a new, empty, uniquely named file with the given prefix in the
// system's temporary directory (or "." when that cannot be used) and writes
// its name into name (capacity bytes). Returns false when no file could be
// created; name is then empty.
bool CreateTempFile(const char* prefix, char* name, int capacity);

// Deletes a file; a missing file is not an error.
void DeleteFile(const char* name);

// Starts the command line (program and quoted arguments, as one text) and
// waits for it at most timeoutMs milliseconds (no wait when 0 or below).
// The started program keeps running after a time-out.
ExecResult ExecAndWait(const char* commandLine, int timeoutMs);

// Path of the debug log and whether its directory exists (the log is written
// only then).
const char* DebugLogPath();
bool DebugLogDirectoryExists();

}  // namespace qv::platform
