// The few operating-system services the kernel needs, behind one small
// interface: temporary files for the viewer and starting the viewer program;
// and, for the checker program (which compiles this layer into itself), child
// processes that send results back through a pipe.
// PlatformPosix.cpp implements it for Linux, PlatformWin32.cpp for Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace qv::platform {

// The current local time.
std::tm LocalNow();

// Milliseconds on a clock that only moves forward, to the nearest few
// milliseconds: cheap enough to read at every call of the library.
std::uint64_t CoarseMilliseconds();

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

// ---- Child processes of the checker ----

// A started child process and the read end of the pipe it writes to.
struct ChildProcess {
  std::intptr_t process = -1;  // process id (POSIX) or process handle (Windows); -1 when none
  std::intptr_t output = -1;   // read end of the child's result pipe; -1 once closed
};

// Handle of a pipe end or file a child writes to.
using OutputHandle = std::intptr_t;

// Whether children can be forked (POSIX). Without fork the caller starts the
// program itself in a worker mode (StartChild).
bool CanFork();

// A range of memory from AllocateUnshared.
struct MemoryRange {
  const void* begin = nullptr;
  std::size_t size = 0;
};

// Forks a child that runs body with the write end of its result pipe and
// ends with body's return value. Only where CanFork(). Of the memory from
// AllocateUnshared the child sees only the ranges in inherited.
bool ForkChild(const std::function<int(OutputHandle out)>& body, ChildProcess& child,
               const std::vector<MemoryRange>& inherited = {});

// Memory that forked children do not inherit: the parent writes it while
// children run without a copy of each page it writes (a page both share is
// copied on the first write of either), and a fork copies no page tables for
// it. A range a child does inherit (ForkChild) is shared with it, not
// copied: the parent must not change it while that child runs, nor the
// child at all. The size is rounded up to a power of two of at least 64 KiB;
// a freed range of the same size is given out again, its pages kept. Null
// when no memory is left.
void* AllocateUnshared(std::size_t bytes);
// The size to ask AllocateUnshared for, to hold at least bytes (all of it
// usable). Memory that forked children read (readByChildren) may get more:
// where the system backs memory with huge pages on request, such a range of
// half a megabyte or more takes a whole huge page, which a new process
// touches at the cost of one small page.
std::size_t UnsharedSize(std::size_t bytes, bool readByChildren = false);
void FreeUnshared(void* memory, std::size_t bytes);

// Starts a program (args[0]) with the arguments; the write end of its result
// pipe is its standard output, standard input is closed, standard error is
// shared with the caller.
bool StartChild(const std::vector<std::string>& args, ChildProcess& child);

// Waits at most timeoutMs (-1: no limit) until a child's pipe has data or is
// closed.
void WaitForOutput(const std::vector<ChildProcess*>& children, int timeoutMs);

// Reads what the child's pipe holds without waiting: the number of bytes
// read, 0 at the end of the pipe (the child has closed it), -1 when nothing
// is there yet.
long ReadOutput(ChildProcess& child, char* buffer, std::size_t capacity);

// Closes the pipe, waits for the child to end and says how it ended: empty
// after exit status 0, else "signal N" or "exit status N".
std::string ReapChild(ChildProcess& child);

// Ends the child at once and reaps it.
void KillChild(ChildProcess& child);

// Writes all bytes; false when the pipe or file refuses them.
bool WriteOutput(OutputHandle out, const char* data, std::size_t size);

// The standard output of the calling process as an output handle (worker mode).
OutputHandle StandardOutput();

// Words that a child writes and the parent reads after the child ended (the
// child's progress); count words, zero-filled, never freed. Forked children
// use them directly; a started child opens them with the token.
volatile std::uint64_t* SharedWords(std::size_t count);
// The token that names the words of SharedWords to a started child.
std::string SharedWordsToken();
// In a started child: the words the token names; null when it names none.
volatile std::uint64_t* OpenSharedWords(const std::string& token, std::size_t count);

// ---- The checker program's surroundings ----

// Sets up the checker program: standard input and output in binary mode (no
// line-end translation), files opened in binary mode, UTF-8 output on a
// console, no end of the program when a reader of its output goes away (a
// write error is reported instead), and a heap that keeps large buffers.
void PrepareProgram();

// Full path of the running program; empty when unknown.
std::string ProgramPath();

// Number of processors.
int CoreCount();

// Whether the file descriptor is a terminal.
bool IsTerminal(int fd);

// Whether the file descriptor is a pipe.
bool IsPipe(int fd);

// Creates a new, empty directory for temporary files and returns its path
// with a trailing separator; empty when none could be made. With inMemory it
// lies in a file system held in memory where there is one (/dev/shm).
std::string MakeTempDirectory(const char* prefix, bool inMemory = false);

// Makes the temporary files this process and its children create from now on
// (CreateTempFile, also in the library) go to dir; an empty dir restores the
// system's choice.
void RedirectTempFiles(const std::string& dir);

// Makes name in a directory stand for an existing file (a symbolic link
// where there are links, else a copy); false when it could not.
bool LinkOrCopy(const std::string& existing, const std::string& name);

// The entries of a directory, without "." and "..".
std::vector<std::string> ListDirectory(const std::string& dir);

// The current working directory; empty when unknown.
std::string CurrentDirectory();

// Removes an empty directory.
void RemoveDirectory(const std::string& dir);

// Sets an environment variable of this process (and of the children it starts).
void SetEnvironment(const char* name, const char* value);

}  // namespace qv::platform
