// The debug log and the process-wide error state.
//
// Every step logs a line; a failure is reported with LogError, which also
// sets the error state and keeps "#E: " plus the text for the caller. The
// log is written only while its directory exists; the file then stays open,
// and the lines of an exported call are gathered and reach the file when the
// call returns (FlushLog): one write per call instead of one per line. When the log is off, an info
// call costs one flag test and a few stores: it keeps the format and its
// arguments, and the text is produced only if somebody asks for the latest
// log text.
#pragma once

#include <cstddef>
#include <cstdio>
#include <new>
#include <tuple>
#include <type_traits>

namespace qv {

constexpr int kLogTextSize = 32768;

class Logger {
 public:
  Logger();
  virtual ~Logger();

  char ErrorText[kLogTextSize];
  char MessageText[kLogTextSize];
  int ErrorState = 0;

  // Produces MessageText from the kept info call, if there is one.
  void Materialize();
  // Appends "time TAB level TAB MessageText" (its first textLength bytes)
  // to the lines for the log file.
  void WriteLine(const char* level, size_t textLength);
};

namespace detail {
extern Logger* instance;
Logger& CreateLogger();

// Whether lines go to the log file; decided by RefreshLogSwitch. Kept
// outside the instance so that an info call tests it without reaching the
// instance first.
extern bool logOn;

// The latest info call while the log is off, not formatted yet: part of the
// instance's state (DestroyLogger drops it), kept beside it for the same
// reason as logOn.
struct KeptInfoCall {
  static constexpr size_t kArgsCapacity = 64;
  void (*render)(char*, size_t, const char*, const unsigned char*) = nullptr;
  const char* format = nullptr;
  alignas(std::max_align_t) unsigned char args[kArgsCapacity];
};
extern KeptInfoCall kept;
}  // namespace detail

// Whether lines go to the log file now: work skipped because its result is
// known must still write the lines it would have logged.
inline bool LogIsOn() { return detail::logOn; }

// The process-wide logger, created on first use.
inline Logger& TheLogger() { return detail::instance ? *detail::instance : detail::CreateLogger(); }

// Decides whether the log file is written (its directory exists). Called at
// the start of each exported function; looks at the file system at most once
// a second: it then closes the log file and opens it again, so that a removed
// directory turns the log off and a recreated one (or a removed log file)
// gets a fresh file.
void RefreshLogSwitch();

// Where the log file lies: the platform's debug log path unless set (tests
// use a directory of their own). Setting it closes the open file and makes
// the next RefreshLogSwitch look at once; null restores the platform's path.
void SetLogFilePath(const char* path);

// Hands the gathered lines to the file; every exported function calls it
// before it returns.
void FlushLog();

void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ClearErrorState();
int GetErrorState();
const char* GetLastErrorText();
void DestroyLogger();

namespace detail {

template <class Tuple>
void RenderKept(char* out, size_t size, const char* format, const unsigned char* args) {
  const Tuple& t = *std::launder(reinterpret_cast<const Tuple*>(args));
  if constexpr (std::tuple_size_v<Tuple> == 0) {
    std::snprintf(out, size, "%s", format);
  } else {
    std::apply([&](auto... a) { std::snprintf(out, size, format, a...); }, t);
  }
}

void LogInfoNow(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes a text without arguments as it is.
void LogTextNow(const char* text);
// Writes a line whose format holds no directive but "%s" and "%%", putting
// the texts together without the printf machinery (most lines of a case are
// of this kind). Returns false, having written nothing, for any other format
// or a null text: the caller then takes LogInfoNow.
bool LogTextsNow(const char* format, const char* const* texts, size_t count);

template <class A>
constexpr bool kIsText = std::is_same_v<A, const char*> || std::is_same_v<A, char*>;

}  // namespace detail

// Logs an information line. Arguments must be plain values (numbers,
// pointers, texts that stay valid until the exported call returns).
template <class... A>
void LogInfo(const char* format, A... args) {
  static_assert((std::is_trivially_copyable_v<A> && ...), "log arguments must be plain values");
  if (detail::logOn) {
    // A line without arguments is written as it is, as the kept form does.
    if constexpr (sizeof...(A) == 0) {
      detail::LogTextNow(format);
    } else if constexpr ((detail::kIsText<A> && ...)) {
      const char* const texts[] = {args...};
      if (!detail::LogTextsNow(format, texts, sizeof...(A))) detail::LogInfoNow(format, args...);
    } else {
      detail::LogInfoNow(format, args...);
    }
    return;
  }
  using Tuple = std::tuple<A...>;
  static_assert(sizeof(Tuple) <= detail::KeptInfoCall::kArgsCapacity, "too many log arguments");
  new (detail::kept.args) Tuple(args...);
  detail::kept.format = format;
  detail::kept.render = &detail::RenderKept<Tuple>;
}

}  // namespace qv
